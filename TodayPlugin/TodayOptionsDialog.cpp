#include "TodayOptionsDialog.h"

#include <vector>

#include "CGdiFactory.h"
#include "CLocalization.h"
#include "CPluginSettings.h"
#include "CSysInfo.h"
#include "CTodayItem.h"
#include "Controls/ControlDrawing.h"
#include "DawnletServices.h"
#include "Skin/CApplicationSkin.h"
#include "Skin/HslColor.h"
#include "Weather/GlobalServices.h"
#include "ce/shell.h"

namespace {

constexpr WORD kButtonAtom = 0x0080;
constexpr WORD kStaticAtom = 0x0082;
constexpr WORD kComboAtom = 0x0085;

// The template in the layout that dialogs are read from; positions do not matter, WM_SIZE places them.
std::vector<WORD> BuildTemplate() {
    std::vector<WORD> words;
    auto dword = [&words](DWORD value) {
        words.push_back(LOWORD(value));
        words.push_back(HIWORD(value));
    };
    dword(WS_POPUP | WS_VISIBLE);
    dword(0);
    words.insert(words.end(), {4, 0, 0, 240, 320, 0, 0, 0});  // items, x, y, cx, cy, no menu, no class, no title
    struct Item {
        WORD atom;
        WORD id;
        DWORD style;
    };
    const Item items[] = {{kStaticAtom, TodayOptionsDialog::kTitle, SS_LEFT},
                          {kStaticAtom, TodayOptionsDialog::kLabel, SS_LEFT},
                          {kComboAtom, TodayOptionsDialog::kViewList, CBS_DROPDOWNLIST | WS_TABSTOP},
                          {kButtonAtom, TodayOptionsDialog::kCheckLargeIcons, BS_AUTOCHECKBOX | WS_TABSTOP}};
    for (const Item& item : items) {
        if (words.size() % 2 != 0) {
            words.push_back(0);  // items start on a DWORD
        }
        dword(item.style | WS_CHILD | WS_VISIBLE);
        dword(0);
        words.insert(words.end(), {0, 0, 10, 10, item.id, 0xFFFF, item.atom, 0, 0});  // no title, no data
    }
    return words;
}

const std::vector<WORD>& TemplateWords() {
    static const std::vector<WORD> words = BuildTemplate();
    return words;
}

LPCWSTR Text(const char* key) {
    LPCWSTR text = LoadLocalizedString(key);
    return text != nullptr ? text : u"";
}

// The dialog's font size index, and the state of its Done key.
constexpr int kDialogFontSize = 16;
constexpr bool kEnabled = true;

HFONT DialogFont(bool bold) {
    return g_pGdiFactory->GetFont(kDialogFontSize, DawnletServices::ClearType(), bold,
                                  CGdiFactory::kNoUnderline);
}

int Scale(int length) { return CSysInfo::Scale(length); }

// The least height (pixels of the 240 class) that the title is made smaller to before the shorter
// caption is taken.
constexpr int kLeastTitleHeight = 11;

constexpr WORD kDoneBarWords[] = {0, 1, static_cast<WORD>(I_IMAGENONE), IDOK, TBSTATE_ENABLED,
                                  TBSTYLE_BUTTON | TBSTYLE_AUTOSIZE, 0, 0, NOMENU};

}  // namespace

const void* TodayOptionsDialog::DoneBar() { return kDoneBarWords; }

DWORD TodayOptionsDialog::DoneBarSize() { return sizeof kDoneBarWords; }

void TodayOptionsDialog::CreateDoneBar(HWND dialog) {
    SHMENUBARINFO bar{sizeof(SHMENUBARINFO), dialog, 0, kDoneBarId,
                      reinterpret_cast<HINSTANCE>(GetWindowLongW(dialog, GWL_HINSTANCE)), 0, 0, nullptr, 0};
    if (SHCreateMenuBar(&bar)) {
        CSysInfo::SetLeftSoftKey(bar.hwndMB, kEnabled, Text("IDS_CAP_DONE"), IDOK);
    }
}

const void* TodayOptionsDialog::Template() { return TemplateWords().data(); }

DWORD TodayOptionsDialog::TemplateSize() { return static_cast<DWORD>(TemplateWords().size() * sizeof(WORD)); }

DWORD TodayOptionsDialog::LayoutFor(int listIndex, bool largeIcons) {
    if (listIndex == 0) {
        return largeIcons ? CTodayItem::kPartsLarge : CTodayItem::kPartsSmall;
    }
    return largeIcons ? CTodayItem::kDaysLarge : CTodayItem::kDaysSmall;
}

INT_PTR CALLBACK TodayOptionsDialog::CustomItemOptionsDlgProc(HWND dialog, UINT message, WPARAM wParam,
                                                              LPARAM lParam) {
    switch (message) {
    case WM_INITDIALOG:
        Initialize(dialog);
        return FALSE;  // the focus is set
    case WM_SIZE:
        Arrange(dialog);
        return TRUE;
    case WM_PAINT:
        PaintRule(dialog);
        return TRUE;
    case WM_DESTROY:
        SetTitleFont(dialog, nullptr);
        return FALSE;
    case WM_CTLCOLORSTATIC: {
        if (GetDlgCtrlID(reinterpret_cast<HWND>(lParam)) != kTitle) {
            return FALSE;
        }
        const SkinTint tint = CApplicationSkin::GetThemeTint();
        SetTextColor(reinterpret_cast<HDC>(wParam), HslBytesToRgb(tint.hue, tint.saturation, 77));
        return reinterpret_cast<INT_PTR>(GetStockObject(WHITE_BRUSH));
    }
    case WM_COMMAND:
        if (LOWORD(wParam) == IDOK) {
            Accept(dialog);
            return TRUE;
        }
        return FALSE;
    default:
        return FALSE;
    }
}

void TodayOptionsDialog::Initialize(HWND dialog) {
    SHINITDLGINFO info{SHIDIM_FLAGS, dialog, SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN};
    SHInitDialog(&info);
    CreateDoneBar(dialog);
    // The task bar shows the page's title, as on the program's own pages.
    SetWindowTextW(dialog, Text("IDS_APP_NAME"));

    SetDlgItemTextW(dialog, kLabel, Text("IDS_LABEL_VIEW_TYPE"));
    for (int id : {kLabel, kViewList, kCheckLargeIcons}) {
        SendDlgItemMessageW(dialog, id, WM_SETFONT,
                            reinterpret_cast<WPARAM>(DialogFont(CGdiFactory::kRegular)), FALSE);
    }
    SendDlgItemMessageW(dialog, kViewList, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Text("IDS_DETAILED")));
    SendDlgItemMessageW(dialog, kViewList, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(Text("IDS_5DAYS")));
    const DWORD layout = DawnletServices::Settings().mode;
    const bool parts = layout == CTodayItem::kPartsLarge || layout == CTodayItem::kPartsSmall;
    SendDlgItemMessageW(dialog, kViewList, CB_SETCURSEL, parts ? 0 : 1, 0);
    SetDlgItemTextW(dialog, kCheckLargeIcons, Text("IDS_USE_LARGE_ICONS"));
    const bool large = layout == CTodayItem::kDaysLarge || layout == CTodayItem::kPartsLarge;
    CheckDlgButton(dialog, kCheckLargeIcons, large ? BST_CHECKED : BST_UNCHECKED);
    SetFocus(GetDlgItem(dialog, kViewList));
}

void TodayOptionsDialog::Arrange(HWND dialog) {
    RECT client{};
    GetClientRect(dialog, &client);
    const int width = client.right - Scale(10);
    FitTitle(dialog, width - Scale(10));
    MoveWindow(GetDlgItem(dialog, kTitle), Scale(10), Scale(5), width, Scale(23) - Scale(5), TRUE);
    const int labelHeight = g_pGdiFactory->GetFontHeight(16) + Scale(1);
    MoveWindow(GetDlgItem(dialog, kLabel), Scale(10), Scale(30), width, labelHeight, TRUE);
    const int listTop = Scale(30) + labelHeight;
    MoveWindow(GetDlgItem(dialog, kViewList), Scale(10), listTop, Scale(120), Scale(20), TRUE);
    MoveWindow(GetDlgItem(dialog, kCheckLargeIcons), Scale(10), listTop + Scale(30), width, Scale(20), TRUE);
}

// The title has one line above the rule: the caption in the bold font, or made smaller down to a
// least height where it is too wide, else the shorter caption of the settings menu.
void TodayOptionsDialog::FitTitle(HWND dialog, int width) {
    HWND title = GetDlgItem(dialog, kTitle);
    HDC dc = GetDC(title);
    if (dc == nullptr) {
        return;
    }
    HFONT bold = DialogFont(CGdiFactory::kBold);
    std::u16string caption = Text("IDS_LABEL_TODAY_SETTING");
    HFONT fitted = CreateFontToFit(dc, bold, {caption}, width, Scale(kLeastTitleHeight));
    if (!TextsFit(dc, fitted != nullptr ? fitted : bold, {caption}, width, 1)) {
        DeleteFontHandles({&fitted});
        caption = Text("IDS_CAP_TODAY_PLUGIN");
        fitted = CreateFontToFit(dc, bold, {caption}, width, Scale(kLeastTitleHeight));
    }
    ReleaseDC(title, dc);
    SetWindowTextW(title, caption.c_str());
    SendMessageW(title, WM_SETFONT, reinterpret_cast<WPARAM>(fitted != nullptr ? fitted : bold), FALSE);
    SetTitleFont(dialog, fitted);
}

// The title's own smaller font lives as long as the dialog (the bold one belongs to the font factory).
void TodayOptionsDialog::SetTitleFont(HWND dialog, HFONT font) {
    HFONT old = reinterpret_cast<HFONT>(GetWindowLongW(dialog, DWL_USER));
    SetWindowLongW(dialog, DWL_USER, reinterpret_cast<LONG_PTR>(font));
    DeleteFontHandles({&old});
}

void TodayOptionsDialog::PaintRule(HWND dialog) {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(dialog, &paint);
    RECT client{};
    GetClientRect(dialog, &client);
    RECT rule{0, Scale(23), client.right, Scale(23) + Scale(1)};
    FillRect(dc, &rule, static_cast<HBRUSH>(GetStockObject(BLACK_BRUSH)));
    EndPaint(dialog, &paint);
}

void TodayOptionsDialog::Accept(HWND dialog) {
    const int index = static_cast<int>(SendDlgItemMessageW(dialog, kViewList, CB_GETCURSEL, 0, 0));
    const DWORD layout = LayoutFor(index, IsDlgButtonChecked(dialog, kCheckLargeIcons) == BST_CHECKED);
    if (layout != DawnletServices::Settings().mode) {
        DawnletServices::Settings().mode = layout;
        DawnletServices::SaveSettings();
        CTodayItem::SignalReload(CTodayItem::kReloadSettings);
    }
    EndDialog(dialog, 1);
}
