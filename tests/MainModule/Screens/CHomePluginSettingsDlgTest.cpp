// The Home plug-in's view choice run for real: the stored mode shown, Done storing the choice, and a
// save that fails keeping the dialog open.
#include <gtest/gtest.h>

#include "Screens/CHomePluginSettingsDlg.h"
#include "SettingsDialogTest.h"

namespace {

using namespace settings_test;
using Dlg = CHomePluginSettingsDlg;
using ScriptedHome = ScriptedScreen<CHomePluginSettingsDlg>;

class HomePluginSettingsTest : public SettingsDialogTest {
protected:
    static INT_PTR Run(ScriptedHome& dialog) {
        ClockTicker clock;
        return dialog.RunOverWindow(nullptr, nullptr, nullptr);
    }
};

TEST_F(HomePluginSettingsTest, AnUnknownModeShowsDetailedAndDoneStoresTheChoice) {
    GetSettings().homePluginMode = 2;
    ScriptedHome dialog;
    dialog.Then([](ScriptedHome& d) {
        EXPECT_EQ(TextOf(d.GetLayout()->FindControl(Dlg::kLabelId)), u"Home screen view:");
        EXPECT_EQ(Texts(d, Dlg::kFieldId), (std::vector<std::u16string>{u"Detailed", u"5 days"}));
        EXPECT_EQ(SelectedText(d, Dlg::kFieldId), u"Detailed");
        ce::InjectKey(VK_TSOFT1);
    });
    EXPECT_EQ(Run(dialog), IDOK);
    EXPECT_EQ(Stored(u"HomePluginMode"), 1u);

    ScriptedHome fiveDays;
    fiveDays.Then([](ScriptedHome&) { ce::InjectKey(VK_RIGHT); });
    fiveDays.Then([](ScriptedHome&) { ce::InjectKey(VK_TSOFT1); });
    EXPECT_EQ(Run(fiveDays), IDOK);
    EXPECT_EQ(Stored(u"HomePluginMode"), 0u);
}

// The plug-in shows what is stored: a choice that could not be stored is not reported as done.
TEST_F(HomePluginSettingsTest, AFailedSaveKeepsTheDialogOpenAndTheRecordAsStored) {
    MakeRegistryRefuseWrites();
    ScriptedHome dialog;
    dialog.Then([](ScriptedHome&) { ce::InjectKey(VK_RIGHT); });
    dialog.Then([](ScriptedHome&) { ce::InjectKey(VK_TSOFT1); });
    dialog.Then([](ScriptedHome& d) {
        EXPECT_EQ(d.GetResult(), -1);
        EXPECT_EQ(GetSettings().homePluginMode, 0u);
        ce::InjectKey(VK_TSOFT2);
    });
    EXPECT_EQ(Run(dialog), IDCANCEL);
}

}  // namespace
