#include "Screens/CSelectUnitsDlg.h"

#include "CSysInfo.h"
#include "UserInterface/CDlgComboBox.h"
#include "Weather/GlobalServices.h"

BOOL CSelectUnitsDlg::OnInitControls() {
    const bool smartphone = g_pSysInfo != nullptr && g_pSysInfo->IsSmartphone();
    const int spacer = CSysInfo::Scale(smartphone ? kSmartphoneSpacerHeight : kSpacerHeight);
    const bool made = AddLabel(kDegreesLabel, "IDS_LABEL_DEGREES") != nullptr &&
                      AddField(kDegreesField, "IDS_LABEL_DEGREES") != nullptr &&
                      AddSpacer(kWindSpacer, spacer) != nullptr &&
                      AddLabel(kWindLabel, "IDS_LABEL_WIND_SPEED") != nullptr &&
                      AddField(kWindField, "IDS_LABEL_WIND_SPEED") != nullptr &&
                      AddSpacer(kPressureSpacer, spacer) != nullptr &&
                      AddLabel(kPressureLabel, "IDS_LABEL_PRESSURE") != nullptr &&
                      AddField(kPressureField, "IDS_LABEL_PRESSURE") != nullptr;
    return made && CSettingsDialog::OnInitControls();
}

BOOL CSelectUnitsDlg::Refresh(DWORD mask) {
    const CSettings& settings = GetSettings();
    if ((mask & kRefreshDegrees) &&
        !FillField(kDegreesField, {"IDS_CELSIUS_FULL", "IDS_FAHRENHEIT_FULL"}, settings.degreeType)) {
        return FALSE;
    }
    if ((mask & kRefreshWind) && !FillField(kWindField, {"IDS_KMH", "IDS_MPH", "IDS_MS"}, settings.windSpeedUnit)) {
        return FALSE;
    }
    if ((mask & kRefreshPressure) &&
        !FillField(kPressureField, {"IDS_INHG", "IDS_MMHG", "IDS_MB"}, settings.pressureUnit)) {
        return FALSE;
    }
    return TRUE;
}

bool CSelectUnitsDlg::FillField(int id, std::initializer_list<const char*> keys, DWORD stored) {
    UserInterface::CDlgComboBox* field = FieldOf(id);
    if (field == nullptr) {
        return false;
    }
    field->ResetContent(UserInterface::kNoRedraw);
    intptr_t data = 0;
    for (const char* key : keys) {
        if (!AddItemOfKey(field, key, data++)) {
            return false;
        }
    }
    SelectByData(field, stored);
    return true;
}

bool CSelectUnitsDlg::Apply() {
    intptr_t degrees = 0;
    intptr_t wind = 0;
    intptr_t pressure = 0;
    if (!GetSelectedData(FieldOf(kDegreesField), &degrees) || !GetSelectedData(FieldOf(kWindField), &wind) ||
        !GetSelectedData(FieldOf(kPressureField), &pressure)) {
        return false;
    }
    CSettings& settings = GetSettings();
    const CSettings before = settings;
    settings.degreeType = static_cast<DWORD>(degrees);
    settings.windSpeedUnit = static_cast<DWORD>(wind);
    settings.pressureUnit = static_cast<DWORD>(pressure);
    return SaveSettings(before);
}
