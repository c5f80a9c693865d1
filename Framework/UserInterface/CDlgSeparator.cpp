#include "UserInterface/CDlgSeparator.h"

#include "DrawingHelpers.h"
#include "RectHelpers.h"
#include "UserInterface/IDlgControlImages.h"

namespace UserInterface {

namespace {

constexpr COLORREF kBlack = 0x000000;
constexpr COLORREF kWhite = 0xFFFFFF;

}  // namespace

CDlgSeparator::CDlgSeparator() : CDlgControl(u"__DlgSeparator") {}

CDlgSeparator::~CDlgSeparator() = default;

BOOL CDlgSeparator::Create(int id, DWORD style, int width, int height) {
    constexpr DWORD kPreferredWidth = 0x400;
    return CDlgControl::Create(id, style & ~kPreferredWidth, width, height);
}

void CDlgSeparator::OnPaint(HDC dc, const RECT* rect) {
    if (dc == nullptr || rect == nullptr || IsRectEmpty(rect)) {
        return;
    }
    const DWORD style = GetFlags();
    if (style & kSkinPicture) {
        if (IDlgControlImages* skin = g_pDlgControlImages; skin != nullptr) {
            skin->DrawSeparator(dc, rect);
        }
    } else if (style & kSolid) {
        FillSolid(dc, *rect);
    } else if (style & kDashed) {
        DrawDashed(dc, *rect);
    } else if (style & kEngraved) {
        DrawEngraved(dc, *rect);
    }
}

void CDlgSeparator::FillSolid(HDC dc, const RECT& rect) {
    HBRUSH brush = CreateSolidBrush(GetBorderColor());
    if (brush != nullptr) {
        FillRect(dc, &rect, brush);
        DeleteObject(brush);
    }
}

void CDlgSeparator::DrawDashed(HDC dc, const RECT& rect) {
    HPEN pen = CreatePen(PS_DASH, 1, GetBorderColor());
    if (pen == nullptr) {
        return;
    }
    HGDIOBJ oldPen = SelectObject(dc, pen);
    const int oldMode = SetBkMode(dc, TRANSPARENT);
    for (LONG y = rect.top; y < rect.bottom; ++y) {
        MoveToEx(dc, rect.left, y, nullptr);
        LineTo(dc, rect.right, y);
    }
    SetBkMode(dc, oldMode);
    SelectObject(dc, oldPen);
    DeleteObject(pen);
}

// Four horizontal gradients over the quarters: the colours already at the corners fade into black
// along the upper half and into white along the lower half, meeting in the middle.
void CDlgSeparator::DrawEngraved(HDC dc, const RECT& rect) {
    const COLORREF topLeft = GetPixel(dc, rect.left, rect.top);
    const COLORREF topRight = GetPixel(dc, rect.right - 1, rect.top);
    const COLORREF bottomLeft = GetPixel(dc, rect.left, rect.bottom - 1);
    const COLORREF bottomRight = GetPixel(dc, rect.right - 1, rect.bottom - 1);
    const int midX = rect.left + RectWidth(rect) / 2;
    const int midY = rect.top + RectHeight(rect) / 2;
    FillGradientRect(dc, rect.left, rect.top, midX, midY, topLeft, kBlack, kLeftToRight);
    FillGradientRect(dc, midX, rect.top, rect.right, midY, kBlack, topRight, kLeftToRight);
    FillGradientRect(dc, rect.left, midY, midX, rect.bottom, bottomLeft, kWhite, kLeftToRight);
    FillGradientRect(dc, midX, midY, rect.right, rect.bottom, kWhite, bottomRight, kLeftToRight);
}

}  // namespace UserInterface
