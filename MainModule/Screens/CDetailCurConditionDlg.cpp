#include "Screens/CDetailCurConditionDlg.h"

#include <string>

#include "CLocalization.h"
#include "Controls/CDetailForecastControl.h"
#include "Controls/CSwitchControl.h"
#include "Controls/DetailForecastRecord.h"
#include "Screens/MainWindowMenu.h"
#include "Weather/CCurrentCondition.h"
#include "Weather/CityStatusText.h"

namespace Menu = MainWindowMenu;

namespace {

constexpr int kTimeLength = 500;
constexpr int kTextLength = 600;
constexpr CDayForecast::TimeOfDay kDefaultSunrise{7, 0};
constexpr CDayForecast::TimeOfDay kDefaultSunset{20, 0};

constexpr CToolBarControl::Button kButtons[CToolBarControl::kButtonCount] = {
    {60, Menu::kBack, 1}, {61, Menu::kCityList, 1}, {63, Menu::kDetails, 1}, {64, Menu::kUpdateForecast, 1}};

int MinuteOfDay(CDayForecast::TimeOfDay time) { return time.hour * 60 + time.minute; }

// The sun times of today's forecast, not of a later day's.
constexpr bool kThatDayOnly = true;

}  // namespace

INT_PTR CDetailCurConditionDlg::Run(HWND owner, LPCWSTR locationId, UserInterface::IDlgScreenCapture* capture) {
    if (!LoadCity(locationId)) {
        return 3;
    }
    return RunOverWindow(owner, nullptr, capture);
}

BOOL CDetailCurConditionDlg::OnCreateMenu(UserInterface::CMenuInfo* menu) {
    return Menu::BuildViewScreen(menu, {Menu::kDetails, Menu::kHourlyForecast, Menu::kMaps});
}

const CToolBarControl::Button* CDetailCurConditionDlg::GetToolbarButtons() const { return kButtons; }

bool CDetailCurConditionDlg::EndsWith(int id) const {
    return id == Menu::kDetails || id == Menu::kCityList || id == Menu::kMaps || id == Menu::kHourlyForecast;
}

bool CDetailCurConditionDlg::IsDaytime(const CCity& city, const SYSTEMTIME& localTime) {
    const CDate today(localTime);
    CDayForecast::TimeOfDay sunrise = kDefaultSunrise;
    CDayForecast::TimeOfDay sunset = kDefaultSunset;
    if (!city.GetSunriseOn(today, &sunrise, kThatDayOnly) ||
        !city.GetSunsetOn(today, &sunset, kThatDayOnly)) {
        sunrise = kDefaultSunrise;
        sunset = kDefaultSunset;
    }
    const int now = localTime.wHour * 60 + localTime.wMinute;
    return now >= MinuteOfDay(sunrise) && now < MinuteOfDay(sunset);
}

bool CDetailCurConditionDlg::ForecastTimeText(std::u16string* text) const {
    SYSTEMTIME updated;
    m_city.GetUpdateSystemTime(&updated);
    WCHAR time[kTimeLength];
    WCHAR pattern[kTextLength];
    WCHAR line[kTextLength];
    if (!FormatTimeWithoutSeconds(updated, time, kTimeLength) ||
        !CLocalization::Global().GetTemplate("IDS_FORECAST_ON_TMPL", pattern, kTextLength) ||
        _snwprintf(line, kTextLength, pattern, time) < 0) {
        return false;
    }
    *text = line;
    return true;
}

// Where "Forecast of 4:13 PM" is too wide for the header, the day of the update says how fresh it is.
std::u16string CDetailCurConditionDlg::ShortForecastTimeText() const {
    SYSTEMTIME localNow;
    FILETIME now;
    FILETIME updated;
    std::u16string text;
    GetLocalTime(&localNow);
    m_city.GetUpdateFileTime(&updated);
    if (SystemTimeToFileTime(&localNow, &now)) {
        GetUpdatedOnDayText(updated, now, &text);
    }
    return text;
}

bool CDetailCurConditionDlg::UpdateSwitch() {
    CSwitchControl* cities = GetSwitch();
    if (cities == nullptr) {
        return false;
    }
    const BOOL repaint = ShouldRepaint();
    if (IsUpdating()) {
        cities->SetTexts(LoadLocalizedString("IDS_DOWNLOADING"), nullptr, UserInterface::kNoRedraw);
        cities->SetFitFlags(FALSE, FALSE, UserInterface::kNoRedraw);
    } else {
        std::u16string when;
        if (!ForecastTimeText(&when)) {
            return false;
        }
        cities->SetTexts(m_city.GetName(), when.c_str(), UserInterface::kNoRedraw);
        cities->SetShortSecondText(ShortForecastTimeText().c_str(), UserInterface::kNoRedraw);
        cities->SetFitFlags(TRUE, FALSE, UserInterface::kNoRedraw);
    }
    cities->SetArrowEnabled(CSwitchControl::kLeftArrow, FALSE, UserInterface::kNoRedraw);
    cities->SetArrowEnabled(CSwitchControl::kRightArrow, FALSE, repaint);
    return true;
}

bool CDetailCurConditionDlg::UpdateData() {
    CDetailForecastControl* detail = GetDetail();
    if (detail == nullptr) {
        return false;
    }
    CCurrentCondition current;
    if (!m_city.GetCurrentCondition(&current)) {
        current = CCurrentCondition();
        current.SetSkyCode(0);
    }
    SYSTEMTIME now;
    GetLocalTime(&now);
    DetailForecastData data;
    DetailForecastRecord::FromCurrentCondition(current, IsDaytime(m_city, now), &data);
    detail->SetData(&data, ShouldRepaint());
    return true;
}
