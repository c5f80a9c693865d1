// The automatic-update settings run for real: what the stored schedule shows, which controls each
// kind shows, the warning before automatic updates are turned on, and what Done stores.
#include <gtest/gtest.h>

#include "Screens/CAutoUpdateSettingsDlg.h"
#include "SettingsDialogTest.h"
#include "UserInterface/CDlgCheckBox.h"

namespace {

using namespace settings_test;
using Dlg = CAutoUpdateSettingsDlg;
using ScriptedSettings = ScriptedScreen<CAutoUpdateSettingsDlg>;

class AutoUpdateSettingsTest : public SettingsDialogTest {
protected:
    static void Press(ScriptedSettings& d, int field, UINT key) {
        d.SetFocusControl(Field(d, field), FALSE);
        ce::InjectKey(key);
    }
    static INT_PTR Run(ScriptedSettings& dialog) {
        ClockTicker clock;  // the fields slide between their items
        return dialog.RunOverWindow(nullptr, nullptr, nullptr);
    }
    static bool Checked(ScriptedSettings& d) {
        return static_cast<UserInterface::CDlgCheckBox*>(d.GetLayout()->FindControl(Dlg::kRoamingCheck))->GetCheck() != 0;
    }
};

TEST_F(AutoUpdateSettingsTest, ShowsTheStoredScheduleAndOnlyTheControlsOfTheChosenKind) {
    CSettings& settings = GetSettings();
    settings.updateType = 2;
    settings.updateInterval = 3;  // not offered: the first interval stands in
    settings.updateTime[0] = 0;
    settings.updateInRoaming = 0;
    ScriptedSettings dialog;
    dialog.Then([&](ScriptedSettings& d) {
        EXPECT_EQ(IdsOf(d), (std::vector<int>{0, 1, 2, 3, 4, 5, 6, 7, 8, 9}));
        EXPECT_EQ(ShownIds(d), (std::vector<int>{0, 1, 5, 6, 7, 8, 9}));
        EXPECT_EQ(Texts(d, Dlg::kIntervalField),
                  (std::vector<std::u16string>{u"1 h", u"2 h", u"4 h", u"8 h", u"12 h", u"24 h"}));
        EXPECT_EQ(SelectedText(d, Dlg::kIntervalField), u"1 h");
        ASSERT_EQ(Texts(d, Dlg::kTimeField).size(), 24u);
        EXPECT_EQ(Texts(d, Dlg::kTimeField).front(), u"00:30-01:30");
        EXPECT_EQ(SelectedText(d, Dlg::kTimeField), u"23:30-00:30");
        EXPECT_EQ(SelectedText(d, Dlg::kKindField), u"Once a day");
        EXPECT_FALSE(Checked(d));
        EXPECT_EQ(d.GetFocusedControl(), Field(d, Dlg::kKindField)) << "the focus starts on the first field";
        EXPECT_EQ(FontWeight(d.GetLayout()->FindControl(Dlg::kKindLabel)->GetFont()), 700);
        EXPECT_EQ(Field(d, Dlg::kKindField)->GetBorderColor(), CSettingsDialog::GetSettingsFieldColor());
        Press(d, Dlg::kKindField, VK_LEFT);
    });
    dialog.Then([&](ScriptedSettings& d) {
        EXPECT_EQ(ShownIds(d), (std::vector<int>{0, 1, 2, 3, 4, 8, 9})) << "every few hours";
        RECT interval{};
        d.GetLayout()->FindControl(Dlg::kIntervalField)->GetRect(&interval);
        RECT kind{};
        Field(d, Dlg::kKindField)->GetRect(&kind);
        EXPECT_GT(interval.top, kind.bottom) << "laid out again below the kind";
        Press(d, Dlg::kKindField, VK_LEFT);
    });
    dialog.Then([&](ScriptedSettings& d) {
        EXPECT_EQ(ShownIds(d), (std::vector<int>{0, 1})) << "off: only the kind";
        ce::InjectKey(VK_TSOFT2);
    });
    EXPECT_EQ(Run(dialog), IDCANCEL);
    EXPECT_EQ(Stored(u"FUpdateType"), static_cast<DWORD>(-1)) << "Cancel stores nothing";
    EXPECT_EQ(GetSettings().updateType, 2u);
}

TEST_F(AutoUpdateSettingsTest, DoneAfterYesStoresTheDailyWindowsHourAndTheRoamingChoice) {
    GetSettings().updateTime[0] = 1;  // 00:30-01:30, the first window
    ScriptedSettings dialog;
    dialog.Then([](ScriptedSettings& d) { Press(d, Dlg::kKindField, VK_LEFT); });  // off wraps to daily
    dialog.Then([](ScriptedSettings& d) { Press(d, Dlg::kTimeField, VK_LEFT); });  // wraps to 23:30-00:30
    dialog.Then([](ScriptedSettings& d) {
        EXPECT_EQ(SelectedText(d, Dlg::kTimeField), u"23:30-00:30");
        d.SetFocusControl(d.GetLayout()->FindControl(Dlg::kRoamingCheck), FALSE);
        ce::InjectKey(VK_RETURN);
    });
    dialog.Then([](ScriptedSettings&) { ce::InjectKey(VK_TSOFT1); }, [](ScriptedSettings& d) { return BoxIsUp(d); });
    dialog.Then([](ScriptedSettings&) { ce::InjectKey(VK_TSOFT1); });  // Yes
    EXPECT_EQ(Run(dialog), IDOK);
    EXPECT_EQ(Stored(u"FUpdateType"), 2u);
    EXPECT_EQ(Stored(u"FUpdateInRoaming"), 0u);
    BYTE time[2] = {9, 9};
    ASSERT_TRUE(store_.GetBinary(u"FUpdateTime", time, sizeof time));
    EXPECT_EQ(time[0], 0) << "the window 23:30-00:30 is hour 0";
    EXPECT_EQ(time[1], 0);
}

TEST_F(AutoUpdateSettingsTest, NoToTheWarningKeepsTheDialogOpenAndStoresNothing) {
    ScriptedSettings dialog;
    dialog.Then([](ScriptedSettings& d) { Press(d, Dlg::kKindField, VK_RIGHT); });
    dialog.Then([](ScriptedSettings&) { ce::InjectKey(VK_TSOFT1); }, [](ScriptedSettings& d) { return BoxIsUp(d); });
    dialog.Then([](ScriptedSettings&) { ce::InjectKey(VK_TSOFT2); },  // No
                [](ScriptedSettings& d) { return !BoxIsUp(d); });
    dialog.Then([&](ScriptedSettings& d) {
        EXPECT_EQ(d.GetResult(), -1) << "still open";
        EXPECT_EQ(Stored(u"FUpdateType"), static_cast<DWORD>(-1));
        EXPECT_EQ(GetSettings().updateType, 0u);
        EXPECT_EQ(SelectedText(d, Dlg::kKindField), u"At an interval");
    });
    EXPECT_EQ(Run(dialog), ScriptedSettings::kScriptEnded);
}

TEST_F(AutoUpdateSettingsTest, TurningUpdatesOffSavesWithoutAWarningAndTheBackKeyCancels) {
    GetSettings().updateType = 1;
    ScriptedSettings dialog;
    dialog.Then([](ScriptedSettings& d) { Press(d, Dlg::kKindField, VK_LEFT); });
    dialog.Then([](ScriptedSettings&) { ce::InjectKey(VK_TSOFT1); });
    EXPECT_EQ(Run(dialog), IDOK);
    EXPECT_EQ(Stored(u"FUpdateType"), 0u);
    EXPECT_EQ(Stored(u"FUpdateInterval"), 12u);

    ScriptedSettings back;
    back.passBackKeys = true;
    back.Then([](ScriptedSettings&) { ce::InjectKey(VK_ESCAPE); });
    EXPECT_EQ(Run(back), IDCANCEL);
}

// A registry that cannot be written keeps the dialog open, and the record keeps what is stored, so
// that a Cancel afterwards really changes nothing.
TEST_F(AutoUpdateSettingsTest, AFailedSaveKeepsTheDialogOpenAndTheRecordAsStored) {
    MakeRegistryRefuseWrites();
    ScriptedSettings dialog;
    dialog.Then([](ScriptedSettings& d) { Press(d, Dlg::kKindField, VK_RIGHT); });
    dialog.Then([](ScriptedSettings&) { ce::InjectKey(VK_TSOFT1); }, [](ScriptedSettings& d) { return BoxIsUp(d); });
    dialog.Then([](ScriptedSettings&) { ce::InjectKey(VK_TSOFT1); }, [](ScriptedSettings& d) { return !BoxIsUp(d); });
    dialog.Then([](ScriptedSettings& d) {
        EXPECT_EQ(d.GetResult(), -1);
        EXPECT_EQ(GetSettings().updateType, 0u);
        ce::InjectKey(VK_TSOFT2);
    });
    EXPECT_EQ(Run(dialog), IDCANCEL);
    EXPECT_EQ(GetSettings().updateType, 0u);
}

}  // namespace
