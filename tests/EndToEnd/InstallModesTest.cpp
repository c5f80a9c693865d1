// Modes 3 and 4 of the program, run as the installer runs them: after installation the start-screen
// item is registered; before removal it is removed with the render caches and, unless the installer
// runs (an upgrade), with the user's cities and forecasts.
#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "SkyvaneDevice.h"
#include "Weather/DeviceUtilities.h"
#include "ce/registry.h"

namespace endtoend {
namespace {

constexpr LPCWSTR kTodayItemKey = u"Software\\Microsoft\\Today\\Items\\Skyvane";

bool KeyExists(HKEY root, LPCWSTR path) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(root, path, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

std::u16string TextValue(HKEY root, LPCWSTR path, LPCWSTR name) {
    HKEY key = nullptr;
    WCHAR text[MAX_PATH] = {};
    DWORD size = sizeof text - sizeof(WCHAR);
    if (RegOpenKeyExW(root, path, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size);
        RegCloseKey(key);
    }
    return text;
}

class InstallModes : public SkyvaneDevice {
protected:
    void WriteUserData() {
        WriteCities({u"DEBE0001", u"FRXX0002"});
        std::ofstream(device.Installed("Cache/DEBE0001.xml")) << "<forecast/>";
        for (const char* cache : {"Data/icons.pak.tmp", "Data/misc.pak.tmp"}) {
            std::ofstream(device.Installed(cache)) << "rendered";
        }
    }
    void SetUp() override {
        SkyvaneDevice::SetUp();
        std::filesystem::create_directories(device.Installed("Cache"));
    }
};

TEST_F(InstallModes, AfterInstallRendersThePictureListAndRegistersTheTodayItemOfTheInstalledLibrary) {
    ASSERT_TRUE(Installed("Data/rasterize.xml"));
    EXPECT_EQ(RunWithShellWaits("cmd_after_install"), 0);
    EXPECT_EQ(TextValue(HKEY_LOCAL_MACHINE, kTodayItemKey, u"Dll"), u"\\Windows\\Dawnlet.dll");
    EXPECT_TRUE(HasField(LastProgramLine(), "result", "1")) << LastProgramLine();
    EXPECT_FALSE(Installed("Data/rasterize.xml")) << "the list is used once";
    EXPECT_GT(std::filesystem::file_size(device.Installed("Data/icons.tmp")), 0u) << "the pictures were rendered";
    EXPECT_TRUE(Installed("Data/misc.tmp"));
}

TEST_F(InstallModes, AfterInstallWithADamagedPictureListStillRegistersTheItemAndDropsTheList) {
    std::ofstream(device.Installed("Data/rasterize.xml"), std::ios::trunc) << "<data><packet name=";
    EXPECT_EQ(RunWithShellWaits("cmd_after_install"), 0);
    EXPECT_EQ(TextValue(HKEY_LOCAL_MACHINE, kTodayItemKey, u"Dll"), u"\\Windows\\Dawnlet.dll");
    EXPECT_FALSE(Installed("Data/rasterize.xml"));
    EXPECT_FALSE(Installed("Data/icons.tmp"));
}

TEST_F(InstallModes, BeforeUninstallRemovesTheItemTheRenderCachesAndTheUsersData) {
    ASSERT_EQ(RunWithShellWaits("cmd_after_install"), 0);
    WriteUserData();
    EXPECT_EQ(RunWithShellWaits("cmd_before_uninstall"), 0);
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, kTodayItemKey));
    EXPECT_FALSE(Installed("Data/icons.pak.tmp"));
    EXPECT_FALSE(Installed("Data/misc.pak.tmp"));
    EXPECT_TRUE(Installed("Data/icons.pak")) << "the packages belong to the installer";
    EXPECT_FALSE(Installed("Cache"));
    EXPECT_FALSE(Installed("Cities.dat"));
    EXPECT_TRUE(HasField(LastProgramLine(), "upgrade", "0")) << LastProgramLine();
}

TEST_F(InstallModes, BeforeUninstallDuringAnUpgradeKeepsTheCitiesAndTheirForecasts) {
    WriteUserData();
    // An installer at work: a program of its name that runs until it is ended, in place of the device's own.
    std::filesystem::create_directories(device.Fs("Windows"));
    std::filesystem::remove(device.Fs("Windows/wceload.exe"));
    std::filesystem::create_symlink(CE_TEST_PROGRAM, device.Fs("Windows/wceload.exe"));
    PROCESS_INFORMATION installer{};
    std::u16string commandLine = u"wait";
    ASSERT_TRUE(CreateProcessW(u"\\Windows\\wceload.exe", commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, nullptr, &installer));
    for (int i = 0; i < 2000 && CountRunningProcesses(u"wceload.exe") == 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_EQ(RunWithShellWaits("cmd_before_uninstall"), 0);
    TerminateProcess(installer.hProcess, 1);
    WaitForSingleObject(installer.hProcess, 20000);
    CloseHandle(installer.hProcess);
    CloseHandle(installer.hThread);

    EXPECT_TRUE(HasField(LastProgramLine(), "upgrade", "1")) << LastProgramLine();
    EXPECT_FALSE(Installed("Data/icons.pak.tmp"));
    EXPECT_EQ(ReadInstalled("Cities.dat"), oldList);
    EXPECT_TRUE(Installed("Cache/DEBE0001.xml"));
}

}  // namespace
}  // namespace endtoend
