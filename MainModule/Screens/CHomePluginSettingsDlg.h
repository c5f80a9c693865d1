// How the Home-screen plug-in lays out the weather: detailed or five days. Done saves the settings;
// the caller asks the Home screen to refresh the plug-in.
#pragma once

#include "Screens/CSettingsDialog.h"

class CHomePluginSettingsDlg : public CSettingsDialog {
public:
    enum ControlId { kLabelId = 0, kFieldId = 1 };
    static constexpr DWORD kRefreshField = 0x10000;
    // The stored modes (any other value shows as detailed).
    static constexpr DWORD kFiveDays = 0;
    static constexpr DWORD kDetailed = 1;

    CHomePluginSettingsDlg() = default;
    ~CHomePluginSettingsDlg() override = default;

    BOOL OnInitControls() override;
    BOOL Refresh(DWORD mask) override;

protected:
    bool Apply() override;
};
