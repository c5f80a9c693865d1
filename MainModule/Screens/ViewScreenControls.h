// The controls that the full-screen views (day, details, hourly) set up alike: the switch at the top,
// the content under it and the toolbar of a Pocket PC, each made in the view's layout, which owns it,
// with the ClearType font of its size class and white text.
#pragma once

#include <new>

#include "UserInterface/CDlgControl.h"
#include "UserInterface/CDlgLayout.h"

class CSwitchControl;
class CToolBarControl;

namespace ViewScreenControls {

constexpr DWORD kFlags = UserInterface::CDlgControl::kVisible | UserInterface::CDlgControl::kHostBackground;

// Hands the control to the layout (which deletes it also when this fails); false for null.
bool Adopt(UserInterface::CDlgLayout* layout, UserInterface::CDlgControl* control);
// The factory's ClearType font of the size class, white text and the border colour.
void Style(UserInterface::CDlgControl* control, int fontSize, COLORREF border);
// The skin's colour 0, the views' border colour.
COLORREF SkinBorderColor();

// The switch of size class 0 with a black border; null when it cannot be made.
CSwitchControl* AddSwitch(UserInterface::CDlgLayout* layout, int id);
// The toolbar, along the bottom of a portrait screen and down the right of a landscape one.
CToolBarControl* AddToolbar(UserInterface::CDlgLayout* layout, int id);

// A content control of the views (a forecast control, the hourly list) with the skin's border.
template <class Control>
Control* AddContent(UserInterface::CDlgLayout* layout, int id, int fontSize) {
    auto* control = new (std::nothrow) Control;
    if (!Adopt(layout, control) ||
        !control->Create(id, kFlags, UserInterface::kSizedByLayout, UserInterface::kSizedByLayout)) {
        return nullptr;
    }
    Style(control, fontSize, SkinBorderColor());
    return control;
}

}  // namespace ViewScreenControls
