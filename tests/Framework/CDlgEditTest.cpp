// The edit control in a real dialog: settings made before its window exists, typed text and the
// notifications, the window shown only while focused, Up and Down leaving the field, and the likeness
// that the control paints while the window is hidden.
#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <vector>

#include "CBitmapDC.h"
#include "ControlHostWindow.h"
#include "DialogScript.h"
#include "RecordingControl.h"
#include "RecordingSkin.h"
#include "UserInterface/CDlgEdit.h"
#include "UserInterface/CDlgLayout.h"

namespace {

using framework::test::ControlHostWindow;
using framework::test::RecordingControl;
using framework::test::ScriptedDialog;
using framework::test::UserInterfaceDevice;
using UserInterface::CDlgControl;
using UserInterface::CDlgEdit;
using UserInterface::CDlgLayout;
using UserInterface::CMenuInfo;

std::u16string WindowText(HWND window) {
    WCHAR buffer[128] = {};
    GetWindowTextW(window, buffer, 128);
    return buffer;
}

class EditTest : public framework::test::ScriptedDialogTest {
protected:
    CDlgEdit* AddEdit(DWORD style, int height = 30) {
        auto* edit = new CDlgEdit();
        EXPECT_TRUE(edit->Create(10 + layout_.GetControlCount(), style | CDlgControl::kVisible | CDlgControl::kBorder,
                                 200, height));
        layout_.AddControl(edit);
        return edit;
    }
};

TEST_F(EditTest, SettingsMadeBeforeTheWindowReachItAndTypedTextIsReported) {
    CDlgEdit* edit = AddEdit(CDlgEdit::kAutoHScroll);
    layout_.AddControl(new RecordingControl(50, 200, 30));
    ASSERT_TRUE(edit->SetText(u"Oslo", FALSE));
    EXPECT_TRUE(edit->SetLimitText(10));
    EXPECT_TRUE(edit->SetSel(1, 3));
    EXPECT_TRUE(edit->SetInputMode(EIM_NUMBERS));
    EXPECT_EQ(edit->GetTextLength(), 4);
    EXPECT_EQ(edit->GetLimitText(), 10);
    DWORD start = 0;
    DWORD end = 0;
    EXPECT_TRUE(edit->GetSel(&start, &end));
    EXPECT_EQ(end, 3u);
    EXPECT_EQ(edit->GetEditWindow(), nullptr);

    dialog_.Then([&](ScriptedDialog&) {
        HWND window = edit->GetEditWindow();
        ASSERT_NE(window, nullptr);
        EXPECT_EQ(WindowText(window), u"Oslo");
        EXPECT_EQ(SendMessageW(window, EM_GETLIMITTEXT, 0, 0), 10);
        DWORD s = 0;
        DWORD e = 0;
        SendMessageW(window, EM_GETSEL, reinterpret_cast<WPARAM>(&s), reinterpret_cast<LPARAM>(&e));
        EXPECT_EQ(s, 1u);
        EXPECT_EQ(e, 3u);
        EXPECT_EQ(edit->GetInputMode(), EIM_NUMBERS);
        EXPECT_TRUE(IsWindowVisible(window)) << "the focused field shows its window";
        EXPECT_EQ(GetFocus(), window);
        dialog_.codes.clear();
        ce::InjectText(u"x");
    });
    dialog_.Then([&](ScriptedDialog&) {
        WCHAR text[16];
        ASSERT_TRUE(edit->GetText(text, 16));
        EXPECT_EQ(std::u16string(text), u"Oxo") << "the typed text replaced the selection";
        EXPECT_EQ(dialog_.codes, (std::vector<int>{CDlgEdit::kNotifyUpdate, CDlgEdit::kNotifyChange}));
        dialog_.codes.clear();
        ce::InjectKey(VK_RETURN);
    });
    dialog_.Then([&](ScriptedDialog&) {
        EXPECT_EQ(dialog_.codes, (std::vector<int>{CDlgEdit::kNotifyEnter}));
        ce::InjectKey(VK_DOWN);
    });
    dialog_.Then([&](ScriptedDialog& d) {
        EXPECT_EQ(d.GetFocusIndex(), 1) << "Down left the field";
        EXPECT_FALSE(IsWindowVisible(edit->GetEditWindow())) << "and its window is hidden again";
        EXPECT_NE(GetFocus(), edit->GetEditWindow());
        d.EndDialog(IDOK);
    });
    EXPECT_EQ(Run(), IDOK);
}

TEST_F(EditTest, AMultiLineFieldKeepsEnterButGivesUpAndDownToTheDialog) {
    CDlgEdit* edit = AddEdit(CDlgEdit::kMultiLine | CDlgEdit::kWantReturn | CDlgEdit::kAutoVScroll, 60);
    layout_.AddControl(new RecordingControl(50, 200, 30));
    ASSERT_TRUE(edit->SetText(u"one", FALSE));
    dialog_.Then([&](ScriptedDialog&) {
        SendMessageW(edit->GetEditWindow(), EM_SETSEL, 3, 3);
        dialog_.codes.clear();
        ce::InjectKey(VK_RETURN);
        ce::InjectText(u"two");
    });
    dialog_.Then([&](ScriptedDialog& d) {
        EXPECT_EQ(SendMessageW(edit->GetEditWindow(), EM_GETLINECOUNT, 0, 0), 2);
        for (int code : dialog_.codes) {
            EXPECT_NE(code, CDlgEdit::kNotifyEnter) << "a field that wants Enter does not report it";
        }
        EXPECT_EQ(d.GetFocusIndex(), 0);
        ce::InjectKey(VK_UP);
        ce::InjectKey(VK_DOWN);
    });
    dialog_.Then([&](ScriptedDialog& d) {
        EXPECT_EQ(d.GetFocusIndex(), 1) << "Down moved the focus instead of the caret";
        EXPECT_EQ(SendMessageW(edit->GetEditWindow(), EM_GETLINECOUNT, 0, 0), 2);
        d.EndDialog(IDOK);
    });
    EXPECT_EQ(Run(), IDOK);
}

// The control's own painting, into a bitmap of its size.
std::vector<COLORREF> Likeness(CDlgEdit* edit) {
    CBitmapDC bitmap;
    EXPECT_TRUE(bitmap.Create(edit->GetWidth(), edit->GetHeight(), 16));
    edit->Draw(bitmap.DC(), 0, 0, nullptr, FALSE);
    std::vector<COLORREF> pixels;
    for (int y = 0; y < edit->GetHeight(); ++y) {
        for (int x = 0; x < edit->GetWidth(); ++x) {
            pixels.push_back(GetPixel(bitmap.DC(), x, y));
        }
    }
    return pixels;
}

TEST_F(EditTest, AHiddenFieldPaintsItsTextAsTheWindowWouldShowIt) {
    layout_.AddControl(new RecordingControl(50, 200, 30));
    CDlgEdit* password = AddEdit(CDlgEdit::kPassword);
    CDlgEdit* stars = AddEdit(0);
    CDlgEdit* upper = AddEdit(CDlgEdit::kUpperCase);
    CDlgEdit* capitals = AddEdit(0);
    password->SetText(u"abc", FALSE);
    stars->SetText(u"***", FALSE);
    upper->SetText(u"Oslo", FALSE);
    capitals->SetText(u"OSLO", FALSE);
    dialog_.Then([&](ScriptedDialog& d) {
        EXPECT_EQ(d.GetFocusIndex(), 0);
        EXPECT_FALSE(IsWindowVisible(password->GetEditWindow()));
        const std::vector<COLORREF> shown = Likeness(password);
        EXPECT_EQ(shown, Likeness(stars)) << "one star a character";
        EXPECT_NE(std::count(shown.begin(), shown.end(), RGB(255, 255, 255)), static_cast<long>(shown.size()));
        EXPECT_EQ(Likeness(upper), Likeness(capitals));

        const COLORREF highlight = GetSysColor(COLOR_HIGHLIGHT);
        auto marked = [&](CDlgEdit* edit) {
            const std::vector<COLORREF> pixels = Likeness(edit);
            return std::count_if(pixels.begin(), pixels.end(),
                                 [&](COLORREF c) { return framework::test::NearColor(c, highlight); });
        };
        EXPECT_EQ(marked(capitals), 0);
        capitals->SetSel(1, 3);
        EXPECT_GT(marked(capitals), 10) << "the selection shows on the highlight colour";
        d.EndDialog(IDOK);
    });
    EXPECT_EQ(Run(), IDOK);
}

TEST_F(EditTest, TextWithoutAWindowIsKeptAndHandedOutBoundedAndTerminated) {
    CDlgEdit edit;
    ASSERT_TRUE(edit.Create(1, CDlgControl::kVisible, 100, 30));
    WCHAR buffer[8] = {u'?', u'?', u'?', u'?', u'?', u'?', u'?', u'?'};
    EXPECT_TRUE(edit.GetText(buffer, 8));
    EXPECT_EQ(std::u16string(buffer), u"");
    EXPECT_FALSE(edit.GetText(nullptr, 8));
    EXPECT_FALSE(edit.GetText(buffer, 0));
    EXPECT_FALSE(edit.SetText(nullptr, FALSE));
    ASSERT_TRUE(edit.SetText(u"Stockholm", FALSE));
    EXPECT_TRUE(edit.GetText(buffer, 4));
    EXPECT_EQ(std::u16string(buffer), u"Sto") << "cut to the buffer and terminated";
    EXPECT_EQ(edit.GetLimitText(), 0) << "no limit set";
    EXPECT_EQ(edit.SendMessage(2058, 0, 0), 0);
}

TEST_F(EditTest, AFieldThatGoesBeforeItsWindowTakesTheWindowWithIt) {
    ControlHostWindow host;
    ASSERT_TRUE(host.Open());
    auto edit = std::make_unique<CDlgEdit>();
    ASSERT_TRUE(edit->Create(1, CDlgControl::kVisible, 100, 30));
    host.Add(edit.get());
    HWND window = edit->GetEditWindow();
    ASSERT_NE(window, nullptr) << "made when the created field got its host";
    EXPECT_EQ(GetParent(window), host.GetHandle());
    host.controls.clear();
    edit.reset();
    EXPECT_FALSE(IsWindow(window));
    framework::test::WindowDevice::Pump();
}

}  // namespace
