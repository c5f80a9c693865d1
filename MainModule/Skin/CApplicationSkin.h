// The skin: every picture of the interface, taken from the two sprite packages "icons.pak" (pictures
// 0-999) and "misc.pak" (pictures 1000 and up), rendered at any size, recoloured to the device's theme
// where a part asks for it, and the dialogs' gradient background. The framework's controls reach it
// as their IDlgControlImages; the screens by picture number and through CAppDlgImage.
#pragma once

#include <mutex>

#include "CBitmapDC.h"
#include "UserInterface/IDlgControlImages.h"

class CRasterizeTable;
class CSpritePackage;

// A recolouring of a rendered picture: the hue and saturation it takes, and a lightness shift.
struct SkinTint {
    BYTE hue = 0;
    BYTE saturation = 0;
    SHORT lightnessShift = 0;
};

class CApplicationSkin : public UserInterface::IDlgControlImages {
public:
    static constexpr int kMiscFirst = 1000;
    static constexpr COLORREF kBackgroundColor = 0xBD9A6B;
    static constexpr LPCWSTR kIconsPackage = u"icons.pak";
    static constexpr LPCWSTR kMiscPackage = u"misc.pak";
    // DrawSprite's arguments by name: a width or height it takes from the picture itself, and the source
    // region of the whole picture (from its origin to its edge).
    static constexpr int kOwnSize = 0;
    static constexpr int kPictureOrigin = 0;
    static constexpr int kToPictureEdge = 0;

    CApplicationSkin();
    CApplicationSkin(const CApplicationSkin&) = delete;
    CApplicationSkin& operator=(const CApplicationSkin&) = delete;
    ~CApplicationSkin() override;

    // Opens both packages through the sprite library; false unless everything could be made.
    BOOL Load();

    // Renders the picture at width x height (kOwnSize: its own scaled size) and draws the source region
    // (sourceWidth kToPictureEdge: to the picture's edge) at (x, y). False for a zero dc, a negative
    // picture, a missing package or a failed render.
    BOOL DrawSprite(int picture, int width, int height, HDC dc, int x, int y, int sourceX, int sourceY,
                    int sourceWidth, int sourceHeight);
    BOOL DrawTintedSprite(int picture, int width, int height, HDC dc, int x, int y, int sourceX, int sourceY,
                          int sourceWidth, int sourceHeight, const SkinTint& tint);
    // The picture's own size scaled to the screen class.
    BOOL GetSpriteSize(int picture, SIZE* size);
    // The size at a fixed height, in the picture's own aspect.
    BOOL GetSizeAtHeight(int picture, int height, SIZE* size);
    // The cached background goes; the next DrawBackground paints it anew (the theme may have changed).
    void DropBackground();
    // Renders, into the packages' render caches, the pictures of every packet that fits this device,
    // each package through a sprite object of its own (no skin needs to exist). True when every picture
    // of those packets rendered; the packets after a failed one are still rendered. Needs the device
    // information and the sprite library.
    static BOOL PreRender(const CRasterizeTable& table);

    // The recolouring that follows the device's theme colour (grey up to base hue 255, Skin/ThemeKind.h).
    static SkinTint GetThemeTint();
    // The dialog background's colours at its top and bottom.
    static COLORREF GetBackgroundTopColor();
    static COLORREF GetBackgroundBottomColor();

    // The control parts.
    BOOL DrawComboButton(int state, HDC dc, const RECT* rect) override;
    BOOL GetComboButtonSize(int state, SIZE* size) override;
    BOOL DrawSeparator(HDC dc, const RECT* rect) override;
    BOOL DrawScrollTrack(HDC dc, const RECT* rect) override;
    BOOL DrawScrollThumb(HDC dc, const RECT* rect) override;
    int GetScrollThumbLength() override;
    BOOL DrawCheckBox(BOOL checked, HDC dc, const RECT* rect) override;
    BOOL GetCheckBoxSize(SIZE* size, BOOL checked) override;
    BOOL DrawProgressBar(HDC dc, const RECT* rect, int percent) override;
    BOOL DrawBackground(HDC dc, const RECT* target, const RECT* clip) override;
    COLORREF GetSkinColor(int index) override;

    HBRUSH GetBackgroundBrush() const { return m_backgroundBrush; }

private:
    // One drawing of a picture: rendered at size, its source region drawn at target.
    struct SpriteDrawing {
        int picture;
        SIZE size;
        HDC dc;
        POINT target;
        POINT sourceOrigin;
        SIZE sourceSize;
    };

    // The package that holds the picture and the picture's entry in it; null for none.
    CSpritePackage* PackageOf(int picture, int* entry) const;
    BOOL RenderAndDraw(SpriteDrawing drawing, const SkinTint* tint);
    BOOL DrawTintedInRect(int picture, HDC dc, const RECT& rect);
    static bool PreRenderPacket(const CRasterizeTable& table, int packet);

    CSpritePackage* m_icons = nullptr;
    CSpritePackage* m_misc = nullptr;
    CBitmapDC m_background;
    HBRUSH m_backgroundBrush = nullptr;
    // Forecast controls draw from threads of their own; a package renders one picture at a time.
    std::recursive_mutex m_lock;
};

// The skin of the process while one exists, beside the framework's g_pDlgControlImages; both are
// cleared before it is deleted.
extern CApplicationSkin* g_pApplicationSkin;
