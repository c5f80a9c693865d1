// Mode 5 of the program, "cmd_install_catalog", as a real process: the utilities catalog left in \Temp
// goes quietly to the device's installer, and the utilities' start page then points to the catalog of
// this kind of device.
#include <gtest/gtest.h>

#include "InstallPackage.h"
#include "SkyvaneDevice.h"

namespace endtoend {
namespace {

using installpkg::RecordKind;

class InstallCatalogMode : public SkyvaneDevice {
protected:
    std::string Page() const { return ReadFile(device.Fs("Program Files/QuillonUtilities/index.html")); }
    static std::string ReadFile(const std::string& path) {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
};

TEST_F(InstallCatalogMode, InstallsTheCatalogQuietlyOnceAndPointsItsPageAtTheDevicesCatalog) {
    std::string package = installpkg::Write(
        {{RecordKind::Application, "Quillon Utilities", {}},
         {RecordKind::File, "\\Program Files\\QuillonUtilities\\index.html",
          "<a href=\"http://www.quillon.example.com/weather.html\">Weather</a>\r\n"}});
    std::ofstream(device.Fs("Temp/Catalog.arm.CAB"), std::ios::binary) << package;

    EXPECT_EQ(device.Run("cmd_install_catalog"), 0);
    EXPECT_EQ(Page(), "<a href=\"http://catalog.quillon.example.org/pocketpc/weather.html\">Weather</a>\r\n");
    std::vector<std::string> installer = device.LogLines("installer");
    ASSERT_FALSE(installer.empty());
    EXPECT_TRUE(HasField(installer.front(), "quiet", "1")) << installer.front();
    EXPECT_TRUE(HasField(installer.back(), "event", "installed")) << installer.back();
    std::vector<std::string> program = device.LogLines("Skyvane");
    ASSERT_FALSE(program.empty());
    EXPECT_TRUE(HasField(program.back(), "event", "catalog installed")) << program.back();

    EXPECT_EQ(device.Run("cmd_install_catalog"), 1) << "the utilities are installed already";
    EXPECT_FALSE(std::filesystem::exists(device.Fs("Temp/Catalog.arm.CAB")));
    EXPECT_EQ(device.LogLines("installer").size(), installer.size());
}

// A package the installer refuses, or no installer on the device: nothing is installed and the start
// page keeps its links.
TEST_F(InstallCatalogMode, ARefusedPackageOrAMissingInstallerLeavesTheStartPageAsItWas) {
    const std::string page = "<a href=\"http://www.quillon.example.com/weather.html\">Weather</a>\r\n";
    std::filesystem::create_directories(device.Fs("Program Files/QuillonUtilities"));
    std::ofstream(device.Fs("Program Files/QuillonUtilities/index.html"), std::ios::binary) << page;
    std::string damaged = installpkg::Write({{RecordKind::Application, "Quillon Utilities", {}}});
    damaged[damaged.size() - 1] ^= 0x5A;
    std::ofstream(device.Fs("Temp/Catalog.arm.CAB"), std::ios::binary) << damaged;

    EXPECT_EQ(device.Run("cmd_install_catalog"), 1);
    EXPECT_EQ(Page(), page);
    std::vector<std::string> installer = device.LogLines("installer", 1);
    ASSERT_FALSE(installer.empty());
    EXPECT_FALSE(HasField(installer.back(), "event", "installed")) << installer.back();
    EXPECT_TRUE(HasField(LastProgramLine(), "event", "no catalog installed")) << LastProgramLine();

    std::ofstream(device.Fs("Temp/Catalog.arm.CAB"), std::ios::binary)
        << installpkg::Write({{RecordKind::Application, "Quillon Utilities", {}}});
    ASSERT_TRUE(std::filesystem::remove(device.Fs("Windows/wceload.exe")));
    EXPECT_EQ(device.Run("cmd_install_catalog"), 1);
    EXPECT_EQ(Page(), page);
}

}  // namespace
}  // namespace endtoend
