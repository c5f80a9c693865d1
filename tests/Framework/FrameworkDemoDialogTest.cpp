// A demo screen built from the framework's controls, run as a real dialog and captured as a PNG in
// the build folder (framework-demo-dialog.png) for a person to look at.
#include <gtest/gtest.h>

#include <filesystem>
#include <memory>

#include "DialogScript.h"
#include "RecordingSkin.h"
#include "UserInterface/CDlgCheckBox.h"
#include "UserInterface/CDlgHyperLink.h"
#include "UserInterface/CDlgLayout.h"
#include "UserInterface/CDlgProgressBar.h"
#include "UserInterface/CDlgSeparator.h"
#include "UserInterface/CDlgStatic.h"

using framework::test::NearColor;
using framework::test::RecordingSkin;
using framework::test::ScriptedDialog;
using framework::test::UserInterfaceDevice;
using namespace UserInterface;

namespace {

template <class Control>
Control* Add(CDlgLayout* layout, Control* control) {
    EXPECT_TRUE(control->IsCreated());
    layout->AddControl(control);
    return control;
}

CDlgStatic* Label(CDlgLayout* layout, LPCWSTR text, DWORD style = 0) {
    auto* label = new CDlgStatic;
    label->Create(text, nullptr, 0, CDlgControl::kVisible | CDlgControl::kFillWidth | style, 0, 22);
    return Add(layout, label);
}

TEST(FrameworkDemoDialog, TheDemoScreenShowsItsControlsAndIsWrittenAsAPicture) {
    UserInterfaceDevice device;
    ce::EnableVirtualClock(1'700'000'000'000ull);
    CSysInfo sysInfo(GetModuleHandleW(nullptr));
    g_pSysInfo = &sysInfo;
    RecordingSkin skin;

    CMenuInfo menu;
    ASSERT_TRUE(menu.SetDoneCancel(0));
    CDlgLayout layout;
    Label(&layout, u"Skyvane settings", CDlgStatic::kTextCenter | CDlgControl::kBorder);
    auto* rule = new CDlgSeparator;
    rule->Create(0, CDlgControl::kVisible | CDlgControl::kFillWidth | CDlgSeparator::kSkinPicture, 0, 2);
    Add(&layout, rule);
    auto* automatic = new CDlgCheckBox;
    automatic->Create(u"Update forecasts automatically", 10, CDlgControl::kVisible | CDlgControl::kFillWidth, 0, 24);
    automatic->SetCheck(1, FALSE);
    Add(&layout, automatic);
    auto* roaming = new CDlgCheckBox;
    roaming->Create(u"Also while roaming", 11, CDlgControl::kVisible | CDlgControl::kFillWidth, 0, 24);
    Add(&layout, roaming);
    Label(&layout, u"Downloading Oslo, Norway");
    auto* progress = new CDlgProgressBar;
    progress->Create(12, CDlgControl::kVisible | CDlgControl::kFillWidth, 0, 14);
    CDlgProgressBar::Progress done{CDlgProgressBar::kPositionValid | CDlgProgressBar::kMaximumValid, 65, 100};
    progress->SetProgress(&done, FALSE);
    Add(&layout, progress);
    auto* link = new CDlgHyperLink;
    link->Create(u"Weather on the web", u"http://weather.example/", 13, CDlgControl::kVisible | CDlgControl::kFillWidth,
                 0, 22);
    Add(&layout, link);
    for (LPCWSTR city : {u"Bergen, Norway", u"Tromsø, Norway", u"Lisbon, Portugal", u"Cairo, Egypt",
                         u"Osaka, Japan", u"Perth, Australia", u"Lima, Peru", u"Quebec, Canada"}) {
        Label(&layout, city);
    }

    const std::string picture = std::string(CE_TEST_BINARY_DIR) + "/framework-demo-dialog.png";
    std::filesystem::remove(picture);
    ScriptedDialog dialog;
    COLORREF bar = 0;
    COLORREF thumb = 0;
    COLORREF background = 0;
    // The script keeps the queue busy, so the soft-key bar is painted before the screen is taken.
    dialog.Then([&](ScriptedDialog& d) { UpdateWindow(d.GetMenuBar()); });
    dialog.Then([&](ScriptedDialog& d) {
        EXPECT_TRUE(d.IsScrollable()) << "more cities than fit: the scroll indicator shows";
        ASSERT_TRUE(ce::CaptureScreen(picture));
        HBITMAP screen = d.CaptureScreen();
        ASSERT_NE(screen, nullptr);
        HDC dc = CreateCompatibleDC(nullptr);
        SelectObject(dc, screen);
        RECT rect;
        progress->GetRect(&rect);
        bar = GetPixel(dc, rect.left + 10, (rect.top + rect.bottom) / 2);
        thumb = GetPixel(dc, d.GetClientWidth() - 2, 5);
        background = GetPixel(dc, layout.GetView().right - 10, rect.bottom + 1);
        DeleteDC(dc);
        d.EndDialog(IDOK);
    });
    EXPECT_EQ(dialog.RunModal(nullptr, 0, &menu, &layout, nullptr), IDOK);
    EXPECT_TRUE(std::filesystem::file_size(picture) > 1000);
    EXPECT_TRUE(NearColor(bar, RecordingSkin::kBarDone)) << "the progress bar's done part";
    EXPECT_TRUE(NearColor(thumb, RecordingSkin::kThumb)) << "the scroll indicator at the top of its track";
    EXPECT_EQ(background, RGB(255, 255, 255));
    EXPECT_EQ(skin.checkBoxes.size() % 2, 0u) << "both check boxes drawn on every frame";
    ASSERT_FALSE(skin.checkBoxes.empty());
    EXPECT_TRUE(skin.checkBoxes[0].value) << "the first one checked";

    g_pSysInfo = nullptr;
    ce::DisableVirtualClock();
}

}  // namespace
