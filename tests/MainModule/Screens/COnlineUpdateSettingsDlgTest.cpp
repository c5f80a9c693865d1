// The program-update settings dialog run for real: the stored interval preselected (Off for one it does
// not offer), Done writing the choice into the record, Cancel leaving it; through the main window the
// choice is stored for later starts.
#include <gtest/gtest.h>

#include "Screens/COnlineUpdateSettingsDlg.h"
#include "SettingsDialogTest.h"

namespace {

using namespace settings_test;
using Dlg = COnlineUpdateSettingsDlg;
using ScriptedSettings = ScriptedScreen<COnlineUpdateSettingsDlg>;

class OnlineUpdateSettingsTest : public SettingsDialogTest {
protected:
    static INT_PTR Run(ScriptedSettings& dialog) {
        ClockTicker clock;
        return dialog.RunOverWindow(nullptr, nullptr, nullptr);
    }
};

TEST_F(OnlineUpdateSettingsTest, AnIntervalNotOfferedShowsOffAndDoneTakesTheChoice) {
    GetSettings().onlineUpdateInterval = 7;
    ScriptedSettings dialog;
    dialog.Then([](ScriptedSettings& d) {
        EXPECT_EQ(IdsOf(d), (std::vector<int>{0, 1}));
        EXPECT_EQ(TextOf(d.GetLayout()->FindControl(Dlg::kLabelId)), u"Check for program updates:");
        EXPECT_EQ(Texts(d, Dlg::kIntervalId),
                  (std::vector<std::u16string>{u"Off", u"Every 15 days", u"Monthly", u"Twice a year"}));
        EXPECT_EQ(SelectedText(d, Dlg::kIntervalId), u"Off");
        d.SetFocusControl(Field(d, Dlg::kIntervalId), FALSE);
        ce::InjectKey(VK_LEFT);  // wraps to the last
    });
    dialog.Then([](ScriptedSettings&) { ce::InjectKey(VK_TSOFT1); });
    EXPECT_EQ(Run(dialog), IDOK);
    EXPECT_EQ(GetSettings().onlineUpdateInterval, 182u);
    EXPECT_EQ(Stored(u"OUpdateInterval"), static_cast<DWORD>(-1)) << "the caller saves the record";
}

TEST_F(OnlineUpdateSettingsTest, CancelLeavesTheIntervalAsItWas) {
    GetSettings().onlineUpdateInterval = 30;
    ScriptedSettings dialog;
    dialog.Then([](ScriptedSettings& d) {
        EXPECT_EQ(SelectedText(d, Dlg::kIntervalId), u"Monthly");
        d.SetFocusControl(Field(d, Dlg::kIntervalId), FALSE);
        ce::InjectKey(VK_RIGHT);
    });
    dialog.Then([](ScriptedSettings&) { ce::InjectKey(VK_TSOFT2); });
    EXPECT_EQ(Run(dialog), IDCANCEL);
    EXPECT_EQ(GetSettings().onlineUpdateInterval, 30u);
}

}  // namespace
