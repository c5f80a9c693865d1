// Menus: items found by command through sub-menus or by position, check and grey states, ownership of
// sub-menus, and popup menus driven by injected keys.
#include <gtest/gtest.h>

#include <string>
#include <utility>
#include <vector>

#include "TempDevice.h"
#include "UserTestSupport.h"
#include "ce/device.h"
#include "ce/user.h"

using ce::test::Pump;
using ce::test::Recorder;

namespace {

constexpr UINT kNotFound = static_cast<UINT>(-1);

class UserMenus : public ::testing::Test {
protected:
    void SetUp() override {
        Recorder::Register();
        Recorder::Reset();
        owner_ = CreateWindowExW(0, u"Recorder", u"menus", WS_VISIBLE, 0, 26, 240, 268, nullptr, nullptr, nullptr,
                                 nullptr);
        Pump();
        bar_ = CreateMenu();
        units_ = CreatePopupMenu();
        AppendMenuW(units_, MF_STRING | MF_CHECKED, 11, u"Celsius");
        AppendMenuW(units_, MF_STRING, 12, u"Fahrenheit");
        AppendMenuW(bar_, MF_STRING, 1, u"Update");
        AppendMenuW(bar_, MF_POPUP, reinterpret_cast<UINT_PTR>(units_), u"Units");
    }
    void TearDown() override {
        DestroyMenu(bar_);
        DestroyWindow(owner_);
        Pump();
        Recorder::Reset();
    }
    // Chooses from the popup with the keys given, as the user would.
    UINT Track(HMENU menu, std::initializer_list<UINT> keys, UINT flags = TPM_RETURNCMD) {
        for (UINT key : keys) {
            ce::InjectKey(key);
        }
        return static_cast<UINT>(TrackPopupMenuEx(menu, flags, 20, 60, owner_, nullptr));
    }

    ce::test::TempDevice device_;
    HWND owner_ = nullptr;
    HMENU bar_ = nullptr;
    HMENU units_ = nullptr;
};

TEST_F(UserMenus, CheckAndGreyStatesAreFoundByCommandThroughSubMenusAndReturnTheOldState) {
    EXPECT_EQ(GetMenuState(bar_, 11, MF_BYCOMMAND) & MF_CHECKED, static_cast<UINT>(MF_CHECKED));
    EXPECT_EQ(CheckMenuItem(bar_, 11, MF_BYCOMMAND | MF_UNCHECKED), static_cast<DWORD>(MF_CHECKED));
    EXPECT_EQ(CheckMenuItem(bar_, 12, MF_BYCOMMAND | MF_CHECKED), static_cast<DWORD>(MF_UNCHECKED));
    EXPECT_EQ(GetMenuState(units_, 0, MF_BYPOSITION) & MF_CHECKED, 0u);
    EXPECT_EQ(GetMenuState(units_, 1, MF_BYPOSITION) & MF_CHECKED, static_cast<UINT>(MF_CHECKED));

    EXPECT_EQ(EnableMenuItem(bar_, 1, MF_BYCOMMAND | MF_GRAYED), MF_ENABLED);
    EXPECT_EQ(GetMenuState(bar_, 1, MF_BYCOMMAND) & MF_GRAYED, static_cast<UINT>(MF_GRAYED));
    EXPECT_EQ(EnableMenuItem(bar_, 1, MF_BYCOMMAND | MF_ENABLED), MF_GRAYED);
    EXPECT_EQ(GetMenuState(bar_, 1, MF_BYCOMMAND) & (MF_GRAYED | MF_DISABLED), 0u);
    // Checking does not touch the grey state, nor greying the check.
    EnableMenuItem(bar_, 12, MF_BYCOMMAND | MF_GRAYED);
    EXPECT_EQ(GetMenuState(bar_, 12, MF_BYCOMMAND) & (MF_GRAYED | MF_CHECKED),
              static_cast<UINT>(MF_GRAYED | MF_CHECKED));

    EXPECT_EQ(GetMenuState(bar_, 99, MF_BYCOMMAND), kNotFound);
    EXPECT_EQ(GetMenuState(bar_, 2, MF_BYPOSITION), kNotFound);
    EXPECT_EQ(CheckMenuItem(bar_, 99, MF_BYCOMMAND | MF_CHECKED), static_cast<DWORD>(-1));
    WCHAR text[8];
    EXPECT_EQ(GetMenuStringW(bar_, 12, text, 8, MF_BYCOMMAND), 7);
    EXPECT_EQ(std::u16string(text), u"Fahrenh");
    EXPECT_EQ(GetMenuItemID(bar_, 1), kNotFound) << "a sub-menu has no command";
    EXPECT_EQ(GetSubMenu(bar_, 1), units_);
}

TEST_F(UserMenus, DeleteDestroysTheSubMenuRemoveKeepsItAndAMenuNeverContainsItself) {
    HMENU other = CreatePopupMenu();
    EXPECT_FALSE(AppendMenuW(other, MF_POPUP, reinterpret_cast<UINT_PTR>(other), u"Self"));
    EXPECT_FALSE(AppendMenuW(units_, MF_POPUP, reinterpret_cast<UINT_PTR>(bar_), u"Loop"));
    EXPECT_FALSE(InsertMenuW(units_, 0, MF_BYPOSITION | MF_POPUP, reinterpret_cast<UINT_PTR>(bar_), u"Loop"));
    EXPECT_EQ(GetMenuState(bar_, 99, MF_BYCOMMAND), kNotFound) << "the search through sub-menus ends";
    EXPECT_FALSE(AppendMenuW(bar_, MF_POPUP, reinterpret_cast<UINT_PTR>(HMENU(nullptr)), u"None"));
    EXPECT_TRUE(AppendMenuW(bar_, MF_POPUP, reinterpret_cast<UINT_PTR>(other), u"Other"));

    EXPECT_TRUE(RemoveMenu(bar_, 2, MF_BYPOSITION));
    EXPECT_TRUE(IsMenu(other));
    EXPECT_EQ(GetMenuItemCount(bar_), 2);
    EXPECT_TRUE(DeleteMenu(bar_, 1, MF_BYPOSITION));
    EXPECT_FALSE(IsMenu(units_));
    EXPECT_EQ(GetMenuState(bar_, 11, MF_BYCOMMAND), kNotFound);
    EXPECT_TRUE(DeleteMenu(bar_, 1, MF_BYCOMMAND));
    EXPECT_EQ(GetMenuItemCount(bar_), 0);
    EXPECT_FALSE(DeleteMenu(bar_, 1, MF_BYCOMMAND));
    EXPECT_TRUE(DestroyMenu(other));
    EXPECT_FALSE(DestroyMenu(other));
    EXPECT_EQ(GetMenuItemCount(other), -1);
}

TEST_F(UserMenus, APopupSkipsGreyedItemsAndSeparatorsAndReportsTheChoice) {
    HMENU popup = CreatePopupMenu();
    AppendMenuW(popup, MF_STRING, 21, u"First");
    AppendMenuW(popup, MF_STRING | MF_GRAYED, 22, u"Grey");
    AppendMenuW(popup, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(popup, MF_STRING, 23, u"Last");
    EXPECT_EQ(Track(popup, {VK_DOWN, VK_DOWN, VK_RETURN}), 23u);
    EXPECT_EQ(Track(popup, {VK_DOWN, VK_ESCAPE}), 0u) << "dismissed";
    EXPECT_EQ(Track(popup, {VK_UP, VK_RETURN}), 23u) << "up from nothing wraps to the last";

    // Without TPM_RETURNCMD the owner hears of the choice.
    Recorder::Log().clear();
    EXPECT_TRUE(Track(popup, {VK_DOWN, VK_RETURN}, 0));
    Pump();
    auto commands = Recorder::Of(owner_, WM_COMMAND);
    ASSERT_EQ(commands.size(), 1u);
    EXPECT_EQ(LOWORD(commands[0].wParam), 21);
    DestroyMenu(popup);
}

// With the stylus nothing is highlighted until the pen is over an item; with the keys the sub-menu opens
// on its first item, so that Enter chooses it at once.
TEST_F(UserMenus, ASubMenuOpenedByKeyHighlightsItsFirstItem) {
    HMENU popup = CreatePopupMenu();
    AppendMenuW(popup, MF_STRING, 1, u"Update");
    AppendMenuW(popup, MF_POPUP, reinterpret_cast<UINT_PTR>(units_), u"Units");
    EXPECT_EQ(Track(popup, {VK_DOWN, VK_DOWN, VK_RIGHT, VK_RETURN, VK_ESCAPE, VK_ESCAPE}), 11u);
    Pump();  // the keys left over after the choice
    EXPECT_EQ(Track(popup, {VK_DOWN, VK_DOWN, VK_RETURN, VK_DOWN, VK_RETURN}), 12u)
        << "Enter opens it as Right does";
    RemoveMenu(popup, 1, MF_BYPOSITION);
    DestroyMenu(popup);
}

// The open menu windows, seen from inside the sub-menu's loop: the owner hears of the sub-menu and,
// once its loop runs, notes every menu window and closes both menus.
struct MenuWindow {
    RECT rect;
    bool visible;
};
std::vector<MenuWindow> g_seen;

LRESULT CALLBACK MenuWatcher(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_INITMENUPOPUP && LOWORD(lParam) == 1) {
        PostMessageW(window, WM_APP, 0, 0);
    } else if (message == WM_APP) {
        for (HWND w = GetWindow(window, GW_HWNDFIRST); w != nullptr; w = GetWindow(w, GW_HWNDNEXT)) {
            WCHAR name[16] = {};
            if (GetClassNameW(w, name, 16) > 0 && std::u16string(name) == u"#menu") {
                RECT rect{};
                GetWindowRect(w, &rect);
                g_seen.push_back(MenuWindow{rect, IsWindowVisible(w) != FALSE});
            }
        }
        ce::InjectKey(VK_ESCAPE);
        ce::InjectKey(VK_ESCAPE);
    }
    return DefWindowProcW(window, message, wParam, lParam);
}

// Opens the "Units" sub-menu of a popup whose first entry has the given text, tracked at (20, y) with
// the flags, and gives the menu windows seen while it was open.
std::vector<MenuWindow> OpenSubMenu(LPCWSTR first, HMENU units, int y = 60, UINT flags = 0) {
    WNDCLASSW info{};
    info.lpfnWndProc = MenuWatcher;
    info.lpszClassName = u"MenuWatcher";
    RegisterClassW(&info);
    HWND owner = CreateWindowExW(0, u"MenuWatcher", u"", WS_VISIBLE, 0, 26, 240, 268, nullptr, nullptr, nullptr, nullptr);
    HMENU popup = CreatePopupMenu();
    AppendMenuW(popup, MF_STRING, 1, first);
    AppendMenuW(popup, MF_POPUP, reinterpret_cast<UINT_PTR>(units), u"Units");
    g_seen.clear();
    for (UINT key : {VK_DOWN, VK_DOWN, VK_RIGHT}) {
        ce::InjectKey(key);
    }
    TrackPopupMenuEx(popup, TPM_RETURNCMD | flags, 20, y, owner, nullptr);
    RemoveMenu(popup, 1, MF_BYPOSITION);
    DestroyMenu(popup);
    DestroyWindow(owner);
    UnregisterClassW(u"MenuWatcher", nullptr);
    Pump();
    return g_seen;
}

TEST_F(UserMenus, ASubMenuOpensBesideItsParentOrTakesItsPlaceWhereTheScreenIsTooNarrow) {
    std::vector<MenuWindow> seen = OpenSubMenu(u"Update", units_);
    ASSERT_EQ(seen.size(), 2u);
    const MenuWindow& sub = seen[0].rect.left > seen[1].rect.left ? seen[0] : seen[1];
    const MenuWindow& parent = &sub == &seen[0] ? seen[1] : seen[0];
    EXPECT_TRUE(parent.visible && sub.visible);
    EXPECT_GE(sub.rect.left, parent.rect.right - 4) << "beside the parent, covering no more than its edge";

    // A parent as wide as the screen leaves no room beside it: the sub-menu takes its place.
    seen = OpenSubMenu(u"Update the forecasts of every city in the list now", units_);
    ASSERT_EQ(seen.size(), 2u);
    int visible = 0;
    for (const MenuWindow& window : seen) {
        visible += window.visible ? 1 : 0;
    }
    EXPECT_EQ(visible, 1) << "the parent is hidden while its sub-menu is open";
}

// The soft keys stay in sight: a menu that opens on the bar, as the bar's own do, and its sub-menu on its
// last entry, as well as a menu asked for lower down, end above the bar.
TEST_F(UserMenus, MenusAndSubMenusEndAboveTheSoftKeyBar) {
    const LONG barTop = GetSystemMetrics(SM_CYSCREEN) - GetSystemMetrics(SM_CYMENU);
    for (const auto& [y, flags] : {std::pair<LONG, UINT>{barTop, TPM_BOTTOMALIGN}, {barTop + 10, 0u}}) {
        std::vector<MenuWindow> seen = OpenSubMenu(u"Update", units_, y, flags);
        ASSERT_EQ(seen.size(), 2u);
        for (const MenuWindow& window : seen) {
            EXPECT_LE(window.rect.bottom, barTop) << y;
        }
    }
}

}  // namespace
