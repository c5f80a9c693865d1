#include "Screens/CDetailForecastDlg.h"

#include <new>
#include <string>

#include "Controls/CDetailForecastControl.h"
#include "Controls/CSwitchControl.h"
#include "Screens/MainWindowMenu.h"
#include "Screens/ViewScreenControls.h"
#include "Weather/CCityList.h"
#include "Weather/CForecastUpdater.h"
#include "Weather/GlobalServices.h"

using UserInterface::CDlgControl;
namespace Menu = MainWindowMenu;

namespace {

constexpr int kDetailFontSize = 2;

}  // namespace

CDetailForecastDlg::CDetailForecastDlg() = default;

CDetailForecastDlg::~CDetailForecastDlg() = default;

UserInterface::CDlgLayout* CDetailForecastDlg::CreateLayout() { return new (std::nothrow) CDetailForecastDlgLayout; }

CDetailForecastControl* CDetailForecastDlg::GetDetail() const {
    return GetLayout() != nullptr ? static_cast<CDetailForecastControl*>(GetLayout()->FindControl(kDetail)) : nullptr;
}

bool CDetailForecastDlg::AddContent(UserInterface::CDlgLayout* layout) {
    return ViewScreenControls::AddContent<CDetailForecastControl>(layout, kDetail, kDetailFontSize) != nullptr;
}

BOOL CDetailForecastDlg::OnCreateMenu(UserInterface::CMenuInfo* menu) {
    menu->Clear();
    menu->SetFlags(UserInterface::CMenuInfo::kNoInputPanel);
    menu->SetCommand(UserInterface::kLeftSoftKey, Menu::kPartDetails);
    menu->SetCommand(UserInterface::kRightSoftKey, Menu::kMenu);
    return menu->SetCaption(UserInterface::kLeftSoftKey, "IDS_CAP_DETAILS") &&
           menu->SetCaption(UserInterface::kRightSoftKey, "IDS_CAP_MENU");
}

BOOL CDetailForecastDlg::OnInitDialog() {
    if (!CForecastViewDlg::OnInitDialog()) {
        return FALSE;
    }
    if (CDetailForecastControl* detail = GetDetail()) {
        detail->ResumeAnimation();
    }
    return TRUE;
}

void CDetailForecastDlg::OnDestroy() {
    if (CDetailForecastControl* detail = GetDetail()) {
        detail->PauseAnimation();
    }
    CForecastViewDlg::OnDestroy();
}

// Each part on its own: a part that cannot be shown (a day part that has gone) leaves its control as
// it was, while the others still come up and the screen stays open.
BOOL CDetailForecastDlg::Refresh(DWORD mask) {
    for (DWORD part : {kViewSwitch, kViewData, kViewToolbar}) {
        if ((mask & part) != 0) {
            UpdateView(part);
        }
    }
    return TRUE;
}

BOOL CDetailForecastDlg::UpdateView(DWORD flags) {
    if ((flags & kViewSwitch) != 0 && !UpdateSwitch()) {
        return FALSE;
    }
    if ((flags & kViewData) != 0 && !UpdateData()) {
        return FALSE;
    }
    if ((flags & kViewToolbar) != 0 && !UpdateToolbar()) {
        return FALSE;
    }
    return TRUE;
}

BOOL CDetailForecastDlg::OnKey(UINT key, BOOL down) {
    if (CSwitchControl* cities = GetSwitch()) {
        cities->SendMessage(down ? CDlgControl::kMsgKeyDown : CDlgControl::kMsgKeyUp, 0, static_cast<LPARAM>(key));
    }
    return TRUE;
}

// The detail control's drawing thread stays out of the change.
void CDetailForecastDlg::TurnPage(bool next) {
    CDetailForecastControl* detail = GetDetail();
    if (detail != nullptr) {
        detail->PauseAnimation();
    }
    next ? NextPage() : PreviousPage();
    if (detail != nullptr) {
        detail->ResumeAnimation();
    }
}

bool CDetailForecastDlg::LoadCity(LPCWSTR locationId) {
    return locationId != nullptr && g_pCityList != nullptr && g_pCityList->GetCityById(locationId, &m_city);
}

void CDetailForecastDlg::ReloadCity() {
    const std::u16string id = m_city.GetLocationId();
    if (!LoadCity(id.c_str())) {
        m_city.Clear();
    }
}

void CDetailForecastDlg::OnForecastEvent(int status, int result, bool last) {
    if (status == CForecastUpdater::kStatusStarted) {
        UpdateView(kViewSwitch);
        return;
    }
    if (status == CForecastUpdater::kStatusDone) {
        ReloadCity();
    }
    UpdateView(static_cast<DWORD>(-1));
    if (last) {
        ShowUpdateOutcome(result);
    }
}
