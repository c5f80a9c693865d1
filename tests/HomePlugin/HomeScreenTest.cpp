// The Home plug-in on a Smartphone as a user meets it, with real processes: the program installs it after
// installation, the start screen shows the city's weather in its colours, a key changes the city, the
// action key starts the program on the shown city, an update refreshes it, and the program's removal
// step gives the user's scheme back.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <thread>

#include "EndToEnd/SkyvaneDevice.h"
#include "Weather/DeviceUtilities.h"
#include "ce/registry.h"
#include "ce/shell.h"
#include "support/DeviceLogWait.h"
#include "support/DeviceScreenshot.h"

namespace endtoend {
namespace {

using ce::test::WaitForDeviceLog;

using namespace std::chrono_literals;

constexpr LPCWSTR kHomeKey = u"ControlPanel\\Home";
constexpr char16_t kOurScheme[] = u"\\Application Data\\Home\\Weather.home.xml";
constexpr char16_t kUserScheme[] = u"\\Application Data\\Home\\Classic.home.xml";

std::u16string Text(HKEY root, LPCWSTR path, LPCWSTR name) {
    HKEY key = nullptr;
    WCHAR text[MAX_PATH] = {};
    DWORD size = sizeof text - sizeof(WCHAR);
    if (RegOpenKeyExW(root, path, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size);
        RegCloseKey(key);
    }
    return text;
}

void SetText(HKEY root, LPCWSTR path, LPCWSTR name, const std::u16string& text) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(root, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr), ERROR_SUCCESS);
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * sizeof(char16_t)));
    RegCloseKey(key);
}

using Screenshot = ce::test::DeviceScreenshot;

class HomeScreen : public SkyvaneDevice {
protected:
    void SetUp() override {
        ASSERT_TRUE(ce::SetProfileString("device", "kind", "smartphone"));
        ASSERT_TRUE(ce::SetProfileString("device", "screen_width", "240"));
        ASSERT_TRUE(ce::SetProfileString("device", "screen_height", "320"));
        SkyvaneDevice::SetUp();
    }
    void StartScreen() {
        screen.emplace(CE_START_HOST, "");
        ASSERT_TRUE(screen->Started());
        ASSERT_EQ(WaitForDeviceLog("startscreen", "ready"), 1u);
    }
    Screenshot TakeScreenshot() const { return Screenshot::Take(device.Root() + "/screen.png"); }
    static RECT WorkArea() {
        RECT area{};
        SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
        return area;
    }

    // The program the start screen started is no child of the test: it is seen in its log or the process
    // table, and a window it opened is closed again.
    bool ProgramStartedInItsInterfaceMode() {
        bool started = false;
        for (int i = 0; i < 2000 && !started; ++i) {
            std::vector<std::string> lines = ce::ReadDeviceLog("Skyvane");
            started = std::any_of(lines.begin(), lines.end(), [](const std::string& line) {
                return HasField(line, "mode", "cmd_normal_mode");
            }) || FindWindowW(u"__Skyvane", nullptr) != nullptr;
            std::this_thread::sleep_for(5ms);
        }
        if (HWND window = FindWindowW(u"__Skyvane", nullptr)) {
            PostMessageW(window, WM_CLOSE, 0, 0);
        }
        for (int i = 0; i < 2000 && CountRunningProcesses(u"Skyvane.exe") > 0; ++i) {
            std::this_thread::sleep_for(5ms);
        }
        return started;
    }

    std::optional<DeviceProgram> screen;
};

TEST_F(HomeScreen, InstalledPluginShowsTheCitiesWeatherChangesCityByKeyAndStartsTheProgram) {
    WriteCities({u"DEBE0001", u"FRXX0002"});
    WriteSettings(0, 12, 1);  // set up before: the program that the plug-in starts opens on its window
    ASSERT_EQ(device.Run("cmd_silent_update"), 0);
    SetText(HKEY_CURRENT_USER, kHomeKey, u"Scheme", kUserScheme);
    ASSERT_EQ(RunWithShellWaits("cmd_after_install"), 0);
    EXPECT_EQ(Text(HKEY_CURRENT_USER, kHomeKey, u"Scheme"), kOurScheme);
    EXPECT_EQ(Text(HKEY_CURRENT_USER, kHomeKey, u"SchemeBak"), kUserScheme);
    EXPECT_FALSE(std::filesystem::exists(device.Fs("Temp/HomeXML"))) << "the templates are used up";
    std::ifstream scheme(device.Fs("Application Data/Home/Weather.home.xml"));
    std::string content((std::istreambuf_iterator<char>(scheme)), std::istreambuf_iterator<char>());
    EXPECT_NE(content.find("{6D2E8A41-0C7B-4E59-A3F6-91B4C8D27E05}"), std::string::npos);
    EXPECT_NE(content.find("<background bgimage=\"\\windows\\WindowsMobile.jpg\""), std::string::npos);

    StartScreen();
    ASSERT_EQ(WaitForDeviceLog("startscreen", "\"name\":\"Skyvane\",\"result\":\"ok\""), 1u);
    const RECT area = WorkArea();
    // The first paint renders the pictures; the screen shows the plug-in once it is done.
    Screenshot first = TakeScreenshot();
    for (int i = 0; i < 200 && !first.Near(1, area.top + 1, GetSysColor(COLOR_HIGHLIGHT)); ++i) {
        std::this_thread::sleep_for(20ms);
        first = TakeScreenshot();
    }
    ASSERT_GT(first.width, 0);
    EXPECT_TRUE(first.Near(1, area.top + 1, GetSysColor(COLOR_HIGHLIGHT))) << "the selected plug-in in the highlight";

    ASSERT_EQ(ce::RemoteKey("Right"), 0u);
    Screenshot second;
    for (int i = 0; i < 200; ++i) {
        second = TakeScreenshot();
        if (second.Changed(first, area.top, area.top + 20) > 0.01) {
            break;
        }
        std::this_thread::sleep_for(10ms);
    }
    EXPECT_GT(second.Changed(first, area.top, area.top + 20), 0.01) << "the title bar shows the next city";

    ASSERT_EQ(ce::RemoteKey("Enter"), 0u);
    EXPECT_TRUE(ProgramStartedInItsInterfaceMode()) << "the action key starts the program";

    ASSERT_EQ(device.Run("cmd_silent_update"), 0);
    EXPECT_EQ(WaitForDeviceLog("startscreen", "\"event\":\"refresh\""), 1u) << "the update refreshed it";
}

TEST_F(HomeScreen, RemovalGivesTheUsersSchemeBackAndUnregistersThePlugin) {
    SetText(HKEY_CURRENT_USER, kHomeKey, u"Scheme", kUserScheme);
    ASSERT_EQ(RunWithShellWaits("cmd_after_install"), 0);
    ASSERT_EQ(RunWithShellWaits("cmd_after_install"), 0) << "installed a second time";
    EXPECT_EQ(Text(HKEY_CURRENT_USER, kHomeKey, u"SchemeBak"), kUserScheme) << "ours is never kept as the user's";
    EXPECT_EQ(Text(HKEY_CLASSES_ROOT, u"CLSID\\{6D2E8A41-0C7B-4E59-A3F6-91B4C8D27E05}\\InprocServer32", nullptr),
              u"\\Windows\\Lanternet.dll");

    ASSERT_EQ(RunWithShellWaits("cmd_before_uninstall"), 0);
    EXPECT_EQ(Text(HKEY_CURRENT_USER, kHomeKey, u"Scheme"), kUserScheme);
    EXPECT_FALSE(std::filesystem::exists(device.Fs("Application Data/Home/Weather.home.xml")));
    EXPECT_EQ(Text(HKEY_CLASSES_ROOT, u"CLSID\\{6D2E8A41-0C7B-4E59-A3F6-91B4C8D27E05}", nullptr), u"");
}

TEST_F(HomeScreen, RemovalLeavesASchemeTheUserChoseSince) {
    ASSERT_EQ(RunWithShellWaits("cmd_after_install"), 0);
    SetText(HKEY_CURRENT_USER, kHomeKey, u"Scheme", kUserScheme);
    ASSERT_EQ(RunWithShellWaits("cmd_before_uninstall"), 0);
    EXPECT_EQ(Text(HKEY_CURRENT_USER, kHomeKey, u"Scheme"), kUserScheme);
    EXPECT_FALSE(std::filesystem::exists(device.Fs("Application Data/Home/Weather.home.xml")));
}

}  // namespace
}  // namespace endtoend
