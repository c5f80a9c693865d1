// The main window's soft keys and menu, and the fixed bands of its layout, which follow a turn.
#include <gtest/gtest.h>

#include <vector>

#include "Controls/CToolBarControl.h"
#include "MainWindowDevice.h"
#include "Screens/CMainWindowLayout.h"
#include "Screens/MainWindowMenu.h"
#include "UserInterface/CMenuItem.h"
#include "UserInterface/CMenuItemCollection.h"

namespace {

using mainwindow::test::MainWindowDevice;
using UserInterface::CMenuInfo;
using UserInterface::CMenuItemCollection;
namespace Menu = MainWindowMenu;

std::vector<int> Commands(const CMenuItemCollection* items) {
    std::vector<int> ids;
    for (int i = 0; items != nullptr && i < items->GetCount(); ++i) {
        ids.push_back(items->GetAt(i).GetCommand());
    }
    return ids;
}

const CMenuItemCollection* SubItems(const CMenuInfo& info, int id) {
    const auto* item = info.GetPopup(1)->FindItem(id);
    return item != nullptr ? item->GetSubItems() : nullptr;
}

TEST(MainWindowMenu, EveryCommandInItsPlaceAndThePlugInEntryOfTheDevice) {
    MainWindowDevice device;
    CMenuInfo info;
    ASSERT_TRUE(Menu::Build(false, &info));
    EXPECT_EQ(info.GetCommand(0), 3009);
    EXPECT_EQ(std::u16string(info.GetCaption(0)), u"Details");
    EXPECT_EQ(info.GetCommand(1), 3000);
    EXPECT_EQ(Commands(info.GetPopup(1)), (std::vector<int>{3011, 3040, 3010, 3003, 3031, 3037, 3004, 3005}));
    EXPECT_EQ(Commands(SubItems(info, 3040)), (std::vector<int>{3012, 3034, 3014}));
    EXPECT_EQ(Commands(SubItems(info, 3003)), (std::vector<int>{3023, 3024, 3025, 3026, 3038, 3027, 3028}));
    EXPECT_EQ(Commands(SubItems(info, 3031)), (std::vector<int>{3032, 3033}));

    ASSERT_TRUE(Menu::Build(true, &info));
    EXPECT_EQ(Commands(SubItems(info, 3003)), (std::vector<int>{3023, 3024, 3025, 3026, 3038, 3039, 3028}));
}

TEST(MainWindowMenu, AMissingCaptionFailsTheMenu) {
    MainWindowDevice device;
    device.WriteUtf16("Loc/loc.0409.txt", u"IDS_CAP_DETAILS\tDetails\r\nIDS_CAP_MENU\tMenu\r\n");
    ASSERT_TRUE(CLocalization::Global().Load(CLocalization::kEnglish));
    CMenuInfo info;
    EXPECT_FALSE(Menu::Build(false, &info));
}

TEST(MainWindowMenu, WithoutACityTheUpdateAndTheCityViewsAreGrayed) {
    MainWindowDevice device;
    CMenuInfo info;
    ASSERT_TRUE(Menu::Build(false, &info));
    ASSERT_TRUE(Menu::SetCityCommandsEnabled(&info, false));
    EXPECT_TRUE(info.GetPopup(1)->FindItem(3011)->IsGrayed());
    EXPECT_TRUE(SubItems(info, 3040)->FindItem(3012)->IsGrayed());
    EXPECT_TRUE(SubItems(info, 3040)->FindItem(3034)->IsGrayed());
    EXPECT_FALSE(SubItems(info, 3040)->FindItem(3014)->IsGrayed()) << "maps need no city";
    EXPECT_FALSE(info.GetPopup(1)->FindItem(3010)->IsGrayed());

    ASSERT_TRUE(Menu::SetCityCommandsEnabled(&info, true));
    EXPECT_FALSE(info.GetPopup(1)->FindItem(3011)->IsGrayed());
    EXPECT_FALSE(SubItems(info, 3040)->FindItem(3012)->IsGrayed());
}

TEST(MainWindowLayout, TheToolbarBandLiesAtTheBottomInPortraitAndAtTheRightInLandscape) {
    MainWindowDevice device;  // the 240 screen class: no scaling
    auto portrait = CMainWindowLayout::ComputeBands(RECT{0, 0, 240, 268}, true, true);
    EXPECT_EQ(portrait.toolbar.top, 218);
    EXPECT_EQ(portrait.toolbar.bottom, 268);
    EXPECT_EQ(portrait.switchBand.bottom, 40);
    EXPECT_EQ(portrait.separator.top, 40);
    EXPECT_EQ(portrait.separator.bottom, 42);
    EXPECT_EQ(portrait.graph.top, 42);
    EXPECT_EQ(portrait.graph.bottom, 218);
    EXPECT_EQ(portrait.graph.right, 240);

    auto landscape = CMainWindowLayout::ComputeBands(RECT{0, 0, 320, 188}, true, false);
    EXPECT_EQ(landscape.toolbar.left, 270);
    EXPECT_EQ(landscape.toolbar.top, 0);
    EXPECT_EQ(landscape.graph.right, 270);
    EXPECT_EQ(landscape.graph.bottom, 188);

    auto smartphone = CMainWindowLayout::ComputeBands(RECT{0, 0, 240, 268}, false, true);
    EXPECT_TRUE(IsRectEmpty(&smartphone.toolbar));
    EXPECT_EQ(smartphone.graph.bottom, 268);
}

TEST(MainWindowLayout, TheToolbarLaysItsButtonsAlongItsBandAfterEachTurn) {
    MainWindowDevice device;
    CMainWindowLayout layout;
    auto* toolbar = new CToolBarControl;
    ASSERT_TRUE(layout.AddControl(toolbar));
    ASSERT_TRUE(toolbar->Create(CToolBarControl::kHorizontal, nullptr, CMainWindowLayout::kToolbar,
                                UserInterface::CDlgControl::kVisible, 0, 0));
    const auto turnTo = [&](const char* orientation, const RECT& view) {
        ASSERT_TRUE(ce::SetProfileString("device", "orientation", orientation));
        ce::ReloadProfile();
        ASSERT_TRUE(g_pSysInfo->UpdateScreenSize()) << "the screen turned";
        layout.SetBounds(view, 0, 0);
        layout.Arrange();
    };
    ASSERT_NO_FATAL_FAILURE(turnTo("landscape", RECT{0, 0, 320, 188}));
    RECT band;
    toolbar->GetRect(&band);
    EXPECT_EQ(band.left, 270) << "the band at the right edge";
    EXPECT_EQ(toolbar->GetOrientation(), CToolBarControl::kVertical) << "its buttons stacked";
    ASSERT_NO_FATAL_FAILURE(turnTo("portrait", RECT{0, 0, 240, 268}));
    toolbar->GetRect(&band);
    EXPECT_EQ(band.top, 218);
    EXPECT_EQ(toolbar->GetOrientation(), CToolBarControl::kHorizontal) << "side by side again";
}

TEST(MainWindowLayout, ATinyWindowNeverGivesABandANegativeSize) {
    MainWindowDevice device;
    auto bands = CMainWindowLayout::ComputeBands(RECT{0, 0, 30, 20}, true, true);
    for (const RECT& band : {bands.toolbar, bands.switchBand, bands.separator, bands.graph}) {
        EXPECT_GE(band.bottom, band.top);
        EXPECT_GE(band.right, band.left);
        EXPECT_GE(band.top, 0);
        EXPECT_LE(band.bottom, 20);
    }
}

}  // namespace
