#include "CDetailForecastDlg.h"

#include <memory>
#include <new>
#include <string>
#include <vector>

#include "CCityList.h"
#include "CDate.h"
#include "CDetailForecastControl.h"
#include "CForecastUpdater.h"
#include "CMainWindowLayout.h"
#include "CSwitchControl.h"
#include "CSysInfo.h"
#include "GlobalServices.h"
#include "MainWindowMenu.h"
#include "UserInterface/CDlgSeparator.h"
#include "UserInterface/CGenericEffect.h"
#include "ViewScreenControls.h"

using UserInterface::CDlgControl;
namespace Menu = MainWindowMenu;

namespace {

constexpr DWORD kSeparatorStyle = 0x40012;
constexpr int kDetailFontSize = 2;

bool IsSmartphone() { return g_pSysInfo != nullptr && g_pSysInfo->IsSmartphone(); }

}  // namespace

CPageSwipe CDetailForecastDlg::s_swipe;

// ---- layout -------------------------------------------------------------------------------------------

void CDetailForecastDlg::CDetailForecastDlgLayout::Arrange() {
    const bool withToolbar = !IsSmartphone();
    if (FindControl(kSwitch) == nullptr || FindControl(kSeparator) == nullptr || FindControl(m_contentId) == nullptr ||
        (withToolbar && FindControl(m_toolbarId) == nullptr)) {
        return;
    }
    RECT view = GetView();
    InflateRect(&view, -GetMargin(), -GetMargin());
    const bool portrait = g_pSysInfo == nullptr || g_pSysInfo->IsPortrait();
    const CMainWindowLayout::Bands bands = CMainWindowLayout::ComputeBands(view, withToolbar, portrait);
    if (withToolbar) {
        PlaceControl(m_toolbarId, bands.toolbar);
    }
    PlaceControl(kSwitch, bands.switchBand);
    PlaceControl(kSeparator, bands.separator);
    PlaceControl(m_contentId, bands.graph);
}

void CDetailForecastDlg::CDetailForecastDlgLayout::PlaceControl(int id, const RECT& rect) {
    FindControl(id)->Move(rect.left, rect.top, rect.right - rect.left, rect.bottom - rect.top, FALSE);
}

// ---- the screen ---------------------------------------------------------------------------------------

CDetailForecastDlg::CDetailForecastDlg() {
    SetLayoutSpacing(0, 0);
    // Over another screen the pictures blend; the main window hands its own transition instead.
    SetWindowTransition(UserInterface::CreateTransitionEffect(kTransitionKind));
}

CDetailForecastDlg::~CDetailForecastDlg() = default;

UserInterface::CDlgLayout* CDetailForecastDlg::CreateLayout() { return new (std::nothrow) CDetailForecastDlgLayout; }

CSwitchControl* CDetailForecastDlg::GetSwitch() const {
    return GetLayout() != nullptr ? static_cast<CSwitchControl*>(GetLayout()->FindControl(kSwitch)) : nullptr;
}

CDetailForecastControl* CDetailForecastDlg::GetDetail() const {
    return GetLayout() != nullptr ? static_cast<CDetailForecastControl*>(GetLayout()->FindControl(kDetail)) : nullptr;
}

CToolBarControl* CDetailForecastDlg::GetToolbar() const {
    return GetLayout() != nullptr ? static_cast<CToolBarControl*>(GetLayout()->FindControl(kToolbar)) : nullptr;
}

BOOL CDetailForecastDlg::OnCreateMenu(UserInterface::CMenuInfo* menu) {
    menu->Clear();
    menu->SetFlags(0);
    menu->SetCommand(0, Menu::kPartDetails);
    menu->SetCommand(1, Menu::kMenu);
    return menu->SetCaption(0, "IDS_CAP_DETAILS") && menu->SetCaption(1, "IDS_CAP_MENU");
}

BOOL CDetailForecastDlg::OnInitControls() {
    UserInterface::CDlgLayout* layout = GetLayout();
    if (ViewScreenControls::AddSwitch(layout, kSwitch) == nullptr ||
        AddSeparator(kSeparator, kSeparatorStyle, 1) == nullptr ||
        ViewScreenControls::AddContent<CDetailForecastControl>(layout, kDetail, kDetailFontSize) == nullptr ||
        (!IsSmartphone() && ViewScreenControls::AddToolbar(layout, kToolbar) == nullptr)) {
        return FALSE;
    }
    return CAppBasicDialog::OnInitControls();
}

BOOL CDetailForecastDlg::OnInitDialog() {
    if (!CAppBasicDialog::OnInitDialog()) {
        return FALSE;
    }
    m_relay.Attach(m_hWnd, WMU_FORECAST_EVENT);
    if (CDetailForecastControl* detail = GetDetail()) {
        detail->ResumeAnimation();
    }
    return TRUE;
}

void CDetailForecastDlg::OnDestroy() {
    if (CDetailForecastControl* detail = GetDetail()) {
        detail->PauseAnimation();
    }
    m_relay.Detach();
    CAppBasicDialog::OnDestroy();
}

// Each part on its own: a part that cannot be shown (a day part that has gone) leaves its control as
// it was, while the others still come up and the screen stays open.
BOOL CDetailForecastDlg::Refresh(DWORD mask) {
    for (DWORD part : {kViewSwitch, kViewData, kViewToolbar}) {
        if ((mask & part) != 0) {
            UpdateView(part);
        }
    }
    return TRUE;
}

BOOL CDetailForecastDlg::UpdateView(DWORD flags) {
    if ((flags & kViewSwitch) != 0 && !UpdateSwitch()) {
        return FALSE;
    }
    if ((flags & kViewData) != 0 && !UpdateData()) {
        return FALSE;
    }
    if ((flags & kViewToolbar) != 0 && !UpdateToolbar()) {
        return FALSE;
    }
    return TRUE;
}

bool CDetailForecastDlg::UpdateToolbar() {
    CToolBarControl* toolbar = GetToolbar();
    return toolbar == nullptr || toolbar->SetButtons(GetToolbarButtons(), ShouldRepaint());
}

BOOL CDetailForecastDlg::ShouldRepaint() const {
    return !IsPaintingSuppressed() && m_hWnd != nullptr && IsWindowVisible(m_hWnd);
}

bool CDetailForecastDlg::IsUpdating() { return g_pForecastUpdater != nullptr && g_pForecastUpdater->IsRunning(); }

void CDetailForecastDlg::UpdateAllForecasts() {
    std::vector<std::u16string> ids;
    if (g_pForecastUpdater == nullptr || g_pForecastUpdater->IsRunning() || g_pCityList == nullptr ||
        !g_pCityList->GetLocationIds(&ids) || ids.empty()) {
        return;
    }
    g_pForecastUpdater->Start(ids, false, 1, 0);
}

// ---- input --------------------------------------------------------------------------------------------

BOOL CDetailForecastDlg::OnDialogCommand(int id, int code, HWND window) {
    if (id == IDOK || id == Menu::kBack) {
        EndDialog(IDOK);
        return TRUE;
    }
    if (id == Menu::kUpdateForecast) {
        UpdateAllForecasts();
        return TRUE;
    }
    if (EndsWith(id)) {
        EndDialog(id);
        return TRUE;
    }
    return CAppBasicDialog::OnDialogCommand(id, code, window);
}

// The key's release goes back, so that its press does not reach the screen below.
BOOL CDetailForecastDlg::OnBackKey(WPARAM, LPARAM lParam) {
    if (LOWORD(lParam) & MOD_KEYUP) {
        return OnDialogCommand(Menu::kBack, 0, nullptr);
    }
    return TRUE;
}

BOOL CDetailForecastDlg::OnKey(UINT key, BOOL down) {
    if (CSwitchControl* cities = GetSwitch()) {
        cities->SendMessage(down ? CDlgControl::kMsgKeyDown : CDlgControl::kMsgKeyUp, 0, static_cast<LPARAM>(key));
    }
    return TRUE;
}

BOOL CDetailForecastDlg::OnLButtonDown(int x, int y) {
    s_swipe.PenDown(x, y);
    return CAppBasicDialog::OnLButtonDown(x, y);
}

BOOL CDetailForecastDlg::OnMouseMove(int x, int y) {
    CPageSwipe::TakeLatestMove(m_hWnd, &x, &y);
    CAppBasicDialog::OnMouseMove(x, y);
    const CPageSwipe::Turn turn = s_swipe.PenMove(x);
    if (turn != CPageSwipe::kNone) {
        WithAnimationPaused([&] { turn == CPageSwipe::kNext ? NextPage() : PreviousPage(); });
    }
    return TRUE;
}

LRESULT CDetailForecastDlg::OnControlNotify(CDlgControl* control, int code, LPARAM a, LPARAM b) {
    const int id = control != nullptr ? control->GetId() : -1;
    if (id == kSwitch && (code == CSwitchControl::kNotifyPrevious || code == CSwitchControl::kNotifyNext)) {
        WithAnimationPaused([&] { code == CSwitchControl::kNotifyPrevious ? PreviousPage() : NextPage(); });
        return 1;
    }
    if (id == kToolbar && code == CToolBarControl::kNotifyCommand) {
        OnDialogCommand(static_cast<int>(b), 0, nullptr);
        return 1;
    }
    return CAppBasicDialog::OnControlNotify(control, code, a, b);
}

void CDetailForecastDlg::CancelPen() {
    if (CDlgControl* pressed = GetPressedControl()) {
        pressed->SendMessage(CDlgControl::kMsgPointerCancel, 0, 0);
    }
    ClearPressedControl();
}

void CDetailForecastDlg::WithAnimationPaused(const std::function<void()>& change) {
    CDetailForecastControl* detail = GetDetail();
    if (detail != nullptr) {
        detail->PauseAnimation();
    }
    change();
    if (detail != nullptr) {
        detail->ResumeAnimation();
    }
}

// ---- the updater's news ---------------------------------------------------------------------------------

BOOL CDetailForecastDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WMU_FORECAST_EVENT) {
        return CAppBasicDialog::OnMessage(message, wParam, lParam);
    }
    OnForecastEvent(CForecastEventRelay::StatusOf(wParam), static_cast<int>(lParam), CForecastEventRelay::IsLast(wParam));
    return TRUE;
}

void CDetailForecastDlg::OnForecastEvent(int status, int result, bool last) {
    if (status == CForecastUpdater::kStatusStarted) {
        UpdateView(kViewSwitch);
        return;
    }
    if (status == CForecastUpdater::kStatusDone) {
        ReloadCity();
    }
    UpdateView(static_cast<DWORD>(-1));
    if (last) {
        ShowUpdateOutcome(this, result);
    }
}

void CDetailForecastDlg::ShowUpdateOutcome(UserInterface::CSmartDialog* screen, int result) {
    if (result == CForecastUpdater::kResultSuccess) {
        return;
    }
    CDate today;
    today.SetToday();
    CForecastUpdater::ShowResultMessage(screen, screen, result, 0, &today);
}
