// The Home plug-in on a Smartphone as a user meets it, with real processes: the program installs it after
// installation, the start screen shows the city's weather in its colours, a key changes the city, the
// action key starts the program on the shown city, an update refreshes it, and the program's removal
// step gives the user's scheme back.
#include <gtest/gtest.h>
#include <png.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <optional>
#include <thread>

#include "DeviceUtilities.h"
#include "EndToEnd/SkyvaneDevice.h"
#include "ce/registry.h"
#include "ce/shell.h"

namespace endtoend {
namespace {

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

// Lines of a device log that hold the text, once at least `count` of them are there (bounded wait).
size_t WaitForLog(const std::string& log, const std::string& text, size_t count = 1) {
    size_t found = 0;
    for (auto end = std::chrono::steady_clock::now() + 20s; std::chrono::steady_clock::now() < end;) {
        std::vector<std::string> lines = ce::ReadDeviceLog(log);
        found = std::count_if(lines.begin(), lines.end(),
                              [&](const std::string& line) { return line.find(text) != std::string::npos; });
        if (found >= count) {
            break;
        }
        std::this_thread::sleep_for(10ms);
    }
    return found;
}

struct Screenshot {
    int width = 0;
    int height = 0;
    std::vector<png_byte> rgb;

    COLORREF At(int x, int y) const {
        const size_t at = (static_cast<size_t>(y) * width + x) * 3;
        return at + 2 < rgb.size() ? RGB(rgb[at], rgb[at + 1], rgb[at + 2]) : CLR_INVALID;
    }
    bool Near(int x, int y, COLORREF color) const {
        COLORREF found = At(x, y);
        return found != CLR_INVALID && std::abs(GetRValue(found) - GetRValue(color)) <= 8 &&
               std::abs(GetGValue(found) - GetGValue(color)) <= 8 && std::abs(GetBValue(found) - GetBValue(color)) <= 8;
    }
    // The share of pixels of a band that differ from another screenshot's.
    double Changed(const Screenshot& other, int top, int bottom) const {
        int changed = 0;
        for (int y = top; y < bottom; ++y) {
            for (int x = 0; x < width; ++x) {
                changed += At(x, y) != other.At(x, y) ? 1 : 0;
            }
        }
        return static_cast<double>(changed) / (width * (bottom - top));
    }
};

class HomeScreen : public SkyvaneDevice {
protected:
    void SetUp() override {
        ASSERT_TRUE(ce::SetProfileString("device", "kind", "smartphone"));
        ASSERT_TRUE(ce::SetProfileString("device", "screen_width", "240"));
        ASSERT_TRUE(ce::SetProfileString("device", "screen_height", "320"));
        SkyvaneDevice::SetUp();
    }
    // The installation steps sleep for the shell in virtual time.
    int RunStep(const std::string& commandLine) {
        DeviceProgram run = device.Start(commandLine);
        // Rendering the pictures takes real time; the waits for the shell take virtual time.
        for (int i = 0; i < 480; ++i) {
            if (!run.StillRunningAfter(std::chrono::milliseconds(250))) {
                return run.Wait();
            }
            ce::AdvanceVirtualClock(1000);
        }
        return run.Wait(std::chrono::milliseconds(0));
    }
    void StartScreen() {
        screen.emplace(CE_START_HOST, "");
        ASSERT_TRUE(screen->Started());
        ASSERT_EQ(WaitForLog("startscreen", "ready"), 1u);
    }
    Screenshot TakeScreenshot() const {
        Screenshot shot;
        const std::string path = device.Root() + "/screen.png";
        if (ce::RemoteScreenshot(path) != 0) {
            return shot;
        }
        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        if (!png_image_begin_read_from_file(&image, path.c_str())) {
            return shot;
        }
        image.format = PNG_FORMAT_RGB;
        shot.rgb.resize(PNG_IMAGE_SIZE(image));
        if (!png_image_finish_read(&image, nullptr, shot.rgb.data(), 0, nullptr)) {
            shot.rgb.clear();
        }
        shot.width = static_cast<int>(image.width);
        shot.height = static_cast<int>(image.height);
        return shot;
    }
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
    ASSERT_EQ(device.Run("cmd_silent_update"), 0);
    SetText(HKEY_CURRENT_USER, kHomeKey, u"Scheme", kUserScheme);
    ASSERT_EQ(RunStep("cmd_after_install"), 0);
    EXPECT_EQ(Text(HKEY_CURRENT_USER, kHomeKey, u"Scheme"), kOurScheme);
    EXPECT_EQ(Text(HKEY_CURRENT_USER, kHomeKey, u"SchemeBak"), kUserScheme);
    EXPECT_FALSE(std::filesystem::exists(device.Fs("Temp/HomeXML"))) << "the templates are used up";
    std::ifstream scheme(device.Fs("Application Data/Home/Weather.home.xml"));
    std::string content((std::istreambuf_iterator<char>(scheme)), std::istreambuf_iterator<char>());
    EXPECT_NE(content.find("{6D2E8A41-0C7B-4E59-A3F6-91B4C8D27E05}"), std::string::npos);
    EXPECT_NE(content.find("<background bgimage=\"\\windows\\WindowsMobile.jpg\""), std::string::npos);

    StartScreen();
    ASSERT_EQ(WaitForLog("startscreen", "\"name\":\"Skyvane\",\"result\":\"ok\""), 1u);
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
    EXPECT_EQ(WaitForLog("startscreen", "\"event\":\"refresh\""), 1u) << "the update refreshed it";
}

TEST_F(HomeScreen, RemovalGivesTheUsersSchemeBackAndUnregistersThePlugin) {
    SetText(HKEY_CURRENT_USER, kHomeKey, u"Scheme", kUserScheme);
    ASSERT_EQ(RunStep("cmd_after_install"), 0);
    ASSERT_EQ(RunStep("cmd_after_install"), 0) << "installed a second time";
    EXPECT_EQ(Text(HKEY_CURRENT_USER, kHomeKey, u"SchemeBak"), kUserScheme) << "ours is never kept as the user's";
    EXPECT_EQ(Text(HKEY_CLASSES_ROOT, u"CLSID\\{6D2E8A41-0C7B-4E59-A3F6-91B4C8D27E05}\\InprocServer32", nullptr),
              u"\\Windows\\Lanternet.dll");

    ASSERT_EQ(RunStep("cmd_before_uninstall"), 0);
    EXPECT_EQ(Text(HKEY_CURRENT_USER, kHomeKey, u"Scheme"), kUserScheme);
    EXPECT_FALSE(std::filesystem::exists(device.Fs("Application Data/Home/Weather.home.xml")));
    EXPECT_EQ(Text(HKEY_CLASSES_ROOT, u"CLSID\\{6D2E8A41-0C7B-4E59-A3F6-91B4C8D27E05}", nullptr), u"");
}

TEST_F(HomeScreen, RemovalLeavesASchemeTheUserChoseSince) {
    ASSERT_EQ(RunStep("cmd_after_install"), 0);
    SetText(HKEY_CURRENT_USER, kHomeKey, u"Scheme", kUserScheme);
    ASSERT_EQ(RunStep("cmd_before_uninstall"), 0);
    EXPECT_EQ(Text(HKEY_CURRENT_USER, kHomeKey, u"Scheme"), kUserScheme);
    EXPECT_FALSE(std::filesystem::exists(device.Fs("Application Data/Home/Weather.home.xml")));
}

}  // namespace
}  // namespace endtoend
