#include "UserInterface/CSmartComboDlg.h"

#include "CSysInfo.h"
#include "UserInterface/CDlgComboBox.h"
#include "UserInterface/CDlgLayout.h"
#include "UserInterface/CDlgListBox.h"
#include "UserInterface/IDlgControlImages.h"

namespace UserInterface {

CSmartComboDlg::CSmartComboDlg() { SetLayoutSpacing(CSysInfo::Scale(2), CSysInfo::Scale(2)); }

CSmartComboDlg::~CSmartComboDlg() = default;

BOOL CSmartComboDlg::OnInitDialog() {
    ShowOwnerTitle();
    const BOOL initialised = CSmartDialog::OnInitDialog();
    ShowSelection();
    return initialised;
}

BOOL CSmartComboDlg::OnSize(int width, int height) {
    const BOOL sized = CSmartDialog::OnSize(width, height);
    ShowSelection();
    return sized;
}

// The drop-down stands in for the page that opened it: the task bar keeps showing that page's title.
void CSmartComboDlg::ShowOwnerTitle() {
    HWND owner = ::GetParent(m_hWnd);
    WCHAR title[kTitleLength] = {};
    if (owner != nullptr && GetWindowTextW(owner, title, kTitleLength) > 0) {
        SetWindowTextW(m_hWnd, title);
    }
}

void CSmartComboDlg::ShowSelection() {
    auto* list = GetLayout() != nullptr ? dynamic_cast<CDlgListBox*>(GetLayout()->FindControl(CDlgComboBox::kListId))
                                        : nullptr;
    if (list != nullptr && list->GetSelection() >= 0) {
        list->EnsureVisible(list->GetSelection(), kRedraw);
    }
}

// The skin's background lines up with the whole screen whatever context the control paints into.
void CSmartComboDlg::EraseBackground(CDlgControl* control, HDC dc, const RECT* rect) {
    IDlgControlImages* skin = g_pDlgControlImages;
    if (rect == nullptr) {
        return;
    }
    RECT target;
    GetClientRect(&target);
    if (control != nullptr) {
        RECT place;
        control->GetRect(&place);
        OffsetRect(&target, rect->left - place.left, rect->top - place.top);
    }
    if (skin == nullptr || !skin->DrawBackground(dc, &target, rect)) {
        CSmartDialog::EraseBackground(control, dc, rect);
    }
}

LRESULT CSmartComboDlg::OnControlNotify(CDlgControl* control, int code, LPARAM a, LPARAM b) {
    if (code == CDlgListBox::kNotifyEnter || code == CDlgListBox::kNotifyTap) {
        EndDialog(IDOK);
        return 1;
    }
    return CSmartDialog::OnControlNotify(control, code, a, b);
}

}  // namespace UserInterface
