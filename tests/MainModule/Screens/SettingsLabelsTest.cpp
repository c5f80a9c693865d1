// Every settings dialog and first-start page as it shows on a Pocket PC, a Smartphone and a turned
// Pocket PC: each caption is placed with room for its text, above the field it names, inside the
// dialog, and its white text is on the screen. With SKYVANE_TEST_SHOTS naming a folder, each dialog is
// also saved there as a PNG to be looked at.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstdlib>
#include <memory>
#include <string>

#include "Screens/CAutoUpdateSettingsDlg.h"
#include "Screens/CGPSSettingsDlg.h"
#include "Screens/CHomePluginSettingsDlg.h"
#include "Screens/CInterfaceLangDlg.h"
#include "Screens/COUSetupNetworkDlg.h"
#include "Screens/COnlineUpdateSettingsDlg.h"
#include "Screens/CSelectUnitsDlg.h"
#include "Screens/CSetupNetworkDlg.h"
#include "Screens/CStartWizardInterfaceLangDlg.h"
#include "Screens/CStartWizardSetupNetworkDlg.h"
#include "SettingsDialogTest.h"
#include "ce/device.h"

namespace {

using namespace settings_test;

struct DeviceKind {
    const char* name;
    const char* kind;
    int width;
    int height;
    const char* orientation;
};

class SettingsLabelsTest : public SettingsDialogTest, public ::testing::WithParamInterface<DeviceKind> {
protected:
    void SetUp() override {
        SettingsDialogTest::SetUp();
        ASSERT_TRUE(ce::SetProfileString("device", "kind", GetParam().kind));
        ASSERT_TRUE(ce::SetProfileString("device", "orientation", GetParam().orientation));
        ASSERT_NO_FATAL_FAILURE(SetScreen(GetParam().width, GetParam().height));
        sysInfo_ = std::make_unique<CSysInfo>(GetModuleHandleW(nullptr));
        g_pSysInfo = sysInfo_.get();
        ASSERT_TRUE(device_.LoadSkin());
        fonts_ = std::make_unique<CGdiFactory>(*sysInfo_);
        g_pGdiFactory = fonts_.get();
        ASSERT_TRUE(ce::SetProfileString("connection", "destinations", "Work;The Internet"));
        ce::ReloadProfile();
    }
    void TearDown() override {
        g_pGdiFactory = nullptr;
        fonts_.reset();
        device_.UnloadSkin();
        g_pSysInfo = &device_.SysInfo();
        sysInfo_.reset();
        SettingsDialogTest::TearDown();
    }

    // Opens the dialog, checks its caption (the label of id `labelId` with the text of `key`) and
    // every other label it shows, and closes it.
    template <class Dialog>
    void ExpectCaptionsShown(const char* screen, int labelId, const char* key) {
        SCOPED_TRACE(screen);
        // A copy: the loaded text lives in a buffer that the dialog's own look-ups overwrite.
        ASSERT_NE(LoadLocalizedString(key), nullptr) << key;
        const std::u16string expected = LoadLocalizedString(key);
        ScriptedScreen<Dialog> dialog;
        dialog.Then([](ScriptedScreen<Dialog>& d) { UpdateWindow(d.GetHandle()); });
        dialog.Then([&](ScriptedScreen<Dialog>& d) {
            EXPECT_EQ(TextOf(d.GetLayout()->FindControl(labelId)), expected);
            for (int i = 0; i < d.GetLayout()->GetControlCount(); ++i) {
                ExpectLabelShown(d, i);
            }
            SaveShot(screen);
            d.EndDialog(IDCANCEL);
        });
        ClockTicker clock;
        dialog.RunOverWindow(nullptr, nullptr, nullptr);
    }

    // A visible label with text lies inside the dialog, above the control that follows it, and some
    // of its white text's pixels are on the screen.
    static void ExpectLabelShown(UserInterface::CSmartDialog& d, int index) {
        UserInterface::CDlgControl* control = d.GetLayout()->GetControlAt(index);
        WCHAR type[32] = {};
        control->GetTypeName(type, 32);
        if (std::u16string(type) != u"__DlgStatic" || !control->IsVisible() || TextOf(control).empty()) {
            return;
        }
        SCOPED_TRACE(ce::ToUtf8(TextOf(control)));
        RECT rect;
        control->GetRect(&rect);
        ASSERT_GT(rect.bottom - rect.top, 0) << "the label has no height";
        EXPECT_GE(rect.left, 0);
        EXPECT_GE(rect.top, 0);
        EXPECT_LE(rect.right, d.GetClientWidth());
        EXPECT_LE(rect.bottom, d.GetClientHeight());
        UserInterface::CDlgControl* next = d.GetLayout()->GetControlAt(index + 1);
        if (next != nullptr && next->IsVisible()) {
            RECT below;
            next->GetRect(&below);
            EXPECT_LE(rect.bottom, below.top) << "the next control covers the label";
        }
        // The background is the dark theme gradient: only the white text comes near white.
        int textPixels = 0;
        for (LONG y = std::max<LONG>(0, rect.top); y < std::min<LONG>(rect.bottom, d.GetClientHeight()); ++y) {
            for (LONG x = std::max<LONG>(0, rect.left); x < std::min<LONG>(rect.right, d.GetClientWidth()); ++x) {
                const COLORREF pixel = PixelOf(d, x, y);
                textPixels += GetRValue(pixel) > 200 && GetGValue(pixel) > 200 && GetBValue(pixel) > 200 ? 1 : 0;
            }
        }
        EXPECT_GT(textPixels, 0) << "no pixel of the label's text is on the screen";
    }

    void SaveShot(const char* screen) const {
        const char* folder = std::getenv("SKYVANE_TEST_SHOTS");
        if (folder != nullptr) {
            EXPECT_TRUE(ce::CaptureScreen(std::string(folder) + "/" + screen + "-" + GetParam().name + ".png"));
        }
    }

    std::unique_ptr<CSysInfo> sysInfo_;
};

TEST_P(SettingsLabelsTest, EverySettingsDialogShowsItsCaptions) {
    ExpectCaptionsShown<CAutoUpdateSettingsDlg>("autoupdate", CAutoUpdateSettingsDlg::kKindLabel,
                                                "IDS_LABEL_AUTOUPDATE");
    ExpectCaptionsShown<CSelectUnitsDlg>("units", CSelectUnitsDlg::kDegreesLabel, "IDS_LABEL_DEGREES");
    ExpectCaptionsShown<CSetupNetworkDlg>("network", CSetupNetworkDlg::kLabelId, "IDS_LABEL_NETWORK");
    ExpectCaptionsShown<COUSetupNetworkDlg>("update-network", CSetupNetworkDlg::kLabelId, "IDS_LABEL_NETWORK_OU");
    ExpectCaptionsShown<CInterfaceLangDlg>("language", CInterfaceLangDlg::kLabelId, "IDS_LABEL_INTERFACE_LANGUAGE");
    ExpectCaptionsShown<CGPSSettingsDlg>("gps", CGPSSettingsDlg::kLabelId, "IDS_LABEL_GPS_PORT");
    ExpectCaptionsShown<COnlineUpdateSettingsDlg>("program-update", COnlineUpdateSettingsDlg::kLabelId,
                                                  "IDS_CHECK_FOR_UPDATES");
    ExpectCaptionsShown<CHomePluginSettingsDlg>("home", CHomePluginSettingsDlg::kLabelId,
                                                "IDS_LABEL_HOME_PLUGIN_VIEW");
}

TEST_P(SettingsLabelsTest, TheFirstStartPagesShowTheirCaptionsAndTheNetworkExplanation) {
    ExpectCaptionsShown<CStartWizardInterfaceLangDlg>("start-language", CInterfaceLangDlg::kLabelId,
                                                      "IDS_LABEL_INTERFACE_LANGUAGE");
    ExpectCaptionsShown<CStartWizardSetupNetworkDlg>("start-network", CSetupNetworkDlg::kLabelId,
                                                     "IDS_LABEL_NETWORK_NEEDED");
}

INSTANTIATE_TEST_SUITE_P(Devices, SettingsLabelsTest,
                         ::testing::Values(DeviceKind{"pocketpc", "pocketpc", 240, 320, "portrait"},
                                           DeviceKind{"smartphone", "smartphone", 176, 220, "portrait"},
                                           DeviceKind{"landscape", "pocketpc", 240, 320, "landscape"}),
                         [](const ::testing::TestParamInfo<DeviceKind>& info) { return info.param.name; });

}  // namespace
