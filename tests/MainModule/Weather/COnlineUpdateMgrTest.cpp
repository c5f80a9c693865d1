// Whole program-update checks against the update protocol of the real weather server on loopback, with
// the real installer stand-in started by the check: what each path shows, what it fetches, and that a
// damaged catalog, a cut-off download, an abort or a bad package change nothing on the device.
#include <gtest/gtest.h>

#include <filesystem>

#include "OnlineUpdateTestSupport.h"
#include "Weather/COnlineUpdateMgr.h"
#include "ce/registry.h"

namespace {

using ce::test::OwnerScreen;
using ce::test::ScriptedScreens;
using ce::test::UpdateDevice;

class OnlineUpdateMgr : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_GT(server.Port(), 0); }

    void SetFault(const std::string& spec) { ASSERT_EQ(server.Control("/control/fault?spec=" + spec), "ok\n"); }
    std::string UpdateRequests() const { return server.Control("/control/update-requests"); }
    unsigned Check(bool automatic = false, ScriptedScreens* with = nullptr) {
        COnlineUpdateMgr check;
        check.SetDuration(0);
        return check.CheckForUpdates(owner.window, &owner, with != nullptr ? with : &screens, automatic);
    }
    bool PackageExists() const { return std::filesystem::exists(device.Fs("Temp/Skyvane.arm.cab")); }
    bool UpdateInstalled() const { return std::filesystem::exists(device.InstallFolder("Update.txt")); }
    std::string Message(const char* key, bool support = false) const {
        return "message " + UpdateDevice::Text(key) + (support ? " +support" : "");
    }

    WeatherServerProcess server;
    UpdateDevice device{server.Port()};
    OwnerScreen owner{RGB(0, 0, 0)};
    ScriptedScreens screens;
};

TEST_F(OnlineUpdateMgr, OneOfferedProductIsDownloadedAndHandedToTheInstaller) {
    EXPECT_EQ(Check(), COnlineUpdateMgr::kOutcomeInstallerStarted);
    EXPECT_EQ(screens.shown, (std::vector<std::string>{"connection", "catalog job", "offer Skyvane 4.10", "package job",
                                                       Message("IDS_UPDATE_SUCCEESSFULLY_DOWNLOAD_MSG")}));
    EXPECT_EQ(UpdateRequests(), "catalog protocol=3&id=1201&compress=0&mod=&html2plain=0\n"
                                "package /updates/Skyvane.arm.cab\n");

    std::vector<std::string> log = device.InstallerLogWith(R"("event":"installed")");
    ASSERT_FALSE(log.empty());
    EXPECT_NE(log.front().find(R"("package":"\\Temp\\Skyvane.arm.cab")"), std::string::npos) << log.front();
    EXPECT_NE(log.back().find(R"("event":"installed")"), std::string::npos) << log.back();
    EXPECT_TRUE(UpdateInstalled());
    EXPECT_TRUE(PackageExists()) << "the installer reads the package after the check";
}

TEST_F(OnlineUpdateMgr, TwoOfferedProductsAreChosenFromTheListAndTheChosenOneIsFetched) {
    SetFault("catalog-two*1");
    screens.selectRow = 1;
    EXPECT_EQ(Check(), COnlineUpdateMgr::kOutcomeInstallerStarted);
    EXPECT_EQ(screens.shown[2], "select 2");
    EXPECT_NE(UpdateRequests().find("package /updates/Skyvane.pro.arm.cab\n"), std::string::npos)
        << "the capital HTTP:// of that entry is dropped like a small one";
    EXPECT_FALSE(device.InstallerLogWith(R"("event":"installed")").empty());
}

TEST_F(OnlineUpdateMgr, AnAutomaticCheckAnsweredWithCancelMakesNoConnection) {
    screens.askAnswer = 2;
    EXPECT_EQ(Check(true), COnlineUpdateMgr::kOutcomeNothing);
    EXPECT_EQ(screens.shown, (std::vector<std::string>{"ask"}));
    EXPECT_EQ(UpdateRequests(), "");
}

TEST_F(OnlineUpdateMgr, DecliningTheOfferOrTheConnectionFetchesNoPackage) {
    screens.offerAnswer = 2;
    EXPECT_EQ(Check(true), COnlineUpdateMgr::kOutcomeCatalogRead);
    EXPECT_EQ(screens.shown.back(), "offer Skyvane 4.10");
    ScriptedScreens declining;
    declining.connectionAnswer = 2;
    EXPECT_EQ(Check(false, &declining), COnlineUpdateMgr::kOutcomeNothing);
    EXPECT_EQ(UpdateRequests(), "catalog protocol=3&id=1201&compress=0&mod=&html2plain=0\n");
    EXPECT_FALSE(PackageExists());
}

TEST_F(OnlineUpdateMgr, AnEmptyCatalogSaysThatNoUpdateIsNeeded) {
    SetFault("catalog-empty");
    EXPECT_EQ(Check(), COnlineUpdateMgr::kOutcomeCatalogRead);
    EXPECT_EQ(screens.shown.back(), Message("IDS_UPDATE_NOT_REQUIRED_MSG"));
    EXPECT_EQ(UpdateRequests().find("package"), std::string::npos);
}

TEST_F(OnlineUpdateMgr, ADamagedCatalogOrAnErrorPageIsAFormatErrorWithTheSupportLink) {
    for (const char* fault : {"catalog-damaged", "code:2000"}) {
        SetFault(fault);
        ScriptedScreens fresh;
        EXPECT_EQ(Check(false, &fresh), COnlineUpdateMgr::kOutcomeNothing) << fault;
        EXPECT_EQ(fresh.shown.back(), Message("IDS_ERR_DATA_WRONG_FORMAT", true)) << fault;
    }
    EXPECT_EQ(UpdateRequests().find("package"), std::string::npos);
    EXPECT_TRUE(ce::ReadDeviceLog("installer").empty());
}

TEST_F(OnlineUpdateMgr, ACutOffDownloadFailsAndLeavesNoPackage) {
    SetFault("package-cut");
    EXPECT_EQ(Check(), COnlineUpdateMgr::kOutcomeCatalogRead);
    EXPECT_EQ(screens.shown.back(), Message("IDS_UNKNOWN_ERROR"));
    EXPECT_FALSE(PackageExists());
    EXPECT_TRUE(ce::ReadDeviceLog("installer").empty()) << "nothing was handed to the installer";
}

TEST_F(OnlineUpdateMgr, AbortingTheDownloadLeavesNoPackageAndShowsNoMessage) {
    SetFault("stall@1");
    // The catalog passes; the package reply stalls until the user aborts.
    struct AbortPackageOnly : ScriptedScreens {
        int RunDownloadJob(DownloadKind kind, LPCWSTR text, const CDelegate& job, unsigned* result) override {
            abortDownloads = kind == kPackageDownload;
            return ScriptedScreens::RunDownloadJob(kind, text, job, result);
        }
    } aborting;
    aborting.abortWhen = [this] { return UpdateRequests().find("package") != std::string::npos; };
    EXPECT_EQ(Check(false, &aborting), COnlineUpdateMgr::kOutcomeCatalogRead);
    server.Control("/control/release");
    EXPECT_EQ(aborting.shown.back(), "package job") << "only the way back to the owner's screen follows";
    EXPECT_FALSE(PackageExists());
    EXPECT_TRUE(ce::ReadDeviceLog("installer").empty());
}

TEST_F(OnlineUpdateMgr, AnUnknownConnectionReportsThatTheServerCannotBeReached) {
    screens.connection = GUID{0x12345678, 1, 2, {3, 4, 5, 6, 7, 8, 9, 10}};
    EXPECT_EQ(Check(), COnlineUpdateMgr::kOutcomeNothing);
    EXPECT_EQ(screens.shown.back(), Message("IDS_ERROR_CONNECT_OU"));
    EXPECT_EQ(UpdateRequests(), "");
}

TEST_F(OnlineUpdateMgr, APackageLargerThanTheFreeSpaceIsNotFetched) {
    ce::SetProfileString("device", "free_space_mb", "0");
    ce::ReloadProfile();
    EXPECT_EQ(Check(), COnlineUpdateMgr::kOutcomeCatalogRead);
    EXPECT_EQ(screens.shown.back().rfind("message There is not enough free storage", 0), 0u) << screens.shown.back();
    EXPECT_EQ(UpdateRequests().find("package"), std::string::npos);
}

TEST_F(OnlineUpdateMgr, ADamagedPackageIsRefusedByTheInstallerNothingIsInstalledAndTheUserIsTold) {
    SetFault("package-damaged");
    EXPECT_EQ(Check(), COnlineUpdateMgr::kOutcomeCatalogRead) << "the size matches, so the check hands it on";
    EXPECT_EQ(screens.shown, (std::vector<std::string>{"connection", "catalog job", "offer Skyvane 4.10", "package job",
                                                       Message("IDS_UPDATE_SUCCEESSFULLY_DOWNLOAD_MSG"),
                                                       Message("IDS_UNKNOWN_ERROR")}));
    std::vector<std::string> log = device.InstallerLogWith(R"("event":"failed")");
    ASSERT_FALSE(log.empty());
    EXPECT_NE(log.back().find("damaged"), std::string::npos) << log.back();
    EXPECT_FALSE(UpdateInstalled());
    EXPECT_FALSE(PackageExists()) << "the refused package goes";
    HKEY key = nullptr;
    EXPECT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Apps\\Quillon Software Skyvane", 0, 0, &key), ERROR_SUCCESS);
    DWORD mark = 0;
    DWORD size = sizeof mark;
    EXPECT_NE(RegQueryValueExW(key, u"Instl", nullptr, nullptr, reinterpret_cast<BYTE*>(&mark), &size), ERROR_SUCCESS);
    RegCloseKey(key);
}

TEST_F(OnlineUpdateMgr, EachDialogThatLeadsOnLeavesItsPictureForTheNextOneToOpenFrom) {
    COnlineUpdateMgr check;
    check.SetDuration(0);
    screens.check = &check;
    EXPECT_EQ(check.CheckForUpdates(owner.window, &owner, &screens, true), COnlineUpdateMgr::kOutcomeInstallerStarted);
    ASSERT_EQ(screens.below.size(), 6u);
    EXPECT_EQ(screens.below[0], RGB(0, 0, 0)) << "the question opens over the owner's screen";
    for (size_t turn = 1; turn < screens.below.size(); ++turn) {
        EXPECT_EQ(screens.below[turn], ScriptedScreens::TurnColour(turn)) << screens.shown[turn];
    }
    EXPECT_EQ(check.CaptureScreen(), nullptr) << "the picture goes with the check";
    EXPECT_FALSE(device.InstallerLogWith(R"("event":"installed")").empty());
}

TEST_F(OnlineUpdateMgr, ACheckWithoutAPictureOfItsOwnerEndsWithAnErrorAndNoConnection) {
    owner.capturable = false;
    EXPECT_EQ(Check(), COnlineUpdateMgr::kOutcomeNothing);
    EXPECT_EQ(screens.shown, (std::vector<std::string>{Message("IDS_UNKNOWN_ERROR")}));
    EXPECT_EQ(UpdateRequests(), "");
    EXPECT_EQ(COnlineUpdateMgr().CheckForUpdates(nullptr, &owner, &screens, false), COnlineUpdateMgr::kOutcomeNothing);
}

TEST_F(OnlineUpdateMgr, TheFreeSpaceMessageGivesTheSizeInTheLargestFittingUnit) {
    EXPECT_EQ(ce::ToUtf8(COnlineUpdateMgr::NotEnoughSpaceText(2500000)),
              "There is not enough free storage for the update. It needs 2.38 MB.");
    EXPECT_EQ(ce::ToUtf8(COnlineUpdateMgr::NotEnoughSpaceText(1536)),
              "There is not enough free storage for the update. It needs 1.50 KB.");
    EXPECT_EQ(ce::ToUtf8(COnlineUpdateMgr::NotEnoughSpaceText(700)),
              "There is not enough free storage for the update. It needs 700 bytes.");
}

}  // namespace
