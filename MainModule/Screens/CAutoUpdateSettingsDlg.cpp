#include "Screens/CAutoUpdateSettingsDlg.h"

#include <algorithm>
#include <iterator>

#include "CLocalization.h"
#include "CSysInfo.h"
#include "Screens/CAppMessageBox.h"
#include "UserInterface/CDlgCheckBox.h"
#include "UserInterface/CDlgComboBox.h"
#include "UserInterface/CDlgLayout.h"
#include "Weather/GlobalServices.h"

using UserInterface::CDlgCheckBox;
using UserInterface::CDlgComboBox;
using UserInterface::CDlgControl;

namespace {

constexpr int kIntervalHours[] = {1, 2, 4, 8, 12, 24};
constexpr int kHoursTextLength = 500;
constexpr int kHoursPerDay = 24;

// The controls each kind shows, in id order.
constexpr int kShownWhenOff[] = {0, 1};
constexpr int kShownEveryInterval[] = {0, 1, 2, 3, 4, 8, 9};
constexpr int kShownDaily[] = {0, 1, 5, 6, 7, 8, 9};

bool IsShownFor(intptr_t kind, int id) {
    auto contains = [id](const auto& ids) { return std::find(std::begin(ids), std::end(ids), id) != std::end(ids); };
    switch (kind) {
        case CAutoUpdateSettingsDlg::kEveryInterval: return contains(kShownEveryInterval);
        case CAutoUpdateSettingsDlg::kDaily: return contains(kShownDaily);
        default: return contains(kShownWhenOff);
    }
}

}  // namespace

BOOL CAutoUpdateSettingsDlg::OnInitControls() {
    const int spacer = CSysInfo::Scale(kSpacerHeight);
    const bool made = AddLabel(kKindLabel, "IDS_LABEL_AUTOUPDATE") != nullptr &&
                      AddField(kKindField, "IDS_LABEL_AUTOUPDATE") != nullptr &&
                      AddSpacer(kIntervalSpacer, spacer) != nullptr &&
                      AddLabel(kIntervalLabel, "IDS_LABEL_EVERY") != nullptr &&
                      AddField(kIntervalField, "IDS_LABEL_EVERY") != nullptr &&
                      AddSpacer(kTimeSpacer, spacer) != nullptr &&
                      AddLabel(kTimeLabel, "IDS_LABEL_UPDATE_TIME") != nullptr &&
                      AddField(kTimeField, "IDS_LABEL_UPDATE_TIME") != nullptr &&
                      AddSpacer(kRoamingSpacer, spacer) != nullptr &&
                      AddCheck(kRoamingCheck, "IDS_UPDATE_IN_ROAMING") != nullptr;
    return made && CSettingsDialog::OnInitControls();
}

BOOL CAutoUpdateSettingsDlg::Refresh(DWORD mask) {
    if ((mask & kRefreshFields) && !FillFields()) {
        return FALSE;
    }
    if (mask & kRefreshShown) {
        UpdateShownControls();
    }
    return TRUE;
}

bool CAutoUpdateSettingsDlg::FillFields() {
    if (!FillKinds() || !FillIntervals() || !FillTimes()) {
        return false;
    }
    const CSettings& settings = GetSettings();
    SelectByData(FieldOf(kKindField), settings.updateType);
    SelectByData(FieldOf(kIntervalField), settings.updateInterval);
    SelectByData(FieldOf(kTimeField), settings.updateTime[0]);
    auto* roaming = static_cast<CDlgCheckBox*>(GetLayout()->FindControl(kRoamingCheck));
    roaming->SetCheck(settings.updateInRoaming == 1 ? 1 : 0, UserInterface::kNoRedraw);
    RedrawUnlessBusy(roaming);
    return true;
}

bool CAutoUpdateSettingsDlg::FillKinds() {
    CDlgComboBox* kinds = FieldOf(kKindField);
    kinds->ResetContent(UserInterface::kNoRedraw);
    return AddItemOfKey(kinds, "IDS_UPDATE_OFF", kOff) && AddItemOfKey(kinds, "IDS_UPDATE_INTERVAL", kEveryInterval) &&
           AddItemOfKey(kinds, "IDS_UPDATE_TIME", kDaily);
}

bool CAutoUpdateSettingsDlg::FillIntervals() {
    CDlgComboBox* intervals = FieldOf(kIntervalField);
    intervals->ResetContent(UserInterface::kNoRedraw);
    WCHAR pattern[kHoursTextLength] = {};
    CLocalization::Global().GetTemplate("IDS_HOURS_TMPL", pattern, kHoursTextLength);
    for (int hours : kIntervalHours) {
        WCHAR text[kHoursTextLength] = {};
        if (_snwprintf(text, kHoursTextLength, pattern, hours, hours) < 0 ||
            !intervals->AddItem(text, hours, UserInterface::kNoRedraw)) {
            return false;
        }
    }
    return true;
}

// Each window runs from half past an hour to half past the next; its data is the hour it centres on.
bool CAutoUpdateSettingsDlg::FillTimes() {
    CDlgComboBox* times = FieldOf(kTimeField);
    times->ResetContent(UserInterface::kNoRedraw);
    for (int hour = 0; hour < kHoursPerDay; ++hour) {
        const int next = (hour + 1) % kHoursPerDay;
        WCHAR text[32];
        if (_snwprintf(text, 32, u"%02d:30-%02d:30", hour, next) < 0 ||
            !times->AddItem(text, next, UserInterface::kNoRedraw)) {
            return false;
        }
    }
    return true;
}

void CAutoUpdateSettingsDlg::UpdateShownControls() {
    intptr_t kind = kOff;
    GetSelectedData(FieldOf(kKindField), &kind);
    UserInterface::CDlgLayout* layout = GetLayout();
    for (int i = 0; i < layout->GetControlCount(); ++i) {
        CDlgControl* control = layout->GetControlAt(i);
        control->SetVisible(IsShownFor(kind, control->GetId()), UserInterface::kNoRedraw);
    }
    if (!IsPaintingSuppressed()) {
        RecalcLayout();
    }
}

LRESULT CAutoUpdateSettingsDlg::OnControlNotify(CDlgControl* control, int code, LPARAM a, LPARAM b) {
    if (control != nullptr && control->GetId() == kKindField && code == CDlgComboBox::kNotifySelectionChanged) {
        Refresh(kRefreshShown);
        return 1;
    }
    return CSettingsDialog::OnControlNotify(control, code, a, b);
}

// The dialog does not repaint under the box; a No keeps it open as it was.
bool CAutoUpdateSettingsDlg::ConfirmAutomaticUpdates() {
    SuppressPainting(true);
    CAppMessageBox box;
    const INT_PTR answer =
        CAppMessageBox::DoModalYesNo(box, m_hWnd, LoadLocalizedString("IDS_AUTO_UPDATE_WARNING"), nullptr, nullptr);
    SuppressPainting(false);
    if (answer == IDYES || answer == IDOK) {
        return true;
    }
    Redraw(kKeepBackground);
    return false;
}

bool CAutoUpdateSettingsDlg::Apply() {
    intptr_t kind = 0;
    intptr_t interval = 0;
    intptr_t hour = 0;
    if (!GetSelectedData(FieldOf(kKindField), &kind) || !GetSelectedData(FieldOf(kIntervalField), &interval) ||
        !GetSelectedData(FieldOf(kTimeField), &hour)) {
        return false;
    }
    if (kind != kOff && !ConfirmAutomaticUpdates()) {
        return false;
    }
    CSettings& settings = GetSettings();
    const CSettings before = settings;
    auto* roaming = static_cast<CDlgCheckBox*>(GetLayout()->FindControl(kRoamingCheck));
    settings.updateType = static_cast<DWORD>(kind);
    settings.updateInterval = static_cast<DWORD>(interval);
    settings.updateTime[0] = static_cast<BYTE>(hour);
    settings.updateTime[1] = 0;
    settings.updateInRoaming = roaming->GetCheck() != 0 ? 1 : 0;
    if (!SaveSettings(before)) {
        return false;
    }
    // Nothing repaints between the end and the closing transition.
    SuppressPainting(true);
    return true;
}
