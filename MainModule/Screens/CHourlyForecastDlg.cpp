#include "Screens/CHourlyForecastDlg.h"

#include <iterator>
#include <new>

#include "CLocalization.h"
#include "Controls/CHourlyForecastListBox.h"
#include "Controls/CSwitchControl.h"
#include "Controls/CToolBarControl.h"
#include "Controls/PageSlide.h"
#include "Screens/MainWindowMenu.h"
#include "Screens/ViewScreenControls.h"
#include "Weather/CCityList.h"
#include "Weather/CForecastUpdater.h"
#include "Weather/GlobalServices.h"

using UserInterface::CDlgControl;
namespace Menu = MainWindowMenu;

namespace {

constexpr int kListFontSize = 6;
constexpr int kDateLength = 64;

constexpr CToolBarControl::Button kButtons[CToolBarControl::kButtonCount] = {
    {60, Menu::kBack, 1}, {61, Menu::kCityList, 1}, {63, Menu::kDetails, 1}, {64, Menu::kUpdateForecast, 1}};

}  // namespace

CHourlyForecastDlg::CHourlyForecastDlg() = default;

CHourlyForecastDlg::~CHourlyForecastDlg() = default;

UserInterface::CDlgLayout* CHourlyForecastDlg::CreateLayout() { return new (std::nothrow) CHourlyForecastDlgLayout; }

CHourlyForecastListBox* CHourlyForecastDlg::GetList() const {
    return GetLayout() != nullptr ? static_cast<CHourlyForecastListBox*>(GetLayout()->FindControl(kList)) : nullptr;
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

bool CHourlyForecastDlg::AddContent(UserInterface::CDlgLayout* layout) {
    return ViewScreenControls::AddContent<CHourlyForecastListBox>(layout, kList, kListFontSize) != nullptr;
}

const CToolBarControl::Button* CHourlyForecastDlg::GetToolbarButtons() const { return kButtons; }

bool CHourlyForecastDlg::EndsWith(int id) const {
    return id == Menu::kDetails || id == Menu::kCityList || id == Menu::kCurrentCondition || id == Menu::kMaps;
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

bool CHourlyForecastDlg::UpdateSwitch() {
    CSwitchControl* days = GetSwitch();
    if (days == nullptr) {
        return false;
    }
    const bool valid = IsValidPage(m_page);
    if (IsUpdating()) {
        days->SetTexts(LoadLocalizedString("IDS_DOWNLOADING"), nullptr, UserInterface::kNoRedraw);
        days->SetFitFlags(FALSE, FALSE, UserInterface::kNoRedraw);
    } else {
        CDate date;
        date.SetToday();
        if (valid) {
            date = std::next(m_pages.begin(), m_page)->first;
        }
        WCHAR text[kDateLength] = {};
        date.FormatDayMonth(text, kDateLength);
        days->SetTexts(m_cityName.c_str(), text, UserInterface::kNoRedraw);
        days->SetFitFlags(TRUE, FALSE, UserInterface::kNoRedraw);
    }
    days->SetArrowEnabled(CSwitchControl::kLeftArrow, valid && m_page > 0, UserInterface::kNoRedraw);
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
    list->Clear(UserInterface::kNoRedraw);
    if (const CHourForecastSet* hours = CurrentHours()) {
        for (const CHourForecast& hour : *hours) {
            list->AddItem(&hour, UserInterface::kNoRedraw);
        }
    }
    if (list->GetCount() > 0) {
        list->Select(selected >= 0 && selected < list->GetCount() ? selected : 0, UserInterface::kNoRedraw);
    }
    if (ShouldRepaint()) {
        list->Redraw(nullptr);
    }
    return true;
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
        Redraw(kKeepBackground);
        return true;
    }
    const bool slid = PageSlide::Slide(*this, index > m_page, [&] {
        // The new day opens on its first hour.
        if (CHourlyForecastListBox* list = GetList()) {
            list->Select(-1, UserInterface::kNoRedraw);
        }
        ShowPageNow(index);
    });
    if (slid) {
        Redraw(kKeepBackground);
    }
    return slid;
}

void CHourlyForecastDlg::TurnPage(bool next) {
    const int index = m_page + (next ? 1 : -1);
    if (!IsValidPage(index)) {
        return;
    }
    CancelPen();
    ShowPage(index);
}

// ---- input --------------------------------------------------------------------------------------------

BOOL CHourlyForecastDlg::OnKey(UINT key, BOOL down) {
    CDlgControl* target = key == VK_LEFT || key == VK_RIGHT ? static_cast<CDlgControl*>(GetSwitch())
                                                            : static_cast<CDlgControl*>(GetList());
    if (target != nullptr) {
        target->SendMessage(down ? CDlgControl::kMsgKeyDown : CDlgControl::kMsgKeyUp, 0, static_cast<LPARAM>(key));
    }
    return TRUE;
}

// ---- the updater's news ---------------------------------------------------------------------------------

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
        ShowUpdateOutcome(result);
    }
}
