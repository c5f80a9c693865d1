// Every screen of the program as a user sees it, on a Pocket PC, a Smartphone and a turned Pocket PC,
// in English and German: each screen runs for real over a city with a model forecast, is captured as
// a PNG (into CE_GALLERY_DIR when set, for scripts/gallery, else into the build folder) and drawn with
// the platform's text-fit log on. No text may leave its box or sit in an empty one, except a text that
// ends in its ellipsis, and the open faults listed below.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <functional>
#include <iterator>
#include <map>
#include <set>
#include <string>
#include <tuple>
#include <vector>

#include "CRegistryStore.h"
#include "ForecastScreenTest.h"
#include "MainWindowDevice.h"
#include "Screens/CAboutDlg.h"
#include "Screens/CAppMessageBox.h"
#include "Screens/CAutoUpdateSettingsDlg.h"
#include "Screens/CCityListDlg.h"
#include "Screens/CDayForecastDlg.h"
#include "Screens/CDetailCurConditionDlg.h"
#include "Screens/CDetailPartOfDayForecastDlg.h"
#include "Screens/CGPSSettingsDlg.h"
#include "Screens/CHomePluginSettingsDlg.h"
#include "Screens/CHourlyForecastDlg.h"
#include "Screens/CInterfaceLangDlg.h"
#include "Screens/COnlineUpdateSettingsDlg.h"
#include "Screens/CSelectFromListDlg.h"
#include "Screens/CSelectUnitsDlg.h"
#include "Screens/CSetupNetworkDlg.h"
#include "Screens/CStartWizardInterfaceLangDlg.h"
#include "Screens/CStartWizardSetupNetworkDlg.h"
#include "Shell/CMainWindow.h"

namespace {

using namespace skin_test;
using namespace forecast_screen_test;

struct DeviceKind {
    const char* name;  // in the pictures' names
    const char* kind;
    int width;
    int height;
};
const DeviceKind kPocketPc{"pocketpc", "pocketpc", 240, 320};
const DeviceKind kSmartphone{"smartphone", "smartphone", 176, 220};
const DeviceKind kLandscape{"landscape", "pocketpc", 320, 240};

struct Language {
    const char* name;
    LANGID id;
    const char* file;
};
const Language kEnglish{"en", 0x0409, "loc.0409.txt"};
const Language kGerman{"de", 0x0407, "loc.0407.txt"};

// Faults known and still open, by "<screen>/<kind>/<language>" ("*" for any kind or language); each
// entry goes once its fault is fixed.
const std::set<std::string> kOpenFaults = {};

bool Allowed(const std::string& screen, const DeviceKind& kind, const Language& language) {
    for (const std::string& k : {std::string(kind.name), std::string("*")}) {
        for (const std::string& l : {std::string(language.name), std::string("*")}) {
            if (kOpenFaults.count(screen + "/" + k + "/" + l) != 0) {
                return true;
            }
        }
    }
    return false;
}

// A finding of the log that a screen may show: a text cut where it ends in its ellipsis.
bool EndsInEllipsis(const std::string& line) {
    const size_t text = line.find('\t');
    const size_t end = line.find('\t', text + 1);
    if (text == std::string::npos || end == std::string::npos) {
        return false;
    }
    const std::string shown = line.substr(text + 1, end - text - 1);
    for (const std::string ellipsis : {"\xE2\x80\xA6", "..."}) {
        if (shown.size() >= ellipsis.size() && shown.compare(shown.size() - ellipsis.size(), ellipsis.size(), ellipsis) == 0) {
            return true;
        }
    }
    return false;
}

std::string OutputFolder() {
    const char* asked = std::getenv("CE_GALLERY_DIR");
    return asked != nullptr && *asked != '\0' ? asked : std::string(CE_TEST_BINARY_DIR) + "/gallery";
}

class ScreenGalleryTest : public ForecastScreenTest,
                          public ::testing::WithParamInterface<std::tuple<DeviceKind, Language>> {
protected:
    void SetUp() override {
        ForecastScreenTest::SetUp();
        const DeviceKind& kind = std::get<0>(GetParam());
        g_pGdiFactory = nullptr;
        fonts_.reset();
        device_.UnloadSkin();
        ASSERT_TRUE(ce::SetProfileString("device", "kind", kind.kind));
        ASSERT_TRUE(ce::SetProfileString("device", "orientation", kind.width > kind.height ? "landscape" : "portrait"));
        SetScreen(kind.width, kind.height);
        sysInfo_ = std::make_unique<CSysInfo>(GetModuleHandleW(nullptr));
        g_pSysInfo = sysInfo_.get();
        ASSERT_TRUE(device_.LoadSkin());
        fonts_ = std::make_unique<CGdiFactory>(*sysInfo_);
        g_pGdiFactory = fonts_.get();
        InstallLanguage(std::get<1>(GetParam()));
        ASSERT_TRUE(store_.Open(HKEY_LOCAL_MACHINE, u"Software\\Quillon Software\\Skyvane"));
        g_pRegistry = &store_;
        MakeCity(ModelForecast("DEBE0001", 12, 48), u"Berlin");
        MakeCity(ModelForecast("GBLO0001", 12, 48), u"London");
        ASSERT_TRUE(g_pCityList->Save());
        std::filesystem::create_directories(OutputFolder());
    }
    void TearDown() override {
        unsetenv("CE_TEXT_FIT_LOG");
        g_pRegistry = nullptr;
        ForecastScreenTest::TearDown();
        device_.UnloadSkin();
        g_pSysInfo = nullptr;
        // The next suites find the device of the fixture's default.
        ce::SetProfileString("device", "kind", "pocketpc");
        ce::SetProfileString("device", "orientation", "portrait");
    }

    void InstallLanguage(const Language& language) {
        std::filesystem::create_directories(device_.InstallFolder("Loc"));
        std::filesystem::copy_file(std::string(CE_LOC_DIR) + "/" + language.file,
                                   device_.InstallFolder(std::string("Loc/") + language.file),
                                   std::filesystem::copy_options::overwrite_existing);
        ASSERT_TRUE(CLocalization::Global().Load(language.id));
    }

    std::string Name(const std::string& screen) const {
        return screen + "-" + std::get<0>(GetParam()).name + "-" + std::get<1>(GetParam()).name;
    }
    // The text-fit log of one screen, fresh.
    void BeginScreen(const std::string& screen) {
        const std::string log = OutputFolder() + "/" + Name(screen) + ".fit.log";
        std::filesystem::remove(log);
        setenv("CE_TEXT_FIT_LOG", log.c_str(), 1);
    }
    // Stops the log and checks what it found.
    void EndScreen(const std::string& screen) {
        unsetenv("CE_TEXT_FIT_LOG");
        const std::string log = OutputFolder() + "/" + Name(screen) + ".fit.log";
        std::ifstream in(log);
        std::vector<std::string> faults;
        for (std::string line; std::getline(in, line);) {
            if (!EndsInEllipsis(line) && std::find(faults.begin(), faults.end(), line) == faults.end()) {
                faults.push_back(line);
            }
        }
        EXPECT_TRUE(std::filesystem::exists(OutputFolder() + "/" + Name(screen) + ".png")) << Name(screen);
        if (!faults.empty() && !Allowed(screen, std::get<0>(GetParam()), std::get<1>(GetParam()))) {
            std::string all;
            for (const std::string& fault : faults) {
                all += "\n  " + fault;
            }
            ADD_FAILURE() << Name(screen) << ": texts that do not fit:" << all;
        }
    }

    // Runs a screen, waits for its soft keys to be painted, captures it and closes it.
    template <class Dialog, class RunIt>
    void Show(const std::string& screen, ScriptedScreen<Dialog>& dialog, RunIt run) {
        BeginScreen(screen);
        const std::string picture = OutputFolder() + "/" + Name(screen) + ".png";
        dialog.Then([](ScriptedScreen<Dialog>& d) { UpdateWindow(d.GetMenuBar()); });
        dialog.Then([](ScriptedScreen<Dialog>& d) { UpdateWindow(d.GetHandle()); });
        dialog.Then([picture](ScriptedScreen<Dialog>& d) {
            EXPECT_TRUE(ce::CaptureScreen(picture)) << picture;
            d.EndDialog(IDCANCEL);
        });
        {
            ClockTicker clock;
            run(dialog);
        }
        EndScreen(screen);
    }
    template <class Dialog>
    void ShowSetting(const std::string& screen) {
        ScriptedScreen<Dialog> dialog;
        Show(screen, dialog, [](ScriptedScreen<Dialog>& d) { d.RunOverWindow(nullptr, nullptr, nullptr); });
    }

    CRegistryStore store_;
    // The device information of the kind asked for, in place of the fixture's.
    std::unique_ptr<CSysInfo> sysInfo_;
};

TEST_P(ScreenGalleryTest, TheSettingsDialogsAndFirstStartPages) {
    ShowSetting<CAutoUpdateSettingsDlg>("auto-update-settings");
    ShowSetting<CSelectUnitsDlg>("units");
    ShowSetting<CSetupNetworkDlg>("network");
    ShowSetting<CInterfaceLangDlg>("language");
    ShowSetting<CGPSSettingsDlg>("gps-port");
    ShowSetting<COnlineUpdateSettingsDlg>("program-update-settings");
    ShowSetting<CHomePluginSettingsDlg>("home-settings");
    ShowSetting<CStartWizardInterfaceLangDlg>("first-start-language");
    ShowSetting<CStartWizardSetupNetworkDlg>("first-start-network");
    ScriptedScreen<CAboutDlg> about;
    Show("about", about, [](ScriptedScreen<CAboutDlg>& d) { d.Run(nullptr); });
}

TEST_P(ScreenGalleryTest, TheForecastScreens) {
    const CDate today(2026, 12, 9);
    const CDate tomorrow(2026, 12, 10);
    ScriptedScreen<CDetailCurConditionDlg> current;
    Show("current-conditions", current, [](auto& d) { d.Run(nullptr, u"DEBE0001", nullptr); });
    ScriptedScreen<CDayForecastDlg> day;
    Show("day-forecast", day, [&](auto& d) { d.Run(nullptr, u"DEBE0001", &today, nullptr); });
    ScriptedScreen<CDetailPartOfDayForecastDlg> part;
    Show("part-of-day", part, [&](auto& d) { d.Run(nullptr, u"DEBE0001", &tomorrow, 1, nullptr); });
    ScriptedScreen<CHourlyForecastDlg> hourly;
    Show("hourly", hourly, [&](auto& d) { d.Run(nullptr, u"DEBE0001", &today, nullptr); });
    ScriptedScreen<CHourlyForecastDlg> nextDay;
    Show("hourly-next-day", nextDay, [&](auto& d) { d.Run(nullptr, u"DEBE0001", &tomorrow, nullptr); });
}

TEST_P(ScreenGalleryTest, TheListsAndBoxes) {
    int shown = 0;
    ScriptedScreen<CCityListDlg> cities(&shown);
    Show("city-list", cities, [](auto& d) { d.RunModal(nullptr, 0, nullptr, nullptr, nullptr); });
    const std::vector<std::u16string> countries{u"Germany", u"United Kingdom", u"United States of America"};
    int chosen = 0;
    ScriptedScreen<CSelectFromListDlg> picker;
    Show("select-from-list", picker,
         [&](auto& d) { d.RunOverWindow(nullptr, u"Country", &countries, &chosen, nullptr); });
    ScriptedScreen<CAppMessageBox> box;
    Show("message-box", box, [](auto& d) {
        const MessageBoxLink link = CAppMessageBox::SupportLink();
        CAppMessageBox::DoModalYesNo(d, nullptr, u"The forecast of Berlin is older than a day. Update it now?",
                                     u"Skyvane", &link);
    });
}

TEST_P(ScreenGalleryTest, TheMainWindow) {
    ASSERT_TRUE(store_.SetDWORD(u"Language", std::get<1>(GetParam()).id));
    BeginScreen("main-window");
    {
        CMainWindow window;
        ASSERT_TRUE(window.Create(0));
        {
            mainwindow::test::RunningClock clock;
            ce::test::Pump();
        }
        UpdateWindow(window.GetHandle());
        ce::test::Pump();
        EXPECT_TRUE(ce::CaptureScreen(OutputFolder() + "/" + Name("main-window") + ".png"));
    }
    ce::test::Pump();
    EndScreen("main-window");
}

INSTANTIATE_TEST_SUITE_P(Devices, ScreenGalleryTest,
                         ::testing::Combine(::testing::Values(kPocketPc, kSmartphone, kLandscape),
                                            ::testing::Values(kEnglish, kGerman)),
                         [](const ::testing::TestParamInfo<std::tuple<DeviceKind, Language>>& info) {
                             return std::string(std::get<0>(info.param).name) + "_" + std::get<1>(info.param).name;
                         });

}  // namespace
