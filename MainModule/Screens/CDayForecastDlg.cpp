#include "Screens/CDayForecastDlg.h"

#include <iterator>

#include "CLocalization.h"
#include "Controls/CDayPartsForecastControl.h"
#include "Controls/CDetailForecastControl.h"
#include "Controls/CSwitchControl.h"
#include "Controls/DetailForecastRecord.h"
#include "Controls/PageSlide.h"
#include "Screens/CDetailPartOfDayForecastDlg.h"
#include "Screens/MainWindowMenu.h"
#include "Screens/ViewScreenControls.h"
#include "UserInterface/CMenuItem.h"
#include "UserInterface/CMenuItemCollection.h"
#include "Weather/CCity.h"
#include "Weather/CCityList.h"
#include "Weather/CForecastUpdater.h"
#include "Weather/CSettings.h"
#include "Weather/CUnitConversion.h"
#include "Weather/GlobalServices.h"
#include "Weather/WeatherStateTable.h"

using UserInterface::CDlgControl;
using UserInterface::CMenuInfo;
using UserInterface::CMenuItem;
using UserInterface::CMenuItemCollection;

namespace {

constexpr int kDetailFont = 2;
constexpr int kPartsFont = 3;
constexpr int kDownloadingLength = 500;
constexpr int kDateLength = 64;
constexpr DWORD kEverything = static_cast<DWORD>(-1);

// Back, city list, current conditions, update.
constexpr CToolBarControl::Button kButtons[CToolBarControl::kButtonCount] = {
    {60, CDayForecastDlg::kBack, 1},
    {61, CDayForecastDlg::kCityList, 1},
    {62, CDayForecastDlg::kCurrentCondition, 1},
    {64, CDayForecastDlg::kUpdate, 1}};

void SetIfKnown(int value, int missing, int* field, DWORD flag, DetailForecastData* data) {
    if (value != missing) {
        *field = value;
        data->flags |= flag;
    }
}

}  // namespace

INT_PTR CDayForecastDlg::Run(HWND owner, LPCWSTR locationId, const CDate* date,
                             UserInterface::IDlgScreenCapture* capture) {
    CCity city;
    if (locationId == nullptr || g_pCityList == nullptr) {
        return 3;
    }
    lstrcpynW(m_locationId, locationId, static_cast<int>(std::size(m_locationId)));
    if (!g_pCityList->GetCityById(m_locationId, &city)) {
        return 3;
    }
    m_cityName = city.GetName();
    BuildPages(city);
    m_currentPage = 0;
    if (date != nullptr) {
        auto found = m_pages.find(*date);
        if (found != m_pages.end()) {
            m_currentPage = static_cast<int>(std::distance(m_pages.begin(), found));
        }
    }
    return RunOverWindow(owner, nullptr, capture);
}

const CDayForecastDlg::DayPage* CDayForecastDlg::GetPage(int index) const {
    return IsValidPage(index) ? &std::next(m_pages.begin(), index)->second : nullptr;
}

// ---- pages ------------------------------------------------------------------------------------------

void CDayForecastDlg::BuildPages(const CCity& city) {
    m_pages.clear();
    CDate date;
    date.SetToday();
    CDayForecast day;
    while (city.GetDayForecast(date, &day)) {
        DayPage& page = m_pages[date];
        page.day = day;
        if (!city.GetDayPartsForecast(date, &page.parts)) {
            page.parts.Clear();
        }
        date.AddDays(1);
    }
}

void CDayForecastDlg::ReloadPages() {
    const int remembered = m_currentPage;
    m_pages.clear();
    m_currentPage = 0;
    CCity city;
    if (g_pCityList != nullptr && g_pCityList->GetCityById(m_locationId, &city)) {
        BuildPages(city);
    }
    if (IsValidPage(remembered)) {
        m_currentPage = remembered;
    }
}

// ---- set-up -----------------------------------------------------------------------------------------

UserInterface::CDlgLayout* CDayForecastDlg::CreateLayout() { return new CDayForecastDlgLayout; }

bool CDayForecastDlg::AddContent(UserInterface::CDlgLayout* layout) {
    return ViewScreenControls::AddContent<CDetailForecastControl>(layout, kDetail, kDetailFont) != nullptr &&
           ViewScreenControls::AddContent<CDayPartsForecastControl>(layout, kParts, kPartsFont) != nullptr;
}

const CToolBarControl::Button* CDayForecastDlg::GetToolbarButtons() const { return kButtons; }

// Left Details while the parts are shown, else Back; the menu's Back shows only while the left key
// is Details.
BOOL CDayForecastDlg::OnCreateMenu(CMenuInfo* menu) {
    if (!MainWindowMenu::BuildViewScreen(menu, {kCurrentCondition, kHourly, kMaps})) {
        return FALSE;
    }
    CMenuItem back;
    back.SetCommand(kBack);
    back.SetState(m_partsView ? CMenuItem::kNormal : CMenuItem::kHidden);
    CMenuItemCollection popup(*menu->GetPopup(UserInterface::kRightSoftKey));
    if (!back.SetCaption("IDS_CAP_BACK") || !popup.Append(&back) ||
        !menu->SetPopup(UserInterface::kRightSoftKey, &popup)) {
        return FALSE;
    }
    if (m_partsView) {
        menu->SetCommand(UserInterface::kLeftSoftKey, kDetails);
        return menu->SetCaption(UserInterface::kLeftSoftKey, "IDS_CAP_DETAILS");
    }
    return TRUE;
}

BOOL CDayForecastDlg::OnInitDialog() {
    if (!CForecastViewDlg::OnInitDialog()) {
        return FALSE;
    }
    ResumeAnimations();
    return TRUE;
}

void CDayForecastDlg::OnDestroy() {
    PauseAnimations();
    CForecastViewDlg::OnDestroy();
}

// ---- the view ---------------------------------------------------------------------------------------

BOOL CDayForecastDlg::UpdateView(DWORD flags) {
    struct Step {
        DWORD bit;
        bool (CDayForecastDlg::*update)();
    };
    static constexpr Step kSteps[] = {
        {kPartsView, &CDayForecastDlg::UpdatePartsView},   {kMenuBackItem, &CDayForecastDlg::UpdateMenuBackItem},
        {kLeftKey, &CDayForecastDlg::UpdateLeftKey},       {kControlChoice, &CDayForecastDlg::UpdateControlChoice},
        {kSwitchText, &CDayForecastDlg::UpdateSwitch},     {kDetailData, &CDayForecastDlg::UpdateDetail},
        {kPartsData, &CDayForecastDlg::UpdateParts},       {kToolbarButtons, &CDayForecastDlg::UpdateToolbar},
    };
    for (const Step& step : kSteps) {
        if ((flags & step.bit) != 0 && !(this->*step.update)()) {
            return FALSE;
        }
    }
    return TRUE;
}

bool CDayForecastDlg::UpdatePartsView() {
    const DayPage* page = CurrentPage();
    m_partsView = page != nullptr && page->parts.CountParts() == CDayPartsForecast::kPartCount ? 1 : 0;
    return true;
}

bool CDayForecastDlg::UpdateMenuBackItem() {
    CMenuInfo& menu = GetMenuInfo();
    const CMenuItemCollection* popup = menu.GetPopup(UserInterface::kRightSoftKey);
    if (popup == nullptr) {
        return false;
    }
    CMenuItemCollection updated;
    for (int i = 0; i < popup->GetCount(); ++i) {
        CMenuItem item = popup->GetAt(i);
        if (item.GetCommand() == kBack) {
            item.SetState(m_partsView ? CMenuItem::kNormal : CMenuItem::kHidden);
        }
        updated.Append(&item);
    }
    return menu.SetPopup(UserInterface::kRightSoftKey, &updated);
}

bool CDayForecastDlg::UpdateLeftKey() {
    CMenuInfo& menu = GetMenuInfo();
    const int command = m_partsView ? kDetails : kBack;
    if (menu.GetCommand(UserInterface::kLeftSoftKey) == command) {
        return true;
    }
    menu.SetCommand(UserInterface::kLeftSoftKey, command);
    if (!menu.SetCaption(UserInterface::kLeftSoftKey, m_partsView ? "IDS_CAP_DETAILS" : "IDS_CAP_BACK")) {
        return false;
    }
    return GetMenuBar() == nullptr || CMenuInfo::UpdateMenuBar(GetMenuBar(), menu);
}

bool CDayForecastDlg::UpdateControlChoice() {
    CDlgControl* detail = DetailControl();
    CDlgControl* parts = PartsControl();
    if (detail == nullptr || parts == nullptr) {
        return false;
    }
    detail->SetVisible(!m_partsView, UserInterface::kNoRedraw);
    parts->SetVisible(m_partsView != 0, UserInterface::kNoRedraw);
    return true;
}

BOOL CDayForecastDlg::RepaintsControl(CDlgControl* control) const {
    return ShouldRepaint() && control->IsVisible();
}

bool CDayForecastDlg::UpdateSwitch() {
    CSwitchControl* cities = GetSwitch();
    if (cities == nullptr) {
        return false;
    }
    const DayPage* page = CurrentPage();
    const bool updating = IsUpdating();
    WCHAR downloading[kDownloadingLength] = {};
    WCHAR date[kDateLength] = {};
    LPCWSTR first = m_cityName.c_str();
    LPCWSTR second = date;
    if (updating) {
        CLocalization::Global().GetString("IDS_DOWNLOADING", downloading, kDownloadingLength);
        first = downloading;
        second = nullptr;
    } else {
        CDate shown;
        if (page != nullptr) {
            shown = page->day.GetDate();
        } else {
            shown.SetToday();
        }
        shown.FormatDayMonth(date, kDateLength);
    }
    const bool valid = page != nullptr;
    return cities->SetTexts(first, second, UserInterface::kNoRedraw) &&
           cities->SetFitFlags(valid && !updating, FALSE, UserInterface::kNoRedraw) &&
           cities->SetArrowEnabled(CSwitchControl::kLeftArrow, valid && m_currentPage > 0,
                                   UserInterface::kNoRedraw) &&
           cities->SetArrowEnabled(CSwitchControl::kRightArrow, valid && m_currentPage < GetPageCount() - 1,
                                   RepaintsControl(cities));
}

bool CDayForecastDlg::UpdateDetail() {
    CDetailForecastControl* detail = DetailControl();
    if (detail == nullptr) {
        return false;
    }
    const DayPage* page = CurrentPage();
    DetailForecastData data{};
    if (page != nullptr) {
        FillDayDetail(page->day, &data);
    }
    detail->SetData(page != nullptr ? &data : nullptr, RepaintsControl(detail));
    return true;
}

bool CDayForecastDlg::UpdateParts() {
    CDayPartsForecastControl* parts = PartsControl();
    if (parts == nullptr) {
        return false;
    }
    const DayPage* page = CurrentPage();
    parts->SetParts(page != nullptr ? &page->parts : nullptr, RepaintsControl(parts));
    return true;
}

void CDayForecastDlg::FillDayDetail(const CDayForecast& day, DetailForecastData* data) {
    *data = DetailForecastData{};
    const CSettings& settings = GetSettings();
    int list[WeatherStateTable::kMaxExtraImages];
    int count = 0;
    const bool hasList = day.GetStateImages(list, &count);
    DetailForecastRecord::SetPictures(data, hasList ? list : nullptr, count, day.GetIconIndex());
    if (day.GetWeatherText(data->weatherText, DetailForecastData::kTextLength)) {
        data->flags |= DetailForecastData::kWeatherText;
    }
    SetIfKnown(day.GetLowTemperature(settings.degreeType), CUnitConversion::kMissingTemperature,
               &data->firstTemperature, DetailForecastData::kFirstTemperature, data);
    SetIfKnown(day.GetHighTemperature(settings.degreeType), CUnitConversion::kMissingTemperature,
               &data->secondTemperature, DetailForecastData::kSecondTemperature, data);
    SetIfKnown(day.GetWindSpeed(settings.windSpeedUnit), CUnitConversion::kMissing, &data->windSpeed,
               DetailForecastData::kWindSpeed, data);
    if (day.GetWindDirectionText(data->windDirection, DetailForecastData::kShortTextLength)) {
        data->flags |= DetailForecastData::kWindDirection;
    }
    SetIfKnown(day.GetHumidity(), CUnitConversion::kMissing, &data->humidity, DetailForecastData::kHumidity, data);
    SetIfKnown(day.GetUvIndex(), CUnitConversion::kMissing, &data->uvIndex, DetailForecastData::kUvIndex, data);
    if (day.GetUvIndexText(data->uvText, DetailForecastData::kShortTextLength)) {
        data->flags |= DetailForecastData::kUvText;
    }
    DetailForecastRecord::SetUnitTexts(data);
}

CDetailForecastControl* CDayForecastDlg::DetailControl() const {
    return GetLayout() != nullptr ? static_cast<CDetailForecastControl*>(GetLayout()->FindControl(kDetail)) : nullptr;
}

CDayPartsForecastControl* CDayForecastDlg::PartsControl() const {
    return GetLayout() != nullptr ? static_cast<CDayPartsForecastControl*>(GetLayout()->FindControl(kParts)) : nullptr;
}

// ---- turning pages ----------------------------------------------------------------------------------

BOOL CDayForecastDlg::ShowPage(int index, BOOL animate) {
    if (index >= GetPageCount()) {
        return FALSE;
    }
    if (index == m_currentPage) {
        return TRUE;
    }
    if (animate && index >= 0 && m_currentPage >= 0 && m_hWnd != nullptr) {
        return SlideToPage(index);
    }
    const bool suppressed = IsPaintingSuppressed();
    SuppressPainting(true);
    m_currentPage = index;
    UpdateView(kEverything);
    SuppressPainting(suppressed);
    Redraw(kKeepBackground);
    return TRUE;
}

// Both pages are drawn off screen first, so that the slide shows only whole pages.
bool CDayForecastDlg::SlideToPage(int index) {
    const bool suppressed = IsPaintingSuppressed();
    SuppressPainting(true);
    const bool slid = PageSlide::Slide(*this, index > m_currentPage, [&] {
        m_currentPage = index;
        UpdateView(kEverything);
    });
    SuppressPainting(suppressed);
    return slid;
}

void CDayForecastDlg::TurnPage(bool next) {
    const int target = m_currentPage + (next ? 1 : -1);
    if (!IsValidPage(target)) {
        return;
    }
    CancelPen();
    PauseAnimations();
    ShowPage(target, UserInterface::kAnimate);
    ResumeAnimations();
}

void CDayForecastDlg::PauseAnimations() {
    if (CDetailForecastControl* detail = DetailControl()) {
        detail->PauseAnimation();
    }
    if (CDayPartsForecastControl* parts = PartsControl()) {
        parts->PauseAnimation();
    }
}

void CDayForecastDlg::ResumeAnimations() {
    if (CDetailForecastControl* detail = DetailControl()) {
        detail->ResumeAnimation();
    }
    if (CDayPartsForecastControl* parts = PartsControl()) {
        parts->ResumeAnimation();
    }
}

// ---- input ------------------------------------------------------------------------------------------

BOOL CDayForecastDlg::OnKey(UINT key, BOOL down) {
    if (key == VK_RETURN && down) {
        OpenPartOfDayDetails(FirstPartOfPage());
        return TRUE;
    }
    if (CSwitchControl* cities = GetSwitch()) {
        cities->SendMessage(down ? CDlgControl::kMsgKeyDown : CDlgControl::kMsgKeyUp, 0, static_cast<LPARAM>(key));
    }
    return TRUE;
}

BOOL CDayForecastDlg::OnDialogCommand(int id, int code, HWND window) {
    if (id == kDetails) {
        OpenPartOfDayDetails(FirstPartOfPage());
        return TRUE;
    }
    return CForecastViewDlg::OnDialogCommand(id, code, window);
}

bool CDayForecastDlg::IsViewCommand(int id) {
    return id == kCityList || id == kCurrentCondition || id == kMaps || id == kHourly;
}

LRESULT CDayForecastDlg::OnControlNotify(CDlgControl* control, int code, LPARAM a, LPARAM b) {
    if (control != nullptr && control->GetId() == kParts && code == CDayPartsForecastControl::kNotifyPart) {
        OpenPartOfDayDetails(static_cast<int>(a));
        return 1;
    }
    return CForecastViewDlg::OnControlNotify(control, code, a, b);
}

// ---- the part-of-day screen ---------------------------------------------------------------------------

// Without a morning (today's morning is often past) the first part that the day has opens.
int CDayForecastDlg::FirstPartOfPage() const {
    const DayPage* page = CurrentPage();
    return page != nullptr ? page->parts.FindFirstPart() : -1;
}

// Painting waits while the part's screen runs over this one; a view command chosen there ends this
// screen too, still without painting, so that it does not flash up between the two views.
void CDayForecastDlg::OpenPartOfDayDetails(int part) {
    const DayPage* page = CurrentPage();
    if (part < 0 || page == nullptr) {
        return;
    }
    const CDate date = page->day.GetDate();
    SuppressPainting(true);
    CDetailPartOfDayForecastDlg details;
    const INT_PTR result = details.Run(m_hWnd, m_locationId, &date, part, this);
    if (IsViewCommand(static_cast<int>(result))) {
        EndDialog(static_cast<int>(result));
        return;
    }
    SuppressPainting(false);
    Redraw(kKeepBackground);
}

// ---- the forecast updater -----------------------------------------------------------------------------

void CDayForecastDlg::OnForecastEvent(int status, int result, bool last) {
    if (status == CForecastUpdater::kStatusStarted) {
        UpdateView(kSwitchText);
        return;
    }
    if (status == CForecastUpdater::kStatusDone) {
        ReloadPages();
    }
    UpdateView(kEverything);
    Redraw(kKeepBackground);
    if (last) {
        ShowUpdateOutcome(result);
    }
}
