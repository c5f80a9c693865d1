#include <gtest/gtest.h>

#include <filesystem>

#include "Platform/TempDevice.h"
#include "ce/device.h"

namespace {

using ce::test::TempDevice;

TEST(DeviceProfileTest, MissingProfileGivesDefaults) {
    TempDevice device;
    EXPECT_EQ(ce::ProfileString("device", "kind"), "pocketpc");
    EXPECT_EQ(ce::ProfileInt("device", "screen_width", 0), 240);
    EXPECT_EQ(ce::ProfileInt("device", "theme_color", 0), 0x6B9ABD);
    EXPECT_EQ(ce::ProfileString("device", "timezone"), "UTC");
    EXPECT_EQ(ce::ProfileString("nothing", "here", "fallback"), "fallback");
    EXPECT_EQ(ce::GetDeviceKind(), ce::DeviceKind::PocketPC);
}

TEST(DeviceProfileTest, ReadsSectionsAndKeysWithoutCase) {
    TempDevice device;
    device.WriteHostFile(device.Root() + "/device.ini",
                         "; a comment\n[Device]\nKind = Smartphone\r\nscreen_width=176\n"
                         "[hosts]\nweather.example=127.0.0.1:8080\nmaps.example=127.0.0.1:8081\n");
    ce::ReloadProfile();
    EXPECT_EQ(ce::GetDeviceKind(), ce::DeviceKind::Smartphone);
    EXPECT_EQ(ce::ProfileInt("DEVICE", "SCREEN_WIDTH", 0), 176);
    auto hosts = ce::ProfileSection("hosts");
    ASSERT_EQ(hosts.size(), 2u);
    EXPECT_EQ(hosts[0].key, "weather.example");
    EXPECT_EQ(hosts[0].value, "127.0.0.1:8080");
}

TEST(DeviceProfileTest, DamagedProfileGivesDefaultsNotACrash) {
    TempDevice device;
    std::string garbage = "[device\nkind\n=orphan\nscreen_width=12abc\ntheme_color=0xZZ\n";
    garbage += std::string("\0\xff\xfe[]==\n[", 10);
    for (int i = 0; i < 256; ++i) {
        garbage += static_cast<char>(i * 7);
    }
    device.WriteHostFile(device.Root() + "/device.ini", garbage);
    ce::ReloadProfile();
    EXPECT_EQ(ce::ProfileString("device", "kind"), "pocketpc");
    EXPECT_EQ(ce::ProfileInt("device", "screen_width", 0), 240);
    EXPECT_EQ(ce::ProfileInt("device", "theme_color", 0), 0x6B9ABD);
    EXPECT_EQ(ce::GetDeviceKind(), ce::DeviceKind::PocketPC);
}

TEST(DeviceProfileTest, SetProfileStringKeepsOtherLinesAndLeavesNoTemporaryFile) {
    TempDevice device;
    device.WriteHostFile(device.Root() + "/device.ini",
                         "; keep me\n[device]\nkind=smartphone\n[hosts]\na=1\n");
    ce::ReloadProfile();
    ASSERT_TRUE(ce::SetProfileString("device", "locale", "0x0407"));
    ASSERT_TRUE(ce::SetProfileString("hosts", "a", "2"));
    ASSERT_TRUE(ce::SetProfileString("serial", "COM1", "/dev/pts/7"));
    EXPECT_EQ(ce::ProfileInt("device", "locale", 0), 0x0407);
    EXPECT_EQ(ce::ProfileString("hosts", "a"), "2");
    EXPECT_EQ(ce::ProfileString("serial", "com1"), "/dev/pts/7");
    EXPECT_EQ(ce::ProfileString("device", "kind"), "smartphone");
    EXPECT_FALSE(std::filesystem::exists(device.Root() + "/device.ini.tmp"));

    std::string text;
    std::ifstream in(device.Root() + "/device.ini");
    std::getline(in, text);
    EXPECT_EQ(text, "; keep me");
}

TEST(DeviceProfileTest, SetProfileStringRefusesLineBreaksAndMissingRoot) {
    TempDevice device;
    EXPECT_FALSE(ce::SetProfileString("device", "kind", "pocketpc\n[evil]"));
    EXPECT_FALSE(ce::SetProfileString("dev]ice", "kind", "x"));
    EXPECT_FALSE(ce::SetProfileString("device", "a=b", "x"));
    ce::SetDeviceRoot({});
    EXPECT_FALSE(ce::SetProfileString("device", "kind", "smartphone"));
}

TEST(DeviceProfileTest, ProfileIsCachedUntilReloaded) {
    TempDevice device;
    device.WriteHostFile(device.Root() + "/device.ini", "[device]\nscreen_width=480\n");
    ce::ReloadProfile();
    EXPECT_EQ(ce::ProfileInt("device", "screen_width", 0), 480);
    device.WriteHostFile(device.Root() + "/device.ini", "[device]\nscreen_width=320\n");
    EXPECT_EQ(ce::ProfileInt("device", "screen_width", 0), 480);
    ce::ReloadProfile();
    EXPECT_EQ(ce::ProfileInt("device", "screen_width", 0), 320);
}

}  // namespace
