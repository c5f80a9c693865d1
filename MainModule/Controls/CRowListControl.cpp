#include "Controls/CRowListControl.h"

#include <algorithm>

#include "CSysInfo.h"
#include "DrawingHelpers.h"
#include "RectHelpers.h"
#include "UserInterface/CDlgSeparator.h"
#include "UserInterface/IDlgControlImages.h"

namespace {

constexpr int kGap = 2;
constexpr int kScrollerWidth = 4;
constexpr int kScrollerGap = 2;
constexpr int kSmoothStep = 30;
constexpr int kSlideSteps = 16;
constexpr COLORREF kHighlight = 0xFFFFFF;
constexpr int kHighlightAlpha = 64;

}  // namespace

CRowListControl::CRowListControl(LPCWSTR typeName) : CDlgControl(typeName) {}

CRowListControl::~CRowListControl() = default;

BOOL CRowListControl::CreateRows(int contentHeight) {
    m_contentHeight = contentHeight;
    m_rowHeight = contentHeight + 2 * CSysInfo::Scale(1);
    m_gap = CSysInfo::Scale(kGap);
    if (!m_scroller.Create(m_flags & (kBorder | kHostBackground), CSysInfo::Scale(kScrollerWidth), GetHeight())) {
        return FALSE;
    }
    m_scroller.SetHost(m_host);
    m_scroller.SetBorderColor(m_borderColor, UserInterface::kNoRedraw);
    m_scroller.SetBackgroundBrush(m_backgroundBrush, UserInterface::kNoRedraw);
    PlaceScroller();
    UpdateScrollRange(UserInterface::kNoRedraw);
    return TRUE;
}

BOOL CRowListControl::SetHost(UserInterface::IDlgObjectHost* host) {
    m_scroller.SetHost(host);
    return CDlgControl::SetHost(host);
}

int CRowListControl::GetBorderSize() { return IsBordered() ? CSysInfo::Scale(1) : 0; }

void CRowListControl::GetInnerRect(LPRECT rect) {
    CDlgControl::GetInnerRect(rect);
    if (rect != nullptr && IsScrollerVisible()) {
        rect->right = std::max(rect->left, rect->right - CSysInfo::Scale(kScrollerWidth) - CSysInfo::Scale(kScrollerGap));
    }
}

BOOL CRowListControl::Draw(HDC dc, int x, int y, const RECT* clip, BOOL ownBuffer) {
    const BOOL drawn = CDlgControl::Draw(dc, x, y, clip, ownBuffer);
    if (drawn && IsVisible() && IsScrollerVisible()) {
        RECT bar{};
        m_scroller.GetRect(&bar);
        m_scroller.Draw(dc, x + bar.left - m_rect.left, y + bar.top - m_rect.top, nullptr, ownBuffer);
    }
    return drawn;
}

void CRowListControl::DrawBorder(HDC dc, const RECT* rect) {
    if (rect == nullptr) {
        return;
    }
    RECT frame = *rect;
    if (IsScrollerVisible()) {
        frame.right -= CSysInfo::Scale(kScrollerWidth) + CSysInfo::Scale(kScrollerGap);
    }
    CDlgControl::DrawBorder(dc, &frame);
}

void CRowListControl::DrawFocusBorder(HDC, const RECT*) {}

LRESULT CRowListControl::OnSetBorderColor(COLORREF color, BOOL redraw) {
    m_scroller.SetBorderColor(color, UserInterface::kNoRedraw);
    return CDlgControl::OnSetBorderColor(color, redraw);
}

// ---- geometry and scrolling ------------------------------------------------------------------------

int CRowListControl::RowTop(int index) const {
    return std::clamp(index, 0, std::max(GetCount(), 0)) * RowStep();
}

int CRowListControl::FirstVisibleRow() {
    if (GetCount() <= 0 || RowStep() <= 0) {
        return -1;
    }
    const int index = m_offset / RowStep();
    return index < GetCount() ? index : -1;
}

int CRowListControl::VisibleHeight() { return GetInnerHeight(); }

int CRowListControl::MaxOffset() { return std::max(0, GetCount() * RowStep() - VisibleHeight()); }

void CRowListControl::PlaceScroller() {
    const int width = CSysInfo::Scale(kScrollerWidth);
    m_scroller.Move(m_rect.right - width, m_rect.top, width, GetHeight(), UserInterface::kNoRedraw);
}

LRESULT CRowListControl::OnMoved() {
    PlaceScroller();
    UpdateScrollRange(UserInterface::kNoRedraw);
    return 0;
}

LRESULT CRowListControl::OnOffset() {
    PlaceScroller();
    return 0;
}

void CRowListControl::UpdateScrollRange(BOOL redraw) {
    const bool wasShown = IsScrollerVisible();
    m_scroller.SetRange(m_offset, GetCount() * RowStep(), VisibleHeight(), UserInterface::kNoRedraw);
    m_offset = std::clamp(m_offset, 0, MaxOffset());
    m_scroller.SetPosition(m_offset, UserInterface::kNoRedraw);
    if (wasShown != IsScrollerVisible()) {
        PlaceScroller();
    }
    RedrawIf(redraw);
}

void CRowListControl::SetOffset(int offset, BOOL redraw) {
    m_offset = std::clamp(offset, 0, MaxOffset());
    m_scroller.SetPosition(m_offset, UserInterface::kNoRedraw);
    RedrawIf(redraw);
}

void CRowListControl::ScrollSmoothly(int offset) {
    const int target = std::clamp(offset, 0, MaxOffset());
    const int step = std::max(1, CSysInfo::Scale(kSmoothStep));
    while (m_offset != target) {
        SetOffset(m_offset + std::clamp(target - m_offset, -step, step), UserInterface::kRedraw);
    }
}

void CRowListControl::EnsureVisible(int index, BOOL redraw) {
    if (index < 0 || index >= GetCount()) {
        return;
    }
    const int top = RowTop(index);
    const int bottom = top + m_rowHeight;
    int offset = m_offset;
    if (top < m_offset) {
        offset = top;
    } else if (bottom > m_offset + VisibleHeight()) {
        offset = bottom - VisibleHeight();
    }
    SetOffset(std::max(0, offset), redraw);
}

int CRowListControl::HitTest(POINT point) {
    RECT inner{};
    GetInnerClientRect(&inner);
    if (!PtInRect(&inner, point) || RowStep() <= 0) {
        return -1;
    }
    const int y = point.y - inner.top + m_offset;
    const int index = y / RowStep();
    if (index >= GetCount()) {
        return -1;
    }
    if (y - index * RowStep() < m_rowHeight) {
        return index;
    }
    return GapBelongsToRow() && index + 1 < GetCount() ? index : -1;
}

// ---- selection ------------------------------------------------------------------------------------

void CRowListControl::Select(int index, BOOL redraw) {
    if (index >= GetCount()) {
        return;
    }
    m_selected = index < 0 ? -1 : index;
    EnsureVisible(m_selected, UserInterface::kNoRedraw);
    RedrawIf(redraw);
}

void CRowListControl::MoveSelection(int step) {
    if (GetCount() <= 0) {
        return;
    }
    if (m_selected < 0) {
        m_selected = 0;
        EnsureVisible(0, UserInterface::kNoRedraw);
        Redraw(nullptr);
        return;
    }
    const int next = m_selected + step;
    if (next < 0 || next >= GetCount()) {
        return;
    }
    const int previous = m_selected;
    m_selected = next;
    // The view follows first, with the highlight still on the old row; then it slides over.
    m_slideTop = RowTop(previous);
    EnsureVisible(next, UserInterface::kRedraw);
    SlideHighlight(previous, next);
    NotifyHost(kNotifySelection, 0, 0);
}

void CRowListControl::SlideHighlight(int from, int to) {
    const int fromTop = RowTop(from);
    const int toTop = RowTop(to);
    const int spanTop = std::min(fromTop, toTop);
    const int spanHeight = std::max(fromTop, toTop) + m_rowHeight - spanTop;
    const int step = std::max(1, spanHeight / kSlideSteps);
    RECT inner{};
    GetInnerClientRect(&inner);
    RECT span{inner.left, inner.top + spanTop - m_offset, inner.right, inner.top + spanTop - m_offset + spanHeight};
    IntersectRect(&span, &span, &inner);
    int position = fromTop;
    while (position != toTop) {
        position = toTop > position ? std::min(toTop, position + step) : std::max(toTop, position - step);
        m_slideTop = position;
        Redraw(&span);
    }
    m_slideTop = -1;
    Redraw(&span);
}

// ---- painting -------------------------------------------------------------------------------------

void CRowListControl::OnPaint(HDC dc, const RECT* inner) {
    if (dc == nullptr || inner == nullptr) {
        return;
    }
    const int first = FirstVisibleRow();
    const int width = RectWidth(*inner);
    if (first >= 0) {
        int y = inner->top + RowTop(first) - m_offset;
        for (int index = first; index < GetCount() && y < inner->bottom; ++index, y += RowStep()) {
            DrawRow(dc, index, inner->left, y, width);
            if (index + 1 < GetCount()) {
                DrawSeparator(dc, inner->left, y + m_rowHeight, width);
            }
        }
    }
    if (m_slideTop >= 0) {
        const int top = inner->top + m_slideTop - m_offset;
        const RECT highlight{inner->left, top, inner->right, top + m_rowHeight};
        TintRect(dc, &highlight, kHighlight, kHighlightAlpha);
    }
}

void CRowListControl::DrawRow(HDC dc, int index, int x, int y, int width) {
    const RECT row{x, y, x + width, y + m_rowHeight};
    PaintRowContent(dc, index, row);
    if (index == m_selected && m_slideTop < 0) {
        TintRect(dc, &row, kHighlight, kHighlightAlpha);
    }
}

void CRowListControl::DrawSeparator(HDC dc, int x, int y, int width) {
    if (UserInterface::g_pDlgControlImages == nullptr) {
        return;
    }
    UserInterface::CDlgSeparator::DrawEngraved(dc, RECT{x, y, x + width, y + m_gap});
}

// ---- input ----------------------------------------------------------------------------------------

LRESULT CRowListControl::OnKey(UINT key, BOOL down) {
    if (key != VK_UP && key != VK_DOWN && key != VK_RETURN) {
        return 0;
    }
    if (!down) {
        return ConsumesKeyUp() ? 1 : 0;
    }
    if (key == VK_RETURN) {
        NotifyHost(kNotifyEnter, 0, 0);
    } else {
        MoveSelection(key == VK_UP ? -1 : 1);
    }
    return 1;
}

LRESULT CRowListControl::OnPointer(const POINT* point, int mode) {
    if (mode == kPointerCancel || point == nullptr) {
        ResetGesture();
        return 1;
    }
    m_lastPen = *point;
    if (mode == kPointerDown) {
        const int hit = HitTest(*point);
        if (hit >= 0 && hit != m_selected) {
            m_selected = hit;
            EnsureVisible(hit, UserInterface::kNoRedraw);
            Redraw(nullptr);
            NotifyHost(kNotifySelection, 0, 0);
        }
        CDlgScrollable::OnPointer(kPenDown, point);
    } else {
        CDlgScrollable::OnPointer(mode == kPointerUp ? kPenUp : kPenMove, point);
    }
    return 1;
}

void CRowListControl::OnScroll(int kind, int amount) {
    switch (kind) {
        case kMoveDown:
            ScrollSmoothly(m_offset - amount);
            break;
        case kMoveUp:
            ScrollSmoothly(m_offset + amount);
            break;
        case kTap: {
            const int row = HitTest(m_lastPen);
            if (row >= 0) {
                NotifyHost(kNotifyTap, row, 0);
            }
            break;
        }
        default:
            break;
    }
    m_scroller.SetPosition(m_offset, UserInterface::kNoRedraw);
}
