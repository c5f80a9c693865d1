// The base of a control that scrolls its own content up and down and embeds the thin scroll indicator
// along its right edge (the list box, the markup text). The indicator is made with the control, follows
// its host and border colour, and takes its width from the control's content and frame while it shows.
// The derived control keeps the offset in range and tells the indicator where it stands.
#pragma once

#include "UserInterface/CDlgControl.h"
#include "UserInterface/CDlgScroller.h"

namespace UserInterface {

class CDlgScrolledControl : public CDlgControl {
public:
    explicit CDlgScrolledControl(LPCWSTR typeName) : CDlgControl(typeName) {}

    const CDlgScroller& GetScroller() const { return m_scroller; }
    // Content pixels above the top of the view.
    int GetScrollOffset() const { return m_offset; }
    // The height of the whole content, of which the view shows a part.
    virtual int GetContentHeight() = 0;

    BOOL SetHost(IDlgObjectHost* host) override;
    BOOL Draw(HDC dc, int x, int y, const RECT* clip, BOOL ownBuffer) override;
    // The content's rectangle: the inner rectangle less the indicator while it shows.
    void GetInnerRect(LPRECT rect) override;
    int GetBorderSize() override;
    // The dialog scrolls by offsetting its controls: the indicator moves along.
    LRESULT OnOffset() override;

protected:
    void DrawBorder(HDC dc, const RECT* rect) override;
    LRESULT OnSetBorderColor(COLORREF color, BOOL redraw) override;

    // For OnCreate: the indicator with the control's border and background bits.
    bool CreateScroller(bool fixedThumb) { return m_scroller.CreateFor(this, fixedThumb) != FALSE; }
    // Hides the indicator and lays it along the whole inner rectangle; the first step of a new layout.
    void PlaceScroller();
    int ViewHeight();
    // Gives the indicator the content height and the view; a change of its visibility changes the
    // content's width, so the control is laid out again.
    void UpdateScrollRange(BOOL redraw);

    CDlgScroller m_scroller;
    int m_offset = 0;
};

}  // namespace UserInterface
