// How often the program looks for a new version of itself: off, every 15 days, monthly or once a
// year. Done writes the choice into the settings record in memory; the caller saves the record.
#pragma once

#include "Screens/CSettingsDialog.h"

class COnlineUpdateSettingsDlg : public CSettingsDialog {
public:
    static constexpr int kLabelId = 0;
    static constexpr int kIntervalId = 1;

    // The choices in their order: the text of each and its interval in days.
    struct Choice {
        const char* key;
        DWORD days;
    };
    static constexpr Choice kChoices[] = {{"IDS_UPDATE_OFF", 0},
                                          {"IDS_UPDATE_EVERY_15_DAYS", 15},
                                          {"IDS_UPDATE_MONTHLY", 30},
                                          {"IDS_UPDATE_TWICE_A_YEAR", 182}};

    COnlineUpdateSettingsDlg() = default;
    ~COnlineUpdateSettingsDlg() override = default;

    BOOL OnInitControls() override;

protected:
    bool Apply() override;
};
