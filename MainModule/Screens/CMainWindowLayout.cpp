#include "Screens/CMainWindowLayout.h"

#include <algorithm>

#include "CSysInfo.h"
#include "Controls/CToolBarControl.h"
#include "RectHelpers.h"
#include "UserInterface/CDlgControl.h"

namespace {

constexpr int kToolbarThickness = 50;
constexpr int kSwitchHeight = 40;
constexpr int kSeparatorHeight = 2;

// Cuts a band of at most `length` pixels off the top of the rectangle.
RECT CutTop(RECT* rest, int length) {
    RECT band = *rest;
    band.bottom = std::min(rest->bottom, rest->top + length);
    rest->top = band.bottom;
    return band;
}

}  // namespace

CMainWindowLayout::Bands CMainWindowLayout::ComputeBands(const RECT& view, bool withToolbar, bool portrait) {
    Bands bands{};
    RECT rest = view;
    if (withToolbar) {
        const int thickness = CSysInfo::Scale(kToolbarThickness);
        bands.toolbar = rest;
        if (portrait) {
            bands.toolbar.top = std::max(rest.top, rest.bottom - thickness);
            rest.bottom = bands.toolbar.top;
        } else {
            bands.toolbar.left = std::max(rest.left, rest.right - thickness);
            rest.right = bands.toolbar.left;
        }
    }
    bands.switchBand = CutTop(&rest, CSysInfo::Scale(kSwitchHeight));
    bands.separator = CutTop(&rest, CSysInfo::Scale(kSeparatorHeight));
    bands.graph = rest;
    return bands;
}

void CMainWindowLayout::Arrange() {
    RECT view = GetView();
    const int margin = GetMargin();
    InflateRect(&view, -margin, -margin);
    const bool portrait = g_pSysInfo == nullptr || g_pSysInfo->IsPortrait();
    Bands bands = ComputeBands(view, FindControl(kToolbar) != nullptr, portrait);
    PlaceControl(kToolbar, bands.toolbar);
    PlaceControl(kSwitch, bands.switchBand);
    PlaceControl(kSeparator, bands.separator);
    PlaceControl(kTempGraph, bands.graph);
    // After a turn the toolbar's band is the bottom or the right edge: its buttons follow.
    if (auto* toolbar = static_cast<CToolBarControl*>(FindControl(kToolbar))) {
        toolbar->SetOrientation(portrait ? CToolBarControl::kHorizontal : CToolBarControl::kVertical,
                                UserInterface::kNoRedraw);
    }
}

void CMainWindowLayout::PlaceControl(int id, const RECT& rect) {
    if (UserInterface::CDlgControl* control = FindControl(id)) {
        control->Move(rect.left, rect.top, RectWidth(rect), RectHeight(rect), UserInterface::kNoRedraw);
    }
}
