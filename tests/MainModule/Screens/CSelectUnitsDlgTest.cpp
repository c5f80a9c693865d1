// The units dialog run for real: the stored units preselected (the first item for a value it does not
// know), Done storing the choice, Cancel and a failed save leaving the record alone.
#include <gtest/gtest.h>

#include "Screens/CSelectUnitsDlg.h"
#include "SettingsDialogTest.h"

namespace {

using namespace settings_test;
using Dlg = CSelectUnitsDlg;
using ScriptedUnits = ScriptedScreen<CSelectUnitsDlg>;

class SelectUnitsTest : public SettingsDialogTest {
protected:
    static INT_PTR Run(ScriptedUnits& dialog) {
        ClockTicker clock;
        return dialog.RunOverWindow(nullptr, nullptr, nullptr);
    }
};

TEST_F(SelectUnitsTest, AnUnknownStoredUnitShowsTheFirstItemAndDoneStoresTheChoice) {
    CSettings& settings = GetSettings();
    settings.degreeType = 1;
    settings.windSpeedUnit = 7;
    settings.pressureUnit = 2;
    ScriptedUnits dialog;
    dialog.Then([](ScriptedUnits& d) {
        EXPECT_EQ(IdsOf(d), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7}));
        EXPECT_EQ(Texts(d, Dlg::kDegreesField), (std::vector<std::u16string>{u"Celsius", u"Fahrenheit"}));
        EXPECT_EQ(Texts(d, Dlg::kWindField), (std::vector<std::u16string>{u"km/h", u"mph", u"m/s"}));
        EXPECT_EQ(Texts(d, Dlg::kPressureField), (std::vector<std::u16string>{u"inHg", u"mmHg", u"mbar"}));
        EXPECT_EQ(SelectedText(d, Dlg::kDegreesField), u"Fahrenheit");
        EXPECT_EQ(SelectedText(d, Dlg::kWindField), u"km/h");
        EXPECT_EQ(SelectedText(d, Dlg::kPressureField), u"mbar");
        d.SetFocusControl(Field(d, Dlg::kPressureField), FALSE);
        ce::InjectKey(VK_RIGHT);  // wraps to inHg
    });
    dialog.Then([](ScriptedUnits&) { ce::InjectKey(VK_TSOFT1); });
    EXPECT_EQ(Run(dialog), IDOK);
    EXPECT_EQ(Stored(u"DegreeType"), 1u);
    EXPECT_EQ(Stored(u"WindSpeedUnit"), 0u);
    EXPECT_EQ(Stored(u"PressureUnit"), 0u);
    EXPECT_EQ(GetSettings().pressureUnit, 0u);
}

TEST_F(SelectUnitsTest, CancelAndAFailedSaveLeaveTheRecordAsItWas) {
    ScriptedUnits cancelled;
    cancelled.Then([](ScriptedUnits& d) {
        d.SetFocusControl(Field(d, Dlg::kDegreesField), FALSE);
        ce::InjectKey(VK_RIGHT);
    });
    cancelled.Then([](ScriptedUnits&) { ce::InjectKey(VK_TSOFT2); });
    EXPECT_EQ(Run(cancelled), IDCANCEL);
    EXPECT_EQ(GetSettings().degreeType, 0u);
    EXPECT_EQ(Stored(u"DegreeType"), static_cast<DWORD>(-1));

    MakeRegistryRefuseWrites();
    ScriptedUnits refused;
    refused.Then([](ScriptedUnits& d) {
        d.SetFocusControl(Field(d, Dlg::kDegreesField), FALSE);
        ce::InjectKey(VK_RIGHT);
    });
    refused.Then([](ScriptedUnits&) { ce::InjectKey(VK_TSOFT1); });
    refused.Then([](ScriptedUnits& d) {
        EXPECT_EQ(d.GetResult(), -1) << "the dialog stays open";
        EXPECT_EQ(SelectedText(d, Dlg::kDegreesField), u"Fahrenheit") << "with the choice";
        EXPECT_EQ(GetSettings().degreeType, 0u) << "the shown units stay those stored";
    });
    EXPECT_EQ(Run(refused), ScriptedUnits::kScriptEnded);
}

}  // namespace
