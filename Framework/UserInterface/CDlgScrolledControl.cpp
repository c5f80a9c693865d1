#include "UserInterface/CDlgScrolledControl.h"

#include <algorithm>

#include "CSysInfo.h"
#include "RectHelpers.h"

namespace UserInterface {

BOOL CDlgScrolledControl::SetHost(IDlgObjectHost* host) {
    const BOOL set = CDlgControl::SetHost(host);
    m_scroller.SetHost(host);
    return set;
}

BOOL CDlgScrolledControl::Draw(HDC dc, int x, int y, const RECT* clip, BOOL ownBuffer) {
    return m_scroller.DrawBeside(this, dc, x, y, clip, ownBuffer);
}

void CDlgScrolledControl::GetInnerRect(LPRECT rect) {
    CDlgControl::GetInnerRect(rect);
    if (rect != nullptr && m_scroller.IsVisible()) {
        rect->right = std::max<LONG>(rect->left, rect->right - m_scroller.GetReservedWidth());
    }
}

int CDlgScrolledControl::GetBorderSize() { return IsBordered() ? CSysInfo::Scale(1) : 0; }

void CDlgScrolledControl::DrawBorder(HDC dc, const RECT* rect) {
    if (rect == nullptr) {
        return;
    }
    RECT frame = *rect;
    frame.right -= m_scroller.GetReservedWidth();
    CDlgControl::DrawBorder(dc, &frame);
}

LRESULT CDlgScrolledControl::OnSetBorderColor(COLORREF color, BOOL redraw) {
    m_scroller.SetBorderColor(color, kNoRedraw);
    return CDlgControl::OnSetBorderColor(color, redraw);
}

// The dialog scrolls its controls by offsetting them; the indicator is no control of the dialog and
// moves along with its owner here.
LRESULT CDlgScrolledControl::OnOffset() {
    RECT full;
    CDlgControl::GetInnerRect(&full);
    RECT placed;
    m_scroller.GetRect(&placed);
    m_scroller.Offset(full.right - placed.right, full.top - placed.top, kNoRedraw);
    return CDlgControl::OnOffset();
}

void CDlgScrolledControl::PlaceScroller() {
    RECT full;
    CDlgControl::GetInnerRect(&full);
    m_scroller.PlaceAlong(full);
}

int CDlgScrolledControl::ViewHeight() {
    RECT inner;
    GetInnerRect(&inner);
    return RectHeight(inner);
}

void CDlgScrolledControl::UpdateScrollRange(BOOL redraw) {
    RECT inner;
    GetInnerRect(&inner);
    if (IsRectEmpty(&inner)) {
        return;
    }
    if (m_scroller.SetRangeChangesVisibility(m_offset, GetContentHeight(), ViewHeight())) {
        SendMessage(kMsgMoved, 0, 0);
    }
    if (redraw) {
        m_scroller.Redraw(nullptr);
    }
}

}  // namespace UserInterface
