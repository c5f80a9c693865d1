// The pictures that the framework's controls take from the skin. Every operation that the skin does
// not fill answers 0, and the control then draws that part itself (or nothing).
#pragma once

#include "ce/gdi.h"

namespace UserInterface {

class IDlgControlImages {
public:
    virtual ~IDlgControlImages() = default;

    // Combo box buttons; state 1 and 3 pressed, 2 and 4 normal (left and right button).
    virtual BOOL DrawComboButton(int state, HDC dc, const RECT* rect);
    virtual BOOL GetComboButtonSize(int state, SIZE* size);
    virtual BOOL DrawListSelection(HDC dc, const RECT* rect);
    virtual BOOL DrawRowSeparator(HDC dc, const RECT* rect);
    virtual BOOL DrawSeparator(HDC dc, const RECT* rect);
    // The scroll indicator: its track over the whole rectangle, its thumb, and a fixed thumb length.
    virtual BOOL DrawScrollTrack(HDC dc, const RECT* rect);
    virtual BOOL DrawScrollThumb(HDC dc, const RECT* rect);
    virtual int GetScrollThumbLength();
    virtual BOOL DrawCheckBox(BOOL checked, HDC dc, const RECT* rect);
    virtual BOOL GetCheckBoxSize(SIZE* size, BOOL checked);
    // Percent from 0 to 100.
    virtual BOOL DrawProgressBar(HDC dc, const RECT* rect, int percent);
    // The dialogs' background; target is the whole area it belongs to, clip the part to paint.
    virtual BOOL DrawBackground(HDC dc, const RECT* target, const RECT* clip);
    // The skin's colours by index; the one that there is:
    static constexpr int kBackgroundColorIndex = 0;
    virtual COLORREF GetSkinColor(int index);
};

// The skin of the process while one exists; cleared before the skin goes.
extern IDlgControlImages* g_pDlgControlImages;

}  // namespace UserInterface
