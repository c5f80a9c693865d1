#include "Screens/CSelectUpdateDlg.h"

#include <memory>
#include <new>

#include "CLocalization.h"
#include "CSysInfo.h"
#include "Screens/CUpdateInfoDlg.h"
#include "Skin/CApplicationSkin.h"
#include "UserInterface/CDlgLayout.h"
#include "UserInterface/CDlgListBox.h"
#include "UserInterface/CDlgSeparator.h"
#include "UserInterface/CDlgStatic.h"
#include "UserInterface/CMenuItem.h"
#include "UserInterface/CMenuItemCollection.h"
#include "Weather/COnlineUpdateCatalog.h"

namespace {

using UserInterface::CDlgControl;
using UserInterface::CDlgListBox;
using UserInterface::CDlgSeparator;
using UserInterface::CDlgStatic;

constexpr int kRuleHeight = 2;
constexpr int kRowHeight = 25;

constexpr DWORD kRow = CDlgControl::kVisible | CDlgControl::kHostBackground | CDlgControl::kFillWidth;
constexpr DWORD kTextStyle = kRow | CDlgControl::kPreferredHeight | CDlgStatic::kWordBreak;
constexpr DWORD kRuleStyle = kRow | CDlgSeparator::kEngraved;
constexpr DWORD kListStyle = kRow | CDlgControl::kFillHeight | CDlgListBox::kTintSelection | CDlgListBox::kSingleLine;

bool AppendEntry(UserInterface::CMenuItemCollection* items, int command, const char* key) {
    UserInterface::CMenuItem item;
    item.SetCommand(command);
    return item.SetCaption(key) && items->Append(&item);
}

}  // namespace

INT_PTR CSelectUpdateDlg::Run(HWND owner, const COnlineUpdateCatalog* catalog, const TransitionInfo* transition) {
    if (catalog == nullptr) {
        return IDCANCEL;
    }
    m_catalog = catalog;
    return RunModal(owner, 0, nullptr, nullptr, transition);
}

BOOL CSelectUpdateDlg::OnCreateMenu(UserInterface::CMenuInfo* menu) {
    menu->Clear();
    menu->SetFlags(UserInterface::CMenuInfo::kNoInputPanel);
    menu->SetCommand(UserInterface::kLeftSoftKey, kDownloadCommand);
    menu->SetCommand(UserInterface::kRightSoftKey, kMenuCommand);
    UserInterface::CMenuItemCollection popup;
    return menu->SetCaption(UserInterface::kLeftSoftKey, "IDS_CAP_DOWNLOAD") &&
           menu->SetCaption(UserInterface::kRightSoftKey, "IDS_CAP_MENU") &&
           AppendEntry(&popup, kInfoCommand, "IDS_CAP_INFO") &&
           AppendEntry(&popup, IDCANCEL, "IDS_CAP_CANCEL") &&
           menu->SetPopup(UserInterface::kRightSoftKey, &popup);
}

BOOL CSelectUpdateDlg::OnInitControls() {
    LPCWSTR text = LoadLocalizedString("IDS_SOME_UPDATING_AVAILABLE_TMPL");
    if (m_catalog == nullptr || AddText(kTextId, kTextStyle, text != nullptr ? text : u"", nullptr) == nullptr ||
        AddSeparator(kSeparatorId, kRuleStyle, CSysInfo::Scale(kRuleHeight)) == nullptr) {
        return FALSE;
    }
    std::unique_ptr<CDlgListBox> list(new (std::nothrow) CDlgListBox());
    if (list == nullptr ||
        !list->Create(kListId, kListStyle, UserInterface::kSizedByLayout, UserInterface::kSizedByLayout)) {
        return FALSE;
    }
    list->SetTextColor(kTextColor, UserInterface::kNoRedraw);
    list->SetMinItemHeight(CSysInfo::Scale(kRowHeight), UserInterface::kNoRedraw);
    if (g_pApplicationSkin != nullptr) {
        list->SetBorderColor(g_pApplicationSkin->GetSkinColor(CApplicationSkin::kBackgroundColorIndex),
                             UserInterface::kNoRedraw);
    }
    if (!GetLayout()->AddControl(list.get())) {
        return FALSE;
    }
    return FillList(list.release()) && CAppBasicDialog::OnInitControls();
}

bool CSelectUpdateDlg::FillList(CDlgListBox* list) {
    for (int i = 0; i < m_catalog->GetCount(); ++i) {
        LPCWSTR kind = LoadLocalizedString(m_catalog->GetProduct(i)->IsPaid() ? "IDS_PAID_UPDATE" : "IDS_FREE_UPDATE");
        if (!list->AddItem(kind != nullptr ? kind : u"", -1, -1, i, UserInterface::kNoRedraw)) {
            return false;
        }
    }
    if (list->GetItemCount() > 0) {
        list->SetSelection(0, UserInterface::kNoRedraw);
    }
    return true;
}

CDlgListBox* CSelectUpdateDlg::List() const {
    return GetLayout() != nullptr ? static_cast<CDlgListBox*>(GetLayout()->FindControl(kListId)) : nullptr;
}

int CSelectUpdateDlg::GetSelectedProduct() const {
    CDlgListBox* list = List();
    const int row = list != nullptr ? list->GetSelection() : -1;
    return row >= 0 ? static_cast<int>(list->GetItemData(row)) : -1;
}

void CSelectUpdateDlg::ShowSelectedInformation() {
    const CProductInfo* product = m_catalog != nullptr ? m_catalog->GetProduct(GetSelectedProduct()) : nullptr;
    if (product == nullptr) {
        return;
    }
    CUpdateInfoDlg information;
    information.RunOverScreen(this, product, CUpdateInfoDlg::kInformation);
}

BOOL CSelectUpdateDlg::OnDialogCommand(int id, int code, HWND window) {
    switch (id) {
        case IDOK:
        case kDownloadCommand: EndDialog(IDOK); return TRUE;
        case IDCANCEL: EndDialog(IDCANCEL); return TRUE;
        case kInfoCommand: ShowSelectedInformation(); return TRUE;
        default: return CAppBasicDialog::OnDialogCommand(id, code, window);
    }
}

// On the key's release, so that its press does not reach the screen below.
BOOL CSelectUpdateDlg::OnBackKey(WPARAM, LPARAM lParam) {
    return (LOWORD(lParam) & MOD_KEYUP) ? OnDialogCommand(IDCANCEL, 0, nullptr) : TRUE;
}
