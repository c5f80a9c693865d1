#include "Screens/CStartWizardCityListDlg.h"

#include "CLocalization.h"
#include "Screens/CAppMessageBox.h"
#include "UserInterface/CMenuItemCollection.h"
#include "Weather/CCityList.h"
#include "Weather/GlobalServices.h"

namespace {

constexpr CToolBarControl::Button kPageButtons[CToolBarControl::kButtonCount] = {
    {60, CCityListDlg::kBack, 1},
    {66, CCityListDlg::kDeleteCity, 1},
    {72, CCityListDlg::kAddByGps, 1},
    {65, CCityListDlg::kAddCity, 1},
};

}  // namespace

bool CStartWizardCityListDlg::BuildMenu(UserInterface::CMenuInfo* menu) {
    UserInterface::CMenuItemCollection popup;
    menu->Clear();
    menu->SetCommand(UserInterface::kLeftSoftKey, IDOK);
    menu->SetCommand(UserInterface::kRightSoftKey, kMenu);
    return menu->SetCaption(UserInterface::kLeftSoftKey, "IDS_CAP_DONE") &&
           menu->SetCaption(UserInterface::kRightSoftKey, "IDS_CAP_MENU") &&
           AppendEntry(&popup, kHomeCity, "IDS_CAP_HOME_CITY") &&
           AppendEntry(&popup, kAddCity, "IDS_CAP_ADD_CITY") &&
           AppendEntry(&popup, kAddByGps, "IDS_CAP_ADD_BY_GPS") &&
           AppendEntry(&popup, kDeleteCity, "IDS_CAP_DELETE_CITY") &&
           menu->SetPopup(UserInterface::kRightSoftKey, &popup);
}

const CToolBarControl::Button* CStartWizardCityListDlg::GetToolbarButtons() const { return kPageButtons; }

// The page goes on only with a city in the list.
void CStartWizardCityListDlg::OnSelectAction() {
    if (g_pCityList != nullptr && g_pCityList->GetCount() > 0) {
        EndDialog(IDOK);
        return;
    }
    LPCWSTR text = LoadLocalizedString("IDS_ONE_CITY_REQUIRED");
    CAppMessageBox box;
    CAppMessageBox::DoModalDoneOverParentDialog(box, this, text != nullptr ? text : u"", nullptr, nullptr);
}

// The first start has no screen to go back to.
BOOL CStartWizardCityListDlg::OnBackKey(WPARAM, LPARAM) { return TRUE; }

BOOL CStartWizardCityListDlg::OnDialogCommand(int id, int code, HWND window) {
    switch (id) {
        case IDOK:
        case kSelect:
        case kBack: OnSelectAction(); return TRUE;
        case kAddCity:
        case kAddByGps:
        case kDeleteCity:
        case kHomeCity: return CCityListDlg::OnDialogCommand(id, code, window);
        default: return TRUE;
    }
}
