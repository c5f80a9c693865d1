#include "Controls/CToolBarControl.h"

#include <algorithm>

#include "CSysInfo.h"
#include "Controls/ControlDrawing.h"
#include "Controls/PressTracking.h"
#include "DrawingHelpers.h"
#include "RectHelpers.h"

namespace {

constexpr COLORREF kPressedTint = 0xFFFFFF;
constexpr int kPressedAlpha = 64;

// Saturation and lightness bytes of the band's colours; the saturation counts on coloured themes only.
struct BandColor {
    BYTE saturation;
    BYTE lightness;
};
constexpr BandColor kLightPair[2] = {{77, 81}, {86, 168}};
constexpr BandColor kDarkPair[2] = {{255, 28}, {86, 131}};

COLORREF ShadeOf(BandColor color) { return ThemeShade(color.saturation, color.lightness); }

// Two gradients that meet at the middle of the half: from the outer colour to the inner one and back.
void FillMirroredHalf(HDC dc, const RECT& first, const RECT& second, const BandColor (&pair)[2], bool vertical) {
    const COLORREF outer = ShadeOf(pair[0]);
    const COLORREF inner = ShadeOf(pair[1]);
    FillGradientRect(dc, first.left, first.top, first.right, first.bottom, outer, inner, vertical);
    FillGradientRect(dc, second.left, second.top, second.right, second.bottom, inner, outer, vertical);
}

}  // namespace

CToolBarControl::CToolBarControl() : CDlgControl(u"__Toolbar") {}

BOOL CToolBarControl::Create(int orientation, const Button* buttons, int id, DWORD flags, int width, int height) {
    m_orientation = orientation;
    if (buttons != nullptr) {
        std::copy(buttons, buttons + kButtonCount, m_buttons);
    }
    return CDlgControl::Create(id, flags, width, height);
}

BOOL CToolBarControl::SetOrientation(int orientation, BOOL redraw) {
    m_orientation = orientation;
    // The cells move: a press in progress would end on another button.
    m_pressed = -1;
    RedrawIf(redraw);
    return TRUE;
}

BOOL CToolBarControl::SetButtons(const Button* buttons, BOOL redraw) {
    std::fill(m_buttons, m_buttons + kButtonCount, Button{});
    if (buttons != nullptr) {
        std::copy(buttons, buttons + kButtonCount, m_buttons);
    }
    // A press in progress belonged to the old button; its release must not run the new one's command.
    m_pressed = -1;
    RedrawIf(redraw);
    return TRUE;
}

RECT CToolBarControl::GetCellRect(const RECT& area, int index) const {
    const bool vertical = m_orientation == kVertical;
    const int length = vertical ? RectHeight(area) : RectWidth(area);
    const int base = length / kButtonCount;
    const int longer = length % kButtonCount;
    const int start = index * base + std::min(index, longer);
    const int size = base + (index < longer ? 1 : 0);
    if (vertical) {
        return RECT{area.left, area.top + start, area.right, area.top + start + size};
    }
    return RECT{area.left + start, area.top, area.left + start + size, area.bottom};
}

int CToolBarControl::HitTest(POINT point) {
    RECT area{};
    GetInnerClientRect(&area);
    for (int index = kButtonCount - 1; index >= 0; --index) {
        const RECT cell = GetCellRect(area, index);
        if (m_buttons[index].enabled && PtInRect(&cell, point)) {
            return index;
        }
    }
    return -1;
}

void CToolBarControl::SetPressed(int index) {
    if (m_pressed != index) {
        m_pressed = index;
        Redraw(nullptr);
    }
}

LRESULT CToolBarControl::OnPointer(const POINT* point, int mode) {
    const int tapped = TrackPress(
        m_pressed, point, mode, [this](POINT at) { return HitTest(at); }, [this](int index) { SetPressed(index); });
    if (tapped >= 0) {
        NotifyHost(kNotifyCommand, tapped, m_buttons[tapped].command);
    }
    return 1;
}

void CToolBarControl::OnPaint(HDC dc, const RECT* inner) {
    if (dc == nullptr || inner == nullptr) {
        return;
    }
    DrawBand(dc, *inner);
    for (int index = 0; index < kButtonCount; ++index) {
        DrawButton(dc, index, GetCellRect(*inner, index));
    }
}

void CToolBarControl::DrawBand(HDC dc, const RECT& band) {
    const int middleX = band.left + RectWidth(band) / 2;
    const int middleY = band.top + RectHeight(band) / 2;
    const RECT topLeft{band.left, band.top, middleX, middleY};
    const RECT topRight{middleX, band.top, band.right, middleY};
    const RECT bottomLeft{band.left, middleY, middleX, band.bottom};
    const RECT bottomRight{middleX, middleY, band.right, band.bottom};
    if (m_orientation == kVertical) {
        // Light across the middle of the band's length, dark on the left half and light on the right.
        FillMirroredHalf(dc, topLeft, bottomLeft, kDarkPair, kTopToBottom);
        FillMirroredHalf(dc, topRight, bottomRight, kLightPair, kTopToBottom);
    } else {
        FillMirroredHalf(dc, topLeft, topRight, kLightPair, kLeftToRight);
        FillMirroredHalf(dc, bottomLeft, bottomRight, kDarkPair, kLeftToRight);
    }
}

void CToolBarControl::DrawButton(HDC dc, int index, const RECT& cell) {
    const Button& button = m_buttons[index];
    if (!button.enabled || button.picture < 0) {
        return;
    }
    const SIZE size = FitPicture(button.picture, RectWidth(cell), RectHeight(cell));
    RECT area = cell;
    if (index == m_pressed) {
        const int shift = CSysInfo::Scale(1);
        OffsetRect(&area, shift, shift);
    }
    DrawPictureCentred(button.picture, size, dc, area);
    if (index == m_pressed) {
        TintRect(dc, &cell, kPressedTint, kPressedAlpha);
    }
}
