#include <gtest/gtest.h>

#include <filesystem>

#include "Platform/TempDevice.h"
#include "ce/device.h"

namespace {

using ce::test::TempDevice;

TEST(DevicePathsTest, OtherLetterCasesFindTheFile) {
    TempDevice device;
    device.WriteHostFile(device.Fs("Program Files/Skyvane/Cities.dat"), "x");
    EXPECT_EQ(ce::HostPath(u"\\PROGRAM FILES\\skyvane\\cities.DAT"),
              device.Fs("Program Files/Skyvane/Cities.dat"));
    EXPECT_EQ(ce::HostPath(u"/program files/SKYVANE/Cities.dat"),
              device.Fs("Program Files/Skyvane/Cities.dat"));
}

TEST(DevicePathsTest, MissingComponentsKeepTheirSpelling) {
    TempDevice device;
    std::filesystem::create_directories(device.Fs("Temp"));
    EXPECT_EQ(ce::HostPath(u"\\TEMP\\New Folder\\File.TXT"), device.Fs("Temp/New Folder/File.TXT"));
    EXPECT_EQ(ce::HostPath(u"\\"), device.Root() + "/fs");
    EXPECT_EQ(ce::HostPath(u"Temp"), device.Fs("Temp"));
}

TEST(DevicePathsTest, NonAsciiNamesMatchWithoutCase) {
    TempDevice device;
    device.WriteHostFile(device.Fs("Übersicht/Straße.txt"), "x");
    EXPECT_EQ(ce::HostPath(u"\\übersicht\\STRAßE.TXT"), device.Fs("Übersicht/Straße.txt"));
}

TEST(DevicePathsTest, RefusesEscapesAndNuls) {
    TempDevice device;
    EXPECT_EQ(ce::HostPath(u"\\..\\device.ini"), "");
    EXPECT_EQ(ce::HostPath(u"\\Temp\\..\\..\\registry.db"), "");
    EXPECT_EQ(ce::HostPath(std::u16string(u"\\Temp\0\\x", 8)), "");
    EXPECT_EQ(ce::HostPath(u"\\Temp\\..\\Windows"), device.Fs("Windows"));
    ce::SetDeviceRoot({});
    EXPECT_EQ(ce::HostPath(u"\\Temp"), "");
}

TEST(DevicePathsTest, DevicePathOfHostPathsBelowFs) {
    TempDevice device;
    device.WriteHostFile(device.Fs("Windows/tmail.exe"), "x");
    EXPECT_EQ(ce::DevicePath(device.Fs("Windows/tmail.exe")), u"\\Windows\\tmail.exe");
    EXPECT_EQ(ce::DevicePath(device.Root() + "/fs"), u"\\");
    EXPECT_EQ(ce::DevicePath(device.Root() + "/fs/Windows/../Temp/a"), u"\\Temp\\a");
    EXPECT_EQ(ce::DevicePath(device.Root() + "/device.ini"), u"");
    EXPECT_EQ(ce::DevicePath(device.Root() + "/fsx/a"), u"");
}

}  // namespace
