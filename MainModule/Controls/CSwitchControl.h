// The city switch at the top of the main window: one or two centred lines (the city name and its
// update text) between a left and a right arrow; a line too wide for the room is drawn smaller,
// replaced by its shorter text or shortened with "...", never cut at its sides. The arrows answer the pen and the Left and Right keys
// and ask the host for the previous or the next city.
#pragma once

#include <string>

#include "UserInterface/CDlgControl.h"

class CSwitchControl : public UserInterface::CDlgControl {
public:
    enum Arrow { kLeftArrow = 0, kRightArrow = 1 };
    enum ArrowState { kPressed = 0, kNormal = 1, kDisabled = 2 };
    static constexpr int kNotifyPrevious = 1;
    static constexpr int kNotifyNext = 2;
    static constexpr int kLeftPicture = 1000;
    static constexpr int kRightPicture = 1001;

    CSwitchControl();
    ~CSwitchControl() override;

    // Null leaves a line empty; the second line's shorter text is cleared.
    BOOL SetTexts(LPCWSTR first, LPCWSTR second, BOOL redraw);
    // A whole text that the second line shows where it does not fit the room in either smaller font
    // ("Updated today" for "Updated at 4:13 PM"); null for none.
    BOOL SetShortSecondText(LPCWSTR text, BOOL redraw);
    // A line whose flag is set is shortened with "..." to the room between the arrows in its own font;
    // another line too wide for the room takes a smaller font first (see FitLine).
    BOOL SetFitFlags(BOOL first, BOOL second, BOOL redraw);
    BOOL SetArrowEnabled(int arrow, BOOL enabled, BOOL redraw);

    int GetArrowState(int arrow) const { return m_arrows[arrow]; }
    const std::u16string& GetFirstText() const { return m_first; }
    const std::u16string& GetSecondText() const { return m_second; }
    // The arrow's square at the side of the inner rectangle (control coordinates).
    RECT GetArrowRect(int arrow);

protected:
    void OnPaint(HDC dc, const RECT* inner) override;
    LRESULT OnKey(UINT key, BOOL down) override;
    LRESULT OnPointer(const POINT* point, int mode) override;
    LRESULT OnSetFont(HFONT font, BOOL redraw) override;

private:
    RECT ArrowRectIn(const RECT& inner, int arrow) const;
    bool ArrowHolds(int arrow, const POINT& point);
    void SetArrowState(int arrow, int state);
    void DrawArrow(HDC dc, const RECT& inner, int arrow);
    struct FittedLine {
        std::u16string text;
        HFONT font = nullptr;
    };
    // The text and font that line 0 (first) or 1 (second) is drawn in, within the width.
    FittedLine FitLine(HDC dc, int line, int width) const;
    void DrawLines(HDC dc, const RECT& area);
    void MakeFonts();
    void DeleteFonts();

    std::u16string m_first;
    std::u16string m_second;
    int m_arrows[2] = {kNormal, kNormal};
    HFONT m_boldFont = nullptr;
    HFONT m_smallFont = nullptr;
    HFONT m_smallerFont = nullptr;
    std::u16string m_shortSecond;
    BOOL m_fitFirst = FALSE;
    BOOL m_fitSecond = FALSE;
};
