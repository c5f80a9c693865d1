#include "Screens/COnlineUpdateSettingsDlg.h"

#include "UserInterface/CDlgComboBox.h"
#include "Weather/GlobalServices.h"

BOOL COnlineUpdateSettingsDlg::OnInitControls() {
    UserInterface::CDlgComboBox* interval = nullptr;
    if (AddLabel(kLabelId, "IDS_CHECK_FOR_UPDATES") == nullptr ||
        (interval = AddField(kIntervalId, "IDS_CHECK_FOR_UPDATES")) == nullptr) {
        return FALSE;
    }
    for (const Choice& choice : kChoices) {
        if (!AddItemOfKey(interval, choice.key, static_cast<intptr_t>(choice.days))) {
            return FALSE;
        }
    }
    SelectByData(interval, static_cast<intptr_t>(GetSettings().onlineUpdateInterval));
    return CSettingsDialog::OnInitControls();
}

bool COnlineUpdateSettingsDlg::Apply() {
    intptr_t days = 0;
    if (!GetSelectedData(FieldOf(kIntervalId), &days)) {
        return false;
    }
    GetSettings().onlineUpdateInterval = static_cast<DWORD>(days);
    return true;
}
