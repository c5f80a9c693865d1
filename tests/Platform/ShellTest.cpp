// The shell: the soft-key bar and its keys, the Back-key override, tap-and-hold, ShellExecuteEx,
// special folders and full-screen dialogs.
#include <gtest/gtest.h>

#include <filesystem>
#include <thread>

#include "GdiTestSupport.h"
#include "TempDevice.h"
#include "UserTestSupport.h"
#include "ce/device.h"
#include "ce/shell.h"
#include "user/ScreenComposer.h"

using ce::test::Pump;
using ce::test::Recorder;

namespace {

class Shell : public ::testing::Test {
protected:
    void SetUp() override {
        Recorder::Register();
        Recorder::Reset();
        std::filesystem::create_directories(device_.Fs("Windows"));
        std::filesystem::create_symlink(CE_USER_RESOURCES, device_.Fs("Windows/UserResources.dll"));
        module_ = LoadLibraryW(u"\\Windows\\UserResources.dll");
        ASSERT_NE(module_, nullptr);
        window_ = CreateWindowExW(0, u"Recorder", u"Shell", WS_VISIBLE, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                  CW_USEDEFAULT, nullptr, nullptr, nullptr, nullptr);
        Pump();
    }
    void TearDown() override {
        DestroyWindow(window_);
        Pump();
        FreeLibrary(module_);
        Recorder::Reset();
    }
    HWND MakeBar(UINT id = 100, DWORD flags = 0) {
        SHMENUBARINFO info{sizeof(SHMENUBARINFO), window_, flags, id, module_, 0, 0, nullptr, 0};
        return SHCreateMenuBar(&info) ? info.hwndMB : nullptr;
    }
    std::vector<WPARAM> Commands() {
        std::vector<WPARAM> out;
        for (const auto& r : Recorder::Of(window_, WM_COMMAND)) {
            out.push_back(LOWORD(r.wParam));
        }
        return out;
    }
    static POINT KeyPoint(int index) {
        int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
        return POINT{index == 0 ? 20 : width - 20, height - GetSystemMetrics(SM_CYMENU) / 2};
    }

    ce::test::TempDevice device_;
    HMODULE module_ = nullptr;
    HWND window_ = nullptr;
};

TEST_F(Shell, ASoftKeySendsItsCommandAndAGreyedOneDoesNot) {
    HWND bar = MakeBar();
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(SHFindMenuBar(window_), bar);
    TBBUTTON button{};
    ASSERT_TRUE(SendMessageW(bar, TB_GETBUTTON, 0, reinterpret_cast<LPARAM>(&button)));
    EXPECT_EQ(button.idCommand, 201);
    WCHAR caption[16];
    TBBUTTONINFOW info{sizeof info, TBIF_TEXT | TBIF_BYINDEX, 0, 0, 0, 0, 0, 0, caption, 16};
    ASSERT_GE(SendMessageW(bar, TB_GETBUTTONINFO, 0, reinterpret_cast<LPARAM>(&info)), 0);
    EXPECT_EQ(std::u16string(caption), u"Left");

    POINT left = KeyPoint(0);
    ce::InjectTap(left.x, left.y);
    ce::InjectKey(VK_TSOFT1);
    Pump();
    EXPECT_EQ(Commands(), (std::vector<WPARAM>{201, 201}));

    Recorder::Log().clear();
    TBBUTTONINFOW grey{sizeof grey, TBIF_STATE | TBIF_BYINDEX, 0, 0, TBSTATE_INDETERMINATE, 0, 0, 0, nullptr, 0};
    EXPECT_TRUE(SendMessageW(bar, TB_SETBUTTONINFO, 0, reinterpret_cast<LPARAM>(&grey)));
    ce::InjectTap(left.x, left.y);
    ce::InjectKey(VK_TSOFT1);
    Pump();
    EXPECT_TRUE(Commands().empty());

    // A new command id through TB_SETBUTTONINFO is what the key sends from then on.
    TBBUTTONINFOW renamed{sizeof renamed, TBIF_STATE | TBIF_COMMAND | TBIF_BYINDEX, 250, 0, TBSTATE_ENABLED, 0, 0, 0,
                          nullptr, 0};
    SendMessageW(bar, TB_SETBUTTONINFO, 0, reinterpret_cast<LPARAM>(&renamed));
    ce::InjectKey(VK_TSOFT1);
    Pump();
    EXPECT_EQ(Commands(), (std::vector<WPARAM>{250}));
}

// The runs of light pixels along a row of the composed screen between two columns: the white strokes
// of captions and glyphs on the bar's colour.
int LightRuns(const ce::test::DibDC& screen, int left, int right, int y) {
    int runs = 0;
    bool inRun = false;
    for (int x = left; x < right; ++x) {
        const COLORREF c = GetPixel(screen.dc, x, y);
        const bool light = std::min({GetRValue(c), GetGValue(c), GetBValue(c)}) > 200;
        runs += light && !inRun ? 1 : 0;
        inRun = light;
    }
    return runs;
}

// The bar is the platform's to draw: its captions and the input-panel key's glyph are on the screen as
// soon as the bar is made or changed, while its owner is still busy and has painted nothing (a screen
// that slides in keeps its thread until the slide is over).
TEST_F(Shell, TheBarShowsItsCaptionsAndTheInputPanelGlyphBeforeItsOwnerPaints) {
    ASSERT_NE(MakeBar(), nullptr);
    const int width = GetSystemMetrics(SM_CXSCREEN), height = GetSystemMetrics(SM_CYSCREEN);
    const int middle = height - GetSystemMetrics(SM_CYMENU) / 2;
    const int key = GetSystemMetrics(SM_CYMENU) * 3 / 4;  // the input-panel key's half width, and some
    ce::test::DibDC screen(width, -height);
    ce::detail::ScreenComposer::Compose(screen.dc);
    EXPECT_GE(LightRuns(screen, 0, width / 2 - key, middle), 3) << "the letters of \"Left\"";
    EXPECT_GE(LightRuns(screen, width / 2 + key, width, middle), 3) << "the letters of \"Menu\"";
    EXPECT_GE(LightRuns(screen, width / 2 - key, width / 2 + key, middle), 4)
        << "the keyboard's outline and keys, not a filled box";

    auto leftKey = [&] {
        std::vector<COLORREF> row;
        for (int x = 0; x < width / 2 - key; ++x) {
            row.push_back(GetPixel(screen.dc, x, middle));
        }
        return row;
    };
    const std::vector<COLORREF> before = leftKey();
    WCHAR caption[] = u"Other";
    TBBUTTONINFOW info{sizeof info, TBIF_TEXT | TBIF_BYINDEX, 0, 0, 0, 0, 0, 0, caption, 0};
    ASSERT_TRUE(SendMessageW(SHFindMenuBar(window_), TB_SETBUTTONINFO, 0, reinterpret_cast<LPARAM>(&info)));
    ce::detail::ScreenComposer::Compose(screen.dc);
    EXPECT_NE(leftKey(), before) << "the new caption shows at once";
    Pump();
}

TEST_F(Shell, TheRightKeyOpensItsSubMenuAndTheChosenItemArrivesAsACommand) {
    HWND bar = MakeBar();
    ASSERT_NE(bar, nullptr);
    HMENU popup = reinterpret_cast<HMENU>(SendMessageW(bar, SHCMBM_GETSUBMENU, 0, 3000));
    ASSERT_NE(popup, nullptr);
    EXPECT_EQ(GetMenuItemCount(popup), 2);
    // When the menu is about to open, the owner asks for the second item by keys.
    Recorder::Handlers()[WM_INITMENUPOPUP] = [](HWND window, WPARAM, LPARAM) -> LRESULT {
        PostMessageW(window, WM_APP, 0, 0);
        return 0;
    };
    Recorder::Handlers()[WM_APP] = [](HWND, WPARAM, LPARAM) -> LRESULT {
        ce::InjectKey(VK_DOWN);
        ce::InjectKey(VK_DOWN);
        ce::InjectKey(VK_RETURN);
        return 0;
    };
    ce::InjectKey(VK_TSOFT2);
    Pump();
    auto init = Recorder::Of(window_, WM_INITMENUPOPUP);
    ASSERT_EQ(init.size(), 1u);
    EXPECT_EQ(reinterpret_cast<HMENU>(init[0].wParam), popup);
    EXPECT_EQ(LOWORD(init[0].lParam), 3000) << "the index is the key's command";
    EXPECT_EQ(Commands(), (std::vector<WPARAM>{302}));

    // A greyed item cannot be chosen: the menu is dismissed instead.
    Recorder::Log().clear();
    EnableMenuItem(popup, 302, MF_GRAYED);
    Recorder::Handlers()[WM_APP] = [](HWND, WPARAM, LPARAM) -> LRESULT {
        ce::InjectKey(VK_DOWN);
        ce::InjectKey(VK_DOWN);
        ce::InjectKey(VK_RETURN);
        ce::InjectKey(VK_ESCAPE);
        return 0;
    };
    ce::InjectKey(VK_TSOFT2);
    Pump();
    EXPECT_EQ(Commands(), (std::vector<WPARAM>{301})) << "Down skips the greyed item and wraps to the first";
}

TEST_F(Shell, TheBackKeyArrivesAsWmHotkeyWhenOverridden) {
    HWND bar = MakeBar();
    ASSERT_NE(bar, nullptr);
    ce::InjectKey(VK_ESCAPE);
    Pump();
    EXPECT_EQ(Recorder::Of(window_, WM_KEYDOWN).size(), 1u) << "without the override Back is a key";
    EXPECT_TRUE(Recorder::Of(window_, WM_HOTKEY).empty());

    Recorder::Log().clear();
    SendMessageW(bar, SHCMBM_OVERRIDEKEY, VK_TBACK,
                 MAKELPARAM(SHMBOF_NODEFAULT | SHMBOF_NOTIFY, SHMBOF_NODEFAULT | SHMBOF_NOTIFY));
    ce::InjectKey(VK_ESCAPE);
    Pump();
    auto hotkeys = Recorder::Of(window_, WM_HOTKEY);
    ASSERT_EQ(hotkeys.size(), 2u);
    EXPECT_EQ(HIWORD(hotkeys[0].lParam), VK_ESCAPE);
    EXPECT_EQ(LOWORD(hotkeys[0].lParam) & MOD_KEYUP, 0);
    EXPECT_EQ(LOWORD(hotkeys[1].lParam) & MOD_KEYUP, MOD_KEYUP);
    EXPECT_TRUE(Recorder::Of(window_, WM_KEYDOWN).empty()) << "no default handling";
}

TEST_F(Shell, ABarResourceThatNamesAMissingSubMenuIsRefused) {
    EXPECT_EQ(MakeBar(101), nullptr);
    EXPECT_EQ(MakeBar(999), nullptr);
    HWND empty = MakeBar(0, SHCMBF_EMPTYBAR | SHCMBF_HIDESIPBUTTON);
    ASSERT_NE(empty, nullptr);
    EXPECT_EQ(SendMessageW(empty, TB_BUTTONCOUNT, 0, 0), 0);
}

TEST_F(Shell, TapAndHoldIsRecognisedOnTheVirtualClockAndAnEarlyLiftIsNot) {
    ce::EnableVirtualClock(1'700'000'000'000ull);
    RECT rect;
    GetWindowRect(window_, &rect);
    ce::InjectStylusDown(rect.left + 20, rect.top + 20);
    Pump();
    SHRGINFO gesture{sizeof gesture, window_, POINT{20, 20}, 0};
    static UINT notified;
    notified = 0;
    Recorder::Handlers()[WM_NOTIFY] = [](HWND, WPARAM, LPARAM lParam) -> LRESULT {
        notified = reinterpret_cast<NMHDR*>(lParam)->code;
        return 0;
    };
    // The hold counts from the gesture's start, so the clock moves only once the gesture waits.
    std::thread clock([] {
        while (ce::TimedWaitsInProgress() == 0) {
            std::this_thread::yield();
        }
        ce::AdvanceVirtualClock(600);
    });
    EXPECT_EQ(SHRecognizeGesture(&gesture), static_cast<DWORD>(GN_CONTEXTMENU));
    clock.join();
    EXPECT_EQ(notified, static_cast<UINT>(GN_CONTEXTMENU));
    ce::InjectStylusUp(rect.left + 20, rect.top + 20);
    Pump();

    ce::InjectStylusDown(rect.left + 20, rect.top + 20);
    Pump();
    ce::InjectStylusUp(rect.left + 20, rect.top + 20);
    EXPECT_EQ(SHRecognizeGesture(&gesture), 0u);
    MSG message;
    EXPECT_TRUE(PeekMessageW(&message, window_, WM_LBUTTONUP, WM_LBUTTONUP, PM_NOREMOVE)) << "the lift stays queued";
    Pump();
    ce::DisableVirtualClock();
}

TEST_F(Shell, AWebAddressGoesToTheBrowserLogAndSpecialFoldersAreDevicePaths) {
    SHELLEXECUTEINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS;
    info.lpFile = u"iexplore.exe";
    info.lpParameters = u"http://weather.example/city?id=1";
    info.lpDirectory = u"\\Windows";
    info.nShow = SW_SHOW;
    ASSERT_TRUE(ShellExecuteEx(&info));
    info.lpFile = u"https://example.org/";
    info.lpParameters = nullptr;
    ASSERT_TRUE(ShellExecuteEx(&info));
    auto urls = ce::ReadDeviceLog("urls");
    ASSERT_EQ(urls.size(), 2u);
    EXPECT_NE(urls[0].find("http://weather.example/city?id=1"), std::string::npos);
    EXPECT_NE(urls[1].find("https://example.org/"), std::string::npos);

    WCHAR path[MAX_PATH];
    ASSERT_TRUE(SHGetSpecialFolderPath(nullptr, path, CSIDL_PERSONAL, TRUE));
    EXPECT_EQ(std::u16string(path), u"\\My Documents");
    EXPECT_TRUE(std::filesystem::is_directory(device_.Fs("My Documents")));
    EXPECT_FALSE(SHGetSpecialFolderPath(nullptr, path, 0x77, FALSE));
}

TEST_F(Shell, AFullScreenDialogFillsTheWorkAreaAndTheTaskBarOkSendsIdok) {
    SHINITDLGINFO init{SHIDIM_FLAGS, window_, SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN};
    ASSERT_TRUE(SHInitDialog(&init));
    RECT rect, work;
    GetWindowRect(window_, &rect);
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    EXPECT_EQ(rect.top, work.top);
    EXPECT_EQ(rect.bottom, work.bottom);
    EXPECT_EQ(work.top, GetSystemMetrics(SM_CYMENU)) << "under the task bar";
    Recorder::Log().clear();
    ce::InjectTap(GetSystemMetrics(SM_CXSCREEN) - 5, 5);
    Pump();
    EXPECT_EQ(Commands(), (std::vector<WPARAM>{IDOK}));
}

// The active window that reaches the work area's bottom ends above the input panel while it is up; a
// window placed elsewhere, and one that is not active, keep their place.
TEST_F(Shell, TheActiveWindowFollowsTheInputPanelAndOthersKeepTheirPlace) {
    SHINITDLGINFO init{SHIDIM_FLAGS, window_, SHIDIF_SIZEDLGFULLSCREEN};
    ASSERT_TRUE(SHInitDialog(&init));
    SHACTIVATEINFO active{};
    active.cbSize = sizeof active;
    active.fActive = 1;
    RECT work, place;
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &work, 0);
    auto bottom = [&] {
        GetWindowRect(window_, &place);
        return place.bottom;
    };
    ASSERT_TRUE(SipShowIM(SIPF_ON));
    SIPINFO sip{};
    sip.cbSize = sizeof sip;
    ASSERT_TRUE(SipGetInfo(&sip));
    ASSERT_LT(sip.rcSipRect.top, work.bottom);
    SHACTIVATEINFO inactive{};
    inactive.cbSize = sizeof inactive;
    EXPECT_TRUE(SHHandleWMSettingChange(window_, SPI_SETSIPINFO, 0, &inactive));
    EXPECT_EQ(bottom(), work.bottom) << "not active";
    EXPECT_TRUE(SHHandleWMSettingChange(window_, SPI_SETSIPINFO, 0, &active));
    EXPECT_EQ(bottom(), sip.rcSipRect.top);
    EXPECT_EQ(place.top, work.top);
    EXPECT_EQ(active.fSipUp, 1);
    ASSERT_TRUE(SipShowIM(SIPF_OFF));
    EXPECT_TRUE(SHHandleWMSettingChange(window_, SPI_SETSIPINFO, 0, &active));
    EXPECT_EQ(bottom(), work.bottom) << "back down to the work area's bottom";

    MoveWindow(window_, 10, work.top + 20, 100, 50, FALSE);
    ASSERT_TRUE(SipShowIM(SIPF_ON));
    EXPECT_TRUE(SHHandleWMSettingChange(window_, SPI_SETSIPINFO, 0, &active));
    EXPECT_EQ(bottom(), work.top + 70) << "a window placed elsewhere";
    SipShowIM(SIPF_OFF);
    Pump();
}

TEST_F(Shell, ASmartphoneHasNoInputPanelToRaise) {
    ASSERT_TRUE(ce::SetProfileString("device", "kind", "smartphone"));
    EXPECT_TRUE(SipShowIM(SIPF_ON));
    SIPINFO sip{};
    sip.cbSize = sizeof sip;
    ASSERT_TRUE(SipGetInfo(&sip));
    EXPECT_EQ(sip.fdwFlags & SIPF_ON, 0u) << "the screen stays as it is";
    ASSERT_TRUE(ce::SetProfileString("device", "kind", "pocketpc"));
    EXPECT_TRUE(SipShowIM(SIPF_ON));
    ASSERT_TRUE(SipGetInfo(&sip));
    EXPECT_EQ(sip.fdwFlags & SIPF_ON, static_cast<DWORD>(SIPF_ON));
    SipShowIM(SIPF_OFF);
}

}  // namespace
