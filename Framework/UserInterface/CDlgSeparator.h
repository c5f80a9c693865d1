// A horizontal rule between groups of controls, or an empty spacer.
#pragma once

#include "UserInterface/CDlgControl.h"

namespace UserInterface {

class CDlgSeparator : public CDlgControl {
public:
    // Style bits, tried in this order; with none the separator is an empty spacer.
    static constexpr DWORD kSkinPicture = 0x80000;
    static constexpr DWORD kSolid = 0x10000;
    static constexpr DWORD kDashed = 0x20000;
    static constexpr DWORD kEngraved = 0x40000;

    CDlgSeparator();
    ~CDlgSeparator() override;

    // A separator never takes its preferred width: the layout's bit for it is dropped.
    BOOL Create(int id, DWORD style, int width, int height);

    int GetPreferredWidth() override { return 0; }
    int GetPreferredHeight() override { return 0; }
    BOOL CanFocus() override { return 0; }

    // The engraved rule: the colours already at the rectangle's corners fade into black along its
    // upper half and into white along its lower half. The skin shades its separators the same way.
    static void DrawEngraved(HDC dc, const RECT& rect);

protected:
    void OnPaint(HDC dc, const RECT* rect) override;

private:
    void FillSolid(HDC dc, const RECT& rect);
    void DrawDashed(HDC dc, const RECT& rect);
};

}  // namespace UserInterface
