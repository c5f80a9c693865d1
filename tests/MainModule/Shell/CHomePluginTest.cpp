// The main program's Home-screen installer: the scheme file it installs and rewrites, and what it leaves
// when the plug-in library cannot be registered.
#include <gtest/gtest.h>

#include <filesystem>

#include "Shell/CHomePlugin.h"
#include "StartScreenDevice.h"
#include "ce/registry.h"

namespace {

using mainmodule::test::StartScreenDevice;

constexpr char kScheme[] =
    "<home>\r\n"
    "    <default font-face=\"Tahoma\">\r\n"
    "    </default>\r\n"
    "    <plugin clsid=\"{6D2E8A41-0C7B-4E59-A3F6-91B4C8D27E05}\" name=\"Skyvane\"/>\r\n"
    "</home>";

std::string Background(const char* rotated) {
    return std::string("<background bgimage=\"\\windows\\WindowsMobile.jpg\" bgimage-rotated=\"\\windows\\") +
           rotated + "\" valign=\"bottom\" bgcolor=\"COLOR_TRAYGRADLEFT\" />";
}

std::string WithBackground(const std::string& background) {
    std::string text = kScheme;
    size_t after = text.find("</default>\r\n") + 12;
    return text.insert(after, background);
}

class SchemeFile : public ::testing::Test {
protected:
    std::string Rewritten(const std::string& content, bool expected = true) {
        device.WriteHostFile(device.Fs("Application Data/Home/Weather.home.xml"), content);
        EXPECT_EQ(CHomePlugin::RewriteSchemeFile(kPath), expected);
        EXPECT_FALSE(std::filesystem::exists(device.Fs("Application Data/Home/Weather.home.xml.tmp")));
        return device.ReadHostFile(device.Fs("Application Data/Home/Weather.home.xml"));
    }

    static constexpr LPCWSTR kPath = u"\\Application Data\\Home\\Weather.home.xml";
    StartScreenDevice device{"smartphone", 240};
};

TEST_F(SchemeFile, GetsTheBackgroundAfterTheDefaultsWithThePortraitPictureForBothWithoutALandscapeOne) {
    EXPECT_EQ(Rewritten(kScheme), WithBackground(Background("WindowsMobile.jpg")));
}

TEST_F(SchemeFile, NamesTheLandscapePictureWhenTheDeviceHasOne) {
    device.WriteHostFile(device.Fs("Windows/WindowsMobileLS.jpg"), "picture");
    EXPECT_EQ(Rewritten(kScheme), WithBackground(Background("WindowsMobileLS.jpg")));
}

TEST_F(SchemeFile, WithoutDefaultsOrWithABackgroundAlreadyIsLeftAsItIs) {
    const std::string plain = "<home>\n<plugin clsid=\"{6D2E8A41-0C7B-4E59-A3F6-91B4C8D27E05}\"/>\n</home>\n";
    EXPECT_EQ(Rewritten(plain), plain);
    const std::string once = WithBackground(Background("WindowsMobile.jpg"));
    EXPECT_EQ(Rewritten(once), once) << "a second install must not add a second background";
}

TEST_F(SchemeFile, ThatCannotBeReplacedStaysWhole) {
    std::filesystem::create_directories(device.Fs("Application Data/Home/Weather.home.xml.tmp"));
    device.WriteHostFile(device.Fs("Application Data/Home/Weather.home.xml"), kScheme);
    EXPECT_FALSE(CHomePlugin::RewriteSchemeFile(kPath));
    EXPECT_EQ(device.ReadHostFile(device.Fs("Application Data/Home/Weather.home.xml")), kScheme);
}

TEST_F(SchemeFile, ThatIsMissingIsNotCreated) {
    EXPECT_FALSE(CHomePlugin::RewriteSchemeFile(kPath));
    EXPECT_FALSE(std::filesystem::exists(device.Fs("Application Data/Home/Weather.home.xml")));
}

TEST(HomeInstall, WithoutThePluginLibraryChangesNothing) {
    StartScreenDevice device("smartphone", 240);
    device.WriteHostFile(device.Fs("Temp/HomeXML/Weather.home.240.xml"), kScheme);
    CHomePlugin plugin;
    EXPECT_EQ(StartScreenDevice::RunWithClock([&] { return plugin.Install(); }), 0);
    EXPECT_TRUE(std::filesystem::exists(device.Fs("Temp/HomeXML/Weather.home.240.xml")));
    HKEY key = nullptr;
    EXPECT_NE(RegOpenKeyExW(HKEY_CURRENT_USER, CHomePlugin::kHomeKey, 0, KEY_READ, &key), ERROR_SUCCESS);
    EXPECT_TRUE(device.SettingChanges().empty());
}

}  // namespace
