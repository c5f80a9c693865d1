// The schedule of the automatic forecast update: off, every few hours, or once a day in a one-hour
// window, and whether it may run while roaming. Done saves the settings after a warning about the
// cost; re-arming the schedule is the caller's part.
#pragma once

#include "Screens/CSettingsDialog.h"

class CAutoUpdateSettingsDlg : public CSettingsDialog {
public:
    enum ControlId {
        kKindLabel = 0,
        kKindField = 1,
        kIntervalSpacer = 2,
        kIntervalLabel = 3,
        kIntervalField = 4,
        kTimeSpacer = 5,
        kTimeLabel = 6,
        kTimeField = 7,
        kRoamingSpacer = 8,
        kRoamingCheck = 9,
    };
    // Parts of Refresh.
    static constexpr DWORD kRefreshFields = 0x10000;
    static constexpr DWORD kRefreshShown = 4;
    // Kinds of update (the update type of the settings).
    static constexpr int kOff = 0;
    static constexpr int kEveryInterval = 1;
    static constexpr int kDaily = 2;

    CAutoUpdateSettingsDlg() = default;
    ~CAutoUpdateSettingsDlg() override = default;

    BOOL OnInitControls() override;
    BOOL Refresh(DWORD mask) override;
    LRESULT OnControlNotify(UserInterface::CDlgControl* control, int code, LPARAM a, LPARAM b) override;

protected:
    bool Apply() override;

private:
    bool FillFields();
    bool FillKinds();
    bool FillIntervals();
    bool FillTimes();
    // Shows the controls of the chosen kind, hides the others and lays the dialog out again.
    void UpdateShownControls();
    bool ConfirmAutomaticUpdates();
};
