// Fonts and single-line text: CreateFontIndirectW, ExtTextOutW, the extent calls, GetTextMetricsW.
#include <string_view>

#include "gdi/RasterTarget.h"
#include "gdi/TextPainter.h"

using namespace ce::gdi;

namespace {

std::u16string_view TextOf(LPCWSTR text, int count) {
    if (!text || count == 0) {
        return {};
    }
    if (count < 0) {
        return std::u16string_view(text);
    }
    return std::u16string_view(text, static_cast<size_t>(count));
}

}  // namespace

extern "C" {

HFONT CreateFontIndirectW(const LOGFONTW* logFont) {
    if (!logFont) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    LOGFONTW copy = *logFont;
    copy.lfFaceName[LF_FACESIZE - 1] = 0;  // a face name without its terminator stays inside the field
    return static_cast<HFONT>(InsertObject(std::make_shared<Font>(copy)));
}

BOOL ExtTextOutW(HDC hdc, int x, int y, UINT options, const RECT* rect, LPCWSTR text, UINT count, const INT* dx) {
    GdiGuard guard(GdiLock());
    auto dc = LookupDC(hdc);
    if (!dc || !dc->bitmap || (count > 0 && !text)) {
        return FALSE;
    }
    if ((options & ETO_OPAQUE) && rect) {
        FillSolid(*dc, RECT{dc->ToBitmapX(rect->left), dc->ToBitmapY(rect->top), dc->ToBitmapX(rect->right),
                            dc->ToBitmapY(rect->bottom)},
                  dc->bkColor);
    }
    if (count == 0) {
        return TRUE;
    }
    TextLine line{TextOf(text, static_cast<int>(count)), x, y, dx, -1,
                  (options & (ETO_CLIPPED | ETO_OPAQUE)) ? rect : nullptr};
    const RECT* clip = (options & ETO_CLIPPED) && rect ? rect : nullptr;
    PaintTextLine(*dc, line, clip, dc->bkMode == OPAQUE && !(options & ETO_OPAQUE));
    return TRUE;
}

BOOL GetTextExtentExPointW(HDC hdc, LPCWSTR text, int count, int maxExtent, LPINT fit, LPINT dx, LPSIZE size) {
    GdiGuard guard(GdiLock());
    auto dc = LookupDC(hdc);
    if (!dc || count < 0 || (count > 0 && !text)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    FontInstance& font = SelectedFont(*dc).Instance();
    std::vector<int> advances = font.Advances(TextOf(text, count));
    int width = 0, fitting = 0;
    for (size_t i = 0; i < advances.size(); ++i) {
        width += advances[i];
        bool fits = width <= maxExtent && fitting == static_cast<int>(i);
        if (fits) {
            ++fitting;
        }
        // With fit asked for, only the characters that fit get their extent.
        if (dx && (!fit || fits)) {
            dx[i] = width;
        }
    }
    if (fit) {
        *fit = fitting;
    }
    if (size) {
        *size = SIZE{width, font.Metrics().height};
    }
    return TRUE;
}

BOOL GetTextExtentPoint32W(HDC hdc, LPCWSTR text, int count, LPSIZE size) {
    return GetTextExtentExPointW(hdc, text, count, 0, nullptr, nullptr, size);
}

BOOL GetTextMetricsW(HDC hdc, LPTEXTMETRICW tm) {
    GdiGuard guard(GdiLock());
    auto dc = LookupDC(hdc);
    if (!dc || !tm) {
        return FALSE;
    }
    FontInstance& font = SelectedFont(*dc).Instance();
    const FontMetrics& m = font.Metrics();
    const LOGFONTW& lf = font.LogFont();
    *tm = TEXTMETRICW{};
    tm->tmHeight = m.height;
    tm->tmAscent = m.ascent;
    tm->tmDescent = m.descent;
    tm->tmInternalLeading = m.internalLeading;
    tm->tmExternalLeading = 0;
    tm->tmAveCharWidth = m.averageCharWidth;
    tm->tmMaxCharWidth = m.maxCharWidth;
    tm->tmWeight = lf.lfWeight == FW_DONTCARE ? FW_NORMAL : lf.lfWeight;
    tm->tmDigitizedAspectX = tm->tmDigitizedAspectY = GetDeviceCaps(hdc, LOGPIXELSX);
    tm->tmFirstChar = 0x20;
    tm->tmLastChar = 0xFFFC;
    tm->tmDefaultChar = 0x1F;
    tm->tmBreakChar = 0x20;
    tm->tmItalic = lf.lfItalic ? 1 : 0;
    tm->tmUnderlined = lf.lfUnderline ? 1 : 0;
    tm->tmStruckOut = lf.lfStrikeOut ? 1 : 0;
    // The platform's "fixed pitch" bit is set for variable-pitch fonts.
    bool mono = FontInstance::FilePathFor(lf).find("Mono") != std::string::npos;
    tm->tmPitchAndFamily = static_cast<BYTE>((mono ? FF_MODERN : FF_SWISS | 0x01) | 0x04 /* TrueType */);
    tm->tmCharSet = lf.lfCharSet;
    return TRUE;
}

}  // extern "C"
