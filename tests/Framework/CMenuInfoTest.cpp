// Soft-key menus: the keys and popups of a menu info on the shell's soft-key bar.
#include <gtest/gtest.h>

#include "UserInterface/CMenuInfo.h"
#include "UserInterfaceDevice.h"

using ce::test::Pump;
using ce::test::Recorder;
using framework::test::UserInterfaceDevice;
using UserInterface::CMenuInfo;
using UserInterface::CMenuItem;
using UserInterface::CMenuItemCollection;

namespace {

constexpr int kMenuCommand = 3011;

class CMenuInfoTest : public ::testing::Test {
protected:
    void SetUp() override {
        Recorder::Register();
        Recorder::Reset();
        window_ = CreateWindowExW(0, u"Recorder", u"Menus", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                  CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
        Pump();
    }
    void TearDown() override {
        DestroyWindow(window_);
        Pump();
        Recorder::Reset();
    }

    static CMenuItem Item(int command, const char* key, DWORD state = CMenuItem::kNormal, bool checked = false) {
        CMenuItem item;
        item.SetCommand(command);
        EXPECT_TRUE(item.SetCaption(key));
        item.SetState(state);
        item.SetChecked(checked);
        return item;
    }
    // Hidden "Open", greyed "Exit", checked "Menu".
    static CMenuItemCollection ThreeItems() {
        CMenuItemCollection items;
        CMenuItem item = Item(101, "IDS_CAP_OPEN", CMenuItem::kHidden);
        items.Append(&item);
        item = Item(102, "IDS_CAP_EXIT", CMenuItem::kGrayed);
        items.Append(&item);
        item = Item(103, "IDS_CAP_MENU", CMenuItem::kNormal, true);
        items.Append(&item);
        return items;
    }
    static CMenuInfo DoneAndMenu() {
        CMenuInfo info;
        EXPECT_TRUE(info.SetDone(0));
        info.SetCommand(1, kMenuCommand);
        EXPECT_TRUE(info.SetCaption(1, "IDS_CAP_MENU"));
        CMenuItemCollection items = ThreeItems();
        EXPECT_TRUE(info.SetPopup(1, &items));
        return info;
    }
    static std::u16string MenuText(HMENU menu, int position) {
        WCHAR text[128] = {};
        GetMenuStringW(menu, static_cast<UINT>(position), text, 128, MF_BYPOSITION);
        return text;
    }
    std::vector<WPARAM> Commands() const {
        std::vector<WPARAM> out;
        for (const auto& r : Recorder::Of(window_, WM_COMMAND)) {
            out.push_back(LOWORD(r.wParam));
        }
        return out;
    }

    UserInterfaceDevice device_;
    HWND window_ = nullptr;
};

TEST_F(CMenuInfoTest, TheBarShowsBothKeysAndTheRightKeysPopupWithoutItsHiddenItem) {
    HWND bar = CMenuInfo::CreateMenuBar(window_, DoneAndMenu());
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(SHFindMenuBar(window_), bar);
    auto left = UserInterfaceDevice::ButtonOf(bar, 0);
    auto right = UserInterfaceDevice::ButtonOf(bar, 1);
    EXPECT_EQ(left.command, IDOK);
    EXPECT_EQ(left.caption, u"Done");
    EXPECT_EQ(right.command, kMenuCommand);
    EXPECT_EQ(right.caption, u"Menu");

    auto popup = reinterpret_cast<HMENU>(SendMessageW(bar, SHCMBM_GETSUBMENU, 0, kMenuCommand));
    ASSERT_NE(popup, nullptr);
    ASSERT_EQ(GetMenuItemCount(popup), 2);
    EXPECT_EQ(MenuText(popup, 0), u"Exit");
    EXPECT_TRUE(GetMenuState(popup, 0, MF_BYPOSITION) & MF_GRAYED);
    EXPECT_FALSE(GetMenuState(popup, 0, MF_BYPOSITION) & MF_CHECKED);
    EXPECT_EQ(MenuText(popup, 1), u"Menu");
    EXPECT_TRUE(GetMenuState(popup, 1, MF_BYPOSITION) & MF_CHECKED);

    // The right key opens the popup; Down passes the greyed entry and the choice comes as a command.
    Recorder::Handlers()[WM_INITMENUPOPUP] = [](HWND window, WPARAM, LPARAM) -> LRESULT {
        PostMessageW(window, WM_APP, 0, 0);
        return 0;
    };
    Recorder::Handlers()[WM_APP] = [](HWND, WPARAM, LPARAM) -> LRESULT {
        ce::InjectKey(VK_DOWN);
        ce::InjectKey(VK_RETURN);
        return 0;
    };
    ce::InjectKey(VK_TSOFT2);
    Pump();
    ce::InjectKey(VK_TSOFT1);
    Pump();
    EXPECT_EQ(Commands(), (std::vector<WPARAM>{103, IDOK}));
    ASSERT_EQ(Recorder::Of(window_, WM_INITMENUPOPUP).size(), 1u);
    EXPECT_EQ(LOWORD(Recorder::Of(window_, WM_INITMENUPOPUP)[0].lParam), kMenuCommand);
}

TEST_F(CMenuInfoTest, TheKeysChooseTheBarAndAMissingLeftKeyGivesNone) {
    CMenuInfo info;
    EXPECT_FALSE(info.HasKey(0));
    info.SetCommand(1, IDCANCEL);
    EXPECT_EQ(CMenuInfo::CreateMenuBar(window_, info), nullptr) << "a right key alone has no bar";
    EXPECT_EQ(SHFindMenuBar(window_), nullptr);

    info.Clear();
    HWND empty = CMenuInfo::CreateMenuBar(window_, info);
    ASSERT_NE(empty, nullptr) << "no keys: an empty bar";
    EXPECT_EQ(SendMessageW(empty, TB_BUTTONCOUNT, 0, 0), 0);
    DestroyWindow(empty);

    ASSERT_TRUE(info.SetDoneCancel(CMenuInfo::kInputPanelRaised));
    HWND two = CMenuInfo::CreateMenuBar(window_, info);
    ASSERT_NE(two, nullptr);
    EXPECT_EQ(SendMessageW(two, TB_BUTTONCOUNT, 0, 0), 2);
    EXPECT_EQ(UserInterfaceDevice::ButtonOf(two, 1).caption, u"Cancel");
    EXPECT_EQ(SendMessageW(two, SHCMBM_GETSUBMENU, 0, IDCANCEL), 0) << "no popup without one in the info";
    DestroyWindow(two);

    ASSERT_TRUE(info.SetYesNo(0));
    HWND yesNo = CMenuInfo::CreateMenuBar(window_, info);
    ASSERT_NE(yesNo, nullptr);
    EXPECT_EQ(UserInterfaceDevice::ButtonOf(yesNo, 0).command, IDYES);
    EXPECT_EQ(UserInterfaceDevice::ButtonOf(yesNo, 1).command, IDNO);
    EXPECT_EQ(UserInterfaceDevice::ButtonOf(yesNo, 1).caption, u"No");
}

TEST_F(CMenuInfoTest, ADisabledKeyIsGreyedAndSendsNoCommandUntilEnabledAgain) {
    CMenuInfo info;
    ASSERT_TRUE(info.SetDone(0));
    info.SetEnabled(0, false);
    HWND bar = CMenuInfo::CreateMenuBar(window_, info);
    ASSERT_NE(bar, nullptr);
    EXPECT_FALSE(UserInterfaceDevice::ButtonOf(bar, 0).enabled);
    POINT key = UserInterfaceDevice::SoftKeyPoint(0);
    ce::InjectTap(key.x, key.y);
    ce::InjectKey(VK_TSOFT1);
    Pump();
    EXPECT_TRUE(Commands().empty());

    info.SetEnabled(0, true);
    ASSERT_TRUE(CMenuInfo::UpdateMenuBar(bar, info));
    ce::InjectTap(key.x, key.y);
    Pump();
    EXPECT_EQ(Commands(), (std::vector<WPARAM>{IDOK}));
    EXPECT_FALSE(CMenuInfo::UpdateMenuBar(nullptr, info)) << "no bar, no update";
}

// A popup on the left key cannot be shown: the bar fails, and no half-made bar stays on the screen.
TEST_F(CMenuInfoTest, ABarThatCannotTakeItsPopupsIsDestroyed) {
    CMenuInfo info = DoneAndMenu();
    CMenuItemCollection items = ThreeItems();
    ASSERT_TRUE(info.SetPopup(0, &items));
    EXPECT_EQ(CMenuInfo::CreateMenuBar(window_, info), nullptr);
    EXPECT_EQ(SHFindMenuBar(window_), nullptr);
}

// The bar's own sub-menu is the bar's: a fill that fails must leave it in place and working.
TEST_F(CMenuInfoTest, AFailedFillKeepsTheMenuItWasGiven) {
    HWND bar = CMenuInfo::CreateMenuBar(window_, DoneAndMenu());
    ASSERT_NE(bar, nullptr);
    auto popup = reinterpret_cast<HMENU>(SendMessageW(bar, SHCMBM_GETSUBMENU, 0, kMenuCommand));
    ASSERT_NE(popup, nullptr);
    EXPECT_FALSE(CMenuInfo::FillPopupMenu(popup, nullptr));
    EXPECT_TRUE(IsMenu(popup));
    EXPECT_EQ(reinterpret_cast<HMENU>(SendMessageW(bar, SHCMBM_GETSUBMENU, 0, kMenuCommand)), popup);
    EXPECT_EQ(CMenuInfo::BuildPopupMenu(nullptr), nullptr);

    CMenuItemCollection items = ThreeItems();
    EXPECT_TRUE(CMenuInfo::FillPopupMenu(popup, &items)) << "the menu still takes entries";
    EXPECT_EQ(GetMenuItemCount(popup), 2);
}

TEST_F(CMenuInfoTest, SubItemsBecomeSubMenusAndARefillReplacesEverything) {
    CMenuItemCollection inner = ThreeItems();
    CMenuItem parent = Item(0, "IDS_CAP_OPEN");
    parent.SetSubItems(&inner);
    CMenuItem separator;
    separator.SetSeparator(true);
    CMenuItemCollection outer;
    outer.Append(&parent);
    outer.Append(&separator);
    CMenuItem last = Item(104, "IDS_CAP_BACK");
    outer.Append(&last);

    HMENU menu = CMenuInfo::BuildPopupMenu(&outer);
    ASSERT_NE(menu, nullptr);
    ASSERT_EQ(GetMenuItemCount(menu), 3);
    EXPECT_TRUE(GetMenuState(menu, 0, MF_BYPOSITION) & MF_POPUP);
    HMENU sub = GetSubMenu(menu, 0);
    ASSERT_NE(sub, nullptr);
    EXPECT_EQ(GetMenuItemCount(sub), 2);
    EXPECT_TRUE(GetMenuState(menu, 1, MF_BYPOSITION) & MF_SEPARATOR);
    EXPECT_EQ(GetMenuItemID(menu, 2), 104u);

    EXPECT_TRUE(CMenuInfo::FillPopupMenu(menu, &inner));
    EXPECT_EQ(GetMenuItemCount(menu), 2);
    EXPECT_FALSE(IsMenu(sub)) << "the replaced sub-menu went with its entry";
    DestroyMenu(menu);
}

TEST_F(CMenuInfoTest, CopiesOwnTheirPopupsAndMissingTextsFail) {
    CMenuInfo original = DoneAndMenu();
    CMenuInfo copy(original);
    CMenuItemCollection other;
    original.SetPopup(1, &other);
    ASSERT_NE(copy.GetPopup(1), nullptr);
    EXPECT_EQ(copy.GetPopup(1)->GetCount(), 3);
    EXPECT_NE(copy.GetPopup(1)->FindItem(103), nullptr);
    EXPECT_EQ(copy.GetPopup(1)->FindItem(999), nullptr);
    EXPECT_EQ(std::u16string(copy.GetCaption(1)), u"Menu");

    CMenuItem inner = Item(7, "IDS_CAP_MENU");
    CMenuItemCollection sub;
    sub.Append(&inner);
    CMenuItem item;
    item.SetSubItems(&sub);
    CMenuItem itemCopy = item;
    item.Clear();
    EXPECT_FALSE(item.HasSubItems());
    ASSERT_TRUE(itemCopy.HasSubItems());
    EXPECT_EQ(itemCopy.GetSubItems()->GetAt(0).GetCommand(), 7);

    EXPECT_FALSE(copy.SetCaption(0, "IDS_NO_SUCH_TEXT"));
    EXPECT_EQ(std::u16string(copy.GetCaption(0)), u"");
    EXPECT_FALSE(item.SetCaption("IDS_NO_SUCH_TEXT"));
    EXPECT_FALSE(original.SetCaption(2, "IDS_CAP_MENU")) << "there are two keys";
    EXPECT_FALSE(original.HasKey(5));
}

}  // namespace
