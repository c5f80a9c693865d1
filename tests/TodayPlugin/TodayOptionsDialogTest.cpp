// The options dialog as the program shows it: Dawnlet.dll loaded from an installed device, its dialog
// resource 500 run with the procedure at ordinal 241.
#include <gtest/gtest.h>

#include "CPluginSettings.h"
#include "CRegistryStore.h"
#include "CTodayItem.h"
#include "ProgramDevice.h"
#include "TodayOptionsDialog.h"
#include "ce/module.h"
#include "ce/registry.h"
#include "ce/shell.h"

namespace {

class TodayOptions : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(device.Ready()) << device.Problem();
        ASSERT_TRUE(store.Open(HKEY_LOCAL_MACHINE, u"Software\\Quillon Software\\Skyvane"));
        ASSERT_TRUE(store.SetDWORD(u"TodayPluginMode", CTodayItem::kDaysLarge));
        module = LoadLibraryW(u"\\Windows\\Dawnlet.dll");
        ASSERT_NE(module, nullptr);
        reload = CreateEventW(nullptr, FALSE, FALSE, CTodayItem::kReloadEventName);
        ASSERT_NE(reload, nullptr);
    }
    void TearDown() override {
        if (reload != nullptr) {
            CloseHandle(reload);
        }
        if (module != nullptr) {
            FreeLibrary(module);
        }
    }

    HWND OpenDialog() const {
        auto procedure = ce::ProcAs<DLGPROC>(GetProcAddressW(module, MAKEINTRESOURCEW(ORDINAL_OPTIONSDIALOGPROC)));
        HRSRC resource = FindResourceW(module, MAKEINTRESOURCEW(TodayOptionsDialog::kDialogId), RT_DIALOG);
        if (procedure == nullptr || resource == nullptr) {
            return nullptr;
        }
        auto dialogTemplate = static_cast<LPCDLGTEMPLATEW>(LockResource(LoadResource(module, resource)));
        return CreateDialogIndirectParamW(module, dialogTemplate, nullptr, procedure, 0);
    }
    DWORD StoredLayout() {
        DWORD layout = 99;
        store.GetDWORD(u"TodayPluginMode", &layout);
        return layout;
    }

    ProgramDevice device{CE_DEVICE_TOOL};
    CRegistryStore store;
    HMODULE module = nullptr;
    HANDLE reload = nullptr;
};

TEST_F(TodayOptions, ShowsTheStoredLayoutAndOkWithoutAChangeTellsNoItem) {
    HWND dialog = OpenDialog();
    ASSERT_NE(dialog, nullptr);
    EXPECT_EQ(SendDlgItemMessageW(dialog, TodayOptionsDialog::kViewList, CB_GETCURSEL, 0, 0), 1) << "days";
    EXPECT_EQ(IsDlgButtonChecked(dialog, TodayOptionsDialog::kCheckLargeIcons), static_cast<UINT>(BST_CHECKED));
    SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(WaitForSingleObject(reload, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_EQ(StoredLayout(), CTodayItem::kDaysLarge);
    DestroyWindow(dialog);
}

TEST_F(TodayOptions, AChangedLayoutIsSavedAndEveryItemToldToReloadItsSettings) {
    HWND dialog = OpenDialog();
    ASSERT_NE(dialog, nullptr);
    SendDlgItemMessageW(dialog, TodayOptionsDialog::kViewList, CB_SETCURSEL, 0, 0);
    CheckDlgButton(dialog, TodayOptionsDialog::kCheckLargeIcons, BST_UNCHECKED);
    SendMessageW(dialog, WM_COMMAND, IDOK, 0);
    ASSERT_EQ(WaitForSingleObject(reload, 0), static_cast<DWORD>(WAIT_OBJECT_0));
    EXPECT_EQ(GetEventData(reload), CTodayItem::kReloadSettings);
    EXPECT_EQ(StoredLayout(), CTodayItem::kPartsSmall);
    DestroyWindow(dialog);
}

TEST_F(TodayOptions, TheSoftKeyBarHasDoneAloneAndDoneKeepsTheChoice) {
    HWND dialog = OpenDialog();
    ASSERT_NE(dialog, nullptr);
    HWND bar = SHFindMenuBar(dialog);
    ASSERT_NE(bar, nullptr);
    EXPECT_EQ(SendMessageW(bar, TB_BUTTONCOUNT, 0, 0), 1);
    TBBUTTON button{};
    ASSERT_TRUE(SendMessageW(bar, TB_GETBUTTON, 0, reinterpret_cast<LPARAM>(&button)));
    EXPECT_EQ(button.idCommand, IDOK);
    WCHAR caption[64] = {};
    TBBUTTONINFOW info{sizeof info, TBIF_TEXT | TBIF_BYINDEX, 0, 0, 0, 0, 0, 0, caption, 64};
    SendMessageW(bar, TB_GETBUTTONINFO, 0, reinterpret_cast<LPARAM>(&info));
    EXPECT_EQ(std::u16string(caption), u"Done");

    SendDlgItemMessageW(dialog, TodayOptionsDialog::kViewList, CB_SETCURSEL, 0, 0);
    SendMessageW(dialog, WM_COMMAND, button.idCommand, 0);
    EXPECT_EQ(StoredLayout(), CTodayItem::kPartsLarge) << "the key saves like OK";
    DestroyWindow(dialog);
}

TEST_F(TodayOptions, ThePageHasTheProgramsTitleAndItsCaptionOnOneLineAboveTheRule) {
    HWND dialog = OpenDialog();
    ASSERT_NE(dialog, nullptr);
    WCHAR title[64] = {};
    GetWindowTextW(dialog, title, 64);
    EXPECT_EQ(std::u16string(title), u"Skyvane");
    HWND caption = GetDlgItem(dialog, TodayOptionsDialog::kTitle);
    WCHAR text[128] = {};
    GetWindowTextW(caption, text, 128);
    RECT box{};
    GetClientRect(caption, &box);
    HDC dc = GetDC(caption);
    HGDIOBJ old = SelectObject(dc, reinterpret_cast<HGDIOBJ>(SendMessageW(caption, WM_GETFONT, 0, 0)));
    RECT needed{0, 0, box.right, 0};
    DrawTextW(dc, text, -1, &needed, DT_CALCRECT | DT_WORDBREAK | DT_NOPREFIX);
    SelectObject(dc, old);
    ReleaseDC(caption, dc);
    EXPECT_GT(lstrlenW(text), 0);
    EXPECT_LE(needed.bottom, box.bottom) << "the caption's lines all lie above the rule";
    DestroyWindow(dialog);
}

}  // namespace
