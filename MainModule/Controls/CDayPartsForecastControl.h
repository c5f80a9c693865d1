// The four parts of one day (morning, day, evening, night) in the four quarters of the control, each
// with its picture, its name written upwards at the left and its temperature at the bottom right.
// A tap that begins and ends on one quarter reports that part; the pictures run through their frames.
#pragma once

#include <string>

#include "Controls/CAnimatedControl.h"
#include "Weather/CDayPartsForecast.h"

class CDayPartsForecastControl : public CAnimatedControl {
public:
    static constexpr int kPartCount = CDayPartsForecast::kPartCount;
    // Sent to the host with the part index (0 morning to 3 night).
    static constexpr int kNotifyPart = 1;

    // A part's temperature with the degree sign and the unit of the settings: "-6°C".
    static std::u16string TemperatureText(int temperature);

    CDayPartsForecastControl();
    ~CDayPartsForecastControl() override;

    // Copies the parts (null clears them) and starts every picture at its first frame.
    void SetParts(const CDayPartsForecast* parts, BOOL redraw);
    int GetPressedPart() const { return m_pressed; }
    int GetCurrentFrame(int part);
    // The quarter under a point in control coordinates: 0 top left, 1 top right, 2 bottom left,
    // 3 bottom right; -1 outside.
    int QuarterAt(POINT point);

protected:
    void OnPaint(HDC dc, const RECT* inner) override;
    LRESULT OnPointer(const POINT* point, int mode) override;
    LRESULT OnSetFont(HFONT font, BOOL redraw) override;
    bool AdvanceFrames() override;

private:
    struct Frames {
        int count = 0;
        int current = 0;
    };

    void DrawDividers(HDC dc, const RECT& area);
    void DrawPart(HDC dc, int part, const RECT& quarter, SIZE nameCell);
    void SetPressed(int part);
    void MakeFonts();
    void DeleteFonts();

    CDayPartsForecast m_parts;
    Frames m_frames[kPartCount];
    int m_pressed = -1;
    HFONT m_temperatureFont = nullptr;
    HFONT m_nameFont = nullptr;
};
