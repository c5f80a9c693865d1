#include "CHourlyForecastDlg.h"

#include <iterator>
#include <new>

#include "CCityList.h"
#include "CForecastUpdater.h"
#include "CHourlyForecastListBox.h"
#include "CLocalization.h"
#include "CSwitchControl.h"
#include "CSysInfo.h"
#include "CToolBarControl.h"
#include "GlobalServices.h"
#include "MainWindowMenu.h"
#include "PageSlide.h"
#include "UserInterface/CGenericEffect.h"
#include "ViewScreenControls.h"

using UserInterface::CDlgControl;
namespace Menu = MainWindowMenu;

namespace {

constexpr DWORD kSeparatorStyle = 0x40012;
constexpr int kListFontSize = 6;
constexpr int kDateLength = 64;

constexpr CToolBarControl::Button kButtons[CToolBarControl::kButtonCount] = {
    {60, Menu::kBack, 1}, {61, Menu::kCityList, 1}, {63, Menu::kDetails, 1}, {64, Menu::kUpdateForecast, 1}};

bool IsSmartphone() { return g_pSysInfo != nullptr && g_pSysInfo->IsSmartphone(); }

bool IsUpdating() { return g_pForecastUpdater != nullptr && g_pForecastUpdater->IsRunning(); }

}  // namespace

CHourlyForecastDlg::CHourlyForecastDlg() {
    SetLayoutSpacing(0, 0);
    SetWindowTransition(UserInterface::CreateTransitionEffect(kTransitionKind));
}

CHourlyForecastDlg::~CHourlyForecastDlg() = default;

UserInterface::CDlgLayout* CHourlyForecastDlg::CreateLayout() { return new (std::nothrow) CHourlyForecastDlgLayout; }

CSwitchControl* CHourlyForecastDlg::GetSwitch() const {
    return GetLayout() != nullptr ? static_cast<CSwitchControl*>(GetLayout()->FindControl(kSwitch)) : nullptr;
}

CHourlyForecastListBox* CHourlyForecastDlg::GetList() const {
    return GetLayout() != nullptr ? static_cast<CHourlyForecastListBox*>(GetLayout()->FindControl(kList)) : nullptr;
}

CToolBarControl* CHourlyForecastDlg::GetToolbar() const {
    return GetLayout() != nullptr ? static_cast<CToolBarControl*>(GetLayout()->FindControl(kToolbar)) : nullptr;
}

INT_PTR CHourlyForecastDlg::Run(HWND owner, LPCWSTR locationId, const CDate* date,
                                UserInterface::IDlgScreenCapture* capture) {
    CCity city;
    if (locationId == nullptr || g_pCityList == nullptr || !g_pCityList->GetCityById(locationId, &city)) {
        return 3;
    }
    lstrcpynW(m_locationId, locationId, CCity::kLocationIdLength + 1);
    m_cityName = city.GetName();
    BuildPages(city);
    m_page = 0;
    if (date != nullptr) {
        const auto found = m_pages.find(*date);
        if (found != m_pages.end()) {
            m_page = static_cast<int>(std::distance(m_pages.begin(), found));
        }
    }
    return RunOverWindow(owner, nullptr, capture);
}

void CHourlyForecastDlg::BuildPages(const CCity& city) {
    m_pages.clear();
    CDate date;
    date.SetToday();
    CHourForecastSet hours;
    while (city.GetHourForecasts(date, &hours) && !hours.empty()) {
        m_pages.emplace(date, hours);
        date.AddDays(1);
    }
}

const CHourForecastSet* CHourlyForecastDlg::CurrentHours() const {
    if (!IsValidPage(m_page)) {
        return nullptr;
    }
    return &std::next(m_pages.begin(), m_page)->second;
}

BOOL CHourlyForecastDlg::OnCreateMenu(UserInterface::CMenuInfo* menu) {
    return Menu::BuildViewScreen(menu, {Menu::kDetails, Menu::kCurrentCondition, Menu::kMaps});
}

BOOL CHourlyForecastDlg::OnInitControls() {
    UserInterface::CDlgLayout* layout = GetLayout();
    if (ViewScreenControls::AddSwitch(layout, kSwitch) == nullptr ||
        AddSeparator(kSeparator, kSeparatorStyle, 1) == nullptr ||
        ViewScreenControls::AddContent<CHourlyForecastListBox>(layout, kList, kListFontSize) == nullptr ||
        (!IsSmartphone() && ViewScreenControls::AddToolbar(layout, kToolbar) == nullptr)) {
        return FALSE;
    }
    return CAppBasicDialog::OnInitControls();
}

BOOL CHourlyForecastDlg::OnInitDialog() {
    if (!CAppBasicDialog::OnInitDialog()) {
        return FALSE;
    }
    m_relay.Attach(m_hWnd, WMU_FORECAST_EVENT);
    return TRUE;
}

void CHourlyForecastDlg::OnDestroy() {
    m_relay.Detach();
    CAppBasicDialog::OnDestroy();
}

// ---- view ---------------------------------------------------------------------------------------------

BOOL CHourlyForecastDlg::Refresh(DWORD mask) { return UpdateView(mask); }

BOOL CHourlyForecastDlg::UpdateView(DWORD flags) {
    if ((flags & kViewSwitch) != 0 && !UpdateSwitch()) {
        return FALSE;
    }
    if ((flags & kViewList) != 0 && !UpdateList()) {
        return FALSE;
    }
    if ((flags & kViewToolbar) != 0 && !UpdateToolbar()) {
        return FALSE;
    }
    return TRUE;
}

BOOL CHourlyForecastDlg::ShouldRepaint() const {
    return !IsPaintingSuppressed() && m_hWnd != nullptr && IsWindowVisible(m_hWnd);
}

bool CHourlyForecastDlg::UpdateSwitch() {
    CSwitchControl* days = GetSwitch();
    if (days == nullptr) {
        return false;
    }
    const bool valid = IsValidPage(m_page);
    if (IsUpdating()) {
        days->SetTexts(LoadLocalizedString("IDS_DOWNLOADING"), nullptr, FALSE);
        days->SetFitFlags(FALSE, FALSE, FALSE);
    } else {
        CDate date;
        date.SetToday();
        if (valid) {
            date = std::next(m_pages.begin(), m_page)->first;
        }
        WCHAR text[kDateLength] = {};
        date.FormatDayMonth(text, kDateLength);
        days->SetTexts(m_cityName.c_str(), text, FALSE);
        days->SetFitFlags(TRUE, FALSE, FALSE);
    }
    days->SetArrowEnabled(CSwitchControl::kLeftArrow, valid && m_page > 0, FALSE);
    days->SetArrowEnabled(CSwitchControl::kRightArrow, valid && m_page < GetPageCount() - 1, ShouldRepaint());
    return true;
}

// The selected hour stays selected when the new day still has it, else the first hour is.
bool CHourlyForecastDlg::UpdateList() {
    CHourlyForecastListBox* list = GetList();
    if (list == nullptr) {
        return false;
    }
    const int selected = list->GetSelection();
    list->Clear(FALSE);
    if (const CHourForecastSet* hours = CurrentHours()) {
        for (const CHourForecast& hour : *hours) {
            list->AddItem(&hour, FALSE);
        }
    }
    if (list->GetCount() > 0) {
        list->Select(selected >= 0 && selected < list->GetCount() ? selected : 0, FALSE);
    }
    if (ShouldRepaint()) {
        list->Redraw(nullptr);
    }
    return true;
}

bool CHourlyForecastDlg::UpdateToolbar() {
    CToolBarControl* toolbar = GetToolbar();
    return toolbar == nullptr || toolbar->SetButtons(kButtons, ShouldRepaint());
}

// ---- pages --------------------------------------------------------------------------------------------

void CHourlyForecastDlg::ShowPageNow(int index) {
    const bool suppressed = IsPaintingSuppressed();
    SuppressPainting(true);
    m_page = index;
    UpdateView(static_cast<DWORD>(-1));
    SuppressPainting(suppressed);
}

bool CHourlyForecastDlg::ShowPage(int index) {
    if (index >= GetPageCount()) {
        return false;
    }
    if (index == m_page) {
        return true;
    }
    if (index < 0 || m_page < 0) {
        ShowPageNow(index);
        Redraw(FALSE);
        return true;
    }
    const bool slid = PageSlide::Slide(*this, index > m_page, [&] {
        // The new day opens on its first hour.
        if (CHourlyForecastListBox* list = GetList()) {
            list->Select(-1, FALSE);
        }
        ShowPageNow(index);
    });
    if (slid) {
        Redraw(FALSE);
    }
    return slid;
}

void CHourlyForecastDlg::ShowDayBy(int step) {
    const int index = m_page + step;
    if (!IsValidPage(index)) {
        return;
    }
    if (CDlgControl* pressed = GetPressedControl()) {
        pressed->SendMessage(CDlgControl::kMsgPointerCancel, 0, 0);
    }
    ClearPressedControl();
    ShowPage(index);
}

// ---- input --------------------------------------------------------------------------------------------

BOOL CHourlyForecastDlg::OnDialogCommand(int id, int code, HWND window) {
    switch (id) {
        case IDOK:
        case Menu::kBack: EndDialog(IDOK); return TRUE;
        case Menu::kDetails:
        case Menu::kCityList:
        case Menu::kCurrentCondition:
        case Menu::kMaps: EndDialog(id); return TRUE;
        case Menu::kUpdateForecast: CDetailForecastDlg::UpdateAllForecasts(); return TRUE;
        default: return CAppBasicDialog::OnDialogCommand(id, code, window);
    }
}

// The key's release goes back, so that its press does not reach the screen below.
BOOL CHourlyForecastDlg::OnBackKey(WPARAM, LPARAM lParam) {
    if (LOWORD(lParam) & MOD_KEYUP) {
        return OnDialogCommand(Menu::kBack, 0, nullptr);
    }
    return TRUE;
}

BOOL CHourlyForecastDlg::OnKey(UINT key, BOOL down) {
    CDlgControl* target = key == VK_LEFT || key == VK_RIGHT ? static_cast<CDlgControl*>(GetSwitch())
                                                            : static_cast<CDlgControl*>(GetList());
    if (target != nullptr) {
        target->SendMessage(down ? CDlgControl::kMsgKeyDown : CDlgControl::kMsgKeyUp, 0, static_cast<LPARAM>(key));
    }
    return TRUE;
}

BOOL CHourlyForecastDlg::OnLButtonDown(int x, int y) {
    m_swipe.PenDown(x, y);
    return CAppBasicDialog::OnLButtonDown(x, y);
}

BOOL CHourlyForecastDlg::OnMouseMove(int x, int y) {
    CPageSwipe::TakeLatestMove(m_hWnd, &x, &y);
    CAppBasicDialog::OnMouseMove(x, y);
    const CPageSwipe::Turn turn = m_swipe.PenMove(x);
    if (turn != CPageSwipe::kNone) {
        ShowDayBy(turn == CPageSwipe::kNext ? 1 : -1);
    }
    return TRUE;
}

LRESULT CHourlyForecastDlg::OnControlNotify(CDlgControl* control, int code, LPARAM a, LPARAM b) {
    const int id = control != nullptr ? control->GetId() : -1;
    if (id == kSwitch && (code == CSwitchControl::kNotifyPrevious || code == CSwitchControl::kNotifyNext)) {
        ShowDayBy(code == CSwitchControl::kNotifyPrevious ? -1 : 1);
        return 1;
    }
    if (id == kToolbar && code == CToolBarControl::kNotifyCommand) {
        OnDialogCommand(static_cast<int>(b), 0, nullptr);
        return 1;
    }
    return CAppBasicDialog::OnControlNotify(control, code, a, b);
}

// ---- the updater's news ---------------------------------------------------------------------------------

BOOL CHourlyForecastDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WMU_FORECAST_EVENT) {
        return CAppBasicDialog::OnMessage(message, wParam, lParam);
    }
    OnForecastEvent(CForecastEventRelay::StatusOf(wParam), static_cast<int>(lParam), CForecastEventRelay::IsLast(wParam));
    return TRUE;
}

// The page shown stays when the new forecast still has it, else the first page is shown.
void CHourlyForecastDlg::ReloadPages() {
    const int remembered = m_page;
    CCity city;
    if (g_pCityList != nullptr && g_pCityList->GetCityById(m_locationId, &city)) {
        BuildPages(city);
    } else {
        m_pages.clear();
    }
    m_page = IsValidPage(remembered) ? remembered : 0;
}

void CHourlyForecastDlg::OnForecastEvent(int status, int result, bool last) {
    if (status == CForecastUpdater::kStatusStarted) {
        UpdateView(kViewSwitch);
        return;
    }
    if (status == CForecastUpdater::kStatusDone) {
        ReloadPages();
    }
    UpdateView(static_cast<DWORD>(-1));
    if (last) {
        CDetailForecastDlg::ShowUpdateOutcome(this, result);
    }
}
