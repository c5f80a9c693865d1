// Dialogs from in-memory templates: modal runs, nesting, the dialog manager's keys and message results.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "TempDevice.h"
#include "UserTestSupport.h"
#include "ce/user.h"

using ce::test::DialogBytes;
using ce::test::Pump;
using ce::test::Recorder;

namespace {

std::vector<std::string>& Events() {
    static std::vector<std::string> events;
    return events;
}

constexpr UINT kOpenInner = WM_APP + 1;
constexpr UINT kEndInner = WM_APP + 2;

DialogBytes& InnerTemplate() {
    static DialogBytes bytes(WS_POPUP | WS_CAPTION, 100, 60, u"Inner");
    return bytes;
}

INT_PTR CALLBACK InnerProc(HWND dialog, UINT message, WPARAM, LPARAM) {
    switch (message) {
    case WM_INITDIALOG:
        Events().push_back("inner init");
        PostMessageW(dialog, kEndInner, 0, 0);
        return TRUE;
    case kEndInner:
        Events().push_back(IsWindowEnabled(GetParent(dialog)) ? "outer enabled" : "outer disabled");
        EndDialog(dialog, 22);
        return TRUE;
    case WM_DESTROY:
        Events().push_back("inner destroyed");
        return TRUE;
    default:
        return FALSE;
    }
}

INT_PTR CALLBACK OuterProc(HWND dialog, UINT message, WPARAM, LPARAM parameter) {
    switch (message) {
    case WM_INITDIALOG:
        Events().push_back("outer init " + std::to_string(parameter));
        PostMessageW(dialog, kOpenInner, 0, 0);
        return TRUE;
    case kOpenInner: {
        INT_PTR inner = DialogBoxIndirectParamW(nullptr, InnerTemplate().Get(), dialog, InnerProc, 0);
        Events().push_back("inner returned " + std::to_string(inner));
        EndDialog(dialog, 11);
        return TRUE;
    }
    case WM_DESTROY:
        Events().push_back("outer destroyed");
        return TRUE;
    default:
        return FALSE;
    }
}

class UserDialogs : public ::testing::Test {
protected:
    void SetUp() override {
        Recorder::Register();
        Recorder::Reset();
        Events().clear();
        owner_ = CreateWindowExW(0, u"Recorder", u"owner", WS_VISIBLE, 0, 0, 100, 100, nullptr, nullptr, nullptr,
                                 nullptr);
        Pump();
    }
    void TearDown() override {
        DestroyWindow(owner_);
        Pump();
        Recorder::Reset();
    }
    ce::test::TempDevice device_;
    HWND owner_ = nullptr;
};

TEST_F(UserDialogs, AModalDialogInsideAModalDialogEndsInOrder) {
    DialogBytes outer(WS_POPUP | WS_CAPTION, 120, 80, u"Outer");
    INT_PTR result = DialogBoxIndirectParamW(nullptr, outer.Get(), owner_, OuterProc, 5);
    EXPECT_EQ(result, 11);
    EXPECT_EQ(Events(), (std::vector<std::string>{"outer init 5", "inner init", "outer disabled", "inner destroyed",
                                                  "inner returned 22", "outer destroyed"}));
    EXPECT_TRUE(IsWindowEnabled(owner_)) << "the owner is enabled again";
    EXPECT_EQ(GetActiveWindow(), owner_) << "and active again";
}

TEST_F(UserDialogs, ItemsOfTheTemplateAreChildrenWithTheirIdsAndTheFirstTabStopGetsTheFocus) {
    DialogBytes bytes(WS_POPUP, 120, 80);
    bytes.Item(0x82, 100, SS_LEFT, 4, 4, 60, 10, u"Label")
        .Item(0x81, 101, WS_TABSTOP | ES_AUTOHSCROLL, 4, 20, 60, 12, u"text")
        .Item(0x80, IDOK, WS_TABSTOP | BS_PUSHBUTTON, 4, 40, 40, 14, u"OK");
    static HWND focusAtStart;
    static std::u16string label;
    auto proc = [](HWND dialog, UINT message, WPARAM, LPARAM) -> INT_PTR {
        if (message == WM_INITDIALOG) {
            PostMessageW(dialog, WM_APP, 0, 0);
            return TRUE;
        }
        if (message == WM_APP) {
            focusAtStart = GetFocus();
            WCHAR buffer[32];
            GetDlgItemTextW(dialog, 100, buffer, 32);
            label = buffer;
            EndDialog(dialog, GetDlgItem(dialog, 101) == focusAtStart ? 1 : 0);
            return TRUE;
        }
        return FALSE;
    };
    EXPECT_EQ(DialogBoxIndirectParamW(nullptr, bytes.Get(), owner_, proc, 0), 1);
    EXPECT_EQ(label, u"Label");
}

TEST_F(UserDialogs, TheDialogManagerTurnsEnterAndEscapeIntoCommandsUnlessTheWindowWantsTheKeys) {
    DialogBytes bytes(WS_POPUP, 120, 80);
    static std::vector<WPARAM> commands;
    static LONG_PTR wantCode;
    commands.clear();
    wantCode = 0;
    auto proc = [](HWND dialog, UINT message, WPARAM wParam, LPARAM) -> INT_PTR {
        switch (message) {
        case WM_COMMAND:
            commands.push_back(LOWORD(wParam));
            return TRUE;
        case WM_GETDLGCODE:
            SetWindowLongW(dialog, DWL_MSGRESULT, wantCode);
            return TRUE;
        default:
            return FALSE;
        }
    };
    HWND dialog = CreateDialogIndirectParamW(nullptr, bytes.Get(), owner_, proc, 0);
    ASSERT_NE(dialog, nullptr);
    ShowWindow(dialog, SW_SHOW);
    SetFocus(dialog);
    MSG enter{dialog, WM_KEYDOWN, VK_RETURN, 1, 0, {}};
    MSG escape{dialog, WM_KEYDOWN, VK_ESCAPE, 1, 0, {}};
    EXPECT_TRUE(IsDialogMessageW(dialog, &enter));
    EXPECT_TRUE(IsDialogMessageW(dialog, &escape));
    EXPECT_EQ(commands, (std::vector<WPARAM>{IDOK, IDCANCEL}));
    wantCode = DLGC_WANTALLKEYS;
    commands.clear();
    EXPECT_TRUE(IsDialogMessageW(dialog, &enter));
    EXPECT_TRUE(commands.empty()) << "the key went to the dialog's procedure";
    MSG other{owner_, WM_KEYDOWN, VK_RETURN, 1, 0, {}};
    EXPECT_FALSE(IsDialogMessageW(dialog, &other)) << "not the dialog's message";
    DestroyWindow(dialog);
}

TEST_F(UserDialogs, AnUnreadableTemplateFailsTheRun) {
    EXPECT_EQ(DialogBoxIndirectParamW(nullptr, nullptr, owner_, nullptr, 0), -1);
    const WORD extended[] = {1, 0xFFFF, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0, 0};
    EXPECT_EQ(DialogBoxIndirectParamW(nullptr, reinterpret_cast<LPCDLGTEMPLATEW>(extended), owner_, nullptr, 0), -1);
    DialogBytes badClass(WS_POPUP, 10, 10);
    badClass.Item(0x99, 1, 0, 0, 0, 1, 1);
    EXPECT_EQ(DialogBoxIndirectParamW(nullptr, badClass.Get(), owner_, nullptr, 0), -1);
    EXPECT_TRUE(IsWindowEnabled(owner_));
}

TEST_F(UserDialogs, TabMovesTheFocusThroughEnabledVisibleStopsAndWrapsRound) {
    DialogBytes bytes(WS_POPUP, 120, 80);
    bytes.Item(0x81, 101, WS_TABSTOP | ES_AUTOHSCROLL, 4, 4, 60, 12)
        .Item(0x82, 102, SS_LEFT, 4, 18, 60, 10, u"not a stop")
        .Item(0x81, 103, WS_TABSTOP | WS_DISABLED, 4, 30, 60, 12)
        .Item(0x80, IDOK, WS_TABSTOP | BS_PUSHBUTTON, 4, 44, 40, 14, u"OK")
        .Item(0x80, IDCANCEL, WS_TABSTOP | BS_PUSHBUTTON, 50, 44, 40, 14, u"Cancel");
    auto proc = [](HWND, UINT message, WPARAM, LPARAM) -> INT_PTR { return message == WM_INITDIALOG; };
    HWND dialog = CreateDialogIndirectParamW(nullptr, bytes.Get(), owner_, proc, 0);
    ASSERT_NE(dialog, nullptr);
    ShowWindow(dialog, SW_SHOW);
    ShowWindow(GetDlgItem(dialog, IDCANCEL), SW_HIDE);
    SetFocus(GetDlgItem(dialog, 101));
    auto tab = [dialog] {
        MSG key{GetFocus(), WM_KEYDOWN, VK_TAB, 1, 0, {}};
        EXPECT_TRUE(IsDialogMessageW(dialog, &key));
        return GetDlgCtrlID(GetFocus());
    };
    EXPECT_EQ(tab(), IDOK) << "the disabled edit and the static are passed over";
    EXPECT_EQ(tab(), 101) << "the hidden Cancel too, and the end wraps to the start";
    ShowWindow(GetDlgItem(dialog, IDCANCEL), SW_SHOW);
    EnableWindow(GetDlgItem(dialog, 103), TRUE);
    EXPECT_EQ(tab(), 103);
    EXPECT_EQ(tab(), IDOK);
    EXPECT_EQ(tab(), IDCANCEL);
    DestroyWindow(dialog);
}

TEST_F(UserDialogs, ADialogThatDestroysItselfEndsItsRunAndLeavesADisabledOwnerDisabled) {
    DialogBytes bytes(WS_POPUP, 60, 40);
    auto proc = [](HWND dialog, UINT message, WPARAM, LPARAM) -> INT_PTR {
        if (message == WM_INITDIALOG) {
            PostMessageW(dialog, WM_APP, 0, 0);
            return TRUE;
        }
        if (message == WM_APP) {
            DestroyWindow(dialog);
            return TRUE;
        }
        return FALSE;
    };
    EXPECT_EQ(DialogBoxIndirectParamW(nullptr, bytes.Get(), owner_, proc, 0), -1);
    EXPECT_TRUE(IsWindowEnabled(owner_)) << "an owner the run disabled is enabled again";

    EnableWindow(owner_, FALSE);  // disabled by someone else: not the run's to enable
    EXPECT_EQ(DialogBoxIndirectParamW(nullptr, bytes.Get(), owner_, proc, 0), -1);
    EXPECT_FALSE(IsWindowEnabled(owner_));
    auto ends = [](HWND dialog, UINT message, WPARAM, LPARAM) -> INT_PTR {
        if (message == WM_INITDIALOG) {
            EndDialog(dialog, 7);  // before it was ever shown
        }
        return message == WM_INITDIALOG;
    };
    EXPECT_EQ(DialogBoxIndirectParamW(nullptr, bytes.Get(), owner_, ends, 0), 7);
    EXPECT_FALSE(IsWindowEnabled(owner_));
    EnableWindow(owner_, TRUE);
}

TEST_F(UserDialogs, AQuitInsideNestedDialogsEndsEveryRunAndReachesTheOuterLoop) {
    static int innerRuns;
    innerRuns = 0;
    auto inner = [](HWND, UINT message, WPARAM, LPARAM) -> INT_PTR {
        if (message == WM_INITDIALOG) {
            ++innerRuns;
            PostQuitMessage(9);
        }
        return message == WM_INITDIALOG;
    };
    static DLGPROC innerProc;
    innerProc = inner;
    auto outer = [](HWND dialog, UINT message, WPARAM, LPARAM) -> INT_PTR {
        if (message == WM_INITDIALOG) {
            PostMessageW(dialog, WM_APP, 0, 0);
            return TRUE;
        }
        if (message == WM_APP) {
            DialogBoxIndirectParamW(nullptr, InnerTemplate().Get(), dialog, innerProc, 0);
            return TRUE;
        }
        return FALSE;
    };
    DialogBytes bytes(WS_POPUP, 60, 40);
    EXPECT_EQ(DialogBoxIndirectParamW(nullptr, bytes.Get(), owner_, outer, 0), IDCANCEL);
    EXPECT_EQ(innerRuns, 1);
    MSG message;
    ASSERT_FALSE(GetMessageW(&message, nullptr, 0, 0)) << "the quit is still there for the program's loop";
    EXPECT_EQ(message.wParam, 9u);
    EXPECT_TRUE(IsWindowEnabled(owner_));
}

}  // namespace
