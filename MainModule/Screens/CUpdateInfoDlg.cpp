#include "Screens/CUpdateInfoDlg.h"

#include <memory>
#include <new>

#include "CLocalization.h"
#include "CSysInfo.h"
#include "Skin/CApplicationSkin.h"
#include "UserInterface/CDlgHTMLControl.h"
#include "UserInterface/CDlgLayout.h"
#include "UserInterface/CDlgSeparator.h"
#include "UserInterface/CDlgStatic.h"
#include "Weather/CProductInfo.h"

namespace {

using UserInterface::CDlgControl;
using UserInterface::CDlgHTMLControl;
using UserInterface::CDlgSeparator;
using UserInterface::CDlgStatic;

constexpr int kTextLength = 1024;
constexpr int kOfferGap = 10;
constexpr int kRuleHeight = 2;

constexpr DWORD kRow = CDlgControl::kVisible | CDlgControl::kHostBackground | CDlgControl::kFillWidth;
constexpr DWORD kLineStyle = kRow | CDlgControl::kPreferredHeight | CDlgStatic::kWordBreak;
constexpr DWORD kRuleStyle = kRow | CDlgSeparator::kEngraved;
constexpr DWORD kGapStyle = kRow;
constexpr DWORD kMarkupStyle = kRow | CDlgControl::kFillHeight;

}  // namespace

LPCWSTR CUpdateInfoDlg::InterfaceLocale() { return CProductInfo::LocaleOfLanguage(CLocalization::Global().GetLanguage()); }

INT_PTR CUpdateInfoDlg::Run(HWND owner, const CProductInfo* product, int mode, const TransitionInfo* transition) {
    if (product == nullptr) {
        return IDCANCEL;
    }
    m_product = product;
    m_mode = mode;
    return RunModal(owner, 0, nullptr, nullptr, transition);
}

INT_PTR CUpdateInfoDlg::RunOverScreen(UserInterface::CSmartDialog* parent, const CProductInfo* product, int mode) {
    if (product == nullptr || parent == nullptr) {
        return IDCANCEL;
    }
    m_product = product;
    m_mode = mode;
    return RunOverDialog(parent, parent->GetScreenCapture(), nullptr);
}

BOOL CUpdateInfoDlg::OnCreateMenu(UserInterface::CMenuInfo* menu) {
    const DWORD mode = UserInterface::CMenuInfo::kNoInputPanel;
    if (m_mode != kOffer) {
        return menu->SetDone(mode);
    }
    menu->Clear();
    menu->SetFlags(mode);
    menu->SetCommand(UserInterface::kLeftSoftKey, kDownloadCommand);
    menu->SetCommand(UserInterface::kRightSoftKey, IDCANCEL);
    return menu->SetCaption(UserInterface::kLeftSoftKey, "IDS_CAP_DOWNLOAD") &&
           menu->SetCaption(UserInterface::kRightSoftKey, "IDS_CAP_CANCEL");
}

bool CUpdateInfoDlg::AddOfferLine() {
    WCHAR pattern[kTextLength];
    WCHAR line[kTextLength];
    if (!CLocalization::Global().GetTemplate("IDS_UPDATING_AVAILABLE_TMPL", pattern, kTextLength) ||
        _snwprintf(line, kTextLength, pattern, m_product->GetDisplayText(CProductInfo::kName, InterfaceLocale())) < 0) {
        return false;
    }
    return MakeBold(AddText(kOfferId, kLineStyle, line, nullptr)) &&
           AddSeparator(kOfferSeparatorId, kGapStyle, CSysInfo::Scale(kOfferGap)) != nullptr;
}

BOOL CUpdateInfoDlg::OnInitControls() {
    if (m_product == nullptr || (m_mode == kOffer && !AddOfferLine())) {
        return FALSE;
    }
    LPCWSTR title = LoadLocalizedString("IDS_UPDATE_INFO");
    if (!MakeBold(AddText(kTitleId, kLineStyle, title != nullptr ? title : u"", nullptr)) ||
        AddSeparator(kTitleSeparatorId, kRuleStyle, CSysInfo::Scale(kRuleHeight)) == nullptr) {
        return FALSE;
    }
    const std::u16string conditions = m_product->GetDisplayText(CProductInfo::kConditions, InterfaceLocale());
    std::unique_ptr<CDlgHTMLControl> view(new (std::nothrow) CDlgHTMLControl());
    if (view == nullptr || !view->Create(conditions.c_str(), kConditionsId, kMarkupStyle,
                                         UserInterface::kSizedByLayout, UserInterface::kSizedByLayout)) {
        return FALSE;
    }
    view->SetTextColor(kTextColor, UserInterface::kNoRedraw);
    if (g_pApplicationSkin != nullptr) {
        view->SetBorderColor(g_pApplicationSkin->GetSkinColor(CApplicationSkin::kBackgroundColorIndex),
                             UserInterface::kNoRedraw);
    }
    if (!GetLayout()->AddControl(view.get())) {
        return FALSE;
    }
    view.release();
    return CAppBasicDialog::OnInitControls();
}

BOOL CUpdateInfoDlg::OnDialogCommand(int id, int code, HWND window) {
    if (id == IDOK || id == kDownloadCommand) {
        EndDialog(IDOK);
        return TRUE;
    }
    if (id == IDCANCEL) {
        EndDialog(IDCANCEL);
        return TRUE;
    }
    return CAppBasicDialog::OnDialogCommand(id, code, window);
}

// On the key's release, so that its press does not reach the screen below.
BOOL CUpdateInfoDlg::OnBackKey(WPARAM, LPARAM lParam) {
    if (!(LOWORD(lParam) & MOD_KEYUP)) {
        return TRUE;
    }
    return OnDialogCommand(m_mode == kOffer ? IDCANCEL : IDOK, 0, nullptr);
}
