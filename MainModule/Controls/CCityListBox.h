// The list of the city list screen: a row a city with the home marker, the city's name over its
// country, today's weather picture and today's low and high. It keeps copies of the cities; the
// screen fills it and the city list itself never changes here.
#pragma once

#include <vector>

#include "Controls/CRowListControl.h"
#include "Weather/CCity.h"

class CCityListBox : public CRowListControl {
public:
    static constexpr int kHomePicture = 67;

    CCityListBox();
    ~CCityListBox() override;

    // Appends a copy; 0 for null.
    BOOL AddCity(const CCity* city, BOOL redraw);
    void RemoveAll(BOOL redraw);
    int GetCount() const override { return static_cast<int>(m_items.size()); }
    // Only an index of a row selects it and scrolls it into view.
    void SetCurSel(int index, BOOL redraw);
    int GetCurSel() const { return GetSelection(); }
    // Only an index of a row gets the home marker.
    void SetHomeIndex(int index, BOOL redraw);
    int GetHomeIndex() const { return m_home; }

protected:
    LRESULT OnCreate() override;
    LRESULT OnSetFont(HFONT font, BOOL redraw) override;
    void PaintRowContent(HDC dc, int index, const RECT& row) override;
    bool GapBelongsToRow() const override { return false; }
    bool ConsumesKeyUp() const override { return true; }

private:
    int IconSize() const;
    void DrawHomeMarker(HDC dc, const RECT& row);
    // Today's low over today's high, right-aligned at the right edge; the right edge of the picture
    // column comes back, and the left edge of the widest text drawn into `textLeft`.
    int DrawTemperatures(HDC dc, const CDayForecast& today, const RECT& row, int* textLeft);
    void DrawNames(HDC dc, const CCity& city, const RECT& row, int right);
    void MakeFonts();
    void DeleteFonts();

    std::vector<CCity> m_items;
    int m_home = -1;
    HFONT m_nameFont = nullptr;
    HFONT m_countryFont = nullptr;
    HFONT m_temperatureFont = nullptr;
};
