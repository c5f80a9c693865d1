// The list of the hourly forecast screen: a row an hour with the time, the weather picture, the
// temperature and up to three lines of wind, UV index and humidity.
#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "Controls/CRowListControl.h"
#include "Weather/CHourForecast.h"

class CHourlyForecastListBox : public CRowListControl {
public:
    CHourlyForecastListBox();
    ~CHourlyForecastListBox() override;

    // Appends a copy; 0 for null.
    BOOL AddItem(const CHourForecast* hour, BOOL redraw);
    void Clear(BOOL redraw);
    int GetCount() const override { return static_cast<int>(m_items.size()); }
    const std::u16string& GetTimePicture() const { return m_timePicture; }

    // The locale's time format without seconds, and on a 12-hour clock without minutes: each part
    // goes with the separator written before it ("h:mm:ss tt" gives "h tt", "HH:mm:ss" gives "HH:mm").
    static std::u16string ReduceTimePicture(std::u16string_view format);

protected:
    LRESULT OnCreate() override;
    LRESULT OnSetFont(HFONT font, BOOL redraw) override;
    void PaintRowContent(HDC dc, int index, const RECT& row) override;

private:
    struct Measures;

    Measures Measure(HDC dc);
    // The wind, UV and humidity lines, right-aligned in the room left of the picture.
    void DrawDetails(HDC dc, const CHourForecast& hour, const RECT& room, int top, int lineHeight);
    void MakeFonts();
    void DeleteFonts();
    static void KeepReadable(HFONT* font);

    std::vector<CHourForecast> m_items;
    std::u16string m_timePicture;
    HFONT m_timeFont = nullptr;
    HFONT m_detailFont = nullptr;
    HFONT m_temperatureFont = nullptr;
};
