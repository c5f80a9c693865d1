#include "UserInterface/CDlgLayout.h"

#include <algorithm>
#include <cstdlib>

#include "CSysInfo.h"
#include "UserInterface/CDlgControl.h"
#include "UserInterface/IDlgObjectHost.h"

namespace UserInterface {

CDlgLayout::CDlgLayout() = default;

CDlgLayout::~CDlgLayout() = default;

BOOL CDlgLayout::AddControl(CDlgControl* control) {
    if (control == nullptr) {
        return FALSE;
    }
    m_controls.emplace_back(control);
    return m_host == nullptr || control->SetHost(m_host);
}

void CDlgLayout::SetBounds(const RECT& view, int margin, int rowGap) {
    m_view = view;
    m_margin = margin;
    m_rowGap = rowGap;
}

BOOL CDlgLayout::AttachHost(IDlgObjectHost* host, BOOL blitScrolling) {
    m_host = host;
    m_blitScrolling = blitScrolling;
    for (const auto& control : m_controls) {
        if (!control->SetHost(host)) {
            return FALSE;
        }
    }
    return TRUE;
}

CDlgControl* CDlgLayout::GetControlAt(int index) const {
    return index >= 0 && index < GetControlCount() ? m_controls[static_cast<size_t>(index)].get() : nullptr;
}

CDlgControl* CDlgLayout::FindControl(int id) const {
    for (const auto& control : m_controls) {
        if (control->GetId() == id) {
            return control.get();
        }
    }
    return nullptr;
}

int CDlgLayout::IndexOfControl(const CDlgControl* control) const {
    for (size_t i = 0; i < m_controls.size(); ++i) {
        if (m_controls[i].get() == control) {
            return static_cast<int>(i);
        }
    }
    return -1;
}

CDlgControl* CDlgLayout::ControlFromPoint(int x, int y) const {
    const POINT point{x, y};
    for (const auto& control : m_controls) {
        RECT rect;
        control->GetRect(&rect);
        if (control->IsVisible() && PtInRect(&rect, point)) {
            return control.get();
        }
    }
    return nullptr;
}

void CDlgLayout::BroadcastMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    for (const auto& control : m_controls) {
        control->SendMessage(message, wParam, lParam);
    }
}

void CDlgLayout::DeleteAllControls() {
    m_controls.clear();
    m_view = RECT{};
    m_margin = 0;
    m_rowGap = 0;
    m_scrollPos = 0;
    m_host = nullptr;
}

bool CDlgLayout::IsControlInRect(const CDlgControl* control, const RECT& rect) {
    RECT bounds;
    RECT common;
    control->GetRect(&bounds);
    return IntersectRect(&common, &bounds, &rect) != FALSE;
}

BOOL CDlgLayout::PaintControls(HDC dc, const RECT* rect) {
    const RECT area = rect != nullptr ? *rect : m_view;
    for (const auto& control : m_controls) {
        // A control laid out empty is drawn as well: it shows nothing, but hands its text to the
        // platform's text-fit log.
        RECT bounds;
        control->GetRect(&bounds);
        const POINT corner{bounds.left, bounds.top};
        const bool inArea = IsControlInRect(control.get(), area) || (IsRectEmpty(&bounds) && PtInRect(&area, corner));
        if (control->IsVisible() && inArea &&
            !control->SendMessage(CDlgControl::kMsgDrawAt, reinterpret_cast<WPARAM>(dc), 0)) {
            return FALSE;
        }
    }
    return TRUE;
}

void CDlgLayout::PlaceControl(CDlgControl* control, int x, int y, SIZE* previous) {
    const bool fillWidth = control->GetSizeMode(TRUE) == CDlgControl::kFillSize;
    const bool fillHeight = control->GetSizeMode(FALSE) == CDlgControl::kFillSize;
    const int width = std::max(0, ViewWidth() - m_margin - (fillWidth ? x - m_view.left : 0));
    const int height = std::max(0, ViewHeight() - m_rowGap - (fillHeight ? m_scrollPos + y - m_view.top : 0));
    control->Place(x, y, width, height, previous, kNoRedraw);
    *previous = SIZE{control->GetWidth(), control->GetHeight()};
}

void CDlgLayout::Arrange() {
    int x = m_view.left + m_margin;
    int y = m_view.top + m_rowGap - m_scrollPos;
    int rowHeight = 0;
    SIZE previous{0, 0};
    for (const auto& control : m_controls) {
        if (!control->IsVisible()) {
            continue;
        }
        if (!control->ContinuesRow()) {
            if (rowHeight != 0) {
                y += m_rowGap + rowHeight;
            }
            x = m_view.left + m_margin;
            rowHeight = 0;
        }
        PlaceControl(control.get(), x, y, &previous);
        x += m_margin + control->GetWidth();
        rowHeight = std::max(rowHeight, control->GetHeight());
    }
    // Content that shrank above the bottom of the view comes back down.
    const int content = GetContentHeight();
    if (m_scrollPos != 0 && content < m_scrollPos - 2 * m_rowGap + ViewHeight()) {
        const int position = std::max(0, content + 2 * m_rowGap - ViewHeight());
        OffsetAll(m_scrollPos - position);
        m_scrollPos = position;
    }
}

// The rows as the row flow forms them; a row of nothing but empty controls takes no room.
std::vector<CDlgLayout::Row> CDlgLayout::Rows() const {
    std::vector<Row> rows;
    for (const auto& control : m_controls) {
        if (!control->IsVisible()) {
            continue;
        }
        if (rows.empty() || !control->ContinuesRow()) {
            if (rows.empty() || rows.back().height != 0) {
                rows.push_back(Row{});
            } else {
                rows.back() = Row{};  // the next row starts where the empty one was
            }
        } else {
            rows.back().width += m_margin;
        }
        rows.back().width += control->GetWidth();
        rows.back().height = std::max(rows.back().height, control->GetHeight());
    }
    return rows;
}

int CDlgLayout::GetContentWidth() const {
    int widest = 0;
    for (const Row& row : Rows()) {
        widest = std::max(widest, row.width);
    }
    return widest + 2 * m_margin;
}

int CDlgLayout::GetContentHeight() const {
    int height = m_rowGap;
    for (const Row& row : Rows()) {
        if (row.height != 0) {
            height += row.height + m_rowGap;
        }
    }
    return height;
}

BOOL CDlgLayout::ScrollToControlAt(int index, BOOL animate) { return ScrollToControl(GetControlAt(index), animate); }

BOOL CDlgLayout::ScrollToControl(CDlgControl* control, BOOL animate) {
    if (control == nullptr) {
        return FALSE;
    }
    RECT rect;
    control->GetRect(&rect);
    int position = m_scrollPos;
    if (rect.top < m_view.top) {
        position = m_scrollPos + rect.top - m_view.top - m_rowGap;
    } else if (rect.bottom > m_view.bottom) {
        position = m_scrollPos + m_rowGap + rect.bottom - m_view.bottom;
    }
    position = std::max(0, position);
    return position != m_scrollPos && ScrollTo(position, animate);
}

BOOL CDlgLayout::ScrollUp(int distance, BOOL animate) { return ScrollTo(m_scrollPos - distance, animate); }

BOOL CDlgLayout::ScrollDown(int distance, BOOL animate) { return ScrollTo(m_scrollPos + distance, animate); }

// Content that fits the view has nowhere to scroll: the bottom limit never goes below the top.
int CDlgLayout::ClampScroll(int position) const {
    return std::max(0, std::min(position, GetContentHeight() - ViewHeight()));
}

BOOL CDlgLayout::ScrollTo(int position, BOOL animate) {
    if (m_host == nullptr || position == m_scrollPos) {
        return FALSE;
    }
    const int target = ClampScroll(position);
    if (target == m_scrollPos) {
        return FALSE;
    }
    if (animate) {
        BroadcastMessage(CDlgControl::kMsgGesture, 1, 0);
    }
    if (m_blitScrolling) {
        BlitScroll(target);
    } else {
        StepScroll(target);
    }
    if (animate) {
        BroadcastMessage(CDlgControl::kMsgGesture, 2, 0);
    }
    return TRUE;
}

void CDlgLayout::OffsetAll(int dy) {
    for (const auto& control : m_controls) {
        control->Offset(0, dy, kNoRedraw);
    }
}

void CDlgLayout::StepScroll(int target) {
    const int step = std::max(1, CSysInfo::Scale(5));
    const int direction = target > m_scrollPos ? 1 : -1;
    while (m_scrollPos != target) {
        const int s = std::min(step, std::abs(target - m_scrollPos));
        OffsetAll(-direction * s);
        m_scrollPos += direction * s;
        m_host->RedrawHost();
    }
}

HDC CDlgLayout::StripDC(HDC reference, int width, int height) {
    if ((!m_strip.IsValid() || m_strip.Width() < width || m_strip.Height() < height) &&
        !m_strip.CreateCompatible(reference, width, height)) {
        return nullptr;
    }
    return m_strip.DC();
}

// Draws the content of old and new view into one strip once, then slides the view over it.
void CDlgLayout::BlitScroll(int target) {
    const int distance = std::abs(target - m_scrollPos);
    const bool down = target > m_scrollPos;
    OffsetAll(down ? -distance : distance);
    m_scrollPos = target;
    HDC screen = m_host->GetHostDC();
    HDC strip = screen != nullptr ? StripDC(screen, ViewWidth(), ViewHeight() + distance) : nullptr;
    if (strip == nullptr) {
        if (screen != nullptr) {
            m_host->ReleaseHostDC(screen);
        }
        m_host->RedrawHost();
        return;
    }
    RECT all{0, 0, ViewWidth(), ViewHeight() + distance};
    m_host->EraseBackground(nullptr, strip, &all);
    const int stripTop = down ? m_view.top - distance : m_view.top;
    const RECT stripArea{m_view.left, stripTop, m_view.right, stripTop + all.bottom};
    for (const auto& control : m_controls) {
        if (control->IsVisible() && IsControlInRect(control.get(), stripArea)) {
            RECT rect;
            control->GetRect(&rect);
            control->Draw(strip, rect.left - m_view.left, rect.top - stripTop, nullptr, FALSE);
        }
    }
    const int step = std::max(1, CSysInfo::Scale(5));
    for (int moved = std::min(step, distance);; moved = std::min(moved + step, distance)) {
        BitBlt(screen, m_view.left, m_view.top, ViewWidth(), ViewHeight(), strip, 0, down ? moved : distance - moved,
               SRCCOPY);
        if (moved == distance) {
            break;
        }
    }
    m_host->ReleaseHostDC(screen);
}

}  // namespace UserInterface
