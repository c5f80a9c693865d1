// The program's message boxes, the assistant page and the update result box, run for real on the
// skinned device and ended through their soft keys.
#include <gtest/gtest.h>

#include "ScreenTest.h"
#include "Screens/CAppMessageBox.h"
#include "Screens/CAssistantDlg.h"
#include "UserInterface/CDlgHyperLink.h"
#include "UserInterface/CDlgSeparator.h"
#include "Weather/CForecastUpdater.h"

namespace {

using namespace skin_test;
using UserInterface::CDlgControl;
using UserInterface::CDlgHyperLink;
using ScriptedBox = ScriptedScreen<CAppMessageBox>;

constexpr char16_t kSupport[] = u"http://support.quillon.example.com/";

class MessageBoxTest : public ScreenTest {
protected:
    static std::vector<std::string> OpenedUrls() { return ce::ReadDeviceLog("urls"); }
};

TEST_F(MessageBoxTest, AHeadedBoxShowsHeadingRuleMessageAndLinkOnTheSkinsBackground) {
    ScriptedBox box;
    const MessageBoxLink link{u"Our site", u"http://www.quillon.example.com/"};
    box.Then([&](ScriptedBox& d) {
        ASSERT_EQ(IdsOf(d), (std::vector<int>{1, 2, 3, 4}));
        UserInterface::CDlgLayout* layout = d.GetLayout();
        EXPECT_EQ(TextOf(layout->FindControl(1)), u"Heading");
        EXPECT_EQ(FontWeight(layout->FindControl(1)->GetFont()), 700) << "the heading is bold";
        EXPECT_EQ(TextOf(layout->FindControl(3)), u"The message");
        EXPECT_EQ(TextOf(layout->FindControl(4), CDlgHyperLink::kMsgGetText), u"Our site");
        EXPECT_EQ(layout->FindControl(2)->GetBorderColor(), CApplicationSkin::kBackgroundColor);
        EXPECT_EQ(layout->FindControl(3)->GetBorderColor(), CApplicationSkin::kBackgroundColor);
        WCHAR title[64] = {};
        GetWindowTextW(d.GetHandle(), title, 64);
        EXPECT_EQ(std::u16string(title), u"Skyvane");
        EXPECT_TRUE(Near(PixelOf(d, 0, 0), CApplicationSkin::GetBackgroundTopColor()));
        EXPECT_TRUE(Near(PixelOf(d, 1, d.GetClientHeight() - 1), CApplicationSkin::GetBackgroundBottomColor()));
        RECT rule{};
        layout->FindControl(2)->GetRect(&rule);
        EXPECT_EQ(rule.bottom - rule.top, 1);
        EXPECT_EQ(rule.left, 2) << "the program's wider margin";
        ce::InjectKey(VK_TSOFT1);
    });
    EXPECT_EQ(CAppMessageBox::DoModalDone(box, nullptr, u"The message", u"Heading", &link), IDOK);
}

TEST_F(MessageBoxTest, WithoutHeadingOrLinkTextOnlyTheMessageShows) {
    ScriptedBox box;
    const MessageBoxLink empty;
    box.Then([&](ScriptedBox& d) {
        EXPECT_EQ(IdsOf(d), (std::vector<int>{3})) << "no heading, no rule, no link";
        ce::InjectKey(VK_TSOFT1);
    });
    EXPECT_EQ(CAppMessageBox::DoModalDone(box, nullptr, u"Only this", u"", &empty), IDOK);

    ScriptedBox addressOnly;
    const MessageBoxLink address{u"", kSupport};
    addressOnly.Then([&](ScriptedBox& d) {
        EXPECT_EQ(IdsOf(d), (std::vector<int>{3, 4}));
        EXPECT_EQ(TextOf(d.GetLayout()->FindControl(4), CDlgHyperLink::kMsgGetText), kSupport)
            << "an address without a text shows the address";
        ce::InjectKey(VK_TSOFT1);
    });
    EXPECT_EQ(CAppMessageBox::DoModalDone(addressOnly, nullptr, u"Message", nullptr, &address), IDOK);
}

TEST_F(MessageBoxTest, TheKeysEndTheBoxWithTheirCommands) {
    const std::pair<UINT, int> yesNo[] = {{VK_TSOFT1, IDYES}, {VK_TSOFT2, IDNO}};
    for (const auto& [key, result] : yesNo) {
        ScriptedBox box;
        box.Then([key = key](ScriptedBox& d) {
            EXPECT_EQ(framework::test::UserInterfaceDevice::ButtonOf(d.GetMenuBar(), 0).caption, u"Yes");
            EXPECT_EQ(framework::test::UserInterfaceDevice::ButtonOf(d.GetMenuBar(), 1).caption, u"No");
            ce::InjectKey(key);
        });
        EXPECT_EQ(CAppMessageBox::DoModalYesNo(box, nullptr, u"Sure?", nullptr, nullptr), result);
    }
    ScriptedBox box;
    box.Then([](ScriptedBox&) { ce::InjectKey(VK_TSOFT2); });
    EXPECT_EQ(CAppMessageBox::DoModalDoneCancel(box, nullptr, u"Go on?", nullptr, nullptr), IDCANCEL);

    ScriptedBox never;
    EXPECT_EQ(CAppMessageBox::DoModalDone(never, nullptr, nullptr, u"Heading", nullptr), 0) << "no message";
    EXPECT_EQ(never.GetHandle(), nullptr);
}

// The action key takes the left soft key, unless the focused link takes it: then it opens the link.
TEST_F(MessageBoxTest, TheActionKeyTakesTheLeftSoftKeyOrOpensAFocusedLink) {
    ScriptedBox question;
    question.Then([](ScriptedBox&) { ce::InjectKey(VK_RETURN); });
    EXPECT_EQ(CAppMessageBox::DoModalYesNo(question, nullptr, u"Sure?", nullptr, nullptr), IDYES);
    ScriptedBox note;
    note.Then([](ScriptedBox&) { ce::InjectKey(VK_RETURN); });
    EXPECT_EQ(CAppMessageBox::DoModalDone(note, nullptr, u"Noted.", u"Heading", nullptr), IDOK);

    ScriptedBox linked;
    const MessageBoxLink link{u"Support", kSupport};
    linked.Then([](ScriptedBox&) { ce::InjectKey(VK_RETURN); });
    linked.Then([](ScriptedBox&) { ce::InjectKey(VK_TSOFT2); });
    EXPECT_EQ(CAppMessageBox::DoModalDoneCancel(linked, nullptr, u"Write to us.", nullptr, &link), IDCANCEL)
        << "the box stays open after the link";
    EXPECT_EQ(OpenedUrls().size(), 1u);
}

TEST_F(MessageBoxTest, AKeyWithoutCaptionShowsNothingAndCountsAsCancel) {
    InstallEnglish({{u"IDS_CAP_NO", nullptr}});
    ScriptedBox box;
    box.Then([](ScriptedBox& d) { d.EndDialog(IDYES); });
    EXPECT_EQ(CAppMessageBox::DoModalYesNo(box, nullptr, u"Sure?", nullptr, nullptr), IDCANCEL);
    EXPECT_TRUE(box.commands.empty());
}

TEST_F(MessageBoxTest, TappingTheLinkOpensItsAddressOnce) {
    ScriptedBox box;
    const MessageBoxLink link{u"Support", kSupport};
    box.Then([](ScriptedBox& d) {
        const POINT centre = CentreOf(d.GetLayout()->FindControl(CAppMessageBox::kLinkId));
        d.Tap(centre.x, centre.y);
    });
    box.Then([](ScriptedBox&) { ce::InjectKey(VK_TSOFT1); });
    EXPECT_EQ(CAppMessageBox::DoModalDone(box, nullptr, u"Write to us.", nullptr, &link), IDOK);
    const auto opened = OpenedUrls();
    ASSERT_EQ(opened.size(), 1u) << "the link opens the browser, and nothing opens it again";
    EXPECT_NE(opened[0].find("support.quillon.example.com"), std::string::npos) << opened[0];
}

TEST_F(MessageBoxTest, ABoxOverAScreenRunsAboveItAndReturnsToIt) {
    ClockTicker clock;  // the box blends in over the screen and back out
    ScriptedDialog parent;
    UserInterface::CMenuInfo menu;
    ASSERT_TRUE(menu.SetDone(0));
    INT_PTR answer = -1;
    parent.Then([&](ScriptedDialog& screen) {
        ScriptedBox box;
        box.Then([&](ScriptedBox& d) {
            EXPECT_EQ(GetParent(d.GetHandle()), screen.GetHandle());
            EXPECT_FALSE(IsWindowEnabled(screen.GetHandle())) << "modal over the screen";
            ce::InjectKey(VK_TSOFT2);
        });
        answer = CAppMessageBox::DoModalYesNoOverParentDialog(box, &screen, u"Delete?", u"City", nullptr);
        EXPECT_TRUE(IsWindowEnabled(screen.GetHandle()));
    });
    EXPECT_EQ(parent.RunModal(nullptr, 0, &menu, nullptr, nullptr), ScriptedDialog::kScriptEnded);
    EXPECT_EQ(answer, IDNO);
    ScriptedBox orphan;
    EXPECT_EQ(CAppMessageBox::DoModalDoneOverDialog(orphan, nullptr, nullptr, u"Text", nullptr, nullptr), 0);
}

TEST_F(MessageBoxTest, UpdateResultsShowTheirTextAndTheSupportLinkWhereSupportHelps) {
    ClockTicker clock;
    ScriptedDialog parent;
    UserInterface::CMenuInfo menu;
    ASSERT_TRUE(menu.SetDone(0));
    std::vector<std::vector<int>> shown;
    std::vector<std::u16string> texts;
    std::vector<std::u16string> headings;
    std::vector<bool> answers;
    parent.Then([&](ScriptedDialog& screen) {
        for (int result : {CForecastUpdater::kResultBlocked, CForecastUpdater::kResultNoWeatherData,
                           CForecastUpdater::kResultSuccess}) {
            ScriptedBox box;
            box.Then([&](ScriptedBox& d) {
                shown.push_back(IdsOf(d));
                texts.push_back(TextOf(d.GetLayout()->FindControl(CAppMessageBox::kMessageId)));
                auto* heading = d.GetLayout()->FindControl(CAppMessageBox::kHeadingId);
                headings.push_back(heading != nullptr ? TextOf(heading) : u"");
                ce::InjectKey(VK_TSOFT1);
            });
            // Only the no-data result names the cities it was given.
            answers.push_back(CForecastUpdater::ShowResultMessage(box, &screen, &screen, result, u"London, New York"));
        }
    });
    EXPECT_EQ(parent.RunModal(nullptr, 0, &menu, nullptr, nullptr), ScriptedDialog::kScriptEnded);
    EXPECT_EQ(answers, (std::vector<bool>{true, true, false})) << "success has no text and shows nothing";
    ASSERT_EQ(shown.size(), 2u);
    EXPECT_EQ(shown[0], (std::vector<int>{3, 4})) << "blocked: the support link";
    EXPECT_EQ(shown[1], (std::vector<int>{1, 2, 3})) << "no weather data: headed by the cities, no link";
    EXPECT_EQ(texts[0], LoadLocalizedString("IDS_ERROR_BLOCKED"));
    EXPECT_EQ(headings, (std::vector<std::u16string>{u"", u"London, New York"}));
    EXPECT_EQ(texts[1], LoadLocalizedString("IDS_ERROR_NO_WEATHER_DATA"));
    ScriptedBox orphan;
    EXPECT_FALSE(CForecastUpdater::ShowResultMessage(orphan, nullptr, nullptr, CForecastUpdater::kResultBlocked))
        << "a box that cannot be shown is not reported as shown";
}

using ScriptedAssistant = ScriptedScreen<CAssistantDlg>;

TEST_F(MessageBoxTest, TheAssistantPageShowsItsPictureBesideTheHeading) {
    ScriptedAssistant page;
    page.Then([&](ScriptedAssistant& d) {
        ASSERT_EQ(IdsOf(d), (std::vector<int>{1, 2, 3}));
        EXPECT_EQ(TextOf(d.GetLayout()->FindControl(1)), u"Welcome");
        EXPECT_EQ(TextOf(d.GetLayout()->FindControl(3)), u"Add your first city.");
        RECT heading{};
        d.GetLayout()->FindControl(1)->GetRect(&heading);
        EXPECT_GE(heading.bottom - heading.top, 40) << "as tall as its picture";
        // The picture's amber sun, somewhere in its 40 x 40 square at the heading's left.
        bool amber = false;
        for (int y = heading.top; y < heading.bottom && !amber; ++y) {
            for (int x = heading.left; x < heading.left + 40 && !amber; ++x) {
                const COLORREF c = PixelOf(d, x, y);
                amber = GetRValue(c) > 200 && GetGValue(c) > 150 && GetGValue(c) < 220 && GetBValue(c) < 120;
            }
        }
        EXPECT_TRUE(amber);
        ce::InjectKey(VK_TSOFT1);
    });
    EXPECT_EQ(page.Run(nullptr, u"Add your first city.", u"Welcome", nullptr), IDOK);
    CAssistantDlg unused;
    EXPECT_EQ(unused.Run(nullptr, u"Text", nullptr, nullptr), 0);
}

}  // namespace
