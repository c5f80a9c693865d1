// The about screen run for real: what it shows and where, its switches, its keys and the year.
#include <gtest/gtest.h>

#include <memory>

#include "CGdiFactory.h"
#include "ScreenTest.h"
#include "Screens/CAboutDlg.h"
#include "UserInterface/CDlgHyperLink.h"
#include "Weather/GlobalServices.h"

namespace {

using namespace skin_test;
using UserInterface::CDlgControl;
using UserInterface::CDlgHyperLink;
using ScriptedAbout = ScriptedScreen<CAboutDlg>;

// 2027-01-01 00:00:30 UTC.
constexpr unsigned long long kNewYear = 1'798'761'630'000ull;

class AboutTest : public FontScreenTest {
protected:
    static std::vector<std::string> OpenedUrls() { return ce::ReadDeviceLog("urls"); }
};

TEST_F(AboutTest, ShowsTheProgramTheYearTheLinksAndTheDeviceAtTheBottom) {
    ScriptedAbout about;
    about.Then([&](ScriptedAbout& d) {
        UserInterface::CDlgLayout* layout = d.GetLayout();
        const std::vector<int> ids = IdsOf(d);
        ASSERT_GE(ids.size(), 7u);
        EXPECT_EQ(std::vector<int>(ids.begin(), ids.begin() + 7), (std::vector<int>{1, 2, 3, 4, 5, 6, 7}));
        EXPECT_EQ(TextOf(layout->FindControl(1)), u"Skyvane 4.00");
        EXPECT_EQ(FontWeight(layout->FindControl(1)->GetFont()), 700);
        SYSTEMTIME now{};
        GetLocalTime(&now);
        EXPECT_NE(TextOf(layout->FindControl(2)).find(ce::FromUtf8(std::to_string(now.wYear))), std::u16string::npos);
        const int width = d.GetClientWidth();
        for (int id : {3, 5}) {
            RECT link{};
            layout->FindControl(id)->GetRect(&link);
            EXPECT_LE(std::abs((link.left + link.right) / 2 - width / 2), 1) << "link " << id << " centred";
            EXPECT_LT(link.right - link.left, width - 10);
        }
        CDlgControl* device = layout->FindControl(CAboutDlg::kDeviceId);
        ASSERT_NE(device, nullptr) << "the device's identifier";
        {
            RECT line{};
            device->GetRect(&line);
            EXPECT_EQ(line.bottom, d.GetClientHeight() - 2) << "on the bottom margin";
            EXPECT_LE(std::abs((line.left + line.right) / 2 - width / 2), 1);
            EXPECT_EQ(TextOf(device).rfind(u"Device ID: ", 0), 0u);
        }
        EXPECT_EQ(framework::test::UserInterfaceDevice::ButtonOf(d.GetMenuBar(), 1).command, CAboutDlg::kShowMoreCommand);
        ce::InjectKey(VK_TSOFT2);
    });
    about.Then([](ScriptedAbout&) { ce::InjectKey(VK_TSOFT1); });
    EXPECT_EQ(about.Run(nullptr), IDOK);
    const auto opened = OpenedUrls();
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_NE(opened[0].find("products/pocketpc"), std::string::npos) << opened[0];
}

TEST_F(AboutTest, WithBothSwitchesOffTheSiteLinkTheProductsLineAndTheirKeyAreGone) {
    InstallEnglish({{u"IDS_MOD_MAINWEB_ENABLED", u"0"}, {u"IDS_MOD_SHOWMORE_ENABLED", u"0"}});
    ScriptedAbout about;
    about.Then([&](ScriptedAbout& d) {
        const std::vector<int> ids = IdsOf(d);
        EXPECT_EQ(std::vector<int>(ids.begin(), ids.begin() + 4), (std::vector<int>{1, 2, 4, 5}));
        EXPECT_EQ(d.GetLayout()->FindControl(CAboutDlg::kMoreProductsId), nullptr);
        EXPECT_EQ(d.GetMenuInfo().GetCommand(1), -1) << "no right key";
        ce::InjectKey(VK_TSOFT1);
    });
    EXPECT_EQ(about.Run(nullptr), IDOK);
}

TEST_F(AboutTest, TheBackKeyEndsTheScreenAsDone) {
    ScriptedAbout about;
    about.passBackKeys = true;
    about.Then([](ScriptedAbout&) { ce::InjectKey(VK_ESCAPE); });
    EXPECT_EQ(about.Run(nullptr), IDOK);
    EXPECT_GE(about.backKeys, 1);
}

TEST_F(AboutTest, AMissingTextOrKeyCaptionEndsTheScreenAsCancelled) {
    for (const char16_t* key : {u"IDS_FORECAST_PROVIDER", u"IDS_CAP_SHOW_MORE", u"IDS_SUPPORT_ADDRESS"}) {
        InstallEnglish({{key, nullptr}});
        ScriptedAbout about;
        about.Then([](ScriptedAbout& d) { d.EndDialog(IDOK); });
        EXPECT_EQ(about.Run(nullptr), IDCANCEL) << ce::ToUtf8(key);
    }
}

TEST_F(AboutTest, OnNewYearsDayTheCopyrightShowsTheNewYear) {
    ce::EnableVirtualClock(kNewYear);
    SYSTEMTIME now{};
    GetLocalTime(&now);
    ASSERT_EQ(now.wYear, 2027);
    ASSERT_EQ(now.wMonth, 1);
    ScriptedAbout about;
    about.Then([&](ScriptedAbout& d) {
        EXPECT_NE(TextOf(d.GetLayout()->FindControl(CAboutDlg::kCopyrightId)).find(u"2027"), std::u16string::npos);
        d.EndDialog(IDOK);
    });
    EXPECT_EQ(about.Run(nullptr), IDOK);
}

}  // namespace
