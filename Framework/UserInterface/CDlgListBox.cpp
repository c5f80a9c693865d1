#include "UserInterface/CDlgListBox.h"

#include <algorithm>
#include <cstdlib>
#include <new>
#include <vector>

#include "CSysInfo.h"
#include "DrawingHelpers.h"
#include "RectHelpers.h"
#include "UserInterface/CDefaultListElementCollection.h"
#include "UserInterface/CDlgHostDC.h"
#include "UserInterface/CDlgTextScope.h"
#include "UserInterface/IDlgControlImages.h"

namespace UserInterface {

namespace {

constexpr int kNumberWidth = 15;
constexpr int kKeyStep = 30;
constexpr int kBlitStep = 5;
constexpr int kSlideFrames = 16;
constexpr UINT kTextFormat = DT_WORDBREAK | DT_NOPREFIX;

int S(int length) { return CSysInfo::Scale(length); }

void FillColor(HDC dc, const RECT& rect, COLORREF color) {
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(dc, &rect, brush);
    DeleteObject(brush);
}

// One line from (x1, y1) to (x2, y2), the end point included.
void Line(HDC dc, int x1, int y1, int x2, int y2, COLORREF color) {
    HPEN pen = CreatePen(PS_SOLID, 1, color);
    HGDIOBJ old = SelectObject(dc, pen);
    const POINT points[] = {{x1, y1}, {x2, y2}};
    Polyline(dc, points, 2);
    SetPixel(dc, x2, y2, color);
    SelectObject(dc, old);
    DeleteObject(pen);
}

}  // namespace

CDlgListBox::CDlgListBox() : CDlgListBox(nullptr) {}

CDlgListBox::CDlgListBox(CListElementCollection* rows)
    : CDlgScrolledControl(u"__DlgListBox"),
      m_rows(rows),
      m_ownsRows(rows == nullptr),
      m_rowSpacing(g_pSysInfo != nullptr ? g_pSysInfo->ScaleToScreen(1) : 1),
      m_numberFont(static_cast<HFONT>(GetStockObject(SYSTEM_FONT))) {
    if (m_rows == nullptr) {
        m_rows = new CDefaultListElementCollection();
    }
    RebuildBoldFont();
}

CDlgListBox::~CDlgListBox() {
    if (m_ownsRows) {
        delete m_rows;
    }
    if (m_boldFont != nullptr) {
        DeleteObject(m_boldFont);
    }
}

void CDlgListBox::RebuildBoldFont() {
    LOGFONTW description{};
    if (GetObjectW(m_font, sizeof(description), &description) == 0) {
        return;
    }
    description.lfWeight = FW_BOLD;
    description.lfQuality = CLEARTYPE_QUALITY;
    HFONT bold = CreateFontIndirectW(&description);
    if (bold == nullptr) {
        return;  // the old bold font stays rather than none
    }
    if (m_boldFont != nullptr) {
        DeleteObject(m_boldFont);
    }
    m_boldFont = bold;
}

// ---- items --------------------------------------------------------------------------------------

BOOL CDlgListBox::AddItem(LPCWSTR text, int leftImage, int rightImage, intptr_t data, BOOL redraw) {
    if (text == nullptr) {
        return FALSE;
    }
    const int count = m_rows->GetCount();
    int index = count;
    if (GetFlags() & kSorted) {
        for (int i = 0; i < count; ++i) {
            LPCWSTR other = m_rows->GetText(i);
            if (_wcsicmp(other != nullptr ? other : u"", text) > 0) {
                index = i;
                break;
            }
        }
    }
    if (!m_rows->InsertAt(index)) {
        return FALSE;
    }
    if (m_selection >= index && index < count) {
        ++m_selection;
    }
    if (!m_rows->SetText(index, text)) {
        m_rows->RemoveAt(index);
        if (m_selection > index) {
            --m_selection;
        }
        return FALSE;
    }
    m_rows->SetLeftImage(index, leftImage);
    m_rows->SetRightImage(index, rightImage);
    m_rows->SetData(index, data);
    // As in the combo box, a new row takes the list's text colour; SetItemTextColor changes one row.
    m_rows->SetTextColor(index, static_cast<COLORREF>(OnGetTextColor()));
    MeasureRow(index);
    UpdateScrollRange(kNoRedraw);
    RedrawIf(redraw);
    return TRUE;
}

// The offset goes back to the top with the rows: an old offset would hide the first rows of the next
// content, or scroll a short list that has nowhere to go.
void CDlgListBox::ResetContent(BOOL redraw) {
    m_rows->RemoveAll();
    m_selection = -1;
    m_offset = 0;
    UpdateScrollRange(kNoRedraw);
    RedrawIf(redraw);
}

int CDlgListBox::FindItem(LPCWSTR text, BOOL exact) {
    if (text == nullptr) {
        return -1;
    }
    const int count = m_rows->GetCount();
    const bool nearest = (GetFlags() & kSorted) != 0 && !exact;
    for (int i = 0; i < count; ++i) {
        LPCWSTR row = m_rows->GetText(i);
        const int order = _wcsicmp(row != nullptr ? row : u"", text);
        if (order == 0 || (nearest && order > 0)) {
            return i;
        }
    }
    return nearest ? count - 1 : -1;
}

int CDlgListBox::GetItemCount() { return m_rows->GetCount(); }

intptr_t CDlgListBox::GetItemData(int index) { return m_rows->GetData(index); }

void CDlgListBox::SetItemTextColor(int index, COLORREF color, BOOL redraw) {
    if (index < 0 || index >= m_rows->GetCount()) {
        return;
    }
    m_rows->SetTextColor(index, color);
    RedrawIf(redraw);
}

void CDlgListBox::SetRowSpacing(int pixels, BOOL redraw) {
    m_rowSpacing = pixels;
    SendMessage(kMsgMoved, 0, 0);
    RedrawIf(redraw);
}

void CDlgListBox::SetSelectionTint(DWORD tint, BOOL redraw) {
    m_selectionTint = tint;
    RedrawIf(redraw);
}

void CDlgListBox::SetMinItemHeight(int pixels, BOOL redraw) {
    m_minItemHeight = pixels;
    SendMessage(kMsgMoved, 0, 0);
    EnsureVisible(m_selection, kNoRedraw);
    RedrawIf(redraw);
}

BOOL CDlgListBox::SetSelection(int index, BOOL redraw) {
    return static_cast<BOOL>(SendMessage(kMsgSetSelection, static_cast<WPARAM>(index), redraw));
}

int CDlgListBox::GetSelection() { return static_cast<int>(SendMessage(kMsgGetSelection, 0, 0)); }

LRESULT CDlgListBox::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case kMsgSetSelection: return OnSetSelection(static_cast<int>(wParam), lParam != 0);
        case kMsgGetSelection: return OnGetSelection();
        default: return 0;
    }
}

LRESULT CDlgListBox::OnSetSelection(int index, BOOL redraw) {
    if (index < 0 || index >= m_rows->GetCount() || !AllowsSelection()) {
        return 0;
    }
    m_selection = index;
    EnsureVisible(index, kNoRedraw);
    RedrawIf(redraw);
    return 1;
}

LRESULT CDlgListBox::OnGetSelection() { return m_selection; }

// ---- geometry -----------------------------------------------------------------------------------

int CDlgListBox::GetRowSpacing() { return (GetFlags() & kSeparators) ? std::max(m_rowSpacing, 0) : 0; }

int CDlgListBox::GetRowTop(int index) {
    const int count = m_rows->GetCount();
    index = std::clamp(index, 0, count);
    int top = 0;
    for (int i = 0; i < index; ++i) {
        top += m_rows->GetHeight(i);
    }
    // Every row but the last has its separator below it.
    return top + GetRowSpacing() * std::min(index, std::max(count - 1, 0));
}

int CDlgListBox::GetFirstVisibleRow() {
    const int count = m_rows->GetCount();
    const int spacing = GetRowSpacing();
    int top = 0;
    for (int i = 0; i < count; ++i) {
        const int bottom = top + m_rows->GetHeight(i) + (i < count - 1 ? spacing : 0);
        if (m_offset >= top && m_offset < bottom) {
            return i;
        }
        top = bottom;
    }
    return -1;
}

int CDlgListBox::RowFromPoint(int y) {
    if (y < 0 || y >= GetHeight()) {
        return -1;
    }
    RECT inner;
    GetInnerClientRect(&inner);
    const int contentY = m_offset + y - inner.top;
    const int count = m_rows->GetCount();
    const int spacing = GetRowSpacing();
    int top = 0;
    for (int i = 0; i < count; ++i) {
        const int bottom = top + m_rows->GetHeight(i) + (i < count - 1 ? spacing : 0);
        if (contentY >= top && contentY < bottom) {
            return i;
        }
        top = bottom;
    }
    return -1;
}

bool CDlgListBox::IsNumberedNow() { return (GetFlags() & kNumbered) != 0 && m_rows->GetCount() < kNumberedLimit; }

HFONT CDlgListBox::RowFont(int index) const {
    return m_rows->IsBold(index) && m_boldFont != nullptr ? m_boldFont : m_font;
}

int CDlgListBox::PictureWidth(bool left, int index) {
    SIZE size{};
    if (!(left ? GetLeftImageSize(index, &size) : GetRightImageSize(index, &size))) {
        return 0;
    }
    return std::max<int>(size.cx, 0);
}

// Measuring and painting share this rectangle, so that a row wraps its text alike in both.
RECT CDlgListBox::TextRect(int index, int x, int width) {
    int left = x + 2 * S(1);
    if (IsNumberedNow()) {
        left += kNumberWidth * S(1);
    }
    if (const int picture = PictureWidth(true, index); picture > 0) {
        left += picture + 2 * S(1);
    }
    int right = x + width - 1;
    if (const int picture = PictureWidth(false, index); picture > 0) {
        right -= picture + 4 * S(1);
    }
    return RECT{left, 0, std::max(left, right), 0};
}

int CDlgListBox::MeasureText(HDC dc, int index, int width) {
    LPCWSTR text = m_rows->GetText(index);
    if (dc == nullptr || text == nullptr) {
        return 0;
    }
    CDlgTextScope scope(dc, RowFont(index), 0);
    if (GetFlags() & kSingleLine) {
        SIZE size{};
        GetTextExtentPoint32W(dc, u"Wpq", 3, &size);
        return size.cy;
    }
    RECT rect = TextRect(index, 0, width);
    return DrawTextW(dc, text, -1, &rect, kTextFormat | DT_CALCRECT);
}

int CDlgListBox::GetRowTextHeight(int index, int width) {
    CDlgHostDC dc(GetHost());
    return MeasureText(dc.Get(), index, width);
}

int CDlgListBox::MeasureRow(int index) {
    SIZE left{};
    SIZE right{};
    const int leftHeight = GetLeftImageSize(index, &left) ? left.cy : 0;
    const int rightHeight = GetRightImageSize(index, &right) ? right.cy : 0;
    const int text = GetRowTextHeight(index, GetInnerWidth());
    const int height = std::max(std::max(leftHeight, rightHeight), text) + 4 * S(1);
    const int measured = std::max(height, m_minItemHeight);
    m_rows->SetHeight(index, measured);
    return measured;
}

int CDlgListBox::MeasureAll() {
    const int count = m_rows->GetCount();
    for (int i = 0; i < count; ++i) {
        MeasureRow(i);
    }
    return GetRowTop(count);
}

// The height the rows take as the layout will measure them, with the spacing after every row (the last
// one's too), so that a list placed at its preferred height shows every row without scrolling.
int CDlgListBox::GetPreferredHeight() {
    const int rows = MeasureAll();
    return 2 * GetBorderSize() + rows + (m_rows->GetCount() > 0 ? GetRowSpacing() : 0);
}

BOOL CDlgListBox::GetLeftImageSize(int, SIZE*) { return FALSE; }
void CDlgListBox::DrawLeftImage(HDC, int, int, int) {}
BOOL CDlgListBox::GetRightImageSize(int, SIZE*) { return FALSE; }
void CDlgListBox::DrawRightImage(HDC, int, int, int) {}

// ---- layout and scrolling -----------------------------------------------------------------------

LRESULT CDlgListBox::OnCreate() { return CreateScroller((GetFlags() & kScrollerFixedThumb) != 0) ? 1 : 0; }

LRESULT CDlgListBox::OnMoved() {
    PlaceScroller();
    int content = MeasureAll();
    if (content > ViewHeight()) {
        m_scroller.SetVisible(TRUE, kNoRedraw);
        content = MeasureAll();  // the rows wrap in the narrower width
    }
    m_offset = ClampOffset(m_offset);
    m_scroller.SetRange(m_offset, content, ViewHeight(), kNoRedraw);
    // A list made smaller (the input panel came up) keeps its selected row in sight.
    EnsureVisible(m_selection, kNoRedraw);
    return 0;
}

int CDlgListBox::ClampOffset(int offset) {
    return std::max(0, std::min(offset, GetContentHeight() - ViewHeight()));
}

void CDlgListBox::EnsureVisible(int index, BOOL redraw) {
    const int view = ViewHeight();
    if (index < 0 || index >= m_rows->GetCount() || view <= 0) {
        return;
    }
    const int top = GetRowTop(index);
    const int bottom = top + m_rows->GetHeight(index);
    if (top < m_offset) {
        m_offset = top;
    } else if (bottom >= m_offset + view) {
        m_offset = bottom - view;
    }
    m_offset = std::max(m_offset, 0);
    m_scroller.SetPosition(m_offset, kNoRedraw);
    RedrawIf(redraw);
}

// Both ends bound the target, so that content shorter than the view never moves up off its top.
void CDlgListBox::ScrollTo(int target) {
    target = ClampOffset(target);
    if (target == m_offset) {
        return;
    }
    if ((GetFlags() & kBlitScrolling) && GetHost() != nullptr) {
        BlitScrollTo(target);
        return;
    }
    const int step = std::max(S(kKeyStep), 1);
    while (m_offset != target) {
        m_offset = m_offset < target ? std::min(m_offset + step, target) : std::max(m_offset - step, target);
        Redraw(nullptr);
    }
}

// The rows of the view and the distance are drawn once; the steps only copy parts of that strip.
void CDlgListBox::BlitScrollTo(int target) {
    RECT inner;
    GetInnerRect(&inner);
    const int width = RectWidth(inner);
    const int view = RectHeight(inner);
    const int distance = std::abs(target - m_offset);
    CDlgHostDC host(GetHost());
    if (host.Get() == nullptr || width <= 0 || view <= 0 ||
        !m_strip.CreateCompatible(host.Get(), width, view + distance)) {
        m_offset = target;
        Redraw(nullptr);
        return;
    }
    const int stripTop = std::min(m_offset, target);
    const RECT area{0, 0, width, view + distance};
    PaintRows(m_strip.DC(), area, stripTop);
    const int step = std::max(S(kBlitStep), 1);
    for (int moved = step;; moved += step) {
        const int covered = std::min(moved, distance);
        const int source = target > m_offset ? covered : distance - covered;
        BitBlt(host.Get(), inner.left, inner.top, width, view, m_strip.DC(), 0, source, SRCCOPY);
        if (covered == distance) {
            break;
        }
    }
    m_offset = target;
    m_strip.Release();
    Redraw(nullptr);
}

void CDlgListBox::OnScroll(int kind, int amount) {
    switch (kind) {
        case kMoveDown: ScrollTo(m_offset - amount); break;
        case kMoveUp: ScrollTo(m_offset + amount); break;
        case kTap: {
            const int row = RowFromPoint(m_pressPoint.y);
            if (row >= 0) {
                NotifyHost(kNotifyTap, row, 0);
            }
            break;
        }
        default: break;
    }
    m_scroller.SetPosition(m_offset, kRedraw);
}

// ---- painting -----------------------------------------------------------------------------------

void CDlgListBox::OnPaint(HDC dc, const RECT* inner) {
    if (dc != nullptr && inner != nullptr) {
        PaintRows(dc, *inner, m_offset);
    }
}

void CDlgListBox::PaintRows(HDC dc, const RECT& area, int offset) {
    const int width = RectWidth(area);
    if (m_sliding) {
        RECT bar{area.left, area.top + m_slideTop - offset, area.right, area.top + m_slideTop - offset + m_slideHeight};
        if (GetFlags() & kTintSelection) {
            TintRect(dc, &bar, m_selectionTint & 0xFFFFFF, static_cast<int>(m_selectionTint >> 24));
        } else {
            DrawSelectionBar(dc, bar);
        }
    }
    const int count = m_rows->GetCount();
    const int spacing = GetRowSpacing();
    for (int i = 0, top = 0; i < count; ++i) {
        const int y = area.top + top - offset;
        if (y >= area.bottom) {
            break;
        }
        const int height = m_rows->GetHeight(i);
        if (y + height + spacing > area.top) {
            DrawRow(dc, i, area.left, y, width);
            if (spacing > 0 && i < count - 1) {
                DrawRowSeparator(dc, area.left, y + height, width);
            }
        }
        // The rows advance by the spacing whether or not a separator was drawn, as the hit test counts.
        top += height + (i < count - 1 ? spacing : 0);
    }
}

int CDlgListBox::DrawRow(HDC dc, int index, int x, int y, int width) {
    const int height = m_rows->GetHeight(index);
    const RECT rect{x, y, x + width, y + height};
    const bool selected = index == m_selection && AllowsSelection() && !m_sliding;
    if (selected && !(GetFlags() & kTintSelection)) {
        DrawSelectionBar(dc, rect);
    }
    DrawRowContent(dc, index, x, y, width);
    if (selected && (GetFlags() & kTintSelection)) {
        TintRect(dc, &rect, m_selectionTint & 0xFFFFFF, static_cast<int>(m_selectionTint >> 24));
    }
    return height;
}

void CDlgListBox::DrawSelectionBar(HDC dc, const RECT& rect) {
    const int width = RectWidth(rect);
    const int height = RectHeight(rect);
    if (width <= 0 || height <= 0) {
        return;
    }
    if (!m_selectionCache.IsValid() || m_selectionCache.Width() != width || m_selectionCache.Height() != height) {
        if (!m_selectionCache.CreateCompatible(dc, width, height)) {
            return;
        }
        HDC cache = m_selectionCache.DC();
        BitBlt(cache, 0, 0, width, height, dc, rect.left, rect.top, SRCCOPY);
        const RECT local{0, 0, width, height};
        IDlgControlImages* skin = g_pDlgControlImages;
        if (!(GetFlags() & kSkinSelection) || skin == nullptr || !skin->DrawListSelection(cache, &local)) {
            DrawBevelBar(cache, local);
        }
    }
    BitBlt(dc, rect.left, rect.top, width, height, m_selectionCache.DC(), 0, 0, SRCCOPY);
}

void CDlgListBox::DrawBevelBar(HDC dc, const RECT& rect) {
    FillColor(dc, rect, RGB(255, 255, 255));
    const int l = rect.left;
    const int t = rect.top;
    const int r = rect.right - 1;
    const int b = rect.bottom - 1;
    Line(dc, l, t, r, t, RGB(0xA9, 0xA9, 0xA9));
    Line(dc, l, t, l, b, RGB(0xA9, 0xA9, 0xA9));
    Line(dc, r, t, r, b, RGB(0x7F, 0x7F, 0x7F));
    Line(dc, l, b, r, b, RGB(0x7F, 0x7F, 0x7F));
    if (r - l < 2 || b - t < 2) {
        return;
    }
    Line(dc, l + 1, t + 1, r - 1, t + 1, RGB(0xE8, 0xE8, 0xE8));
    Line(dc, l + 1, t + 1, l + 1, b - 1, RGB(0xE8, 0xE8, 0xE8));
    Line(dc, r - 1, t + 1, r - 1, b - 1, RGB(0xBE, 0xBE, 0xBE));
    Line(dc, l + 1, b - 1, r - 1, b - 1, RGB(0xBE, 0xBE, 0xBE));
}

void CDlgListBox::DrawRowContent(HDC dc, int index, int x, int y, int width) {
    const int height = m_rows->GetHeight(index);
    const COLORREF color = m_rows->GetTextColor(index);
    if (IsNumberedNow()) {
        WCHAR number[8];
        wsprintfW(number, u"%d", index + 1);
        RECT box{x + 2 * S(1), y, x + 2 * S(1) + kNumberWidth * S(1), y + height};
        CDlgTextScope scope(dc, m_numberFont, color);
        DrawTextW(dc, number, 1, &box, DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX);
    }
    RECT text = TextRect(index, x, width);
    SIZE picture{};
    if (GetLeftImageSize(index, &picture) && picture.cx > 0) {
        DrawLeftImage(dc, index, text.left - picture.cx - 2 * S(1), y + (height - picture.cy) / 2);
    }
    if (GetRightImageSize(index, &picture) && picture.cx > 0) {
        DrawRightImage(dc, index, x + width - 2 * S(1) - picture.cx, y + (height - picture.cy) / 2);
    }
    LPCWSTR label = m_rows->GetText(index);
    if (label == nullptr) {
        return;
    }
    const int textHeight = MeasureText(dc, index, width);
    text.top = y + (height - textHeight) / 2;
    text.bottom = text.top + textHeight;
    CDlgTextScope scope(dc, RowFont(index), color);
    std::vector<WCHAR> fitted;
    if (GetFlags() & kSingleLine) {
        fitted.resize(static_cast<size_t>(lstrlenW(label)) + 4);
        if (CSysInfo::FitTextEllipsis(label, fitted.data(), static_cast<int>(fitted.size()), dc, &text)) {
            label = fitted.data();
        }
    }
    const UINT format = kTextFormat | DT_NOCLIP | ((GetFlags() & kSingleLine) ? DT_SINGLELINE : 0);
    // The shadow keeps the text readable on the light selection bar; a tinted selection needs none.
    if (index == m_selection && AllowsSelection() && !(GetFlags() & kTintSelection)) {
        RECT shadow = text;
        OffsetRect(&shadow, 1, 1);
        ::SetTextColor(dc, color == RGB(0, 0, 0) ? RGB(255, 255, 255) : RGB(0, 0, 0));
        DrawTextW(dc, label, -1, &shadow, format);
        ::SetTextColor(dc, color);
    }
    DrawTextW(dc, label, -1, &text, format);
}

int CDlgListBox::DrawRowSeparator(HDC dc, int x, int y, int width) {
    IDlgControlImages* skin = g_pDlgControlImages;
    const int spacing = GetRowSpacing();
    if (skin == nullptr || spacing < 1) {
        return 0;
    }
    const RECT rect{x, y, x + width, y + spacing};
    skin->DrawRowSeparator(dc, &rect);
    return spacing;
}

// ---- keys ---------------------------------------------------------------------------------------

LRESULT CDlgListBox::OnKey(UINT key, BOOL down) {
    if (!AllowsSelection()) {
        return 0;
    }
    if (IsNumberedNow()) {
        return down ? KeyDownNumbered(key) : 1;
    }
    if (!down) {
        return key == VK_RETURN || key == VK_UP || key == VK_DOWN;
    }
    switch (key) {
        case VK_RETURN:
            NotifyHost(kNotifyEnter, 0, 0);
            return 1;
        case VK_UP: return KeyUp();
        case VK_DOWN: return KeyDown();
        default: return 0;
    }
}

// Every key is the list's while it shows numbers; a digit selects the row of its number.
LRESULT CDlgListBox::KeyDownNumbered(UINT key) {
    if (key < '1' || key > '9') {
        return 1;
    }
    const int index = static_cast<int>(key - '1');
    if (index >= m_rows->GetCount() || index == m_selection) {
        return 1;
    }
    m_selection = index;
    EnsureVisible(index, kRedraw);
    NotifyHost(kNotifySelectionChanged, 0, 0);
    return 1;
}

LRESULT CDlgListBox::KeyUp() {
    for (int i = m_selection - 1; i >= 0; --i) {
        if (m_rows->IsEnabled(i)) {
            MoveSelection(i);
            return 1;
        }
    }
    // Nothing selectable above: bring whatever heads the list into view, as far as the selection allows.
    m_offset = 0;
    EnsureVisible(m_selection, kNoRedraw);
    m_scroller.SetPosition(m_offset, kNoRedraw);
    Redraw(nullptr);
    return 1;
}

LRESULT CDlgListBox::KeyDown() {
    const int count = m_rows->GetCount();
    if (count == 0) {
        return 0;
    }
    int index = std::max(m_selection + 1, 0);
    while (index < count - 1 && !m_rows->IsEnabled(index)) {
        ++index;
    }
    if (index >= count) {
        return 1;  // already on the last row
    }
    if (!m_rows->IsEnabled(index)) {
        return 0;  // the host may move the focus on
    }
    MoveSelection(index);
    return 1;
}

// A first selection by key only shows the row: no slide and no notification.
void CDlgListBox::MoveSelection(int index) {
    index = std::clamp(index, 0, m_rows->GetCount() - 1);
    if (index == m_selection) {
        return;
    }
    if (m_selection < 0) {
        m_selection = index;
        EnsureVisible(index, kRedraw);
        return;
    }
    const int old = m_selection;
    EnsureVisible(index, kRedraw);
    SlideSelection(old, index);
    m_selection = index;
    Redraw(nullptr);
    NotifyHost(kNotifySelectionChanged, 0, 0);
}

// The bar slides over the strip that covers both rows, a sixteenth of the way each frame.
void CDlgListBox::SlideSelection(int from, int to) {
    if (!AllowsSelection() || GetHost() == nullptr) {
        return;
    }
    const int fromTop = GetRowTop(from);
    const int toTop = GetRowTop(to);
    const int fromHeight = m_rows->GetHeight(from);
    const int toHeight = m_rows->GetHeight(to);
    const int step = std::max(std::abs(toTop - fromTop) / kSlideFrames, 1);
    RECT inner;
    GetInnerClientRect(&inner);
    const int stripTop = std::min(fromTop, toTop) - m_offset + inner.top;
    const int stripBottom = std::max(fromTop + fromHeight, toTop + toHeight) - m_offset + inner.top;
    RECT strip{inner.left, std::max<LONG>(stripTop, inner.top), inner.right, std::min<LONG>(stripBottom, inner.bottom)};
    m_sliding = true;
    int top = fromTop;
    const int frames = std::max(std::abs(toTop - fromTop) / step, 1);
    for (int frame = 1; top != toTop; ++frame) {
        top = toTop > fromTop ? std::min(top + step, toTop) : std::max(top - step, toTop);
        m_slideTop = top;
        m_slideHeight = fromHeight + (toHeight - fromHeight) * std::min(frame, frames) / frames;
        if (!IsRectEmpty(&strip)) {
            Redraw(&strip);
        }
    }
    m_sliding = false;
}

// ---- pointer and fonts --------------------------------------------------------------------------

LRESULT CDlgListBox::OnPointer(const POINT* point, int mode) {
    if (mode == kPointerCancel) {
        ResetGesture();
        return 0;
    }
    if (point == nullptr || mode < kPointerMove || mode > kPointerUp) {
        return 0;
    }
    if (mode == kPointerDown) {
        m_pressPoint = *point;
        const int row = RowFromPoint(point->y);
        if (AllowsSelection() && row >= 0 && row != m_selection && m_rows->IsEnabled(row)) {
            SetSelection(row, kRedraw);
            NotifyHost(kNotifySelectionChanged, 0, 0);
        }
    }
    static constexpr int kPenEvent[] = {kPenMove, kPenDown, kPenUp};
    CDlgScrollable::OnPointer(kPenEvent[mode], point);
    return 1;
}

// Rows are measured again in the new font, so that the stored heights stay those of what is drawn.
LRESULT CDlgListBox::OnSetFont(HFONT font, BOOL redraw) {
    CDlgControl::OnSetFont(font, kNoRedraw);
    RebuildBoldFont();
    if (IsCreated()) {
        SendMessage(kMsgMoved, 0, 0);
    }
    RedrawIf(redraw);
    return 0;
}

}  // namespace UserInterface
