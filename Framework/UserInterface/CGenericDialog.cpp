#include "UserInterface/CGenericDialog.h"

#include "CSysInfo.h"
#include "RectHelpers.h"
#include "UserInterface/DialogResources.h"

namespace UserInterface {

CGenericDialog::CGenericDialog() = default;

CGenericDialog::~CGenericDialog() = default;

INT_PTR CGenericDialog::DoModal(HWND parent, UINT templateId, const CMenuInfo* menuInfo) {
    if (menuInfo != nullptr) {
        m_menuInfo.Assign(*menuInfo);
    }
    HINSTANCE instance = DialogResources::ProgramInstance();
    HRSRC resource = FindResourceW(instance, MAKEINTRESOURCEW(templateId), RT_DIALOG);
    const void* data = resource != nullptr ? LockResource(LoadResource(instance, resource)) : nullptr;
    if (data == nullptr) {
        return -1;
    }
    return DialogBoxIndirectParamW(instance, static_cast<LPCDLGTEMPLATEW>(data), parent, DialogProc,
                                   reinterpret_cast<LPARAM>(this));
}

HWND CGenericDialog::CreateMenuBar(HWND window, const CMenuInfo* menuInfo) {
    return menuInfo != nullptr ? CMenuInfo::CreateMenuBar(window, *menuInfo) : nullptr;
}

INT_PTR CALLBACK CGenericDialog::DialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    auto* dialog = reinterpret_cast<CGenericDialog*>(GetWindowLongW(window, GWL_USERDATA));
    if (message == WM_INITDIALOG) {
        dialog = reinterpret_cast<CGenericDialog*>(lParam);
        if (dialog == nullptr) {
            return FALSE;
        }
        SetWindowLongW(window, GWL_USERDATA, lParam);
        dialog->m_hWnd = window;
    }
    return dialog != nullptr ? dialog->HandleMessage(message, wParam, lParam) : FALSE;
}

INT_PTR CGenericDialog::SetMessageResult(LRESULT result) {
    SetWindowLongW(m_hWnd, DWL_MSGRESULT, result);
    return TRUE;
}

INT_PTR CGenericDialog::HandleMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    const POINT point = PointFromLParam(lParam);
    switch (message) {
    case WM_INITDIALOG:
        return OnInitDialog();
    case WM_DESTROY:
        OnDestroy();
        return 0;
    case WM_SIZE:
        if (g_pSysInfo != nullptr) {
            g_pSysInfo->UpdateScreenSize();
        }
        OnSize(LOWORD(lParam), HIWORD(lParam));
        return 0;
    case WM_ACTIVATE:
        SHHandleWMActivate(m_hWnd, wParam, lParam, &m_activateInfo, 0);
        // A click activation activates as well: only WA_INACTIVE deactivates.
        return OnActivate(LOWORD(wParam) != WA_INACTIVE, lParam);
    case WM_SETTINGCHANGE:
        SHHandleWMSettingChange(m_hWnd, wParam, lParam, &m_activateInfo);
        return 0;
    case WM_PAINT:
        OnPaint();
        return 0;
    case WM_ERASEBKGND:
        return OnEraseBkgnd(reinterpret_cast<HDC>(wParam)) ? SetMessageResult(1) : FALSE;
    case WM_DRAWITEM:
        OnDrawItem(static_cast<int>(wParam), reinterpret_cast<DRAWITEMSTRUCT*>(lParam));
        return 0;
    case WM_NOTIFY:
        return OnNotify(reinterpret_cast<NMHDR*>(lParam));
    case WM_HELP:
        return OnHelp();
    case WM_GETDLGCODE:
        return SetMessageResult(OnGetDlgCode(static_cast<UINT>(wParam)));
    case WM_KEYDOWN:
    case WM_KEYUP:
        return OnKey(static_cast<UINT>(wParam), message == WM_KEYDOWN);
    case WM_COMMAND:
        OnCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        return 0;
    case WM_TIMER:
        return OnTimer(wParam);
    case WM_VSCROLL:
        OnVScroll(LOWORD(wParam), reinterpret_cast<HWND>(lParam));
        return 0;
    case WM_INITMENUPOPUP:
        OnInitMenuPopup(LOWORD(lParam), reinterpret_cast<HMENU>(wParam));
        return 0;
    case WM_CTLCOLOREDIT:
    case WM_CTLCOLORLISTBOX:
    case WM_CTLCOLORBTN:
    case WM_CTLCOLORDLG:
    case WM_CTLCOLORSCROLLBAR:
    case WM_CTLCOLORSTATIC: {
        auto brush = reinterpret_cast<INT_PTR>(OnCtlColor(reinterpret_cast<HDC>(wParam), reinterpret_cast<HWND>(lParam),
                                                          static_cast<int>(message - WM_CTLCOLOREDIT)));
        SetWindowLongW(m_hWnd, DWL_MSGRESULT, brush);
        return brush;
    }
    case WM_MOUSEMOVE:
        return OnMouseMove(point.x, point.y);
    case WM_LBUTTONDOWN:
        return OnLButtonDown(point.x, point.y);
    case WM_LBUTTONUP:
        return OnLButtonUp(point.x, point.y);
    case WM_LBUTTONDBLCLK:
        return OnLButtonDblClk(point.x, point.y);
    case WM_HOTKEY:
        if (HIWORD(lParam) == VK_ESCAPE) {
            OnBackKey(wParam, lParam);
        }
        return 0;
    default:
        return OnMessage(message, wParam, lParam);
    }
}

BOOL CGenericDialog::EndDialog(int result) { return m_hWnd != nullptr && ::EndDialog(m_hWnd, result); }

BOOL CGenericDialog::OnTimer(UINT_PTR) { return FALSE; }

HBRUSH CGenericDialog::OnCtlColor(HDC, HWND, int) { return nullptr; }

BOOL CGenericDialog::OverrideBackKey() {
    return m_hMenuBar != nullptr &&
           SendMessageW(m_hMenuBar, SHCMBM_OVERRIDEKEY, VK_ESCAPE,
                        MAKELPARAM(SHMBOF_NODEFAULT | SHMBOF_NOTIFY, SHMBOF_NODEFAULT | SHMBOF_NOTIFY)) != 0;
}

LRESULT CGenericDialog::OnNotify(NMHDR*) { return 0; }

BOOL CGenericDialog::OnInitMenuPopup(int index, HMENU menu) {
    for (int key = 0; key < CMenuInfo::kKeyCount; ++key) {
        if (m_menuInfo.GetPopup(key) != nullptr && m_menuInfo.GetCommand(key) == index) {
            return CMenuInfo::FillPopupMenu(menu, m_menuInfo.GetPopup(key));
        }
    }
    return FALSE;
}

BOOL CGenericDialog::OnVScroll(int, HWND) { return FALSE; }

void CGenericDialog::OnDestroy() {
    m_hMenuBar = nullptr;
    ForgetWindow();
}

BOOL CGenericDialog::OnDrawItem(int, DRAWITEMSTRUCT*) { return FALSE; }
BOOL CGenericDialog::OnSize(int, int) { return FALSE; }
BOOL CGenericDialog::OnMessage(UINT, WPARAM, LPARAM) { return FALSE; }
BOOL CGenericDialog::OnPaint() { return FALSE; }
BOOL CGenericDialog::OnEraseBkgnd(HDC) { return FALSE; }
BOOL CGenericDialog::OnLButtonDown(int, int) { return FALSE; }
BOOL CGenericDialog::OnLButtonUp(int, int) { return FALSE; }
BOOL CGenericDialog::OnMouseMove(int, int) { return FALSE; }
BOOL CGenericDialog::OnLButtonDblClk(int, int) { return FALSE; }
BOOL CGenericDialog::OnBackKey(WPARAM, LPARAM) { return FALSE; }

BOOL CGenericDialog::OnCommand(int id, int, HWND) {
    if (id == IDOK || id == IDCANCEL) {
        EndDialog(id);
        return TRUE;
    }
    return FALSE;
}

BOOL CGenericDialog::OnInitDialog() {
    SHINITDLGINFO info{SHIDIM_FLAGS, m_hWnd, SHIDIF_DONEBUTTON | SHIDIF_SIZEDLGFULLSCREEN};
    SHInitDialog(&info);
    if (OnCreateMenu(&m_menuInfo)) {
        m_hMenuBar = CreateMenuBar(m_hWnd, &m_menuInfo);
        OverrideBackKey();
    }
    return TRUE;
}

BOOL CGenericDialog::OnActivate(BOOL active, LPARAM) {
    if (m_menuInfo.GetFlags() != CMenuInfo::kNoInputPanel) {
        const bool raise = active && m_menuInfo.GetFlags() == CMenuInfo::kInputPanelRaised;
        SHSipPreference(m_hWnd, raise ? SIP_UP : SIP_FORCEDOWN);
    }
    return FALSE;
}

BOOL CGenericDialog::OnKey(UINT, BOOL) { return FALSE; }
LRESULT CGenericDialog::OnGetDlgCode(UINT) { return 0; }
BOOL CGenericDialog::OnHelp() { return FALSE; }
BOOL CGenericDialog::OnCreateMenu(CMenuInfo*) { return TRUE; }

}  // namespace UserInterface
