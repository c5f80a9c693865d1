#include "Screens/CHomePluginSettingsDlg.h"

#include "UserInterface/CDlgComboBox.h"
#include "Weather/GlobalServices.h"

BOOL CHomePluginSettingsDlg::OnInitControls() {
    const bool made = AddLabel(kLabelId, "IDS_LABEL_HOME_PLUGIN_VIEW") != nullptr &&
                      AddField(kFieldId, "IDS_LABEL_HOME_PLUGIN_VIEW") != nullptr;
    return made && CSettingsDialog::OnInitControls();
}

BOOL CHomePluginSettingsDlg::Refresh(DWORD mask) {
    if ((mask & kRefreshField) == 0) {
        return TRUE;
    }
    UserInterface::CDlgComboBox* field = FieldOf(kFieldId);
    field->ResetContent(UserInterface::kNoRedraw);
    if (!AddItemOfKey(field, "IDS_DETAILED", kDetailed) || !AddItemOfKey(field, "IDS_5DAYS", kFiveDays)) {
        return FALSE;
    }
    SelectByData(field, GetSettings().homePluginMode);
    return TRUE;
}

// A choice that could not be stored keeps the dialog open: the plug-in reads the stored value.
bool CHomePluginSettingsDlg::Apply() {
    intptr_t mode = 0;
    if (!GetSelectedData(FieldOf(kFieldId), &mode)) {
        return false;
    }
    CSettings& settings = GetSettings();
    const CSettings before = settings;
    settings.homePluginMode = static_cast<DWORD>(mode);
    return SaveSettings(before);
}
