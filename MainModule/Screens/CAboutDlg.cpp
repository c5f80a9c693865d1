#include "Screens/CAboutDlg.h"

#include "CGdiFactory.h"
#include "CLocalization.h"
#include "CSysInfo.h"
#include "RectHelpers.h"
#include "UserInterface/CDlgHyperLink.h"
#include "UserInterface/CDlgLayout.h"
#include "UserInterface/CDlgStatic.h"
#include "Weather/DeviceUtilities.h"
#include "Weather/GlobalServices.h"

namespace {

using UserInterface::CDlgControl;
using UserInterface::CDlgHyperLink;
using UserInterface::CDlgStatic;

constexpr int kTextLength = 1024;
constexpr int kTitleSize = 9;
constexpr int kTextSize = 10;
constexpr int kDeviceSize = 11;
constexpr int kMargin = 2;

constexpr DWORD kShown = CDlgControl::kVisible | CDlgControl::kHostBackground;
constexpr DWORD kLineStyle =
    kShown | CDlgControl::kFillWidth | CDlgControl::kPreferredHeight | CDlgStatic::kWordBreak | CDlgStatic::kTextCenter;
constexpr DWORD kDeviceStyle = kShown | CDlgControl::kPreferredWidth | CDlgControl::kPreferredHeight |
                               CDlgStatic::kWordBreak | CDlgStatic::kTextCenter;
constexpr DWORD kLinkStyle = kShown | CDlgControl::kPreferredWidth | CDlgControl::kPreferredHeight |
                             CDlgHyperLink::kSingleLine;

HFONT FontOf(int sizeIndex, bool bold) {
    return g_pGdiFactory != nullptr
               ? g_pGdiFactory->GetFont(sizeIndex, CGdiFactory::kClearType, bold, CGdiFactory::kNoUnderline)
               : nullptr;
}

bool IsLink(CDlgControl* control) {
    WCHAR type[32] = {};
    return control->GetTypeName(type, 32) && lstrcmpW(type, u"__DlgHyperLink") == 0;
}

}  // namespace

bool CAboutDlg::IsSwitchedOn(const char* key) {
    LPCWSTR text = LoadLocalizedString(key);
    return text == nullptr || _wcsicmp(text, u"0") != 0;
}

INT_PTR CAboutDlg::Run(HWND parent) { return RunOverWindow(parent, nullptr, nullptr); }

BOOL CAboutDlg::OnCreateMenu(UserInterface::CMenuInfo* menu) {
    menu->Clear();
    menu->SetFlags(UserInterface::CMenuInfo::kNoInputPanel);
    menu->SetCommand(UserInterface::kLeftSoftKey, IDOK);
    if (!menu->SetCaption(UserInterface::kLeftSoftKey, "IDS_CAP_DONE")) {
        return FALSE;
    }
    if (IsSwitchedOn("IDS_MOD_SHOWMORE_ENABLED")) {
        menu->SetCommand(UserInterface::kRightSoftKey, kShowMoreCommand);
        return menu->SetCaption(UserInterface::kRightSoftKey, "IDS_CAP_SHOW_MORE");
    }
    return TRUE;
}

BOOL CAboutDlg::OnInitControls() {
    LPCWSTR name = LoadLocalizedString("IDS_APP_NAME");
    WCHAR title[kTextLength];
    WCHAR copyrightTemplate[kTextLength];
    WCHAR copyright[kTextLength];
    SYSTEMTIME now{};
    GetLocalTime(&now);
    if (name == nullptr ||
        _snwprintf(title, kTextLength, u"%s %d.%02d", name, kVersionMajor, kVersionMinor) < 0 ||
        !CLocalization::Global().GetTemplate("IDS_COPYRIGHT_TMPL", copyrightTemplate, kTextLength) ||
        _snwprintf(copyright, kTextLength, copyrightTemplate, static_cast<int>(now.wYear)) < 0) {
        return FALSE;
    }
    const bool added =
        AddLabel(kTitleId, kLineStyle, title, kTitleSize, CGdiFactory::kBold) &&
        AddLabel(kCopyrightId, kLineStyle, copyright, kTextSize, CGdiFactory::kRegular) &&
        (!IsSwitchedOn("IDS_MOD_MAINWEB_ENABLED") ||
         AddLinkOfKeys(kMainWebId, "IDS_MAIN_WEB_LINK", "IDS_MAIN_WEB_ADDRESS")) &&
        AddLabelOfKey(kSupportId, "IDS_SUPPORT") &&
        AddLinkOfKeys(kSupportLinkId, "IDS_SUPPORT_LINK", "IDS_SUPPORT_ADDRESS") &&
        AddLabelOfKey(kProviderId, "IDS_FORECAST_PROVIDER") &&
        (!IsSwitchedOn("IDS_MOD_SHOWMORE_ENABLED") || AddLabelOfKey(kMoreProductsId, "IDS_MORE_PRODUCTS")) &&
        AddDeviceLine();
    return added && CAppBasicDialog::OnInitControls();
}

bool CAboutDlg::AddLabel(int id, DWORD style, const char16_t* text, int sizeIndex, bool bold) {
    CDlgStatic* label = AddText(id, style, text, nullptr);
    if (label != nullptr) {
        label->SetFont(FontOf(sizeIndex, bold), UserInterface::kNoRedraw);
    }
    return label != nullptr;
}

bool CAboutDlg::AddLabelOfKey(int id, const char* key) {
    LPCWSTR text = LoadLocalizedString(key);
    return text != nullptr && AddLabel(id, kLineStyle, text, kTextSize, CGdiFactory::kRegular);
}

bool CAboutDlg::AddLinkOfKeys(int id, const char* textKey, const char* addressKey) {
    WCHAR text[kTextLength];
    WCHAR address[kTextLength];
    if (!CLocalization::Global().GetString(textKey, text, kTextLength) ||
        !CLocalization::Global().GetString(addressKey, address, kTextLength)) {
        return false;
    }
    CDlgHyperLink* link = AddLink(id, kLinkStyle, text, address);
    if (link != nullptr) {
        link->SetFont(FontOf(kTextSize, CGdiFactory::kRegular), UserInterface::kNoRedraw);
    }
    return link != nullptr;
}

// A device whose identifier cannot be read shows no line for it.
bool CAboutDlg::AddDeviceLine() {
    WCHAR identifier[kTextLength];
    if (!GetDeviceId(identifier, kTextLength)) {
        return true;
    }
    LPCWSTR label = LoadLocalizedString("IDS_DEVICE_ID");
    WCHAR line[kTextLength];
    return label != nullptr && _snwprintf(line, kTextLength, u"%s %s", label, identifier) >= 0 &&
           AddLabel(kDeviceId, kDeviceStyle, line, kDeviceSize, CGdiFactory::kRegular);
}

BOOL CAboutDlg::OnInitDialog() {
    if (!CAppBasicDialog::OnInitDialog()) {
        return FALSE;
    }
    PlaceControls();
    return TRUE;
}

BOOL CAboutDlg::OnSize(int width, int height) {
    SuppressPainting(true);
    CAppBasicDialog::OnSize(width, height);
    SuppressPainting(false);
    PlaceControls();
    return TRUE;
}

void CAboutDlg::PlaceControls() {
    UserInterface::CDlgLayout* layout = GetLayout();
    if (layout == nullptr || m_hWnd == nullptr) {
        return;
    }
    const int width = GetClientWidth();
    for (int i = 0; i < layout->GetControlCount(); ++i) {
        CDlgControl* control = layout->GetControlAt(i);
        RECT rect;
        control->GetRect(&rect);
        const int controlWidth = RectWidth(rect);
        const int controlHeight = RectHeight(rect);
        if (IsLink(control)) {
            control->Move((width - controlWidth) / 2, rect.top, controlWidth, controlHeight,
                          UserInterface::kNoRedraw);
        } else if (control->GetId() == kDeviceId) {
            control->Move((width - controlWidth) / 2,
                          GetClientHeight() - CSysInfo::Scale(kMargin) - controlHeight, controlWidth,
                          controlHeight, UserInterface::kNoRedraw);
        }
    }
    Redraw(kKeepBackground);
}

BOOL CAboutDlg::OnDialogCommand(int id, int code, HWND window) {
    if (id == IDOK) {
        EndDialog(IDOK);
        return TRUE;
    }
    if (id == kShowMoreCommand) {
        const bool smartphone = g_pSysInfo != nullptr && g_pSysInfo->IsSmartphone();
        CSysInfo::OpenUrl(LoadLocalizedString(smartphone ? "IDS_SHOWMORE_ADDR_SP" : "IDS_SHOWMORE_ADDR_PPC"));
        return TRUE;
    }
    return CAppBasicDialog::OnDialogCommand(id, code, window);
}

// The key's release ends the screen, so that its press does not reach the screen below.
BOOL CAboutDlg::OnBackKey(WPARAM, LPARAM lParam) {
    if (LOWORD(lParam) & MOD_KEYUP) {
        return OnDialogCommand(IDOK, 0, nullptr);
    }
    return TRUE;
}
