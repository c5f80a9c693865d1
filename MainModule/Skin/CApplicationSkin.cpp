#include "Skin/CApplicationSkin.h"

#include <algorithm>
#include <memory>
#include <string>
#include <vector>

#include "CSpritePackage.h"
#include "CSysInfo.h"
#include "DrawingHelpers.h"
#include "RectHelpers.h"
#include "Skin/CRasterizeTable.h"
#include "Skin/HslColor.h"
#include "Skin/SpriteLibraryLoader.h"
#include "Skin/ThemeKind.h"
#include "UserInterface/CDlgSeparator.h"

CApplicationSkin* g_pApplicationSkin = nullptr;

namespace {

// Pictures of misc.pak that the control parts use.
constexpr int kScrollTrack = 1002;
constexpr int kScrollThumb = 1003;
constexpr int kComboRight = 1008;
constexpr int kComboLeft = 1009;
constexpr int kCheckBoxOff = 1010;
constexpr int kCheckBoxOn = 1011;
constexpr int kProgressFrame = 1012;
constexpr int kProgressRest = 1013;
constexpr int kProgressDone = 1014;

// Design lengths of the 240 screen class.
constexpr int kComboHeight = 25;
constexpr int kThumbCap = 5;
constexpr int kThumbMiddle = 40;
constexpr int kThumbLength = 30;
constexpr int kTrackWidth = 2;
constexpr int kProgressInsetX = 4;
constexpr int kProgressInsetY = 1;

// Lightness bytes of the background's top and bottom, and its saturation on a coloured theme.
constexpr BYTE kBackgroundTopLightness = 37;
constexpr BYTE kBackgroundBottomLightness = 102;
constexpr BYTE kBackgroundTopSaturation = 255;
constexpr BYTE kBackgroundBottomSaturation = 215;

BYTE ThemeHue() {
    return g_pSysInfo != nullptr ? HslPartToByte(RgbToHsl(g_pSysInfo->GetColor(CSysInfo::kThemeColor)).hue)
                                 : 0;
}

COLORREF BackgroundColor(BYTE saturation, BYTE lightness) {
    return HslBytesToRgb(ThemeHue(), IsColouredTheme() ? saturation : 0, lightness);
}

// The packages' file names carry no screen class and no orientation.
constexpr bool kAnyScreenClass = false;
constexpr bool kAnyOrientation = false;

CSpritePackage* OpenPackage(LPCWSTR name) {
    WCHAR path[MAX_PATH];
    if (g_pSysInfo == nullptr ||
        !g_pSysInfo->GetDataFileName(name, path, MAX_PATH, kAnyScreenClass, kAnyOrientation)) {
        return nullptr;
    }
    CSpritePackage* package = NewSpriteObject();
    if (package != nullptr && !package->Open(path)) {
        delete package;
        return nullptr;
    }
    return package;
}

}  // namespace

CApplicationSkin::CApplicationSkin() = default;

CApplicationSkin::~CApplicationSkin() {
    delete m_icons;
    delete m_misc;
    if (m_backgroundBrush != nullptr) {
        DeleteObject(m_backgroundBrush);
    }
}

BOOL CApplicationSkin::Load() {
    if (m_icons == nullptr) {
        m_icons = OpenPackage(kIconsPackage);
    }
    if (m_misc == nullptr) {
        m_misc = OpenPackage(kMiscPackage);
    }
    if (m_backgroundBrush == nullptr) {
        m_backgroundBrush = CreateSolidBrush(kBackgroundColor);
    }
    return m_icons != nullptr && m_misc != nullptr && m_backgroundBrush != nullptr;
}

SkinTint CApplicationSkin::GetThemeTint() {
    return SkinTint{ThemeHue(), static_cast<BYTE>(IsColouredTheme() ? 255 : 0), 0};
}

COLORREF CApplicationSkin::GetBackgroundTopColor() {
    return BackgroundColor(kBackgroundTopSaturation, kBackgroundTopLightness);
}

COLORREF CApplicationSkin::GetBackgroundBottomColor() {
    return BackgroundColor(kBackgroundBottomSaturation, kBackgroundBottomLightness);
}

// ---- pictures ---------------------------------------------------------------------------------------

CSpritePackage* CApplicationSkin::PackageOf(int picture, int* entry) const {
    if (picture < 0) {
        return nullptr;
    }
    *entry = picture < kMiscFirst ? picture : picture - kMiscFirst;
    return picture < kMiscFirst ? m_icons : m_misc;
}

BOOL CApplicationSkin::DrawSprite(int picture, int width, int height, HDC dc, int x, int y, int sourceX, int sourceY,
                                  int sourceWidth, int sourceHeight) {
    return RenderAndDraw(
        {picture, {width, height}, dc, {x, y}, {sourceX, sourceY}, {sourceWidth, sourceHeight}}, nullptr);
}

BOOL CApplicationSkin::DrawTintedSprite(int picture, int width, int height, HDC dc, int x, int y, int sourceX,
                                        int sourceY, int sourceWidth, int sourceHeight, const SkinTint& tint) {
    return RenderAndDraw(
        {picture, {width, height}, dc, {x, y}, {sourceX, sourceY}, {sourceWidth, sourceHeight}}, &tint);
}

BOOL CApplicationSkin::RenderAndDraw(SpriteDrawing drawing, const SkinTint* tint) {
    int entry = 0;
    CSpritePackage* package = drawing.dc != nullptr ? PackageOf(drawing.picture, &entry) : nullptr;
    if (package == nullptr) {
        return FALSE;
    }
    std::lock_guard guard(m_lock);
    if (drawing.size.cx == kOwnSize) {
        drawing.size.cx = CSysInfo::Scale(package->GetEntryWidth(entry));
    }
    if (drawing.size.cy == kOwnSize) {
        drawing.size.cy = CSysInfo::Scale(package->GetEntryHeight(entry));
    }
    int image = package->Render(entry, drawing.size.cx, drawing.size.cy);
    if (image != CSpritePackage::kNoImage && tint != nullptr) {
        image = package->Colorize(image, tint->hue, tint->saturation, tint->lightnessShift);
    }
    if (image == CSpritePackage::kNoImage) {
        return FALSE;
    }
    package->Draw(image, drawing.dc, drawing.target.x, drawing.target.y, drawing.sourceSize.cx,
                  drawing.sourceSize.cy, drawing.sourceOrigin.x, drawing.sourceOrigin.y);
    return TRUE;
}

BOOL CApplicationSkin::GetSpriteSize(int picture, SIZE* size) {
    int entry = 0;
    CSpritePackage* package = size != nullptr ? PackageOf(picture, &entry) : nullptr;
    if (package == nullptr) {
        return FALSE;
    }
    std::lock_guard guard(m_lock);
    const int width = package->GetEntryWidth(entry);
    const int height = package->GetEntryHeight(entry);
    if (width <= 0 || height <= 0) {
        return FALSE;  // no such entry
    }
    size->cx = CSysInfo::Scale(width);
    size->cy = CSysInfo::Scale(height);
    return TRUE;
}

// A picture without height (an entry beyond the package) has no aspect to keep.
BOOL CApplicationSkin::GetSizeAtHeight(int picture, int height, SIZE* size) {
    SIZE own{};
    if (size == nullptr || !GetSpriteSize(picture, &own) || own.cy <= 0) {
        return FALSE;
    }
    size->cy = height;
    size->cx = static_cast<LONG>(static_cast<long long>(height) * own.cx / own.cy);
    return TRUE;
}

BOOL CApplicationSkin::DrawTintedInRect(int picture, HDC dc, const RECT& rect) {
    const int width = RectWidth(rect);
    const int height = RectHeight(rect);
    if (width <= 0 || height <= 0) {
        return FALSE;
    }
    return DrawTintedSprite(picture, width, height, dc, rect.left, rect.top, kPictureOrigin, kPictureOrigin,
                            kToPictureEdge, kToPictureEdge, GetThemeTint());
}

// ---- control parts ----------------------------------------------------------------------------------

BOOL CApplicationSkin::GetComboButtonSize(int state, SIZE* size) {
    return GetSizeAtHeight(state == 1 || state == 2 ? kComboLeft : kComboRight, CSysInfo::Scale(kComboHeight), size);
}

BOOL CApplicationSkin::DrawComboButton(int state, HDC dc, const RECT* rect) {
    SIZE size{};
    if (rect == nullptr || !GetComboButtonSize(state, &size)) {
        return FALSE;
    }
    const RECT button{rect->left, rect->top, rect->left + size.cx, rect->top + size.cy};
    return DrawTintedInRect(state == 1 || state == 2 ? kComboLeft : kComboRight, dc, button);
}

BOOL CApplicationSkin::GetCheckBoxSize(SIZE* size, BOOL checked) {
    return GetSizeAtHeight(checked ? kCheckBoxOn : kCheckBoxOff, CSysInfo::Scale(kComboHeight), size);
}

BOOL CApplicationSkin::DrawCheckBox(BOOL checked, HDC dc, const RECT* rect) {
    SIZE size{};
    if (rect == nullptr || !GetCheckBoxSize(&size, checked)) {
        return FALSE;
    }
    const RECT box{rect->left, rect->top, rect->left + size.cx, rect->top + size.cy};
    return DrawTintedInRect(checked ? kCheckBoxOn : kCheckBoxOff, dc, box);
}

// The shaded rule: the colours at the corners fade to black along the top half and to white along
// the bottom half.
BOOL CApplicationSkin::DrawSeparator(HDC dc, const RECT* rect) {
    if (m_backgroundBrush == nullptr || dc == nullptr || rect == nullptr || IsRectEmpty(rect)) {
        return FALSE;
    }
    UserInterface::CDlgSeparator::DrawEngraved(dc, *rect);
    return TRUE;
}

// The thumb picture is made of a top cap, a middle that repeats down the thumb's length and a bottom
// cap; it is rendered once at its design length and drawn in those three parts.
BOOL CApplicationSkin::DrawScrollThumb(HDC dc, const RECT* rect) {
    if (dc == nullptr || rect == nullptr || IsRectEmpty(rect)) {
        return FALSE;
    }
    const int width = RectWidth(*rect);
    const int height = RectHeight(*rect);
    const int cap = std::min(CSysInfo::Scale(kThumbCap), height / 2);
    const int designCap = CSysInfo::Scale(kThumbCap);
    const int middle = CSysInfo::Scale(kThumbMiddle);
    const int pictureHeight = 2 * designCap + middle;
    if (middle <= 0 || !DrawSprite(kScrollThumb, width, pictureHeight, dc, rect->left, rect->top,
                                   kPictureOrigin, kPictureOrigin, width, cap)) {
        return FALSE;
    }
    for (int y = rect->top + cap; y < rect->bottom - cap; y += middle) {
        DrawSprite(kScrollThumb, width, pictureHeight, dc, rect->left, y, kPictureOrigin, designCap, width,
                   std::min(middle, static_cast<int>(rect->bottom - cap - y)));
    }
    return DrawSprite(kScrollThumb, width, pictureHeight, dc, rect->left, rect->bottom - cap, kPictureOrigin,
                      pictureHeight - cap, width, cap);
}

int CApplicationSkin::GetScrollThumbLength() { return CSysInfo::Scale(kThumbLength); }

BOOL CApplicationSkin::DrawScrollTrack(HDC dc, const RECT* rect) {
    if (rect == nullptr || IsRectEmpty(rect)) {
        return FALSE;
    }
    const int width = CSysInfo::Scale(kTrackWidth);
    const int x = rect->left + (RectWidth(*rect) - width) / 2 + 1;
    return DrawSprite(kScrollTrack, width, RectHeight(*rect), dc, x, rect->top, kPictureOrigin,
                      kPictureOrigin, kToPictureEdge, kToPictureEdge);
}

// The frame over the whole bar; inside it the done part from the left and the rest after it, each
// cut from its picture stretched over the whole inside.
BOOL CApplicationSkin::DrawProgressBar(HDC dc, const RECT* rect, int percent) {
    if (rect == nullptr || !DrawTintedInRect(kProgressFrame, dc, *rect)) {
        return FALSE;
    }
    const RECT inner{rect->left + CSysInfo::Scale(kProgressInsetX), rect->top + CSysInfo::Scale(kProgressInsetY),
                     rect->right - CSysInfo::Scale(kProgressInsetX), rect->bottom - CSysInfo::Scale(kProgressInsetY)};
    const int width = RectWidth(inner);
    const int height = RectHeight(inner);
    if (width <= 0 || height <= 0) {
        return TRUE;
    }
    const int done = width * std::clamp(percent, 0, 100) / 100;
    const SkinTint tint = GetThemeTint();
    BOOL drawn = TRUE;
    if (done > 0) {
        drawn = DrawTintedSprite(kProgressDone, width, height, dc, inner.left, inner.top, kPictureOrigin,
                                 kPictureOrigin, done, height, tint);
    }
    if (done < width) {
        drawn = DrawTintedSprite(kProgressRest, width, height, dc, inner.left + done, inner.top, done,
                                 kPictureOrigin, width - done, height, tint) &&
                drawn;
    }
    return drawn;
}

// ---- background -------------------------------------------------------------------------------------

BOOL CApplicationSkin::DrawBackground(HDC dc, const RECT* target, const RECT* clip) {
    if (dc == nullptr || target == nullptr || clip == nullptr) {
        return FALSE;
    }
    const int width = RectWidth(*target);
    const int height = RectHeight(*target);
    if (width <= 0 || height <= 0) {
        return FALSE;
    }
    std::lock_guard guard(m_lock);
    if (!m_background.IsValid() || m_background.Width() != width || m_background.Height() != height) {
        m_background.Release();
        if (!m_background.CreateCompatible(dc, width, height)) {
            return FALSE;
        }
        FillGradientRect(m_background.DC(), 0, 0, width, height, GetBackgroundTopColor(),
                         GetBackgroundBottomColor(), kTopToBottom);
    }
    return BitBlt(dc, clip->left, clip->top, RectWidth(*clip), RectHeight(*clip), m_background.DC(),
                  clip->left - target->left, clip->top - target->top, SRCCOPY);
}

void CApplicationSkin::DropBackground() {
    std::lock_guard guard(m_lock);
    m_background.Release();
}

COLORREF CApplicationSkin::GetSkinColor(int index) {
    return index == kBackgroundColorIndex ? kBackgroundColor : 0;
}

// ---- pre-rendering ----------------------------------------------------------------------------------

BOOL CApplicationSkin::PreRender(const CRasterizeTable& table) {
    if (g_pSysInfo == nullptr) {
        return FALSE;
    }
    bool all = true;
    for (int packet = 0; packet < table.GetCount(); ++packet) {
        if (table.FitsDevice(packet, *g_pSysInfo) && !PreRenderPacket(table, packet)) {
            all = false;
        }
    }
    return all ? TRUE : FALSE;
}

// Every picture is tried, so that one bad entry costs only itself.
bool CApplicationSkin::PreRenderPacket(const CRasterizeTable& table, int packet) {
    std::u16string name;
    std::vector<CRasterizeTable::Picture> pictures;
    if (!table.GetPacket(packet, &name, nullptr, nullptr, nullptr) || !table.GetPictures(packet, &pictures)) {
        return false;
    }
    std::unique_ptr<CSpritePackage> package(OpenPackage(name.c_str()));
    if (package == nullptr) {
        return false;
    }
    bool all = true;
    for (const CRasterizeTable::Picture& picture : pictures) {
        if (package->Render(picture.index, picture.width, picture.height) == CSpritePackage::kNoImage) {
            all = false;
        }
    }
    return all;
}
