#include "UserInterface/CDlgCheckBox.h"

#include <algorithm>

#include "CSysInfo.h"
#include "DrawingHelpers.h"
#include "RectHelpers.h"
#include "UserInterface/CDlgHostDC.h"
#include "UserInterface/CDlgTextScope.h"
#include "UserInterface/IDlgControlImages.h"

namespace UserInterface {

namespace {

constexpr int kTextGap = 2;
constexpr UINT kTextFormat = DT_WORDBREAK | DT_NOPREFIX | DT_NOCLIP;

}  // namespace

CDlgCheckBox::CDlgCheckBox() : CDlgControl(u"__DlgCheckBox") {}

CDlgCheckBox::~CDlgCheckBox() = default;

BOOL CDlgCheckBox::Create(LPCWSTR text, int id, DWORD style, int width, int height) {
    if (!m_text.Set(text)) {
        return 0;
    }
    return CDlgControl::Create(id, style, width, height);
}

int CDlgCheckBox::SetCheck(int state, BOOL redraw) {
    return static_cast<int>(SendMessage(kMsgSetCheck, static_cast<WPARAM>(state), redraw));
}

int CDlgCheckBox::GetCheck() { return static_cast<int>(SendMessage(kMsgGetCheck, 0, 0)); }

int CDlgCheckBox::SetHighlightColor(DWORD color, BOOL redraw) {
    return static_cast<int>(SendMessage(kMsgSetHighlightColor, color, redraw));
}

SIZE CDlgCheckBox::GetSquareSize() const {
    SIZE size{};
    IDlgControlImages* skin = g_pDlgControlImages;
    if (skin == nullptr || !skin->GetCheckBoxSize(&size, m_check)) {
        return SIZE{0, 0};
    }
    return size;
}

int CDlgCheckBox::MeasureText(HDC dc, int width) {
    if (m_text.IsEmpty()) {
        return 0;
    }
    CDlgTextScope text(dc, GetFont(), m_textColor);
    RECT rect{0, 0, std::max(0, width), 0};
    return DrawTextW(dc, m_text.Get(), -1, &rect, kTextFormat | DT_CALCRECT);
}

int CDlgCheckBox::GetPreferredWidth() {
    CDlgHostDC dc(GetHost());
    if (dc.Get() == nullptr || g_pDlgControlImages == nullptr) {
        return 0;
    }
    int width = GetSquareSize().cx + 2 * GetBorderSize();
    if (!m_text.IsEmpty()) {
        CDlgTextScope text(dc.Get(), GetFont(), m_textColor);
        SIZE extent{};
        GetTextExtentPoint32W(dc.Get(), m_text.Get(), m_text.GetLength(), &extent);
        if (extent.cx > 0) {
            width += extent.cx + CSysInfo::Scale(kTextGap);
        }
    }
    return width;
}

int CDlgCheckBox::GetPreferredHeight() {
    CDlgHostDC dc(GetHost());
    if (dc.Get() == nullptr || g_pDlgControlImages == nullptr) {
        return 0;
    }
    const SIZE square = GetSquareSize();
    const int border = GetBorderSize();
    const int textHeight = MeasureText(dc.Get(), GetWidth() - 2 * border - CSysInfo::Scale(kTextGap) - square.cx);
    return std::max<int>(square.cy, textHeight) + 2 * border;
}

void CDlgCheckBox::OnPaint(HDC dc, const RECT* rect) {
    IDlgControlImages* skin = g_pDlgControlImages;
    if (dc == nullptr || rect == nullptr || skin == nullptr) {
        return;
    }
    const SIZE square = GetSquareSize();
    const int height = RectHeight(*rect);
    const int squareTop = rect->top + (height - square.cy) / 2;
    RECT box{rect->left, squareTop, rect->left + square.cx, squareTop + square.cy};
    skin->DrawCheckBox(m_check, dc, &box);

    const int textLeft = rect->left + square.cx + CSysInfo::Scale(kTextGap);
    const int textHeight = MeasureText(dc, rect->right - textLeft);
    if (textHeight <= 0) {
        return;
    }
    const int textTop = rect->top + (height - textHeight) / 2;
    RECT text{textLeft, textTop, rect->right, textTop + textHeight};
    CDlgTextScope scope(dc, GetFont(), m_textColor);
    DrawTextW(dc, m_text.Get(), -1, &text, kTextFormat);
}

// The base frames the focused control; the check box shows focus only as a tint, and only when asked.
void CDlgCheckBox::DrawFocusBorder(HDC dc, const RECT* rect) {
    if (dc == nullptr || rect == nullptr || (GetFlags() & kTintFocus) == 0) {
        return;
    }
    TintRect(dc, rect, m_highlight & 0xFFFFFF, static_cast<BYTE>(m_highlight >> 24));
}

LRESULT CDlgCheckBox::OnKey(UINT key, BOOL down) {
    if (!down || key != VK_RETURN) {
        return 0;
    }
    return Toggle();
}

LRESULT CDlgCheckBox::OnPointer(const POINT* point, int mode) {
    if (mode != 1 || point == nullptr) {
        return 0;
    }
    RECT inner{};
    GetInnerClientRect(&inner);
    return PtInRect(&inner, *point) ? Toggle() : 0;
}

LRESULT CDlgCheckBox::Toggle() {
    m_check = m_check == 1 ? 0 : 1;
    Redraw(nullptr);
    NotifyHost(m_check == 1 ? kNotifyChecked : kNotifyUnchecked, 0, 0);
    return 1;
}

LRESULT CDlgCheckBox::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case kMsgSetText: {
            const bool copied = m_text.Set(reinterpret_cast<LPCWSTR>(wParam));
            if (lParam) {
                Redraw(nullptr);
            }
            return copied ? 1 : 0;
        }
        case kMsgGetText:
            return m_text.CopyTo(reinterpret_cast<LPWSTR>(wParam), static_cast<int>(lParam));
        case kMsgGetTextLength:
            return m_text.GetLength();
        case kMsgSetCheck:
            m_check = static_cast<int>(wParam);
            if (lParam) {
                Redraw(nullptr);
            }
            return 1;
        case kMsgGetCheck:
            return m_check;
        case kMsgSetHighlightColor:
            m_highlight = static_cast<DWORD>(wParam);
            if (lParam) {
                Redraw(nullptr);
            }
            return 0;
        default:
            return 0;
    }
}

}  // namespace UserInterface
