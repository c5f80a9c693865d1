#include "UserInterface/CDlgControl.h"

#include "CSysInfo.h"
#include "RectHelpers.h"
#include "UserInterface/CDlgStatic.h"

#include <string>

namespace UserInterface {

namespace {

// Narrows the context's clip to a rectangle for one scope and puts the previous clip back.
class ClipScope {
public:
    ClipScope(HDC dc, const RECT& rect) : m_dc(dc), m_saved(CreateRectRgn(0, 0, 0, 0)) {
        m_hadClip = m_saved != nullptr && GetClipRgn(dc, m_saved) == 1;
        IntersectClipRect(dc, rect.left, rect.top, rect.right, rect.bottom);
    }
    ~ClipScope() {
        SelectClipRgn(m_dc, m_hadClip ? m_saved : nullptr);
        if (m_saved != nullptr) {
            DeleteObject(m_saved);
        }
    }
    ClipScope(const ClipScope&) = delete;
    ClipScope& operator=(const ClipScope&) = delete;

private:
    HDC m_dc;
    HRGN m_saved;
    bool m_hadClip = false;
};

// A copy of the font (the system font for null), optionally with ClearType quality.
HFONT CopyFont(HFONT font, bool clearType) {
    LOGFONTW description{};
    HGDIOBJ source = font != nullptr ? static_cast<HGDIOBJ>(font) : GetStockObject(SYSTEM_FONT);
    if (GetObjectW(source, sizeof(description), &description) == 0) {
        return nullptr;
    }
    if (clearType) {
        description.lfQuality = CLEARTYPE_QUALITY;
    }
    return CreateFontIndirectW(&description);
}

// n nested one-pixel frames from the rectangle's edge inwards.
void DrawFrames(HDC dc, const RECT& rect, COLORREF color, int count) {
    HPEN pen = CreatePen(PS_SOLID, 1, color);
    if (pen == nullptr) {
        return;
    }
    HGDIOBJ oldPen = SelectObject(dc, pen);
    for (int i = 0; i < count; ++i) {
        const int left = rect.left + i;
        const int top = rect.top + i;
        const int right = rect.right - i - 1;
        const int bottom = rect.bottom - i - 1;
        if (right < left || bottom < top) {
            break;
        }
        const POINT frame[] = {{left, top}, {right, top}, {right, bottom}, {left, bottom}, {left, top}};
        Polyline(dc, frame, 5);
    }
    SelectObject(dc, oldPen);
    DeleteObject(pen);
}

}  // namespace

CDlgControl::CDlgControl(LPCWSTR typeName) : m_typeName(typeName) { m_font = CopyFont(nullptr, true); }

CDlgControl::~CDlgControl() {
    if (m_offscreenBitmap != nullptr) {
        DeleteObject(m_offscreenBitmap);
    }
    if (m_font != nullptr) {
        DeleteObject(m_font);
    }
    if (m_backgroundBrush != nullptr) {
        DeleteObject(m_backgroundBrush);
    }
    m_timers.RemoveAll();
}

// ---- creation and geometry ----------------------------------------------------------------------

BOOL CDlgControl::Create(int id, DWORD flags, int width, int height) {
    m_percentWidth = (flags & kPercentWidth) != 0 ? width : 0;
    m_percentHeight = (flags & kPercentHeight) != 0 ? height : 0;
    m_rect = RECT{0, 0, (flags & kPercentWidth) ? 0 : width, (flags & kPercentHeight) ? 0 : height};
    m_flags = flags;
    m_id = id;
    if (SendMessage(kMsgCreate, 0, 0) == 0) {
        return FALSE;
    }
    m_created = 1;
    return TRUE;
}

BOOL CDlgControl::Move(int x, int y, int width, int height, BOOL redraw) {
    m_rect = RECT{x, y, x + width, y + height};
    SendMessage(kMsgMoved, 0, 0);
    RedrawIf(redraw);
    return TRUE;
}

BOOL CDlgControl::Offset(int dx, int dy, BOOL redraw) {
    OffsetRect(&m_rect, dx, dy);
    SendMessage(kMsgOffset, 0, 0);
    RedrawIf(redraw);
    return TRUE;
}

void CDlgControl::GetRect(LPRECT rect) const {
    if (rect != nullptr) {
        *rect = m_rect;
    }
}

void CDlgControl::GetClientRect(LPRECT rect) const {
    if (rect != nullptr) {
        *rect = RECT{0, 0, GetWidth(), GetHeight()};
    }
}

int CDlgControl::GetSizeMode(BOOL width) const {
    const DWORD record = width ? kRecordWidth : kRecordHeight;
    const DWORD fill = width ? kFillWidth : kFillHeight;
    const DWORD percent = width ? kPercentWidth : kPercentHeight;
    const DWORD preferred = width ? kPreferredWidth : kPreferredHeight;
    if (m_flags & record) {
        return kRecordSize;
    }
    if (m_flags & fill) {
        return kFillSize;
    }
    if (m_flags & percent) {
        return kPercentSize;
    }
    return (m_flags & preferred) ? kPreferredSize : kKeepSize;
}

BOOL CDlgControl::Place(int x, int y, int availableWidth, int availableHeight, const SIZE* record, BOOL redraw) {
    int width = GetWidth();
    switch (GetSizeMode(TRUE)) {
        case kPreferredSize: width = GetPreferredWidth(); break;
        case kPercentSize: width = m_percentWidth * availableWidth / 100; break;
        case kFillSize: width = availableWidth; break;
        case kRecordSize: width = record != nullptr ? record->cx : 0; break;
        default: break;
    }
    // A preferred height follows the width (wrapped text is measured at the control's width): the new
    // width is taken first, or the first placing measures a text wrapped word by word.
    if (GetSizeMode(FALSE) == kPreferredSize && width != GetWidth()) {
        Move(x, y, width, GetHeight(), kNoRedraw);
    }
    int height = GetHeight();
    switch (GetSizeMode(FALSE)) {
        case kPreferredSize: height = GetPreferredHeight(); break;
        case kPercentSize: height = m_percentHeight * availableHeight / 100; break;
        case kFillSize: height = availableHeight; break;
        case kRecordSize: height = record != nullptr ? record->cy : 0; break;
        default: break;
    }
    return Move(x, y, width, height, redraw);
}

int CDlgControl::GetBorderSize() { return IsBordered() ? 2 * CSysInfo::Scale(1) : 0; }

void CDlgControl::GetInnerRect(LPRECT rect) {
    if (rect == nullptr) {
        return;
    }
    const int border = GetBorderSize();
    *rect = m_rect;
    InflateRect(rect, -border, -border);
    if (rect->right < rect->left) {
        rect->right = rect->left;
    }
    if (rect->bottom < rect->top) {
        rect->bottom = rect->top;
    }
}

void CDlgControl::GetInnerClientRect(LPRECT rect) {
    GetInnerRect(rect);
    if (rect != nullptr) {
        OffsetRect(rect, -m_rect.left, -m_rect.top);
    }
}

int CDlgControl::GetInnerWidth() {
    RECT inner;
    GetInnerRect(&inner);
    return RectWidth(inner);
}

int CDlgControl::GetInnerHeight() {
    RECT inner;
    GetInnerRect(&inner);
    return RectHeight(inner);
}

BOOL CDlgControl::GetTypeName(LPWSTR buffer, int size) const {
    if (m_typeName == nullptr || buffer == nullptr || size < 1) {
        return FALSE;
    }
    lstrcpynW(buffer, m_typeName, size);
    return TRUE;
}

// ---- state --------------------------------------------------------------------------------------

BOOL CDlgControl::SetHost(IDlgObjectHost* host) {
    m_host = host;
    return TRUE;
}

int CDlgControl::GetPreferredWidth() { return 0; }
int CDlgControl::GetPreferredHeight() { return 0; }
BOOL CDlgControl::CanFocus() { return TRUE; }

void CDlgControl::SetVisible(BOOL visible, BOOL redraw) {
    m_flags = visible ? (m_flags | kVisible) : (m_flags & ~static_cast<DWORD>(kVisible));
    RedrawIf(redraw);
}

void CDlgControl::Enable(BOOL enabled, BOOL redraw) {
    m_flags = enabled ? (m_flags & ~static_cast<DWORD>(kDisabled)) : (m_flags | kDisabled);
    RedrawIf(redraw);
}

BOOL CDlgControl::OwnsWindow(HWND) { return FALSE; }
BOOL CDlgControl::IsSameControl(const CDlgControl* control) { return control == this; }
BOOL CDlgControl::IsOtherWindow(HWND window) { return !OwnsWindow(window); }
BOOL CDlgControl::IsOtherControl(const CDlgControl* control) { return !IsSameControl(control); }

LRESULT CDlgControl::NotifyHost(int code, LPARAM a, LPARAM b) {
    return m_host != nullptr ? m_host->OnControlNotify(this, code, a, b) : 0;
}

void CDlgControl::RedrawIf(BOOL redraw) {
    if (redraw) {
        Redraw(nullptr);
    }
}

// ---- drawing ------------------------------------------------------------------------------------

BOOL CDlgControl::Redraw(const RECT* clip) {
    if (m_host == nullptr) {
        return FALSE;
    }
    HDC dc = m_host->GetHostDC();
    if (dc == nullptr) {
        return FALSE;
    }
    const BOOL drawn = Draw(dc, m_rect.left, m_rect.top, clip, TRUE);
    m_host->ReleaseHostDC(dc);
    return drawn;
}

namespace {

// A label laid out with no room still hands its text to the platform, into its empty rectangle where
// nothing shows, so that the platform's text-fit log (when a process keeps one) names the lost text.
void DrawTextOfEmptyControl(CDlgControl& control, HDC dc, int x, int y) {
    const auto length = static_cast<int>(control.SendMessage(CDlgStatic::kMsgGetTextLength, 0, 0));
    if (length <= 0 || length > 4096) {
        return;
    }
    std::u16string text(static_cast<size_t>(length) + 1, u'\0');
    control.SendMessage(CDlgStatic::kMsgGetText, reinterpret_cast<WPARAM>(text.data()), length + 1);
    text.resize(std::char_traits<char16_t>::length(text.c_str()));
    RECT where;
    control.GetClientRect(&where);
    OffsetRect(&where, x, y);
    DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &where, DT_SINGLELINE);
}

}  // namespace

BOOL CDlgControl::Draw(HDC dc, int x, int y, const RECT* clip, BOOL ownBuffer) {
    if (!IsVisible()) {
        return TRUE;
    }
    if (m_host == nullptr || dc == nullptr) {
        return FALSE;
    }
    RECT part;
    GetClientRect(&part);
    if (IsRectEmpty(&part)) {
        DrawTextOfEmptyControl(*this, dc, x, y);
        return TRUE;
    }
    if (clip != nullptr && !IntersectRect(&part, &part, clip)) {
        return TRUE;
    }
    if (!ownBuffer) {
        RECT target = part;
        OffsetRect(&target, x, y);
        DrawParts(dc, x, y, target);
        return TRUE;
    }
    HDC buffer = GetOffscreenDC(dc, GetWidth(), GetHeight());
    if (buffer == nullptr) {
        return FALSE;
    }
    DrawParts(buffer, 0, 0, part);
    const BOOL copied = BitBlt(dc, x + part.left, y + part.top, RectWidth(part), RectHeight(part), buffer,
                               part.left, part.top, SRCCOPY);
    DeleteDC(buffer);
    return copied;
}

void CDlgControl::DrawParts(HDC dc, int x, int y, const RECT& clip) {
    ClipScope clipped(dc, clip);
    RECT whole;
    GetClientRect(&whole);
    OffsetRect(&whole, x, y);
    DrawBackground(dc, &clip, &whole);
    if (IsBordered()) {
        DrawBorder(dc, &whole);
    }
    RECT inner;
    GetInnerClientRect(&inner);
    OffsetRect(&inner, x, y);
    if (!IsRectEmpty(&inner)) {
        ClipScope content(dc, inner);
        OnPaint(dc, &inner);
    }
    if (m_host != nullptr && m_host->GetFocusedControl() == this) {
        DrawFocusBorder(dc, &whole);
    }
}

HDC CDlgControl::GetOffscreenDC(HDC reference, int width, int height) {
    if (width <= 0 || height <= 0) {
        return nullptr;
    }
    if (m_offscreenBitmap == nullptr || m_offscreenSize.cx < width || m_offscreenSize.cy < height) {
        if (m_offscreenBitmap != nullptr) {
            DeleteObject(m_offscreenBitmap);
        }
        m_offscreenBitmap = CreateCompatibleBitmap(reference, width, height);
        m_offscreenSize = m_offscreenBitmap != nullptr ? SIZE{width, height} : SIZE{};
        if (m_offscreenBitmap == nullptr) {
            return nullptr;
        }
    }
    HDC dc = CreateCompatibleDC(reference);
    if (dc != nullptr) {
        SelectObject(dc, m_offscreenBitmap);
    }
    return dc;
}

void CDlgControl::OnPaint(HDC, const RECT*) {}

void CDlgControl::DrawBorder(HDC dc, const RECT* rect) {
    if (dc != nullptr && rect != nullptr) {
        DrawFrames(dc, *rect, m_borderColor, CSysInfo::Scale(1));
    }
}

void CDlgControl::DrawFocusBorder(HDC dc, const RECT* rect) {
    if (dc != nullptr && rect != nullptr) {
        DrawFrames(dc, *rect, m_focusColor, 2 * CSysInfo::Scale(1));
    }
}

// The clip is already selected into the context by the drawing path.
void CDlgControl::DrawBackground(HDC dc, const RECT* /*clip*/, const RECT* rect) {
    if (m_host == nullptr || rect == nullptr || IsRectEmpty(rect)) {
        return;
    }
    if (IsHostBackground()) {
        m_host->EraseBackground(this, dc, rect);
        return;
    }
    HBRUSH brush = m_backgroundBrush != nullptr ? m_backgroundBrush : static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    FillRect(dc, rect, brush);
}

// ---- messages -----------------------------------------------------------------------------------

LRESULT CDlgControl::SendMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const auto dc = reinterpret_cast<HDC>(wParam);
    const auto window = reinterpret_cast<HWND>(lParam);
    const auto point = reinterpret_cast<const POINT*>(wParam);
    const BOOL redraw = lParam != 0;
    switch (message) {
        case kMsgCreate: return OnCreate();
        case kMsgActivate: return OnActivate();
        case kMsgDeactivate: return OnDeactivate();
        case kMsgDrawAt: return OnDrawAt(dc, reinterpret_cast<const RECT*>(lParam));
        case kMsgMoved: return OnMoved();
        case kMsgOffset: return OnOffset();
        case kMsgSetFocus: return OnSetFocus();
        case kMsgKillFocus: return OnKillFocus();
        case kMsgKeyDown: return OnKey(static_cast<UINT>(lParam), TRUE);
        case kMsgKeyUp: return OnKey(static_cast<UINT>(lParam), FALSE);
        case kMsgPointerMove: return OnPointer(point, kPointerMove);
        case kMsgPointerDown: return OnPointer(point, kPointerDown);
        case kMsgPointerUp: return OnPointer(point, kPointerUp);
        case kMsgPointerCancel: return OnPointer(nullptr, kPointerCancel);
        case kMsgMessage21: return OnMessage21(wParam, lParam);
        case kMsgGesture: return OnGesture(static_cast<int>(wParam));
        case kMsgSetFont: return OnSetFont(reinterpret_cast<HFONT>(wParam), redraw);
        case kMsgGetFont: return OnGetFont();
        case kMsgSetBackgroundBrush: return OnSetBackgroundBrush(reinterpret_cast<HBRUSH>(wParam), redraw);
        case kMsgGetBackgroundBrush: return OnGetBackgroundBrush();
        case kMsgSetBorderColor: return OnSetBorderColor(static_cast<COLORREF>(wParam), redraw);
        case kMsgGetBorderColor: return OnGetBorderColor();
        case kMsgSetTextColor: return OnSetTextColor(static_cast<COLORREF>(wParam), redraw);
        case kMsgGetTextColor: return OnGetTextColor();
        case kMsgSetFocusColor: return OnSetFocusColor(static_cast<COLORREF>(wParam), redraw);
        case kMsgGetFocusColor: return OnGetFocusColor();
        case kMsgCommand: return OnCommand(static_cast<int>(wParam), window);
        case kMsgCtlColorEdit: return OnCtlColorEdit(dc, window);
        case kMsgCtlColorStatic: return OnCtlColorStatic(dc, window);
        case kMsgCtlColorListBox: return OnCtlColorListBox(dc, window);
        case kMsgCtlColorDlg: return OnCtlColorDlg(dc, window);
        case kMsgCtlColorBtn: return OnCtlColorBtn(dc, window);
        case kMsgCtlColorScrollBar: return OnCtlColorScrollBar(dc, window);
        default: return OnMessage(message, wParam, lParam);
    }
}

LRESULT CDlgControl::OnCreate() { return 1; }

LRESULT CDlgControl::OnActivate() {
    m_hostActive = 1;
    return 0;
}

LRESULT CDlgControl::OnDeactivate() {
    m_hostActive = 0;
    return 0;
}

LRESULT CDlgControl::OnDrawAt(HDC dc, const RECT* clip) { return Draw(dc, m_rect.left, m_rect.top, clip, FALSE); }

LRESULT CDlgControl::OnMoved() { return 0; }
LRESULT CDlgControl::OnOffset() { return 0; }
LRESULT CDlgControl::OnSetFocus() { return 0; }
LRESULT CDlgControl::OnKillFocus() { return 0; }
LRESULT CDlgControl::OnKey(UINT, BOOL) { return 0; }
LRESULT CDlgControl::OnPointer(const POINT*, int) { return 0; }
LRESULT CDlgControl::OnMessage21(WPARAM, LPARAM) { return 0; }
LRESULT CDlgControl::OnGesture(int) { return 0; }

LRESULT CDlgControl::OnSetFont(HFONT font, BOOL redraw) {
    HFONT copy = CopyFont(font, false);
    if (copy == nullptr) {
        return 0;  // the old font stays rather than none
    }
    if (m_font != nullptr) {
        DeleteObject(m_font);
    }
    m_font = copy;
    RedrawIf(redraw);
    return 0;
}

LRESULT CDlgControl::OnGetFont() { return reinterpret_cast<LRESULT>(m_font); }

LRESULT CDlgControl::OnSetBackgroundBrush(HBRUSH brush, BOOL redraw) {
    HBRUSH copy = nullptr;
    LOGBRUSH description{};
    if (brush != nullptr && GetObjectW(brush, sizeof(description), &description) != 0) {
        copy = CreateSolidBrush(description.lbColor);
    }
    if (m_backgroundBrush != nullptr) {
        DeleteObject(m_backgroundBrush);
    }
    m_backgroundBrush = copy;
    RedrawIf(redraw);
    return 0;
}

LRESULT CDlgControl::OnGetBackgroundBrush() { return reinterpret_cast<LRESULT>(m_backgroundBrush); }

LRESULT CDlgControl::OnSetBorderColor(COLORREF color, BOOL redraw) {
    m_borderColor = color;
    RedrawIf(redraw);
    return 0;
}

LRESULT CDlgControl::OnGetBorderColor() { return m_borderColor; }

LRESULT CDlgControl::OnSetTextColor(COLORREF color, BOOL redraw) {
    m_textColor = color;
    RedrawIf(redraw);
    return 0;
}

LRESULT CDlgControl::OnGetTextColor() { return m_textColor; }

LRESULT CDlgControl::OnSetFocusColor(COLORREF color, BOOL redraw) {
    m_focusColor = color;
    RedrawIf(redraw);
    return 0;
}

LRESULT CDlgControl::OnGetFocusColor() { return m_focusColor; }

LRESULT CDlgControl::OnCommand(int, HWND) { return 0; }
LRESULT CDlgControl::OnCtlColorEdit(HDC, HWND) { return 0; }
LRESULT CDlgControl::OnCtlColorStatic(HDC, HWND) { return 0; }
LRESULT CDlgControl::OnCtlColorListBox(HDC, HWND) { return 0; }
LRESULT CDlgControl::OnCtlColorDlg(HDC, HWND) { return 0; }
LRESULT CDlgControl::OnCtlColorBtn(HDC, HWND) { return 0; }
LRESULT CDlgControl::OnCtlColorScrollBar(HDC, HWND) { return 0; }
LRESULT CDlgControl::OnMessage(UINT, WPARAM, LPARAM) { return 0; }

// ---- wrappers -----------------------------------------------------------------------------------

BOOL CDlgControl::SetFont(HFONT font, BOOL redraw) { return OnSetFont(font, redraw) == 0; }

HFONT CDlgControl::GetFont() { return reinterpret_cast<HFONT>(SendMessage(kMsgGetFont, 0, 0)); }

BOOL CDlgControl::SetBackgroundBrush(HBRUSH brush, BOOL redraw) {
    return SendMessage(kMsgSetBackgroundBrush, reinterpret_cast<WPARAM>(brush), redraw) == 0;
}

HBRUSH CDlgControl::GetBackgroundBrush() {
    return reinterpret_cast<HBRUSH>(SendMessage(kMsgGetBackgroundBrush, 0, 0));
}

BOOL CDlgControl::SetBorderColor(COLORREF color, BOOL redraw) {
    return SendMessage(kMsgSetBorderColor, color, redraw) == 0;
}

COLORREF CDlgControl::GetBorderColor() { return static_cast<COLORREF>(SendMessage(kMsgGetBorderColor, 0, 0)); }

BOOL CDlgControl::SetTextColor(COLORREF color, BOOL redraw) { return SendMessage(kMsgSetTextColor, color, redraw) == 0; }

BOOL CDlgControl::SetFocusColor(COLORREF color, BOOL redraw) {
    return SendMessage(kMsgSetFocusColor, color, redraw) == 0;
}

}  // namespace UserInterface
