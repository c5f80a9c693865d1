// The units in which temperatures, wind speeds and pressures are shown. Done saves the settings; the
// caller redraws and tells the start-screen item.
#pragma once

#include <initializer_list>

#include "Screens/CSettingsDialog.h"

class CSelectUnitsDlg : public CSettingsDialog {
public:
    enum ControlId {
        kDegreesLabel = 0,
        kDegreesField = 1,
        kWindSpacer = 2,
        kWindLabel = 3,
        kWindField = 4,
        kPressureSpacer = 5,
        kPressureLabel = 6,
        kPressureField = 7,
    };
    // Parts of Refresh, one a field.
    static constexpr DWORD kRefreshDegrees = 0x10000;
    static constexpr DWORD kRefreshWind = 0x20000;
    static constexpr DWORD kRefreshPressure = 0x40000;
    // Spacers on a Smartphone's small screen.
    static constexpr int kSmartphoneSpacerHeight = 3;

    CSelectUnitsDlg() = default;
    ~CSelectUnitsDlg() override = default;

    BOOL OnInitControls() override;
    BOOL Refresh(DWORD mask) override;

protected:
    bool Apply() override;

private:
    // The field emptied and filled with the texts of the keys, whose data are their positions.
    bool FillField(int id, std::initializer_list<const char*> keys, DWORD stored);
};
