#include "Screens/CSelectFromListDlg.h"

#include <algorithm>
#include <memory>
#include <new>

#include "CGdiFactory.h"
#include "CSysInfo.h"
#include "DrawingHelpers.h"
#include "RectHelpers.h"
#include "Screens/CSettingsDialog.h"
#include "Screens/ModalDialogRun.h"
#include "UserInterface/CDlgEdit.h"
#include "UserInterface/CDlgListBox.h"
#include "UserInterface/CDlgSeparator.h"
#include "UserInterface/CDlgStatic.h"
#include "Weather/DeviceUtilities.h"
#include "Weather/GlobalServices.h"

using UserInterface::CDlgControl;
using UserInterface::CDlgEdit;
using UserInterface::CDlgListBox;

namespace {

constexpr DWORD kTitleStyle = 0x20010012;
constexpr DWORD kSeparatorStyle = 0x40012;
constexpr DWORD kListStyle = 0x5210012;
constexpr DWORD kSearchStyle = 0x10013;
constexpr int kTitleFontSize = 0;
constexpr int kRowFontSize = 5;
constexpr DWORD kSelectionTint = 0x40FFFFFF;
constexpr int kRowSpacing = 2;
constexpr int kRowHeight = 25;
constexpr int kSeparatorHeight = 2;
constexpr int kSearchHeight = 25;
constexpr COLORREF kWhite = 0xFFFFFF;
constexpr COLORREF kBlack = 0x000000;
constexpr int kSearchTintAlpha = 128;
// Menu flags: the input panel comes up with the dialog in portrait only.
constexpr DWORD kPortraitMenuFlags = 1;
constexpr DWORD kLandscapeMenuFlags = 2;

HFONT FontOf(int sizeIndex, bool bold) {
    return g_pGdiFactory != nullptr
               ? g_pGdiFactory->GetFont(sizeIndex, CGdiFactory::kClearType, bold, CGdiFactory::kNoUnderline)
               : nullptr;
}

}  // namespace

// ---- layout -------------------------------------------------------------------------------------------

void CSelectFromListDlg::CSelectFromListDlgLayout::Arrange() {
    const RECT& view = GetView();
    const int margin = GetMargin();
    const int gap = GetRowGap();
    const int width = RectWidth(view) - 2 * margin;
    const int left = view.left + margin;
    int top = view.top + margin;
    if (CDlgControl* title = FindControl(kTitleId)) {
        title->Move(left, top, width, 0, UserInterface::kNoRedraw);
        const int height = title->GetPreferredHeight();
        title->Move(left, top, width, height, UserInterface::kNoRedraw);
        top += height + gap;
    }
    if (CDlgControl* separator = FindControl(kSeparatorId)) {
        separator->Move(left, top, width, CSysInfo::Scale(kSeparatorHeight), UserInterface::kNoRedraw);
        top += CSysInfo::Scale(kSeparatorHeight) + gap;
    }
    const int searchHeight = CSysInfo::Scale(kSearchHeight);
    const int searchTop = view.bottom - gap - searchHeight;
    if (CDlgControl* search = FindControl(kSearchId)) {
        search->Move(left, searchTop, width, searchHeight, UserInterface::kNoRedraw);
    }
    if (CDlgControl* list = FindControl(kListId)) {
        list->Move(left, top, width, std::max(0, searchTop - gap - top), UserInterface::kNoRedraw);
    }
}

int CSelectFromListDlg::CSelectFromListDlgLayout::GetContentHeight() const {
    return RectHeight(GetView());
}

UserInterface::CDlgLayout* CSelectFromListDlg::CreateLayout() { return new (std::nothrow) CSelectFromListDlgLayout; }

// ---- running ------------------------------------------------------------------------------------------

bool CSelectFromListDlg::Prepare(LPCWSTR title, const std::vector<std::u16string>* items, int* resultIndex) {
    if (items == nullptr || resultIndex == nullptr) {
        return false;
    }
    m_hasTitle = title != nullptr;
    m_title = title != nullptr ? title : u"";
    m_items = items;
    m_resultIndex = resultIndex;
    return true;
}

INT_PTR CSelectFromListDlg::Run(UserInterface::CSmartDialog* parent, LPCWSTR title,
                                const std::vector<std::u16string>* items, int* resultIndex) {
    if (!Prepare(title, items, resultIndex)) {
        return IDCANCEL;
    }
    return RunModalDialog(*this, parent, parent != nullptr ? parent->GetScreenCapture() : nullptr);
}

INT_PTR CSelectFromListDlg::RunOverWindow(HWND parent, LPCWSTR title, const std::vector<std::u16string>* items,
                                          int* resultIndex, UserInterface::IDlgScreenCapture* capture) {
    if (!Prepare(title, items, resultIndex)) {
        return IDCANCEL;
    }
    return RunModalDialogOverWindow(*this, parent, capture);
}

bool CSelectFromListDlg::IsPortrait() { return g_pSysInfo == nullptr || g_pSysInfo->IsPortrait(); }

BOOL CSelectFromListDlg::OnCreateMenu(UserInterface::CMenuInfo* menu) {
    menu->Clear();
    menu->SetFlags(IsPortrait() ? kPortraitMenuFlags : kLandscapeMenuFlags);
    menu->SetCommand(UserInterface::kLeftSoftKey, kSelectCommand);
    menu->SetCommand(UserInterface::kRightSoftKey, IDCANCEL);
    return menu->SetCaption(UserInterface::kLeftSoftKey, "IDS_CAP_SELECT") &&
           menu->SetCaption(UserInterface::kRightSoftKey, "IDS_CAP_CANCEL");
}

// ---- controls -----------------------------------------------------------------------------------------

BOOL CSelectFromListDlg::OnInitControls() {
    if (m_hasTitle) {
        UserInterface::CDlgStatic* title = AddText(kTitleId, kTitleStyle, m_title.c_str(), nullptr);
        if (title == nullptr) {
            return FALSE;
        }
        title->SetFont(FontOf(kTitleFontSize, CGdiFactory::kBold), UserInterface::kNoRedraw);
    }
    UserInterface::CDlgSeparator* separator = AddSeparator(kSeparatorId, kSeparatorStyle, 1);
    if (separator == nullptr) {
        return FALSE;
    }
    separator->SetBorderColor(kBlack, UserInterface::kNoRedraw);
    std::unique_ptr<CDlgListBox> list(new (std::nothrow) CDlgListBox());
    if (list == nullptr ||
        !list->Create(kListId, kListStyle, UserInterface::kSizedByLayout, UserInterface::kSizedByLayout)) {
        return FALSE;
    }
    list->SetFont(FontOf(kRowFontSize, CGdiFactory::kRegular), UserInterface::kNoRedraw);
    list->SetBorderColor(SkinBorderColor(), UserInterface::kNoRedraw);
    list->SetSelectionTint(kSelectionTint, UserInterface::kNoRedraw);
    list->SetTextColor(kWhite, UserInterface::kNoRedraw);
    list->SetRowSpacing(CSysInfo::Scale(kRowSpacing), UserInterface::kNoRedraw);
    list->SetMinItemHeight(CSysInfo::Scale(kRowHeight), UserInterface::kNoRedraw);
    if (!GetLayout()->AddControl(list.get())) {
        return FALSE;
    }
    list.release();
    std::unique_ptr<CDlgEdit> search(new (std::nothrow) CDlgEdit());
    if (search == nullptr || !search->Create(kSearchId, kSearchStyle, UserInterface::kSizedByLayout,
                                             UserInterface::kSizedByLayout)) {
        return FALSE;
    }
    search->SetFont(FontOf(kRowFontSize, CGdiFactory::kRegular), UserInterface::kNoRedraw);
    search->SetTextColor(kBlack, UserInterface::kNoRedraw);
    search->SetBorderColor(CSettingsDialog::GetSettingsFieldColor(), UserInterface::kNoRedraw);
    search->SetFocusColor(CSettingsDialog::GetThemeColor(), UserInterface::kNoRedraw);
    search->SetLimitText(kSearchLength - 1);
    if (!GetLayout()->AddControl(search.get())) {
        return FALSE;
    }
    search.release();
    return CAppBasicDialog::OnInitControls();
}

BOOL CSelectFromListDlg::OnInitDialog() {
    BeginWaitCursor();
    const BOOL initialised = CAppBasicDialog::OnInitDialog();
    if (initialised) {
        GetScroller().SetBorderColor(SkinBorderColor(), UserInterface::kNoRedraw);
        SetFocusControl(Search(), UserInterface::kKeepScrollPosition);
    }
    EndWaitCursor();
    return initialised;
}

CDlgListBox* CSelectFromListDlg::List() const {
    return GetLayout() != nullptr ? static_cast<CDlgListBox*>(GetLayout()->FindControl(kListId)) : nullptr;
}

CDlgEdit* CSelectFromListDlg::Search() const {
    return GetLayout() != nullptr ? static_cast<CDlgEdit*>(GetLayout()->FindControl(kSearchId)) : nullptr;
}

// ---- content ------------------------------------------------------------------------------------------

BOOL CSelectFromListDlg::Refresh(DWORD mask) {
    if ((mask & kRefreshList) && !FillList()) {
        return FALSE;
    }
    if ((mask & kRefreshSoftKeys) && !UpdateSoftKeys()) {
        return FALSE;
    }
    return TRUE;
}

bool CSelectFromListDlg::FillList() {
    CDlgListBox* list = List();
    if (list == nullptr || m_items == nullptr) {
        return false;
    }
    const int selected = list->GetSelection();
    const intptr_t remembered = selected >= 0 ? list->GetItemData(selected) : -1;
    list->ResetContent(UserInterface::kNoRedraw);
    for (size_t i = 0; i < m_items->size(); ++i) {
        if (!list->AddItem((*m_items)[i].c_str(), -1, -1, static_cast<intptr_t>(i),
                           UserInterface::kNoRedraw)) {
            return false;
        }
    }
    const intptr_t wanted = remembered != -1 ? remembered : *m_resultIndex;
    int row = list->GetItemCount() > 0 ? 0 : -1;
    for (int i = 0; i < list->GetItemCount(); ++i) {
        if (list->GetItemData(i) == wanted) {
            row = i;
            break;
        }
    }
    list->SetSelection(row, UserInterface::kNoRedraw);
    ShowRow(row);
    if (!IsPaintingSuppressed() && m_hWnd != nullptr) {
        list->Redraw(nullptr);
    }
    return true;
}

bool CSelectFromListDlg::UpdateSoftKeys() {
    CDlgListBox* list = List();
    const bool enabled = list != nullptr && list->GetItemCount() > 0 && list->GetSelection() >= 0;
    if (GetMenuInfo().IsEnabled(UserInterface::kLeftSoftKey) == enabled) {
        return true;
    }
    GetMenuInfo().SetEnabled(UserInterface::kLeftSoftKey, enabled);
    return GetMenuBar() == nullptr || UserInterface::CMenuInfo::UpdateMenuBar(GetMenuBar(), GetMenuInfo());
}

void CSelectFromListDlg::ShowRow(int row) {
    CDlgListBox* list = List();
    if (list == nullptr || row < 0) {
        return;
    }
    list->EnsureVisible(row, UserInterface::kNoRedraw);
    if (IsPortrait()) {
        list->EnsureVisible(std::max(0, row - kRowsAboveFound), UserInterface::kNoRedraw);
    }
}

void CSelectFromListDlg::RunSearch() {
    CDlgListBox* list = List();
    CDlgEdit* search = Search();
    if (list == nullptr || search == nullptr) {
        return;
    }
    WCHAR text[kSearchLength] = {};
    search->GetText(text, kSearchLength);
    const int found = std::max(0, list->FindItem(text, FALSE));
    list->SetSelection(found, UserInterface::kNoRedraw);
    ShowRow(found);
    list->Redraw(nullptr);
    UpdateSoftKeys();
}

void CSelectFromListDlg::SelectChosen() {
    CDlgListBox* list = List();
    const int row = list != nullptr ? list->GetSelection() : -1;
    if (row < 0 || m_resultIndex == nullptr) {
        return;
    }
    *m_resultIndex = static_cast<int>(list->GetItemData(row));
    EndDialog(IDOK);
}

// ---- input --------------------------------------------------------------------------------------------

BOOL CSelectFromListDlg::OnDialogCommand(int id, int code, HWND window) {
    if (id == IDOK || id == kSelectCommand) {
        SelectChosen();
        return TRUE;
    }
    return CAppBasicDialog::OnDialogCommand(id, code, window);
}

LRESULT CSelectFromListDlg::OnControlNotify(CDlgControl* control, int code, LPARAM a, LPARAM b) {
    const int id = control != nullptr ? control->GetId() : -1;
    if (id == kListId && (code == CDlgListBox::kNotifyEnter || code == CDlgListBox::kNotifyTap)) {
        SelectChosen();
        return 1;
    }
    if (id == kListId && code == CDlgListBox::kNotifySelectionChanged) {
        UpdateSoftKeys();
        return 1;
    }
    if (id == kSearchId && (code == CDlgEdit::kNotifyChange || code == CDlgEdit::kNotifyUpdate)) {
        RunSearch();
        return 1;
    }
    if (id == kSearchId && code == CDlgEdit::kNotifyEnter) {
        SelectChosen();
        return 1;
    }
    return CAppBasicDialog::OnControlNotify(control, code, a, b);
}

// Up and Down move through the list wherever the focus is.
BOOL CSelectFromListDlg::OnKey(UINT key, BOOL down) {
    if ((key == VK_UP || key == VK_DOWN) && List() != nullptr) {
        List()->SendMessage(down ? CDlgControl::kMsgKeyDown : CDlgControl::kMsgKeyUp, 0, static_cast<LPARAM>(key));
        return TRUE;
    }
    return CAppBasicDialog::OnKey(key, down);
}

// The Back key erases in the search field, as it does in any text field; with nothing left to erase it
// leaves the picker as Cancel does, on its release, so that the press does not reach the screen below.
// Holding it down to clear the field does not leave as well.
BOOL CSelectFromListDlg::OnBackKey(WPARAM, LPARAM lParam) {
    if (!(LOWORD(lParam) & MOD_KEYUP)) {
        m_backErased = EraseSearchCharacter() || m_backErased;
        return TRUE;
    }
    const bool leave = !m_backErased;
    m_backErased = false;
    return leave ? OnDialogCommand(IDCANCEL, 0, nullptr) : TRUE;
}

bool CSelectFromListDlg::EraseSearchCharacter() {
    CDlgEdit* search = Search();
    WCHAR text[kSearchLength] = {};
    if (search != nullptr) {
        search->GetText(text, kSearchLength);
    }
    const int length = lstrlenW(text);
    if (length == 0) {
        return false;
    }
    text[length - 1] = 0;
    search->SetText(text, UserInterface::kRedraw);
    RunSearch();
    return true;
}

BOOL CSelectFromListDlg::OnSize(int width, int height) {
    CAppBasicDialog::OnSize(width, height);
    if (GetLayout() != nullptr) {
        GetLayout()->ScrollTo(0, UserInterface::kNoAnimation);
    }
    if (CDlgListBox* list = List()) {
        list->EnsureVisible(list->GetSelection(), UserInterface::kNoRedraw);
    }
    Redraw(kKeepBackground);
    return TRUE;
}

// A light veil behind the search field sets it off from the skin.
void CSelectFromListDlg::EraseBackground(CDlgControl* control, HDC dc, const RECT* rect) {
    CAppBasicDialog::EraseBackground(control, dc, rect);
    if (control != nullptr && control == Search() && rect != nullptr) {
        TintRect(dc, rect, kWhite, kSearchTintAlpha);
    }
}
