// The base of the program's touch-scrolled lists (hourly forecast, city list): rows of one fixed
// height under each other with an engraved separator between two rows, a selection that the Up and
// Down keys move with a sliding highlight, Enter, taps, drags and flicks through the gesture
// recogniser, and a scroll indicator at the right edge while the rows do not fit.
#pragma once

#include "UserInterface/CDlgControl.h"
#include "UserInterface/CDlgScrollable.h"
#include "UserInterface/CDlgScroller.h"

class CRowListControl : public UserInterface::CDlgControl, public UserInterface::CDlgScrollable {
public:
    static constexpr int kNotifySelection = 1;  // the selection moved by the pen or the keys
    static constexpr int kNotifyEnter = 2;
    static constexpr int kNotifyTap = 3;  // a tap without drag on a row; a: the row

    explicit CRowListControl(LPCWSTR typeName);
    ~CRowListControl() override;

    virtual int GetCount() const = 0;
    int GetSelection() const { return m_selected; }
    int GetScrollOffset() const { return m_offset; }
    int GetRowHeight() const { return m_rowHeight; }
    // Selects a row and scrolls it into view; a negative index leaves no row selected; an index at or
    // beyond the count does nothing.
    void Select(int index, BOOL redraw);
    // Moves the view so that the row is wholly visible, by as little as possible.
    void EnsureVisible(int index, BOOL redraw);
    // The row whose band holds the point (control coordinates); -1 for none.
    int HitTest(POINT point);
    bool IsScrollerVisible() const { return m_scroller.IsVisible() != FALSE; }

    BOOL SetHost(UserInterface::IDlgObjectHost* host) override;
    BOOL Draw(HDC dc, int x, int y, const RECT* clip, BOOL ownBuffer) override;
    // Less the scroll indicator's column and its gap while it is shown.
    void GetInnerRect(LPRECT rect) override;
    int GetBorderSize() override;
    void OnScroll(int kind, int amount) override;

protected:
    // Called by the derived create with the row's content height (the row adds a pixel above and below).
    BOOL CreateRows(int contentHeight);
    // After the rows changed: new range, the view clamped, the indicator shown or hidden.
    void UpdateScrollRange(BOOL redraw);
    void ClearSelection() { m_selected = -1; }
    int GetContentHeight() const { return m_contentHeight; }

    void OnPaint(HDC dc, const RECT* inner) override;
    void DrawBorder(HDC dc, const RECT* rect) override;
    void DrawFocusBorder(HDC dc, const RECT* rect) override;
    LRESULT OnMoved() override;
    LRESULT OnOffset() override;
    LRESULT OnKey(UINT key, BOOL down) override;
    LRESULT OnPointer(const POINT* point, int mode) override;
    LRESULT OnSetBorderColor(COLORREF color, BOOL redraw) override;

    // The row at (x, y) of the context, width wide: its content, then the highlight when selected.
    virtual void DrawRow(HDC dc, int index, int x, int y, int width);
    virtual void PaintRowContent(HDC dc, int index, const RECT& row) = 0;
    virtual void DrawSeparator(HDC dc, int x, int y, int width);
    virtual int FirstVisibleRow();
    // Top of a row in content coordinates.
    virtual int RowTop(int index) const;
    // Whether the gap under a row is part of it for hits (the hourly list) or of no row (the city list).
    virtual bool GapBelongsToRow() const { return true; }
    // Whether key-up of Up, Down and Enter is reported as handled.
    virtual bool ConsumesKeyUp() const { return false; }

private:
    int RowStep() const { return m_rowHeight + m_gap; }
    int VisibleHeight();
    int MaxOffset();
    void SetOffset(int offset, BOOL redraw);
    // Moves the view toward the offset in steps of at most 30 scaled pixels, painting each.
    void ScrollSmoothly(int offset);
    void MoveSelection(int step);
    // Paints the highlight moving from one row to the other, one sixteenth of the way at a time.
    void SlideHighlight(int from, int to);
    void PlaceScroller();

    UserInterface::CDlgScroller m_scroller;
    int m_selected = -1;
    int m_offset = 0;
    int m_rowHeight = 0;
    int m_contentHeight = 0;
    int m_gap = 0;
    // The highlight's top during a slide (content coordinates); -1 when none runs.
    int m_slideTop = -1;
    POINT m_lastPen{};
};
