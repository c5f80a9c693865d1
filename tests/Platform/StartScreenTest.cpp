// The start screen run as a device program: the Today screen with a registered test item, the Home
// screen with a scheme's test plug-in. What the hosted parts were told is read from their device logs;
// what the screen shows from headless screenshots.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <thread>

#include "ChildProcess.h"
#include "TempDevice.h"
#include "ce/module.h"
#include "ce/registry.h"
#include "fixtures/StartScreenItems.h"
#include "support/DeviceLogWait.h"
#include "support/DeviceScreenshot.h"

namespace {

using ce::test::WaitForDeviceLog;

using namespace std::chrono_literals;

// The setting change that tells the Today screen its items changed.
constexpr WPARAM kTodayItemsChanged = 242;

size_t CountLog(const std::string& log, const std::string& text) { return WaitForDeviceLog(log, text, 0); }

bool WaitForScreen() {
    for (auto end = std::chrono::steady_clock::now() + 20s; std::chrono::steady_clock::now() < end;) {
        if (FindWindowW(ce::kStartScreenClass, nullptr) != nullptr) {
            return true;
        }
        std::this_thread::sleep_for(10ms);
    }
    return false;
}

using Screenshot = ce::test::DeviceScreenshot;

Screenshot TakeScreenshot(const ce::test::TempDevice& device) { return Screenshot::Take(device.Root() + "/screen.png"); }

// The screen paints after it handled what changed it: screenshots until one shows the pixel so (bounded).
Screenshot WaitForPixel(const ce::test::TempDevice& device, int x, int y, COLORREF color, bool near = true) {
    Screenshot shot = TakeScreenshot(device);
    for (auto end = std::chrono::steady_clock::now() + 20s;
         shot.Near(x, y, color) != near && std::chrono::steady_clock::now() < end;) {
        std::this_thread::sleep_for(10ms);
        shot = TakeScreenshot(device);
    }
    return shot;
}

RECT WorkArea() {
    RECT area{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    return area;
}

void SetValue(HKEY root, const std::u16string& path, const char16_t* name, DWORD value) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr), ERROR_SUCCESS);
    RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
    RegCloseKey(key);
}

void SetText(HKEY root, const std::u16string& path, const char16_t* name, const std::u16string& text) {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr), ERROR_SUCCESS);
    RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text.c_str()),
                   static_cast<DWORD>((text.size() + 1) * sizeof(char16_t)));
    RegCloseKey(key);
}

void RegisterTodayItem(const std::u16string& name, const std::u16string& dll, DWORD order, DWORD enabled) {
    const std::u16string key = u"Software\\Microsoft\\Today\\Items\\" + name;
    SetText(HKEY_LOCAL_MACHINE, key, u"Dll", dll);
    SetValue(HKEY_LOCAL_MACHINE, key, u"Type", tlitCustom);
    SetValue(HKEY_LOCAL_MACHINE, key, u"Order", order);
    SetValue(HKEY_LOCAL_MACHINE, key, u"Enabled", enabled);
    SetValue(HKEY_LOCAL_MACHINE, key, u"Selectability", 2);
}

class StartScreenDevice : public ::testing::Test {
protected:
    void UseDeviceKind(const char* kind) {
        ASSERT_TRUE(ce::SetProfileString("device", "kind", kind));
        ce::ReloadProfile();
        std::filesystem::create_directories(device.Fs("Windows"));
        std::filesystem::create_directories(device.Fs("Application Data/Home"));
        std::filesystem::create_symlink(CE_TODAY_TEST_ITEM, device.Fs("Windows/TodayTestItem.dll"));
        std::filesystem::create_symlink(CE_HOME_TEST_PLUGIN, device.Fs("Windows/HomeTestPlugin.dll"));
    }
    void StartScreen() {
        host = std::make_unique<ce::test::ChildProcess>("none", "host", CE_START_HOST);
        ASSERT_TRUE(WaitForScreen());
        ASSERT_EQ(WaitForDeviceLog("startscreen", "ready"), 1u);
    }
    void BroadcastSettingChange(WPARAM what) { PostMessageW(HWND_BROADCAST, WM_SETTINGCHANGE, what, 0); }

    ce::test::TempDevice device;
    std::unique_ptr<ce::test::ChildProcess> host;
};

using TodayScreen = StartScreenDevice;

TEST_F(TodayScreen, ShowsTheEnabledItemsAndHandsThemTapsKeysAndActions) {
    UseDeviceKind("pocketpc");
    RegisterTodayItem(u"Broken", u"\\Windows\\Missing.dll", 1, 1);
    RegisterTodayItem(u"Weather", u"\\Windows\\TodayTestItem.dll", 2, 1);
    RegisterTodayItem(u"Switched off", u"\\Windows\\TodayTestItem.dll", 3, 0);
    StartScreen();
    ASSERT_EQ(WaitForDeviceLog("startscreen", "\"name\":\"Weather\",\"result\":\"ok\""), 1u);
    EXPECT_EQ(CountLog("startscreen", "\"name\":\"Broken\",\"result\":\"library not loaded"), 1u);
    EXPECT_EQ(CountLog("todayitem", "created"), 1u) << "a disabled item is not made";

    const RECT area = WorkArea();
    const int width = area.right - area.left;
    const int middle = area.top + kTestItemHeight / 2;
    Screenshot shot = WaitForPixel(device, 10, middle, kTestItemColor);
    EXPECT_TRUE(shot.Near(10, middle, kTestItemColor)) << "the item sits at the top of the screen";
    EXPECT_TRUE(shot.Near(width * 3 / 4, middle, GetSysColor(COLOR_WINDOW))) << "its watermark is the screen's";
    EXPECT_TRUE(shot.Near(10, area.top + kTestItemHeight + 10, GetSysColor(COLOR_WINDOW)));

    ASSERT_EQ(ce::RemoteTap(10, middle), 0u);
    ASSERT_EQ(WaitForDeviceLog("todayitem", "tap"), 1u);
    ASSERT_EQ(ce::RemoteKey("Right"), 0u);
    EXPECT_EQ(WaitForDeviceLog("todayitem", "navigation 39"), 1u) << "keys reach the item that took the selection";
    ASSERT_EQ(ce::RemoteKey("Enter"), 0u);
    EXPECT_EQ(WaitForDeviceLog("todayitem", "action"), 1u);
    shot = WaitForPixel(device, 10, middle, GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_TRUE(shot.Near(10, middle, GetSysColor(COLOR_HIGHLIGHT))) << "the item asked for the highlight colour";
}

TEST_F(TodayScreen, LoadsAndDropsItemsWhenTheirRegistrationChanges) {
    UseDeviceKind("pocketpc");
    StartScreen();
    EXPECT_EQ(CountLog("todayitem", "created"), 0u);

    RegisterTodayItem(u"Weather", u"\\Windows\\TodayTestItem.dll", 1, 1);
    BroadcastSettingChange(kTodayItemsChanged);
    ASSERT_EQ(WaitForDeviceLog("todayitem", "created"), 1u);
    const RECT area = WorkArea();
    EXPECT_TRUE(WaitForPixel(device, 10, area.top + kTestItemHeight / 2, kTestItemColor)
                    .Near(10, area.top + kTestItemHeight / 2, kTestItemColor));

    BroadcastSettingChange(0);
    ASSERT_EQ(ce::RemoteKey("Right"), 0u);
    ASSERT_EQ(RegDeleteKeyW(HKEY_LOCAL_MACHINE, u"Software\\Microsoft\\Today\\Items\\Weather"), ERROR_SUCCESS);
    BroadcastSettingChange(kTodayItemsChanged);
    ASSERT_EQ(WaitForDeviceLog("todayitem", "destroyed"), 1u);
    EXPECT_EQ(CountLog("todayitem", "created"), 1u) << "another setting change left the item alone";
    EXPECT_TRUE(WaitForPixel(device, 10, area.top + kTestItemHeight / 2, GetSysColor(COLOR_WINDOW))
                    .Near(10, area.top + kTestItemHeight / 2, GetSysColor(COLOR_WINDOW)));
}

using HomeScreen = StartScreenDevice;

constexpr char kTestScheme[] =
    "<?xml version=\"1.0\" encoding=\"utf-8\"?>\n<home>\n<default fgcolor=\"COLOR_HOMETEXT\">\n</default>\n"
    "<background bgcolor=\"#204060\" />\n"
    "<plugin clsid=\"{5B1F3C2E-8A47-4D6B-9E21-0C3D7F4A8B91}\" name=\"Test\">\n</plugin>\n"
    "<plugin clsid=\"{00000000-1111-2222-3333-444444444444}\" name=\"Unregistered\"></plugin>\n"
    "<plugin clsid=\"not a class\" name=\"Bad\"></plugin>\n</home>\n";

void RegisterHomePlugin() {
    SetText(HKEY_CLASSES_ROOT, u"CLSID\\{5B1F3C2E-8A47-4D6B-9E21-0C3D7F4A8B91}\\InprocServer32", u"",
            u"\\Windows\\HomeTestPlugin.dll");
}

void UseScheme(const ce::test::TempDevice& device, const std::string& file, const std::string& text) {
    device.WriteHostFile(device.Fs("Application Data/Home/" + file), text);
    SetText(HKEY_CURRENT_USER, u"ControlPanel\\Home", u"Scheme", u"\\Application Data\\Home\\" + ce::FromUtf8(file));
}

TEST_F(HomeScreen, CreatesTheSchemesPluginsAndHandsThemPaintKeysActionsAndRefreshes) {
    UseDeviceKind("smartphone");
    RegisterHomePlugin();
    UseScheme(device, "Test.home.xml", kTestScheme);
    EXPECT_EQ(SHOnPluginDataChange(CLSID_TestHomePlugin), S_FALSE) << "no start screen runs yet";
    StartScreen();
    ASSERT_EQ(WaitForDeviceLog("homeplugin", "loaded 1 <plugin"), 1u) << "loaded from its element, after its handle";
    EXPECT_EQ(WaitForDeviceLog("startscreen", "\"name\":\"Unregistered\",\"result\":\"not created"), 1u);

    const RECT area = WorkArea();
    const int width = area.right - area.left;
    const int middle = area.top + kTestPluginHeight / 2;
    Screenshot shot = WaitForPixel(device, 10, middle, GetSysColor(COLOR_HIGHLIGHT));
    EXPECT_TRUE(shot.Near(10, middle, GetSysColor(COLOR_HIGHLIGHT))) << "the only plug-in is selected";
    EXPECT_TRUE(shot.Near(width * 3 / 4, middle, RGB(0x20, 0x40, 0x60))) << "the scheme's background";

    ASSERT_EQ(ce::RemoteKey("Left"), 0u);
    EXPECT_EQ(WaitForDeviceLog("homeplugin", "key 37"), 1u);
    ASSERT_EQ(ce::RemoteKey("Enter"), 0u);
    EXPECT_EQ(WaitForDeviceLog("homeplugin", "action"), 1u);

    EXPECT_EQ(SHOnPluginDataChange(CLSID_TestHomePlugin), S_OK);
    EXPECT_EQ(WaitForDeviceLog("homeplugin", "reload"), 1u);
    // Programs reach the same call through the shell library's ordinal.
    HMODULE shell = LoadLibraryW(u"aygshell.dll");
    ASSERT_NE(shell, nullptr);
    auto refresh = ce::ProcAs<HRESULT (*)(REFCLSID)>(GetProcAddressW(shell, MAKEINTRESOURCEW(2008)));
    ASSERT_NE(refresh, nullptr);
    EXPECT_EQ(refresh(CLSID_TestHomePlugin), S_OK);
    EXPECT_EQ(WaitForDeviceLog("homeplugin", "reload", 2), 2u);
    FreeLibrary(shell);
}

TEST_F(HomeScreen, ASettingChangeReadsTheSchemeAgainAndADamagedOneShowsNothing) {
    UseDeviceKind("smartphone");
    RegisterHomePlugin();
    UseScheme(device, "Test.home.xml", kTestScheme);
    StartScreen();
    ASSERT_EQ(WaitForDeviceLog("homeplugin", "loaded"), 1u);

    UseScheme(device, "Damaged.home.xml", "<home><plugin clsid=\"{5B1F3C2E-8A47");
    BroadcastSettingChange(0);
    ASSERT_EQ(WaitForDeviceLog("homeplugin", "released"), 1u);
    EXPECT_EQ(WaitForDeviceLog("startscreen", "not a scheme"), 1u);
    const RECT area = WorkArea();
    EXPECT_FALSE(WaitForPixel(device, 10, area.top + kTestPluginHeight / 2, GetSysColor(COLOR_HIGHLIGHT), false)
                     .Near(10, area.top + kTestPluginHeight / 2, GetSysColor(COLOR_HIGHLIGHT)));

    UseScheme(device, "Test.home.xml", kTestScheme);
    BroadcastSettingChange(0);
    EXPECT_EQ(WaitForDeviceLog("homeplugin", "loaded", 2), 2u);
    EXPECT_EQ(WaitForDeviceLog("homeplugin", "theme"), 1u) << "the plug-in of the new scheme hears of the change";
}

}  // namespace
