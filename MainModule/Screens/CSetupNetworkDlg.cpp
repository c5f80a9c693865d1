#include "Screens/CSetupNetworkDlg.h"

#include "UserInterface/CDlgComboBox.h"
#include "Weather/CForecastUpdater.h"
#include "Weather/GlobalServices.h"
#include "ce/connmgr.h"

BOOL CSetupNetworkDlg::OnInitControls() {
    if (AddLabel(kLabelId, GetLabelKey()) == nullptr || AddField(kDestinationsId, GetLabelKey()) == nullptr) {
        return FALSE;
    }
    return CSettingsDialog::OnInitControls();
}

BOOL CSetupNetworkDlg::Refresh(DWORD mask) {
    if ((mask & kRefreshDestinations) != 0 && !FillDestinations()) {
        return FALSE;
    }
    return CSettingsDialog::Refresh(mask);
}

// The item data is the destination's enumeration index, looked up again when the choice is applied.
bool CSetupNetworkDlg::FillDestinations() {
    UserInterface::CDlgComboBox* field = FieldOf(kDestinationsId);
    if (field == nullptr) {
        return false;
    }
    field->ResetContent(UserInterface::kNoRedraw);
    CONNMGR_DESTINATION_INFO info{};
    for (int index = 0; ConnMgrEnumDestinations(index, &info) == S_OK; ++index) {
        info.szDescription[127] = 0;
        if (!field->AddItem(info.szDescription, index, UserInterface::kNoRedraw)) {
            return false;
        }
    }
    int selection = FindDestination(GetWantedDestination());
    if (selection < 0 && FallsBackToInternet()) {
        selection = FindDestination(IID_DestNetInternet);
    }
    if (selection < 0 && field->GetCount() > 0) {
        selection = 0;
    }
    field->SetCurSel(selection, UserInterface::kNoRedraw);
    RedrawUnlessBusy(field);
    return true;
}

int CSetupNetworkDlg::FindDestination(const GUID& destination) const {
    UserInterface::CDlgComboBox* field = FieldOf(kDestinationsId);
    for (int item = 0; field != nullptr && item < field->GetCount(); ++item) {
        CONNMGR_DESTINATION_INFO info{};
        if (ConnMgrEnumDestinations(static_cast<int>(field->GetItemData(item)), &info) == S_OK &&
            info.guid == destination) {
            return item;
        }
    }
    return -1;
}

GUID CSetupNetworkDlg::GetWantedDestination() const { return GetSettings().connection; }

int CSetupNetworkDlg::GetDestinationCount() const {
    UserInterface::CDlgComboBox* field = FieldOf(kDestinationsId);
    return field != nullptr ? field->GetCount() : 0;
}

bool CSetupNetworkDlg::GetSelectedDestination(GUID* destination) const {
    intptr_t index = 0;
    CONNMGR_DESTINATION_INFO info{};
    if (!GetSelectedData(FieldOf(kDestinationsId), &index) ||
        ConnMgrEnumDestinations(static_cast<int>(index), &info) != S_OK) {
        return false;
    }
    *destination = info.guid;
    return true;
}

bool CSetupNetworkDlg::Apply() {
    GUID destination{};
    return GetSelectedDestination(&destination) && ApplyDestination(destination);
}

// The forecast updater keeps its own copy of the destination; it takes the new one for its next run.
bool CSetupNetworkDlg::ApplyDestination(const GUID& destination) {
    const CSettings before = GetSettings();
    GetSettings().connection = destination;
    if (!SaveSettings(before)) {
        return false;
    }
    if (g_pForecastUpdater != nullptr) {
        g_pForecastUpdater->SetConnection(destination);
    }
    return true;
}
