#include "Screens/ViewScreenControls.h"

#include "CGdiFactory.h"
#include "CSysInfo.h"
#include "Controls/CSwitchControl.h"
#include "Controls/CToolBarControl.h"
#include "Skin/CApplicationSkin.h"
#include "Weather/GlobalServices.h"

namespace ViewScreenControls {
namespace {

constexpr COLORREF kTextColor = 0xFFFFFF;
constexpr int kSwitchFontSize = 0;
constexpr COLORREF kSwitchBorder = 0;

}  // namespace

bool Adopt(UserInterface::CDlgLayout* layout, UserInterface::CDlgControl* control) {
    if (control == nullptr) {
        return false;
    }
    if (layout == nullptr || !layout->AddControl(control)) {
        delete control;
        return false;
    }
    return true;
}

void Style(UserInterface::CDlgControl* control, int fontSize, COLORREF border) {
    if (g_pGdiFactory != nullptr) {
        control->SetFont(g_pGdiFactory->GetFont(fontSize, CGdiFactory::kClearType, CGdiFactory::kRegular,
                                                CGdiFactory::kNoUnderline),
                         UserInterface::kNoRedraw);
    }
    control->SetTextColor(kTextColor, UserInterface::kNoRedraw);
    control->SetBorderColor(border, UserInterface::kNoRedraw);
}

COLORREF SkinBorderColor() {
    return g_pApplicationSkin != nullptr
               ? g_pApplicationSkin->GetSkinColor(CApplicationSkin::kBackgroundColorIndex)
               : 0;
}

CSwitchControl* AddSwitch(UserInterface::CDlgLayout* layout, int id) {
    auto* control = new (std::nothrow) CSwitchControl;
    if (!Adopt(layout, control) ||
        !control->Create(id, kFlags, UserInterface::kSizedByLayout, UserInterface::kSizedByLayout)) {
        return nullptr;
    }
    Style(control, kSwitchFontSize, kSwitchBorder);
    return control;
}

CToolBarControl* AddToolbar(UserInterface::CDlgLayout* layout, int id) {
    auto* control = new (std::nothrow) CToolBarControl;
    const int orientation = g_pSysInfo != nullptr && !g_pSysInfo->IsPortrait() ? CToolBarControl::kVertical
                                                                                : CToolBarControl::kHorizontal;
    if (!Adopt(layout, control) ||
        !control->Create(orientation, nullptr, id, kFlags, UserInterface::kSizedByLayout,
                         UserInterface::kSizedByLayout)) {
        return nullptr;
    }
    control->SetBorderColor(SkinBorderColor(), UserInterface::kNoRedraw);
    return control;
}

}  // namespace ViewScreenControls
