// One set of weather values drawn whole: the temperatures at the top left, the wind at the top right,
// the weather picture in the middle over its text, and a bottom row of pressure, UV index and
// humidity. The picture runs through its frames.
#pragma once

#include <string>

#include "Controls/CAnimatedControl.h"
#include "Controls/DetailForecastData.h"

class CDetailForecastControl : public CAnimatedControl {
public:
    CDetailForecastControl();
    ~CDetailForecastControl() override;

    // Copies the record (null clears it) and starts its picture at the first frame.
    void SetData(const DetailForecastData* data, BOOL redraw);
    int GetCurrentFrame();
    // A copy of the record shown.
    DetailForecastData GetData();

    // "5/-3°C" for a day's high and low, "-6°C" for one temperature, empty for none.
    static std::u16string TemperatureText(const DetailForecastData& data);
    // The pressure with the decimals of its unit, truncated.
    static std::u16string PressureValueText(const DetailForecastData& data);

protected:
    void OnPaint(HDC dc, const RECT* inner) override;
    LRESULT OnSetFont(HFONT font, BOOL redraw) override;
    bool AdvanceFrames() override;

private:
    // Each drawing step narrows the free area from the bottom.
    void DrawBottomRow(HDC dc, const RECT& whole, RECT* area);
    void DrawWeatherText(HDC dc, const RECT& whole, RECT* area);
    void DrawPicture(HDC dc, const RECT& area);
    void DrawTemperatures(HDC dc, const RECT& whole);
    void DrawWind(HDC dc, const RECT& whole);
    void MakeFonts();
    void DeleteFonts();

    DetailForecastData m_data{};
    int m_frame = 0;
    HFONT m_temperatureFont = nullptr;
    HFONT m_weatherTextFont = nullptr;
    HFONT m_smallFont = nullptr;
};
