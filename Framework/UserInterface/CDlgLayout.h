// A dialog's windowless controls in focus order: placed in rows that flow from top to bottom,
// scrolled vertically inside the dialog's client area, painted, and found by id or by point.
#pragma once

#include <memory>
#include <vector>

#include "CBitmapDC.h"
#include "RectHelpers.h"
#include "ce/user.h"

namespace UserInterface {

class CDlgControl;
class IDlgObjectHost;

class CDlgLayout {
public:
    CDlgLayout();
    CDlgLayout(const CDlgLayout&) = delete;
    CDlgLayout& operator=(const CDlgLayout&) = delete;
    virtual ~CDlgLayout();

    // Appends and owns the control; it gets the host when there is one. False for null.
    virtual BOOL AddControl(CDlgControl* control);
    // Every visible control that meets the rectangle (null: the view) draws itself; false when one fails.
    virtual BOOL PaintControls(HDC dc, const RECT* rect);
    virtual void Arrange();
    virtual BOOL ScrollToControlAt(int index, BOOL animate);
    // Scrolls just far enough that the control lies inside the view with a row gap around it.
    virtual BOOL ScrollToControl(CDlgControl* control, BOOL animate);
    virtual int GetContentWidth() const;
    virtual int GetContentHeight() const;
    virtual int GetScrollPos() const { return m_scrollPos; }
    virtual BOOL ScrollUp(int distance, BOOL animate);
    virtual BOOL ScrollDown(int distance, BOOL animate);
    // True when the content moved; the position stays within 0 and content height - view height.
    virtual BOOL ScrollTo(int position, BOOL animate);

    void SetBounds(const RECT& view, int margin, int rowGap);
    const RECT& GetView() const { return m_view; }
    int GetMargin() const { return m_margin; }
    int GetRowGap() const { return m_rowGap; }
    // Keeps the host and hands it to every control; false as soon as one refuses.
    BOOL AttachHost(IDlgObjectHost* host, BOOL blitScrolling);
    IDlgObjectHost* GetHost() const { return m_host; }

    int GetControlCount() const { return static_cast<int>(m_controls.size()); }
    CDlgControl* GetControlAt(int index) const;
    CDlgControl* FindControl(int id) const;
    int IndexOfControl(const CDlgControl* control) const;
    // The first visible control whose rectangle holds the point.
    CDlgControl* ControlFromPoint(int x, int y) const;
    void BroadcastMessage(UINT message, WPARAM wParam, LPARAM lParam);
    void DeleteAllControls();

    // True when the control's rectangle meets the rectangle.
    static bool IsControlInRect(const CDlgControl* control, const RECT& rect);

private:
    struct Row {
        int width = 0;
        int height = 0;
    };

    std::vector<Row> Rows() const;
    int ViewWidth() const { return RectWidth(m_view); }
    int ViewHeight() const { return RectHeight(m_view); }
    int ClampScroll(int position) const;
    void PlaceControl(CDlgControl* control, int x, int y, SIZE* previous);
    void OffsetAll(int dy);
    void StepScroll(int target);
    void BlitScroll(int target);
    // The kept strip of blit scrolling, made larger when needed; null when it cannot be made.
    HDC StripDC(HDC reference, int width, int height);

    std::vector<std::unique_ptr<CDlgControl>> m_controls;
    int m_scrollPos = 0;
    RECT m_view{};
    int m_rowGap = 0;
    int m_margin = 0;
    IDlgObjectHost* m_host = nullptr;
    BOOL m_blitScrolling = FALSE;
    CBitmapDC m_strip;
};

}  // namespace UserInterface
