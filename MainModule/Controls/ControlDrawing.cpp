#include "Controls/ControlDrawing.h"

#include <algorithm>
#include <cstdarg>
#include <cstdlib>
#include <vector>

#include "CLocalization.h"
#include "CSysInfo.h"
#include "DrawingHelpers.h"
#include "RectHelpers.h"
#include "Skin/CAppDlgImage.h"
#include "Skin/CApplicationSkin.h"
#include "Skin/HslColor.h"
#include "UserInterface/CDlgStatic.h"

namespace {

constexpr BYTE kDividerSaturation = 106;
constexpr BYTE kDividerLightness = 159;

}  // namespace

HFONT CreateDerivedFont(HFONT font, const FontChange& change) {
    LOGFONTW description{};
    HGDIOBJ source = font != nullptr ? static_cast<HGDIOBJ>(font) : GetStockObject(SYSTEM_FONT);
    if (GetObjectW(source, sizeof(description), &description) == 0) {
        return nullptr;
    }
    if (change.weight != 0) {
        description.lfWeight = change.weight;
    }
    if (change.grow != 0) {
        description.lfHeight = description.lfHeight > 0 ? description.lfHeight + CSysInfo::Scale(change.grow)
                                                        : description.lfHeight - change.grow;
    }
    if (change.underline) {
        description.lfUnderline = TRUE;
    }
    if (change.clearType) {
        description.lfQuality = CLEARTYPE_QUALITY;
    }
    return CreateFontIndirectW(&description);
}

void DeleteFontHandles(std::initializer_list<HFONT*> fonts) {
    for (HFONT* font : fonts) {
        if (*font != nullptr) {
            DeleteObject(*font);
            *font = nullptr;
        }
    }
}

COLORREF ThemeShade(BYTE saturation, BYTE lightness) {
    const SkinTint tint = CApplicationSkin::GetThemeTint();
    return HslBytesToRgb(tint.hue, tint.saturation != 0 ? saturation : 0, lightness);
}

COLORREF DividerShade() { return ThemeShade(kDividerSaturation, kDividerLightness); }

SIZE FitPicture(int picture, int width, int height) {
    SIZE own{};
    if (g_pApplicationSkin == nullptr || picture < 0 || width <= 0 || height <= 0 ||
        !g_pApplicationSkin->GetSpriteSize(picture, &own) || own.cx <= 0 || own.cy <= 0) {
        return SIZE{0, 0};
    }
    return CAppDlgImage::FitInside(own, width, height);
}

bool DrawPictureCentred(int picture, SIZE size, HDC dc, const RECT& area) {
    // A zero size would make the skin fall back to the picture's own size.
    if (g_pApplicationSkin == nullptr || size.cx <= 0 || size.cy <= 0) {
        return false;
    }
    const int x = area.left + (RectWidth(area) - size.cx) / 2;
    const int y = area.top + (RectHeight(area) - size.cy) / 2;
    return g_pApplicationSkin->DrawSprite(picture, size.cx, size.cy, dc, x, y,
                                          CApplicationSkin::kPictureOrigin, CApplicationSkin::kPictureOrigin,
                                          CApplicationSkin::kToPictureEdge,
                                          CApplicationSkin::kToPictureEdge) != FALSE;
}

void DrawShadedDivider(HDC dc, const RECT& line, COLORREF shade, bool vertical) {
    if (dc == nullptr || IsRectEmpty(&line)) {
        return;
    }
    COLORREF start = GetPixel(dc, line.left, line.top);
    COLORREF end = GetPixel(dc, line.right - 1, line.bottom - 1);
    start = start != CLR_INVALID ? start : shade;
    end = end != CLR_INVALID ? end : shade;
    if (vertical) {
        const int middle = line.top + RectHeight(line) / 2;
        FillGradientRect(dc, line.left, line.top, line.right, middle, start, shade, kTopToBottom);
        FillGradientRect(dc, line.left, middle, line.right, line.bottom, shade, end, kTopToBottom);
    } else {
        const int middle = line.left + RectWidth(line) / 2;
        FillGradientRect(dc, line.left, line.top, middle, line.bottom, start, shade, kLeftToRight);
        FillGradientRect(dc, middle, line.top, line.right, line.bottom, shade, end, kLeftToRight);
    }
}

std::u16string LocalizedText(const char* key) {
    LPCWSTR text = LoadLocalizedString(key);
    return text != nullptr ? std::u16string(text) : std::u16string();
}

std::u16string FormatText(LPCWSTR format, ...) {
    WCHAR buffer[256] = {};
    va_list args;
    va_start(args, format);
    _vsnwprintf(buffer, 256, format, args);
    va_end(args);
    return buffer;
}

SIZE MeasureText(HDC dc, std::u16string_view text) {
    SIZE size{};
    if (!GetTextExtentPoint32W(dc, text.data(), static_cast<int>(text.size()), &size)) {
        return SIZE{0, 0};
    }
    return size;
}

void DrawTextAt(HDC dc, int x, int y, std::u16string_view text) {
    ExtTextOutW(dc, x, y, 0, nullptr, text.data(), static_cast<UINT>(text.size()), nullptr);
}

std::u16string FitTextToWidth(HDC dc, std::u16string_view text, const RECT& area) {
    if (text.empty()) {
        return std::u16string();
    }
    constexpr bool kKeepStart = false;
    return UserInterface::CDlgStatic::FitWithEllipsis(dc, std::u16string(text).c_str(), area, kKeepStart);
}

namespace {

int WidestText(HDC dc, HFONT font, const std::vector<std::u16string>& texts) {
    HGDIOBJ old = SelectObject(dc, font);
    int widest = 0;
    for (const std::u16string& text : texts) {
        widest = std::max<int>(widest, MeasureText(dc, text).cx);
    }
    SelectObject(dc, old);
    return widest;
}

// The font's height lowered pixel by pixel until the texts fit; the floor font when none does.
template <class Fits>
HFONT CreateSmallerFont(HDC dc, HFONT font, int leastHeight, Fits fits) {
    HGDIOBJ source = font != nullptr ? static_cast<HGDIOBJ>(font) : GetCurrentObject(dc, OBJ_FONT);
    LOGFONTW description{};
    if (dc == nullptr || source == nullptr || GetObjectW(source, sizeof(description), &description) == 0 ||
        fits(static_cast<HFONT>(source))) {
        return nullptr;
    }
    // The sign of the height says cell or character height; only its size changes.
    const LONG sign = description.lfHeight < 0 ? -1 : 1;
    HFONT fitted = nullptr;
    for (LONG height = std::labs(description.lfHeight) - 1; height >= leastHeight && height > 0; --height) {
        DeleteFontHandles({&fitted});
        description.lfHeight = sign * height;
        fitted = CreateFontIndirectW(&description);
        if (fitted == nullptr || fits(fitted)) {
            break;
        }
    }
    return fitted;
}

}  // namespace

bool TextsFit(HDC dc, HFONT font, const std::vector<std::u16string>& texts, int width, int lines) {
    if (dc == nullptr || font == nullptr) {
        return false;
    }
    HGDIOBJ old = SelectObject(dc, font);
    TEXTMETRICW metrics{};
    GetTextMetricsW(dc, &metrics);
    bool fit = true;
    for (const std::u16string& text : texts) {
        RECT box{0, 0, width, 0};
        const UINT format = DT_CALCRECT | DT_NOPREFIX | (lines > 1 ? DT_WORDBREAK : DT_SINGLELINE);
        DrawTextW(dc, text.c_str(), static_cast<int>(text.size()), &box, format);
        if (box.right > width || box.bottom > lines * metrics.tmHeight) {
            fit = false;
            break;
        }
    }
    SelectObject(dc, old);
    return fit;
}

HFONT CreateFontToFit(HDC dc, HFONT font, const std::vector<std::u16string>& texts, int width, int leastHeight) {
    return CreateSmallerFont(dc, font, leastHeight,
                             [&](HFONT candidate) { return WidestText(dc, candidate, texts) <= width; });
}

HFONT CreateFontToFitLines(HDC dc, HFONT font, const std::vector<std::u16string>& texts, int width, int lines,
                           int leastHeight) {
    return CreateSmallerFont(dc, font, leastHeight,
                             [&](HFONT candidate) { return TextsFit(dc, candidate, texts, width, lines); });
}
