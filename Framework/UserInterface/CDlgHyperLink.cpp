#include "UserInterface/CDlgHyperLink.h"

#include <algorithm>

#include "CSysInfo.h"
#include "UserInterface/CDlgHostDC.h"
#include "UserInterface/CDlgStatic.h"
#include "UserInterface/CDlgTextScope.h"

namespace UserInterface {

namespace {

// A copy of the font (the system font for null), underlined and in ClearType quality.
HFONT CreateLinkFont(HFONT font) {
    LOGFONTW description{};
    HGDIOBJ source = font != nullptr ? static_cast<HGDIOBJ>(font) : GetStockObject(SYSTEM_FONT);
    if (GetObjectW(source, sizeof description, &description) == 0) {
        return nullptr;
    }
    description.lfUnderline = 1;
    description.lfQuality = CLEARTYPE_QUALITY;
    return CreateFontIndirectW(&description);
}

}  // namespace

CDlgHyperLink::CDlgHyperLink() : CDlgControl(u"__DlgHyperLink") {
    m_textColor = kLinkColor;
    TakeUnderlinedCopy(m_font);
}

CDlgHyperLink::~CDlgHyperLink() = default;

BOOL CDlgHyperLink::Create(LPCWSTR text, LPCWSTR url, int id, DWORD style, int width, int height) {
    if (!m_text.Set(text) || !m_url.Set(url)) {
        return 0;
    }
    return CDlgControl::Create(id, style, width, height);
}

int CDlgHyperLink::GetTextInset() { return GetBorderSize() + 2 * CSysInfo::Scale(1); }

UINT CDlgHyperLink::GetTextFormat() const {
    const DWORD style = GetFlags();
    UINT format = CDlgStatic::GetAlignmentFormat(style);
    if (style & kSingleLine) format |= DT_SINGLELINE;
    if (style & kWordBreak) format |= DT_WORDBREAK;
    return format;
}

int CDlgHyperLink::GetPreferredWidth() {
    CDlgHostDC dc(GetHost());
    if (dc.Get() == nullptr || m_text.IsEmpty()) {
        return 0;
    }
    CDlgTextScope text(dc.Get(), GetFont(), m_textColor);
    SIZE extent{};
    GetTextExtentPoint32W(dc.Get(), m_text.Get(), m_text.GetLength(), &extent);
    return extent.cx + 2 * GetTextInset();
}

int CDlgHyperLink::GetPreferredHeight() {
    CDlgHostDC dc(GetHost());
    if (dc.Get() == nullptr || m_text.IsEmpty()) {
        return 0;
    }
    CDlgTextScope text(dc.Get(), GetFont(), m_textColor);
    const int inset = GetTextInset();
    RECT rect{0, 0, std::max(0, GetWidth() - 2 * inset), 0};
    return DrawTextW(dc.Get(), m_text.Get(), -1, &rect, GetTextFormat() | DT_CALCRECT) + 2 * inset;
}

void CDlgHyperLink::OnPaint(HDC dc, const RECT* rect) {
    if (dc == nullptr || rect == nullptr || m_text.IsEmpty()) {
        return;
    }
    RECT textRect = *rect;
    InflateRect(&textRect, -2 * CSysInfo::Scale(1), -2 * CSysInfo::Scale(1));
    if (m_pressed) {
        // The pressed look: the text sinks right and down.
        OffsetRect(&textRect, CSysInfo::Scale(1), CSysInfo::Scale(1));
    }
    if (IsRectEmpty(&textRect)) {
        return;
    }
    CDlgTextScope text(dc, GetFont(), m_textColor);
    DrawTextW(dc, m_text.Get(), -1, &textRect, GetTextFormat());
}

void CDlgHyperLink::DrawFocusBorder(HDC dc, const RECT* rect) {
    if (dc != nullptr && rect != nullptr) {
        DrawFocusRect(dc, rect);
    }
}

LRESULT CDlgHyperLink::OnKey(UINT key, BOOL down) {
    if (!down || key != VK_RETURN) {
        return 0;
    }
    return Open();
}

LRESULT CDlgHyperLink::OnPointer(const POINT* point, int mode) {
    RECT client{};
    GetClientRect(&client);
    switch (mode) {
        case 1:
            if (point == nullptr) {
                return 0;
            }
            if (PtInRect(&client, *point)) {
                SetPressed(true);
            }
            return 1;
        case 0:
            if (point == nullptr) {
                return 0;
            }
            if (m_pressed && !PtInRect(&client, *point)) {
                SetPressed(false);
            }
            return 1;
        case 2:
            if (m_pressed) {
                SetPressed(false);
                Open();
            }
            return 1;
        case 3:
            if (m_pressed) {
                SetPressed(false);
            }
            return 1;
        default:
            return 0;
    }
}

void CDlgHyperLink::SetPressed(bool pressed) {
    m_pressed = pressed;
    Redraw(nullptr);
}

LRESULT CDlgHyperLink::Open() {
    LPCWSTR address = m_url.Get() != nullptr ? m_url.Get() : m_text.Get();
    if (address == nullptr) {
        return 0;
    }
    CSysInfo::OpenUrl(address);
    NotifyHost(kNotifyOpened, reinterpret_cast<LPARAM>(address), 0);
    return 1;
}

// The old font stays when no copy can be made: a link keeps some font rather than none.
bool CDlgHyperLink::TakeUnderlinedCopy(HFONT font) {
    HFONT underlined = CreateLinkFont(font);
    if (underlined == nullptr) {
        return false;
    }
    if (m_font != nullptr) {
        DeleteObject(m_font);
    }
    m_font = underlined;
    return true;
}

LRESULT CDlgHyperLink::OnSetFont(HFONT font, BOOL redraw) {
    if (TakeUnderlinedCopy(font)) {
        RedrawIf(redraw);
    }
    return 0;
}

LRESULT CDlgHyperLink::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case kMsgSetText:
            return OnSetText(reinterpret_cast<LPCWSTR>(wParam), static_cast<BOOL>(lParam));
        case kMsgGetText:
            return OnGetText(reinterpret_cast<LPWSTR>(wParam), static_cast<int>(lParam));
        case kMsgSetUrl:
            return OnSetUrl(reinterpret_cast<LPCWSTR>(wParam));
        case kMsgGetUrl:
            return OnGetUrl(reinterpret_cast<LPWSTR>(wParam), static_cast<int>(lParam));
        default:
            return 0;
    }
}

LRESULT CDlgHyperLink::OnSetText(LPCWSTR text, BOOL redraw) {
    const bool copied = m_text.Set(text);
    if (redraw) {
        Redraw(nullptr);
    }
    return copied ? 1 : 0;
}

LRESULT CDlgHyperLink::OnGetText(LPWSTR buffer, int length) { return m_text.CopyTo(buffer, length); }

LRESULT CDlgHyperLink::OnSetUrl(LPCWSTR url) { return m_url.Set(url) ? 1 : 0; }

LRESULT CDlgHyperLink::OnGetUrl(LPWSTR buffer, int length) { return m_url.CopyTo(buffer, length); }

}  // namespace UserInterface
