#include "Screens/CForecastViewDlg.h"

#include <new>
#include <string>
#include <vector>

#include "CSysInfo.h"
#include "Controls/CSwitchControl.h"
#include "RectHelpers.h"
#include "Screens/CAppMessageBox.h"
#include "Screens/CMainWindowLayout.h"
#include "Screens/MainWindowMenu.h"
#include "Screens/ViewScreenControls.h"
#include "UserInterface/CDlgSeparator.h"
#include "UserInterface/CGenericEffect.h"
#include "Weather/CCityList.h"
#include "Weather/CForecastUpdater.h"
#include "Weather/GlobalServices.h"

using UserInterface::CDlgControl;
namespace Menu = MainWindowMenu;

namespace {

constexpr DWORD kSeparatorStyle = 0x40012;

bool IsSmartphone() { return g_pSysInfo != nullptr && g_pSysInfo->IsSmartphone(); }

}  // namespace

// ---- layout -------------------------------------------------------------------------------------------

void CForecastViewDlg::CForecastViewLayout::Arrange() {
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

int CForecastViewDlg::CForecastViewLayout::GetContentHeight() const {
    const RECT& view = GetView();
    return RectHeight(view);
}

void CForecastViewDlg::CForecastViewLayout::PlaceControl(int id, const RECT& rect) {
    FindControl(id)->Move(rect.left, rect.top, RectWidth(rect), RectHeight(rect), UserInterface::kNoRedraw);
}

// ---- the view -----------------------------------------------------------------------------------------

CForecastViewDlg::CForecastViewDlg() {
    SetLayoutSpacing(0, 0);
    // Over another screen the pictures blend; the main window hands its own transition instead.
    SetWindowTransition(UserInterface::CreateTransitionEffect(kTransitionKind));
}

CForecastViewDlg::~CForecastViewDlg() = default;

CSwitchControl* CForecastViewDlg::GetSwitch() const {
    return GetLayout() != nullptr ? static_cast<CSwitchControl*>(GetLayout()->FindControl(kSwitch)) : nullptr;
}

CToolBarControl* CForecastViewDlg::GetToolbar() const {
    return GetLayout() != nullptr ? static_cast<CToolBarControl*>(GetLayout()->FindControl(kToolbar)) : nullptr;
}

BOOL CForecastViewDlg::OnInitControls() {
    UserInterface::CDlgLayout* layout = GetLayout();
    if (ViewScreenControls::AddSwitch(layout, kSwitch) == nullptr ||
        AddSeparator(kSeparator, kSeparatorStyle, 1) == nullptr || !AddContent(layout) ||
        (!IsSmartphone() && ViewScreenControls::AddToolbar(layout, kToolbar) == nullptr)) {
        return FALSE;
    }
    return CAppBasicDialog::OnInitControls();
}

BOOL CForecastViewDlg::OnInitDialog() {
    if (!CAppBasicDialog::OnInitDialog()) {
        return FALSE;
    }
    m_relay.Attach(m_hWnd, WMU_FORECAST_EVENT);
    return TRUE;
}

void CForecastViewDlg::OnDestroy() {
    m_relay.Detach();
    CAppBasicDialog::OnDestroy();
}

bool CForecastViewDlg::UpdateToolbar() {
    CToolBarControl* toolbar = GetToolbar();
    return toolbar == nullptr || toolbar->SetButtons(GetToolbarButtons(), ShouldRepaint());
}

BOOL CForecastViewDlg::ShouldRepaint() const {
    return !IsPaintingSuppressed() && m_hWnd != nullptr && IsWindowVisible(m_hWnd);
}

bool CForecastViewDlg::IsUpdating() { return g_pForecastUpdater != nullptr && g_pForecastUpdater->IsRunning(); }

void CForecastViewDlg::UpdateAllForecasts() {
    std::vector<std::u16string> ids;
    if (g_pForecastUpdater == nullptr || g_pForecastUpdater->IsRunning() || g_pCityList == nullptr ||
        !g_pCityList->GetLocationIds(&ids) || ids.empty()) {
        return;
    }
    g_pForecastUpdater->Start(ids, CForecastUpdater::kReturnAtOnce, CForecastUpdater::kOneAttempt,
                              CForecastUpdater::kNoDelay);
}

void CForecastViewDlg::ShowUpdateOutcome(int result) {
    if (result == CForecastUpdater::kResultSuccess) {
        return;
    }
    CAppMessageBox box;
    CForecastUpdater::ShowResultMessage(box, this, this, result, m_relay.CitiesWithoutData());
}

// ---- input --------------------------------------------------------------------------------------------

BOOL CForecastViewDlg::OnDialogCommand(int id, int code, HWND window) {
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
BOOL CForecastViewDlg::OnBackKey(WPARAM, LPARAM lParam) {
    if (LOWORD(lParam) & MOD_KEYUP) {
        return OnDialogCommand(Menu::kBack, 0, nullptr);
    }
    return TRUE;
}

BOOL CForecastViewDlg::OnLButtonDown(int x, int y) {
    m_swipe.PenDown(x, y);
    return CAppBasicDialog::OnLButtonDown(x, y);
}

BOOL CForecastViewDlg::OnMouseMove(int x, int y) {
    CPageSwipe::TakeLatestMove(m_hWnd, &x, &y);
    CAppBasicDialog::OnMouseMove(x, y);
    const CPageSwipe::Turn turn = m_swipe.PenMove(x);
    if (turn != CPageSwipe::kNone) {
        TurnPage(turn == CPageSwipe::kNext);
    }
    return TRUE;
}

LRESULT CForecastViewDlg::OnControlNotify(CDlgControl* control, int code, LPARAM a, LPARAM b) {
    const int id = control != nullptr ? control->GetId() : -1;
    if (id == kSwitch && (code == CSwitchControl::kNotifyPrevious || code == CSwitchControl::kNotifyNext)) {
        TurnPage(code == CSwitchControl::kNotifyNext);
        return 1;
    }
    if (id == kToolbar && code == CToolBarControl::kNotifyCommand) {
        OnDialogCommand(static_cast<int>(b), 0, nullptr);
        return 1;
    }
    return CAppBasicDialog::OnControlNotify(control, code, a, b);
}

void CForecastViewDlg::CancelPen() {
    if (CDlgControl* pressed = GetPressedControl()) {
        pressed->SendMessage(CDlgControl::kMsgPointerCancel, 0, 0);
    }
    ClearPressedControl();
}

BOOL CForecastViewDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WMU_FORECAST_EVENT) {
        return CAppBasicDialog::OnMessage(message, wParam, lParam);
    }
    OnForecastEvent(CForecastEventRelay::StatusOf(wParam), static_cast<int>(lParam), CForecastEventRelay::IsLast(wParam));
    return TRUE;
}
