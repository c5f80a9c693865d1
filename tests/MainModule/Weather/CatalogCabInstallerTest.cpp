// The silent install of the utilities catalog through the real installer stand-in, and the rewrite of
// the utilities' start page, which must never lose the page.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>

#include "InstallPackage.h"
#include "OnlineUpdateTestSupport.h"
#include "Weather/CatalogCabInstaller.h"
#include "Weather/DeviceUtilities.h"
#include "ce/registry.h"

namespace {

using installpkg::Record;
using installpkg::RecordKind;

constexpr const char* kPage =
    "<a href=\"http://www.quillon.example.com/tools/a.html\">A</a> http://www.quillon.example.com/x\r\n"
    "<p>No link here</p>\r\n"
    "<a href=\"http://www.quillon.example.com/b.html\">B</a>";

class CatalogInstaller : public ::testing::Test {
protected:
    std::string PagePath() const { return device.Fs("Program Files/QuillonUtilities/index.html"); }
    std::string Read(const std::string& path) const { return device.ReadHostFile(path); }
    void PutCatalogPackage(const std::string& bytes) const { device.WriteHostFile(device.Fs("Temp/Catalog.arm.CAB"), bytes); }
    static std::string CatalogPackage() {
        return installpkg::Write({{RecordKind::Application, "Quillon Utilities", {}},
                                  {RecordKind::File, "\\Program Files\\QuillonUtilities\\index.html", kPage}});
    }
    static DWORD InstalledMark() {
        HKEY key = nullptr;
        DWORD value = 0;
        DWORD size = sizeof value;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, CatalogCabInstaller::kInstalledKey, 0, 0, &key) == ERROR_SUCCESS) {
            RegQueryValueExW(key, u"Instl", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size);
            RegCloseKey(key);
        }
        return value;
    }

    ce::test::UpdateDevice device{0};
};

TEST_F(CatalogInstaller, InstallsQuietlyWaitsForTheInstallerAndPointsThePageAtTheCatalog) {
    PutCatalogPackage(CatalogPackage());
    EXPECT_EQ(CatalogCabInstaller::InstallUtilitiesCatalog(), 1);
    std::vector<std::string> log = ce::ReadDeviceLog("installer");
    ASSERT_FALSE(log.empty()) << "the installer ended before the call returned";
    EXPECT_NE(log.front().find(R"("quiet":"1")"), std::string::npos) << log.front();
    EXPECT_NE(log.back().find(R"("event":"installed")"), std::string::npos) << log.back();
    EXPECT_EQ(InstalledMark(), 1u);
    EXPECT_EQ(Read(PagePath()),
              "<a href=\"http://catalog.quillon.example.org/pocketpc/tools/a.html\">A</a> http://www.quillon.example.com/x\r\n"
              "<p>No link here</p>\r\n"
              "<a href=\"http://catalog.quillon.example.org/pocketpc/b.html\">B</a>");
    EXPECT_FALSE(std::filesystem::exists(device.Fs("Program Files/QuillonUtilities/index.tmp")));
}

TEST_F(CatalogInstaller, InstalledUtilitiesDeleteThePackageAndInstallNothing) {
    PutCatalogPackage(CatalogPackage());
    HKEY key = nullptr;
    DWORD one = 1;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, CatalogCabInstaller::kInstalledKey, 0, nullptr, 0, 0, nullptr, &key,
                              nullptr),
              ERROR_SUCCESS);
    RegSetValueExW(key, u"Instl", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&one), sizeof one);
    RegCloseKey(key);
    EXPECT_EQ(CatalogCabInstaller::InstallUtilitiesCatalog(), 0);
    EXPECT_FALSE(std::filesystem::exists(device.Fs("Temp/Catalog.arm.CAB")));
    EXPECT_TRUE(ce::ReadDeviceLog("installer").empty());
    EXPECT_EQ(CatalogCabInstaller::InstallUtilitiesCatalog(), 0) << "without a package nothing happens";
}

TEST_F(CatalogInstaller, ABadPackageIsReportedByTheInstallerAndLeavesThePageAlone) {
    std::string package = CatalogPackage();
    PutCatalogPackage(package.substr(0, package.size() - 5));
    EXPECT_EQ(CatalogCabInstaller::InstallUtilitiesCatalog(), 0) << "a package the installer refused is no success";
    EXPECT_NE(ce::ReadDeviceLog("installer").back().find("cut off"), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(PagePath()));
    EXPECT_EQ(InstalledMark(), 0u);
}

TEST_F(CatalogInstaller, ThePageRewriteReplacesOnlyEachLinesFirstMentionAndKeepsThePageOnFailure) {
    EXPECT_TRUE(CatalogCabInstaller::SetUtilitiesCatalogLink(u"http://c/")) << "a missing page is left alone";
    EXPECT_FALSE(std::filesystem::exists(PagePath()));

    device.WriteHostFile(PagePath(), kPage);
    ASSERT_TRUE(CatalogCabInstaller::SetUtilitiesCatalogLink(u"http://c\u00e9/"));
    std::string page = Read(PagePath());
    EXPECT_EQ(page.rfind("<a href=\"http://c\xE9/tools/a.html\">A</a> http://www.quillon", 0), 0u)
        << "code page 1252, one byte a character: " << page;
    EXPECT_NE(page.find(" http://www.quillon.example.com/x"), std::string::npos);

    // The copy cannot be made where a folder of its name stands: the page stays whole.
    device.WriteHostFile(PagePath(), kPage);
    std::filesystem::create_directories(device.Fs("Program Files/QuillonUtilities/index.tmp"));
    EXPECT_FALSE(CatalogCabInstaller::SetUtilitiesCatalogLink(u"http://c/"));
    EXPECT_EQ(Read(PagePath()), kPage);
}

TEST_F(CatalogInstaller, CuttingToTheCabinetSizeDropsAppendedBytesButNeverGrowsAFile) {
    std::string package = CatalogPackage();
    PutCatalogPackage(package + "appended signature");
    ASSERT_TRUE(CatalogCabInstaller::CutToCabinetSize(u"\\Temp\\Catalog.arm.CAB"));
    EXPECT_EQ(Read(device.Fs("Temp/Catalog.arm.CAB")), package);

    std::string cut = package.substr(0, package.size() - 3);
    PutCatalogPackage(cut);
    EXPECT_FALSE(CatalogCabInstaller::CutToCabinetSize(u"\\Temp\\Catalog.arm.CAB"));
    EXPECT_EQ(Read(device.Fs("Temp/Catalog.arm.CAB")), cut);
    EXPECT_FALSE(CatalogCabInstaller::CutToCabinetSize(u"\\Temp\\None.CAB"));
}

TEST_F(CatalogInstaller, ARunningInstallerDelaysTheSilentInstallUntilItHasEnded) {
    PutCatalogPackage(CatalogPackage());
    // Another installation at work: a program of the installer's name that runs until it is ended.
    std::filesystem::create_directories(device.Fs("Temp/Other"));
    std::filesystem::create_symlink(CE_TEST_PROGRAM, device.Fs("Temp/Other/wceload.exe"));
    PROCESS_INFORMATION other = {};
    std::u16string wait = u"wait";
    ASSERT_TRUE(CreateProcessW(u"\\Temp\\Other\\wceload.exe", wait.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, nullptr, &other));
    for (int i = 0; i < 2000 && FindRunningProcess(u"wceload.exe") == 0; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    ASSERT_NE(FindRunningProcess(u"wceload.exe"), 0u);

    std::atomic<int> installed{-1};
    std::thread install([&] { installed = CatalogCabInstaller::InstallUtilitiesCatalog(); });
    // Nothing is handed over while the other one runs; a short look shows that it waits.
    std::this_thread::sleep_for(std::chrono::milliseconds(300));
    EXPECT_EQ(installed.load(), -1);
    EXPECT_TRUE(ce::ReadDeviceLog("installer").empty());

    TerminateProcess(other.hProcess, 0);
    install.join();
    CloseHandle(other.hThread);
    CloseHandle(other.hProcess);
    EXPECT_EQ(installed.load(), 1);
    EXPECT_EQ(InstalledMark(), 1u);
}

}  // namespace
