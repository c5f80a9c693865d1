// A scrollable, word-wrapped text with a tiny markup: bold, italic, underline, line breaks and links,
// plus plain "http:" and "www." words that become links by themselves. Links take the focus from the
// keys or a tap and open in the browser.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "UserInterface/CDlgControl.h"
#include "UserInterface/CDlgScrollable.h"
#include "UserInterface/CDlgScrolledControl.h"

namespace UserInterface {

class CDlgScrollStrip;

class CDlgHTMLControl : public CDlgScrolledControl, public CDlgScrollable {
public:
    // Style bit: scrolling blits a strip drawn once instead of repainting each step.
    static constexpr DWORD kBlitScrolling = 0x10000;
    static constexpr UINT kMsgSetText = 5633;  // wParam: text, lParam: redraw

    // Style bits of a run.
    static constexpr DWORD kBold = 0x1;
    static constexpr DWORD kItalic = 0x2;
    static constexpr DWORD kUnderline = 0x4;
    static constexpr DWORD kLineBreak = 0x8;
    static constexpr DWORD kPunctuation = 0x10;

    struct Run {
        bool link = false;
        std::u16string text;
        bool hasUrl = false;
        std::u16string url;
        DWORD style = 0;
        // Measured by the layout.
        int width = 0;
        int height = 0;
        int descent = 0;
    };
    struct Line {
        int first = 0;
        int count = 0;
        int height = 0;
        int descent = 0;
    };

    CDlgHTMLControl();
    ~CDlgHTMLControl() override;

    // A "<" without a later ">" is shown as text.
    BOOL Create(LPCWSTR text, int id, DWORD style, int width, int height);
    BOOL SetText(LPCWSTR text, BOOL redraw);

    const std::vector<Run>& GetRuns() const { return m_runs; }
    const std::vector<Line>& GetLines() const { return m_lines; }
    int GetFocusedLink() const { return m_focused; }
    int GetContentHeight() override;
    // The run under a point of the control's own coordinates; -1 when none.
    int HitTest(int x, int y);
    void SetFocusedLink(int index, BOOL redraw);

    int GetPreferredWidth() override { return 0; }
    int GetPreferredHeight() override { return 0; }
    void OnScroll(int kind, int amount) override;

protected:
    void OnPaint(HDC dc, const RECT* inner) override;
    void DrawFocusBorder(HDC, const RECT*) override {}
    LRESULT OnCreate() override;
    LRESULT OnMoved() override;
    LRESULT OnKey(UINT key, BOOL down) override;
    LRESULT OnPointer(const POINT* point, int mode) override;
    LRESULT OnSetFont(HFONT font, BOOL redraw) override;
    LRESULT OnMessage(UINT message, WPARAM wParam, LPARAM lParam) override;

    virtual LRESULT OnSetText(LPCWSTR text, BOOL redraw);

private:
    void Reset();
    bool Parse(LPCWSTR text);
    // The tag between position and ">"; the position behind it. False without a ">".
    bool ParseTag(const std::u16string& text, size_t* position, DWORD* style, bool* link, bool* hasUrl,
                  std::u16string* url);
    void AddSegment(const std::u16string& segment, DWORD* style);
    void AddRun(Run run, DWORD* style);
    HFONT FontFor(DWORD style);
    void ClearFonts();
    void MeasureRuns(HDC dc);
    void LayOut(int width, int heightLimit);
    void LayOutControl();
    int LineTop(int line) const;
    int LineOfRun(int run) const;
    // The run's rectangle in the control's own coordinates at the current offset; false when not laid out.
    bool RunRect(int run, RECT* rect);
    void ScrollTo(int target);
    // Moves the offset in steps with a repaint at each.
    void RepaintTo(int target);
    // Moves the offset by showing parts of a strip painted once; a repaint when there is no strip.
    void SlideTo(int target);
    // Paints the strip from the view at the current offset to the view at the target; the offset is
    // the target's afterwards.
    void PaintStrip(CDlgScrollStrip& strip, int target);
    // The control's picture at the offset into rows top to bottom of the strip.
    void PaintStripBand(CDlgScrollStrip& strip, int offset, int top, int bottom);
    void ScrollBy(int distance);
    void Activate(int run);
    int NearestLink(int direction, bool otherLine) const;

    std::vector<Run> m_runs;
    std::vector<Line> m_lines;
    int m_focused = -1;
    std::map<DWORD, HFONT> m_fonts;
    POINT m_pressPoint{};
};

}  // namespace UserInterface
