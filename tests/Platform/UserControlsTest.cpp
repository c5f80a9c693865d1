// The standard controls: edit, button, static and combo box.
#include <gtest/gtest.h>

#include "GdiTestSupport.h"
#include "TempDevice.h"
#include "UserTestSupport.h"
#include "ce/device.h"
#include "ce/user.h"
#include "ce/shell.h"
#include "user/ScreenComposer.h"

using ce::test::Pump;
using ce::test::Recorder;

namespace {

class UserControls : public ::testing::Test {
protected:
    void SetUp() override {
        Recorder::Register();
        Recorder::Reset();
        parent_ = CreateWindowExW(0, u"Recorder", u"controls", WS_VISIBLE, 0, 26, 240, 268, nullptr, nullptr, nullptr,
                                  nullptr);
        Pump();
    }
    void TearDown() override {
        DestroyWindow(parent_);
        Pump();
        Recorder::Reset();
    }
    HWND Make(LPCWSTR className, DWORD style, int id, LPCWSTR text = u"") {
        return CreateWindowExW(0, className, text, WS_CHILD | WS_VISIBLE | style, 10, 10 + 30 * id, 200, 24, parent_,
                               reinterpret_cast<HMENU>(static_cast<INT_PTR>(id)), nullptr, nullptr);
    }
    std::vector<WORD> Notifications(int id) {
        std::vector<WORD> out;
        for (const auto& r : Recorder::Of(parent_, WM_COMMAND)) {
            if (LOWORD(r.wParam) == id) {
                out.push_back(HIWORD(r.wParam));
            }
        }
        return out;
    }
    static std::u16string Text(HWND window) {
        WCHAR buffer[256];
        GetWindowTextW(window, buffer, 256);
        return buffer;
    }

    ce::test::TempDevice device_;
    HWND parent_ = nullptr;
};

// The middle of a key of the input panel (4 rows of 10 keys).
RECT PanelRect() {
    SIPINFO sip{};
    sip.cbSize = sizeof sip;
    SipGetInfo(&sip);
    return sip.rcSipRect;
}

POINT PanelKey(int row, int column) {
    RECT panel = PanelRect();
    LONG width = (panel.right - panel.left) / 10, height = (panel.bottom - panel.top) / 4;
    return POINT{panel.left + column * width + width / 2, panel.top + row * height + height / 2};
}

TEST_F(UserControls, TheInputPanelTypesItsKeysIntoTheFocusedFieldAndNothingElse) {
    HWND edit = Make(u"Edit", WS_BORDER | ES_AUTOHSCROLL, 1);
    SetFocus(edit);
    SipShowIM(SIPF_ON);
    Pump();
    Recorder::Log().clear();
    for (POINT key : {PanelKey(1, 0), PanelKey(0, 4), PanelKey(3, 9), PanelKey(2, 1), PanelKey(2, 9)}) {
        ce::InjectTap(key.x, key.y);  // q 5 space s backspace
    }
    POINT start = PanelKey(1, 1);
    ce::InjectDrag(start.x, start.y, start.x, 40, 4);  // w; the press stays the panel's above it
    RECT panel = PanelRect();
    ce::InjectTap((panel.right - panel.left) / 10, PanelKey(1, 0).y);  // between two keys
    Pump();
    EXPECT_EQ(Text(edit), u"q5 w");
    EXPECT_TRUE(Recorder::Of(parent_, WM_LBUTTONDOWN).empty()) << "a tap on the panel fell through";
    EXPECT_TRUE(Recorder::Of(parent_, WM_LBUTTONUP).empty());
    EXPECT_TRUE(Recorder::Of(parent_, WM_MOUSEMOVE).empty());

    SipShowIM(SIPF_OFF);
    Pump();
    ce::InjectTap(PanelKey(1, 0).x, PanelKey(1, 0).y);
    Pump();
    EXPECT_EQ(Text(edit), u"q5 w") << "no panel, no typing";
    EXPECT_FALSE(Recorder::Of(parent_, WM_LBUTTONDOWN).empty()) << "the window below takes the tap again";
}

TEST_F(UserControls, TheEditControlTakesTypedTextAndReportsEnChange) {
    HWND edit = Make(u"Edit", WS_BORDER | ES_AUTOHSCROLL, 1);
    ASSERT_NE(edit, nullptr);
    SetFocus(edit);
    Recorder::Log().clear();
    ce::InjectText(u"Hi there");
    Pump();
    EXPECT_EQ(Text(edit), u"Hi there");
    auto codes = Notifications(1);
    EXPECT_EQ(std::count(codes.begin(), codes.end(), EN_CHANGE), 8);
    EXPECT_EQ(std::count(codes.begin(), codes.end(), EN_UPDATE), 8);

    ce::InjectKey(VK_BACK);
    Pump();
    EXPECT_EQ(Text(edit), u"Hi ther");
    SendMessageW(edit, EM_SETSEL, 0, 2);
    DWORD start = 0, end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 2u);
    ce::InjectText(u"Yo");
    Pump();
    EXPECT_EQ(Text(edit), u"Yo ther");
    ce::InjectKey(VK_HOME);
    ce::InjectKey(VK_DELETE);
    Pump();
    EXPECT_EQ(Text(edit), u"o ther");
    EXPECT_TRUE(SendMessageW(edit, EM_GETMODIFY, 0, 0));
}

TEST_F(UserControls, TheLimitStopsTypingWithEnMaxtextAndStyleRulesFilterCharacters) {
    HWND edit = Make(u"Edit", ES_AUTOHSCROLL, 1);
    SendMessageW(edit, EM_LIMITTEXT, 3, 0);
    EXPECT_EQ(SendMessageW(edit, EM_GETLIMITTEXT, 0, 0), 3);
    SetFocus(edit);
    Recorder::Log().clear();
    ce::InjectText(u"abcd");
    Pump();
    EXPECT_EQ(Text(edit), u"abc");
    auto codes = Notifications(1);
    EXPECT_EQ(std::count(codes.begin(), codes.end(), EN_MAXTEXT), 1);

    HWND number = Make(u"Edit", ES_NUMBER | ES_UPPERCASE, 2);
    SetFocus(number);
    ce::InjectText(u"4a2");
    Pump();
    EXPECT_EQ(Text(number), u"42");
    HWND upper = Make(u"Edit", ES_UPPERCASE, 3);
    SetFocus(upper);
    ce::InjectText(u"ok");
    Pump();
    EXPECT_EQ(Text(upper), u"OK");
    HWND readOnly = Make(u"Edit", ES_READONLY, 4, u"fixed");
    SetFocus(readOnly);
    ce::InjectText(u"x");
    Pump();
    EXPECT_EQ(Text(readOnly), u"fixed");
}

TEST_F(UserControls, MultiLineEditsAnswerTheLineMessages) {
    HWND edit = Make(u"Edit", ES_MULTILINE | ES_WANTRETURN, 1, u"ab\r\ncde\r\n");
    EXPECT_EQ(SendMessageW(edit, EM_GETLINECOUNT, 0, 0), 3);
    EXPECT_EQ(SendMessageW(edit, EM_LINEINDEX, 1, 0), 4);
    EXPECT_EQ(SendMessageW(edit, EM_LINELENGTH, 4, 0), 3);
    EXPECT_EQ(SendMessageW(edit, EM_LINEFROMCHAR, 5, 0), 1);
    EXPECT_EQ(SendMessageW(edit, EM_LINEINDEX, 7, 0), -1);
    SendMessageW(edit, EM_SETSEL, 2, 2);
    SetFocus(edit);
    ce::InjectText(u"\r");
    Pump();
    EXPECT_EQ(Text(edit), u"ab\r\n\r\ncde\r\n");
    EXPECT_EQ(SendMessageW(edit, WM_GETDLGCODE, 0, 0) & DLGC_WANTALLKEYS, DLGC_WANTALLKEYS);
}

TEST_F(UserControls, ATapOnACheckBoxTogglesItAndReportsTheClickButADisabledOneIgnoresIt) {
    HWND box = Make(u"Button", BS_AUTOCHECKBOX, 1, u"Check");
    HWND off = Make(u"Button", BS_PUSHBUTTON | WS_DISABLED, 2, u"Off");
    RECT rect;
    GetWindowRect(box, &rect);
    ce::InjectTap(rect.left + 5, rect.top + 5);
    Pump();
    EXPECT_EQ(SendMessageW(box, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(Notifications(1), (std::vector<WORD>{BN_CLICKED}));
    GetWindowRect(off, &rect);
    ce::InjectTap(rect.left + 5, rect.top + 5);
    Pump();
    EXPECT_TRUE(Notifications(2).empty());
    EXPECT_EQ(GetFocus(), box) << "the tapped button took the focus";
}

TEST_F(UserControls, TheComboBoxKeepsItsItemsAndReportsSelectionChanges) {
    HWND combo = Make(u"ComboBox", CBS_DROPDOWNLIST, 1);
    EXPECT_EQ(SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(u"Celsius")), 0);
    EXPECT_EQ(SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(u"Fahrenheit")), 1);
    SendMessageW(combo, CB_SETITEMDATA, 1, 77);
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), CB_ERR);
    EXPECT_EQ(SendMessageW(combo, CB_SETCURSEL, 0, 0), 0);
    SetFocus(combo);
    Recorder::Log().clear();
    ce::InjectKey(VK_DOWN);
    Pump();
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(Notifications(1), (std::vector<WORD>{CBN_SELCHANGE}));
    EXPECT_EQ(SendMessageW(combo, CB_GETITEMDATA, 1, 0), 77);
    WCHAR text[32];
    EXPECT_EQ(SendMessageW(combo, CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(text)), 10);
    EXPECT_EQ(std::u16string(text), u"Fahrenheit");
    EXPECT_EQ(SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(u"celsius")), 0);
    EXPECT_EQ(SendMessageW(combo, CB_SETCURSEL, 9, 0), CB_ERR);
}

TEST_F(UserControls, TheCaretBackspaceAndDeleteTakeALineBreakAsOneCharacter) {
    HWND edit = Make(u"Edit", ES_MULTILINE | ES_WANTRETURN, 1, u"ab\r\ncd");
    SetFocus(edit);
    SendMessageW(edit, EM_SETSEL, 2, 2);
    ce::InjectKey(VK_RIGHT);
    Pump();
    DWORD start = 0, end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 4u) << "the caret never stands between CR and LF";
    ce::InjectKey(VK_LEFT);
    ce::InjectKey(VK_DELETE);
    Pump();
    EXPECT_EQ(Text(edit), u"abcd");
    SetWindowTextW(edit, u"ab\r\ncd");
    SendMessageW(edit, EM_SETSEL, 4, 4);
    ce::InjectKey(VK_BACK);
    Pump();
    EXPECT_EQ(Text(edit), u"abcd");
    EXPECT_EQ(SendMessageW(edit, EM_GETLINECOUNT, 0, 0), 1);
}

TEST_F(UserControls, SelectionMessagesReplaceTheSelectionAndFocusIsReported) {
    HWND edit = Make(u"Edit", ES_AUTOHSCROLL, 1, u"Berlin");
    HWND other = Make(u"Edit", ES_AUTOHSCROLL, 2);
    Recorder::Log().clear();
    SetFocus(edit);
    SetFocus(other);
    EXPECT_EQ(Notifications(1), (std::vector<WORD>{EN_SETFOCUS, EN_KILLFOCUS}));
    EXPECT_EQ(Notifications(2), (std::vector<WORD>{EN_SETFOCUS}));

    SendMessageW(edit, EM_SETSEL, 0, -1);
    DWORD start = 0, end = 0;
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 0u);
    EXPECT_EQ(end, 6u) << "-1 selects to the end";
    SendMessageW(edit, EM_SETSEL, 4, 1);  // the other way round
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 1u);
    EXPECT_EQ(end, 4u);
    Recorder::Log().clear();
    SendMessageW(edit, EM_SETMODIFY, FALSE, 0);
    SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(u"ER"));
    EXPECT_EQ(Text(edit), u"BERin");
    EXPECT_EQ(Notifications(1), (std::vector<WORD>{EN_UPDATE, EN_CHANGE}));
    EXPECT_TRUE(SendMessageW(edit, EM_GETMODIFY, 0, 0));
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 3u) << "the caret follows the inserted text";
    EXPECT_EQ(end, 3u);
    SendMessageW(edit, EM_SETSEL, 99, 120);
    SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&start), reinterpret_cast<LPARAM>(&end));
    EXPECT_EQ(start, 5u) << "positions beyond the text stop at its end";

    SendMessageW(edit, EM_LIMITTEXT, 6, 0);
    SendMessageW(edit, EM_SETSEL, 0, 0);
    Recorder::Log().clear();
    SendMessageW(edit, EM_REPLACESEL, FALSE, reinterpret_cast<LPARAM>(u"xyz"));
    EXPECT_EQ(Text(edit), u"xBERin") << "what fits the limit goes in";
    auto codes = Notifications(1);
    EXPECT_EQ(std::count(codes.begin(), codes.end(), EN_MAXTEXT), 1);
}

TEST_F(UserControls, TheDropDownListChoosesByTapAndKeysAndCancelsWithEscape) {
    HWND combo = Make(u"ComboBox", CBS_DROPDOWNLIST, 1);
    for (const char16_t* city : {u"Oslo", u"Bergen", u"Oslo", u"Tromsø"}) {
        SendMessageW(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(city));
    }
    RECT rect;
    GetWindowRect(combo, &rect);
    Recorder::Log().clear();
    ce::InjectTap(rect.left + 5, rect.top + 5);
    ce::InjectKey(VK_DOWN);
    ce::InjectKey(VK_DOWN);
    ce::InjectKey(VK_RETURN);
    Pump();
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(Notifications(1), (std::vector<WORD>{CBN_DROPDOWN, CBN_CLOSEUP, CBN_SELCHANGE}));
    EXPECT_FALSE(SendMessageW(combo, CB_GETDROPPEDSTATE, 0, 0));
    EXPECT_EQ(GetFocus(), combo);

    Recorder::Log().clear();
    ce::InjectTap(rect.left + 5, rect.top + 5);
    ce::InjectKey(VK_DOWN);
    ce::InjectKey(VK_ESCAPE);
    Pump();
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 1);
    EXPECT_EQ(Notifications(1), (std::vector<WORD>{CBN_DROPDOWN, CBN_CLOSEUP}));

    // Equal texts are found one after the other, wrapping round.
    EXPECT_EQ(SendMessageW(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>(u"oslo")), 0);
    EXPECT_EQ(SendMessageW(combo, CB_FINDSTRINGEXACT, 0, reinterpret_cast<LPARAM>(u"OSLO")), 2);
    EXPECT_EQ(SendMessageW(combo, CB_FINDSTRINGEXACT, 2, reinterpret_cast<LPARAM>(u"Oslo")), 0);
    EXPECT_EQ(SendMessageW(combo, CB_FINDSTRINGEXACT, 0, reinterpret_cast<LPARAM>(u"Bodø")), CB_ERR);

    // Deleting before the selection moves it; deleting it clears it.
    EXPECT_EQ(SendMessageW(combo, CB_DELETESTRING, 0, 0), 3);
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 0);
    EXPECT_EQ(SendMessageW(combo, CB_INSERTSTRING, 0, reinterpret_cast<LPARAM>(u"Alta")), 0);
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), 1);
    SendMessageW(combo, CB_DELETESTRING, 1, 0);
    EXPECT_EQ(SendMessageW(combo, CB_GETCURSEL, 0, 0), CB_ERR);
    SendMessageW(combo, CB_RESETCONTENT, 0, 0);
    EXPECT_EQ(SendMessageW(combo, CB_GETCOUNT, 0, 0), 0);
    Recorder::Log().clear();
    ce::InjectTap(rect.left + 5, rect.top + 5);
    Pump();
    EXPECT_TRUE(Notifications(1).empty()) << "an empty list does not open";
}

TEST_F(UserControls, ChoosingARadioButtonClearsTheOthersOfItsGroupOnly) {
    HWND celsius = Make(u"Button", BS_AUTORADIOBUTTON | WS_GROUP, 1, u"Celsius");
    HWND fahrenheit = Make(u"Button", BS_AUTORADIOBUTTON, 2, u"Fahrenheit");
    Make(u"Static", SS_LEFT, 3, u"a label inside the group");
    HWND kmh = Make(u"Button", BS_AUTORADIOBUTTON | WS_GROUP, 4, u"km/h");
    HWND plain = Make(u"Button", BS_RADIOBUTTON, 5, u"left to its owner");
    SendMessageW(celsius, BM_SETCHECK, BST_CHECKED, 0);
    SendMessageW(kmh, BM_SETCHECK, BST_CHECKED, 0);
    SendMessageW(plain, BM_SETCHECK, BST_CHECKED, 0);

    SendMessageW(fahrenheit, BM_CLICK, 0, 0);
    EXPECT_EQ(SendMessageW(fahrenheit, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageW(celsius, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    EXPECT_EQ(SendMessageW(kmh, BM_GETCHECK, 0, 0), BST_CHECKED) << "another group";
    EXPECT_EQ(Notifications(2), (std::vector<WORD>{BN_CLICKED}));

    RECT rect;
    GetWindowRect(celsius, &rect);
    ce::InjectTap(rect.left + 5, rect.top + 5);
    Pump();
    EXPECT_EQ(SendMessageW(celsius, BM_GETCHECK, 0, 0), BST_CHECKED);
    EXPECT_EQ(SendMessageW(fahrenheit, BM_GETCHECK, 0, 0), BST_UNCHECKED);
    SendMessageW(kmh, BM_CLICK, 0, 0);
    EXPECT_EQ(SendMessageW(plain, BM_GETCHECK, 0, 0), BST_CHECKED) << "a plain radio button is its owner's to clear";
    EXPECT_EQ(SendMessageW(kmh, BM_GETCHECK, 0, 0), BST_CHECKED) << "a second click keeps it chosen";
}

TEST_F(UserControls, AStaticShowsItsPictureCentredAndReportsTapsOnlyWhenAsked) {
    HWND picture = Make(u"Static", SS_BITMAP | SS_CENTERIMAGE | SS_NOTIFY, 1);
    HWND label = Make(u"Static", SS_LEFT, 2, u"quiet");
    HDC screenDc = GetDC(nullptr);
    HBITMAP red = CreateCompatibleBitmap(screenDc, 10, 10);
    HDC paintDc = CreateCompatibleDC(screenDc);
    HGDIOBJ old = SelectObject(paintDc, red);
    RECT all{0, 0, 10, 10};
    HBRUSH brush = CreateSolidBrush(RGB(255, 0, 0));
    FillRect(paintDc, &all, brush);
    DeleteObject(brush);
    SelectObject(paintDc, old);
    DeleteDC(paintDc);
    ReleaseDC(nullptr, screenDc);

    EXPECT_EQ(SendMessageW(picture, STM_SETIMAGE, IMAGE_BITMAP, reinterpret_cast<LPARAM>(red)), 0);
    EXPECT_EQ(SendMessageW(picture, STM_GETIMAGE, IMAGE_BITMAP, 0), reinterpret_cast<LRESULT>(red));
    Pump();
    ce::test::DibDC screen(240, -320);
    ce::detail::ScreenComposer::Compose(screen.dc);
    RECT rect;
    GetWindowRect(picture, &rect);
    const LONG midX = (rect.left + rect.right) / 2;
    const LONG midY = (rect.top + rect.bottom) / 2;
    EXPECT_EQ(GetPixel(screen.dc, midX, midY), RGB(255, 0, 0));
    EXPECT_NE(GetPixel(screen.dc, rect.left + 2, rect.top + 2), RGB(255, 0, 0)) << "centred, not at the corner";

    Recorder::Log().clear();
    ce::InjectTap(midX, midY);
    GetWindowRect(label, &rect);
    ce::InjectTap(rect.left + 3, rect.top + 3);
    Pump();
    EXPECT_EQ(Notifications(1), (std::vector<WORD>{STN_CLICKED}));
    EXPECT_TRUE(Notifications(2).empty());
    EXPECT_EQ(SendMessageW(picture, STM_SETIMAGE, IMAGE_BITMAP, 0), reinterpret_cast<LRESULT>(red))
        << "the old picture comes back to its owner";
    DeleteObject(red);
}

}  // namespace
