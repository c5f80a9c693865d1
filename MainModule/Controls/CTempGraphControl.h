// The main window's graph of the coming five days: a column a day with the day's weather picture at
// the top, the highs and the lows as two line graphs with a marker and a signed label at every day,
// and the weekday and day of the month at the bottom. A tap on a column with a day reports its date.
#pragma once

#include <initializer_list>

#include "UserInterface/CDlgControl.h"
#include "Weather/CDayForecast.h"

class CTempGraphControl : public UserInterface::CDlgControl {
public:
    static constexpr int kColumnCount = 5;
    // Sent to the host with the column index and a CDate* of that day (valid only during the call).
    static constexpr int kNotifyDay = 1;
    static constexpr int kUnknownTemperature = -10000;

    CTempGraphControl();
    ~CTempGraphControl() override;

    // Replaces the days by a copy of the set; null leaves none.
    BOOL SetDays(const CDayForecastSet* days, BOOL redraw);
    const CDayForecastSet& GetDays() const { return m_days; }
    int GetSelectedColumn() const { return m_selected; }

    // value's height above the bottom of an extent that spans lo to hi; 0 when hi equals lo.
    static int ScaleValue(int extent, int lo, int hi, int value);
    // The column under a point in control coordinates; -1 outside the five columns.
    int ColumnAt(POINT point);

protected:
    void OnPaint(HDC dc, const RECT* inner) override;
    void DrawFocusBorder(HDC dc, const RECT* rect) override;
    LRESULT OnPointer(const POINT* point, int mode) override;
    LRESULT OnSetFont(HFONT font, BOOL redraw) override;

private:
    struct Series;
    struct Layout;

    Layout MeasureLayout(HDC dc, const RECT& area, HFONT temperatureFont);
    static int ColumnWidth(const RECT& area);
    HFONT FitTemperatureFont(HDC dc, int columnWidth, std::initializer_list<const Series*> series);
    void DrawDividers(HDC dc, const RECT& area, int columnWidth);
    void DrawPictures(HDC dc, const Layout& layout);
    void DrawDateLabels(HDC dc, const Layout& layout, COLORREF weekendColor);
    void PlotSeries(HDC dc, const Layout& layout, const Series& series);
    void SetSelected(int column);
    void MakeFonts();
    void DeleteFonts();

    CDayForecastSet m_days;
    int m_selected = -1;
    HFONT m_temperatureFont = nullptr;
    HFONT m_labelFont = nullptr;
    HFONT m_firstLabelFont = nullptr;
};
