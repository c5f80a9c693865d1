#include "UserInterface/CDlgStatic.h"

#include <algorithm>
#include <string>
#include <vector>

#include "CSysInfo.h"
#include "RectHelpers.h"
#include "UserInterface/CDlgHostDC.h"
#include "UserInterface/CDlgTextScope.h"
#include "UserInterface/IDlgImage.h"

namespace UserInterface {

namespace {

constexpr int kImageGap = 2;

}  // namespace

std::u16string CDlgStatic::FitWithEllipsis(HDC dc, LPCWSTR text, const RECT& rect, bool keepEnd) {
    std::u16string source(text);
    if (keepEnd) {
        std::reverse(source.begin(), source.end());
    }
    std::vector<WCHAR> fitted(source.size() + 4);
    if (!CSysInfo::FitTextEllipsis(source.c_str(), fitted.data(), static_cast<int>(fitted.size()), dc, &rect)) {
        return text;
    }
    std::u16string result(fitted.data());
    if (keepEnd) {
        std::reverse(result.begin(), result.end());
    }
    return result;
}

CDlgStatic::CDlgStatic() : CDlgControl(u"__DlgStatic") {}

CDlgStatic::~CDlgStatic() = default;

BOOL CDlgStatic::Create(LPCWSTR text, const IDlgImage* image, int id, DWORD style, int width, int height) {
    if (!m_text.Set(text) || !CopyImage(image)) {
        return 0;
    }
    return CDlgControl::Create(id, style, width, height);
}

int CDlgStatic::SetText(LPCWSTR text, BOOL redraw) {
    return static_cast<int>(SendMessage(kMsgSetText, reinterpret_cast<WPARAM>(text), redraw));
}

bool CDlgStatic::CopyImage(const IDlgImage* image) {
    m_image.reset(IDlgImage::Copy(image));
    return image == nullptr || m_image != nullptr;
}

bool CDlgStatic::GetImageSize(SIZE* size) const {
    if (m_image == nullptr || !m_image->IsValid()) {
        return false;
    }
    *size = SIZE{m_image->GetWidth(), m_image->GetHeight()};
    return size->cx > 0 && size->cy > 0;
}

int CDlgStatic::GetImageSpan() const {
    SIZE size{};
    return GetImageSize(&size) ? size.cx + CSysInfo::Scale(kImageGap) : 0;
}

int CDlgStatic::GetPreferredWidth() {
    CDlgHostDC dc(GetHost());
    if (dc.Get() == nullptr || m_text.IsEmpty()) {
        return 0;
    }
    CDlgTextScope text(dc.Get(), GetFont(), m_textColor);
    SIZE extent{};
    GetTextExtentPoint32W(dc.Get(), m_text.Get(), m_text.GetLength(), &extent);
    return extent.cx + GetImageSpan() + 2 * GetBorderSize();
}

int CDlgStatic::GetPreferredHeight() {
    CDlgHostDC dc(GetHost());
    if (dc.Get() == nullptr || m_text.IsEmpty()) {
        return 0;
    }
    CDlgTextScope text(dc.Get(), GetFont(), m_textColor);
    RECT rect{0, 0, std::max(0, GetWidth() - 2 * GetBorderSize() - GetImageSpan()), 0};
    const int textHeight = DrawTextW(dc.Get(), m_text.Get(), -1, &rect, GetTextFormat() | DT_CALCRECT);
    SIZE image{};
    const int imageHeight = GetImageSize(&image) ? image.cy : 0;
    return std::max(textHeight, imageHeight) + 2 * GetBorderSize();
}

RECT CDlgStatic::PlaceImage(const RECT& inner, SIZE size) const {
    const DWORD style = GetFlags();
    LONG x = inner.left;
    if (style & kImageRight) {
        x = inner.right - size.cx;
    } else if (style & kImageCenter) {
        x = inner.left + (RectWidth(inner) - size.cx) / 2;
    }
    LONG y = inner.top;
    if (style & kImageBottom) {
        y = inner.bottom - size.cy;
    } else if (style & kImageVCenter) {
        y = inner.top + (RectHeight(inner) - size.cy) / 2;
    }
    return RECT{x, y, x + size.cx, y + size.cy};
}

UINT CDlgStatic::GetAlignmentFormat(DWORD style) {
    UINT format = DT_NOPREFIX | DT_NOCLIP;
    if (style & kTextCenter) format |= DT_CENTER;
    if (style & kTextRight) format |= DT_RIGHT;
    if (style & kTextVCenter) format |= DT_VCENTER;
    if (style & kTextBottom) format |= DT_BOTTOM;
    return format;
}

UINT CDlgStatic::GetTextFormat() const {
    const DWORD style = GetFlags();
    UINT format = GetAlignmentFormat(style);
    if (style & kSingleLine) format |= DT_SINGLELINE;
    if (style & kWordBreak) format |= DT_WORDBREAK;
    return format;
}

void CDlgStatic::OnPaint(HDC dc, const RECT* rect) {
    if (dc == nullptr || rect == nullptr || m_text.IsEmpty()) {
        return;
    }
    RECT textRect = *rect;
    SIZE size{};
    if (GetImageSize(&size)) {
        const RECT image = PlaceImage(*rect, size);
        m_image->Draw(dc, image.left, image.top, size.cx, size.cy, 0, 0);
        if (GetFlags() & kImageRight) {
            textRect.right = image.left - CSysInfo::Scale(kImageGap);
        } else {
            textRect.left = image.right + CSysInfo::Scale(kImageGap);
        }
    }
    CDlgTextScope text(dc, GetFont(), m_textColor);
    DrawLabelText(dc, textRect);
}

void CDlgStatic::DrawLabelText(HDC dc, RECT rect) const {
    const DWORD style = GetFlags();
    if ((style & (kEllipsisFront | kEllipsisBack)) == 0) {
        DrawTextW(dc, m_text.Get(), -1, &rect, GetTextFormat());
        return;
    }
    const std::u16string shown = FitWithEllipsis(dc, m_text.Get(), rect, (style & kEllipsisBack) == 0);
    DrawTextW(dc, shown.c_str(), static_cast<int>(shown.size()), &rect, GetTextFormat());
}

LRESULT CDlgStatic::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case kMsgSetText:
            return OnSetText(reinterpret_cast<LPCWSTR>(wParam), static_cast<BOOL>(lParam));
        case kMsgGetText:
            return OnGetText(reinterpret_cast<LPWSTR>(wParam), static_cast<int>(lParam));
        case kMsgGetTextLength:
            return OnGetTextLength();
        case kMsgSetImage:
            return OnSetImage(reinterpret_cast<const IDlgImage*>(wParam), static_cast<BOOL>(lParam));
        default:
            return 0;
    }
}

LRESULT CDlgStatic::OnSetText(LPCWSTR text, BOOL redraw) {
    const bool copied = m_text.Set(text);
    if (redraw) {
        Redraw(nullptr);
    }
    return copied ? 1 : 0;
}

LRESULT CDlgStatic::OnGetText(LPWSTR buffer, int length) { return m_text.CopyTo(buffer, length); }

LRESULT CDlgStatic::OnGetTextLength() { return m_text.GetLength(); }

LRESULT CDlgStatic::OnSetImage(const IDlgImage* image, BOOL redraw) {
    const bool copied = CopyImage(image);
    if (redraw) {
        Redraw(nullptr);
    }
    return copied ? 1 : 0;
}

}  // namespace UserInterface
