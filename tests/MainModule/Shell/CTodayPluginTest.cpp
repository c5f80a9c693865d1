// The Today item's registration with the Today screen and the reload event that the item waits on.
#include <gtest/gtest.h>

#include <future>
#include <thread>

#include "Shell/CTodayPlugin.h"
#include "StartScreenDevice.h"
#include "ce/registry.h"

namespace {

using mainmodule::test::StartScreenDevice;

DWORD ItemDWORD(LPCWSTR name) {
    HKEY key = nullptr;
    DWORD value = 0xFFFFFFFF;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, CTodayPlugin::kItemKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        DWORD size = sizeof value;
        DWORD type = 0;
        if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) != ERROR_SUCCESS ||
            type != REG_DWORD) {
            value = 0xFFFFFFFF;
        }
        RegCloseKey(key);
    }
    return value;
}

std::u16string ItemLibrary() {
    HKEY key = nullptr;
    WCHAR text[MAX_PATH] = {};
    DWORD size = sizeof text - sizeof(WCHAR);
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, CTodayPlugin::kItemKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        RegQueryValueExW(key, u"Dll", nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size);
        RegCloseKey(key);
    }
    return text;
}

bool ItemKeyExists() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, CTodayPlugin::kItemKey, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

TEST(TodayItemRegistration, InstallWritesTheEntryOfTheInstalledLibraryAndTellsTheTodayScreen) {
    StartScreenDevice device("pocketpc", 240);
    CTodayPlugin plugin;
    EXPECT_EQ(StartScreenDevice::RunWithClock([&] { return plugin.Install(); }), 1);
    EXPECT_EQ(ItemLibrary(), u"\\Windows\\Dawnlet.dll");
    EXPECT_EQ(ItemDWORD(u"Enabled"), 1u);
    EXPECT_EQ(ItemDWORD(u"Options"), 1u);
    EXPECT_EQ(ItemDWORD(u"Type"), 4u);
    EXPECT_EQ(ItemDWORD(u"Selectability"), 2u);
    EXPECT_EQ(device.SettingChanges(), std::vector<WPARAM>{CTodayPlugin::kTodayItemsChanged});
}

TEST(TodayItemRegistration, TheTodayScreenIsToldOnlyAfterTheShellHadTimeToReadTheEntry) {
    StartScreenDevice device("pocketpc", 240);
    CTodayPlugin plugin;
    auto install = std::async(std::launch::async, [&] { return plugin.Install(); });
    for (int waited = 0; waited < 1900; waited += 100) {
        ce::AdvanceVirtualClock(100);
        std::this_thread::sleep_for(std::chrono::milliseconds(2));
    }
    EXPECT_TRUE(device.SettingChanges().empty());
    EXPECT_EQ(StartScreenDevice::RunWithClock([&] { return install.get(); }), 1);
    EXPECT_EQ(device.SettingChanges(), std::vector<WPARAM>{CTodayPlugin::kTodayItemsChanged});
}

TEST(TodayItemRegistration, RemoveDeletesTheEntryAndSucceedsWhenThereWasNone) {
    StartScreenDevice device("pocketpc", 240);
    CTodayPlugin plugin;
    ASSERT_EQ(StartScreenDevice::RunWithClock([&] { return plugin.Install(); }), 1);
    ASSERT_TRUE(ItemKeyExists());
    EXPECT_EQ(StartScreenDevice::RunWithClock([&] { return plugin.Remove(); }), 1);
    EXPECT_FALSE(ItemKeyExists());
    EXPECT_EQ(StartScreenDevice::RunWithClock([&] { return plugin.Remove(); }), 1);
    EXPECT_EQ(device.SettingChanges().size(), 3u);
}

TEST(TodayItemReload, TheEventCarriesTheLastDataGivenBeforeTheItemWakes) {
    StartScreenDevice device("pocketpc", 240);
    CTodayPlugin plugin;
    HANDLE item = CreateEventW(nullptr, FALSE, FALSE, CTodayPlugin::kEventName);
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(WaitForSingleObject(item, 0), WAIT_TIMEOUT);
    plugin.Notify(CTodayPlugin::TODAY_RELOAD_LANGUAGE);
    plugin.Notify(CTodayPlugin::TODAY_RELOAD_CITIES);
    EXPECT_EQ(WaitForSingleObject(item, 0), WAIT_OBJECT_0);
    EXPECT_EQ(GetEventData(item), DWORD{CTodayPlugin::TODAY_RELOAD_CITIES});
    EXPECT_EQ(WaitForSingleObject(item, 0), WAIT_TIMEOUT) << "one wake-up for both";
    CloseHandle(item);
}

}  // namespace
