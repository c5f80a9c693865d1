#include "Screens/CDetailPartOfDayForecastDlg.h"

#include <string>

#include "CLocalization.h"
#include "Controls/CDetailForecastControl.h"
#include "Controls/CSwitchControl.h"
#include "Controls/DetailForecastRecord.h"
#include "Controls/PageSlide.h"
#include "Screens/MainWindowMenu.h"
#include "Weather/CHourForecast.h"

namespace Menu = MainWindowMenu;

namespace {

constexpr int kDateLength = 64;
constexpr const char* kPartNames[CDayPartsForecast::kPartCount] = {"IDS_MORNING", "IDS_DAY", "IDS_EVENING",
                                                                   "IDS_NIGHT"};

constexpr CToolBarControl::Button kButtons[CToolBarControl::kButtonCount] = {
    {60, Menu::kBack, 1}, {61, Menu::kCityList, 1}, {62, Menu::kCurrentCondition, 1}, {64, Menu::kUpdateForecast, 1}};

bool IsPart(int part) { return part >= 0 && part < CDayPartsForecast::kPartCount; }

}  // namespace

INT_PTR CDetailPartOfDayForecastDlg::Run(HWND owner, LPCWSTR locationId, const CDate* date, int part,
                                         UserInterface::IDlgScreenCapture* capture) {
    if (date == nullptr || !LoadCity(locationId)) {
        return 3;
    }
    m_date = *date;
    m_part = IsPart(part) ? part : -1;
    return RunOverWindow(owner, nullptr, capture);
}

BOOL CDetailPartOfDayForecastDlg::OnCreateMenu(UserInterface::CMenuInfo* menu) {
    return Menu::BuildViewScreen(menu, {Menu::kCurrentCondition, Menu::kHourlyForecast, Menu::kMaps});
}

const CToolBarControl::Button* CDetailPartOfDayForecastDlg::GetToolbarButtons() const { return kButtons; }

bool CDetailPartOfDayForecastDlg::EndsWith(int id) const {
    return id == Menu::kCityList || id == Menu::kCurrentCondition || id == Menu::kMaps || id == Menu::kHourlyForecast;
}

CDayPartsForecast CDetailPartOfDayForecastDlg::DayParts() const {
    CDayPartsForecast parts;
    if (!m_city.GetDayPartsForecast(m_date, &parts)) {
        parts.Clear();
    }
    return parts;
}

// ---- pages --------------------------------------------------------------------------------------------

void CDetailPartOfDayForecastDlg::PreviousPage() {
    const int part = DayParts().FindPreviousPart(m_part);
    if (part != -1) {
        CancelPen();
        ShowPage(part);
    }
}

void CDetailPartOfDayForecastDlg::NextPage() {
    const int part = DayParts().FindNextPart(m_part);
    if (part != -1) {
        CancelPen();
        ShowPage(part);
    }
}

void CDetailPartOfDayForecastDlg::ShowPart(int part) {
    const bool suppressed = IsPaintingSuppressed();
    SuppressPainting(true);
    m_part = part;
    UpdateView(static_cast<DWORD>(-1));
    SuppressPainting(suppressed);
}

bool CDetailPartOfDayForecastDlg::ShowPage(int part) {
    if (!IsPart(part) && part != -1) {
        return false;
    }
    if (part == m_part) {
        return true;
    }
    if (m_part == -1 || part == -1) {
        ShowPart(part);
        Redraw(kKeepBackground);
        return true;
    }
    const bool forward = part > m_part;
    if (!PageSlide::Slide(*this, forward, [&] { ShowPart(part); })) {
        return false;
    }
    Redraw(kKeepBackground);
    return true;
}

// ---- view ---------------------------------------------------------------------------------------------

bool CDetailPartOfDayForecastDlg::UpdateSwitch() {
    CSwitchControl* cities = GetSwitch();
    if (cities == nullptr) {
        return false;
    }
    const BOOL repaint = ShouldRepaint();
    const CDayPartsForecast parts = DayParts();
    cities->SetFitFlags(FALSE, FALSE, UserInterface::kNoRedraw);
    if (IsUpdating()) {
        cities->SetTexts(LoadLocalizedString("IDS_DOWNLOADING"), nullptr, repaint);
        return true;
    }
    if (m_part == -1 || parts.CountParts() == 0) {
        cities->SetTexts(nullptr, nullptr, UserInterface::kNoRedraw);
        cities->SetArrowEnabled(CSwitchControl::kLeftArrow, TRUE, UserInterface::kNoRedraw);
        cities->SetArrowEnabled(CSwitchControl::kRightArrow, TRUE, repaint);
        return true;
    }
    WCHAR date[kDateLength] = {};
    m_date.FormatDayMonth(date, kDateLength);
    LPCWSTR name = LoadLocalizedString(kPartNames[m_part]);
    cities->SetTexts(date, name, UserInterface::kNoRedraw);
    cities->SetArrowEnabled(CSwitchControl::kLeftArrow, m_part != parts.FindFirstPart(),
                            UserInterface::kNoRedraw);
    cities->SetArrowEnabled(CSwitchControl::kRightArrow, m_part != parts.FindLastPart(), repaint);
    return true;
}

// A part that has gone with an update leaves the values shown.
bool CDetailPartOfDayForecastDlg::UpdateData() {
    CDetailForecastControl* detail = GetDetail();
    if (detail == nullptr) {
        return false;
    }
    if (m_part == -1) {
        detail->SetData(nullptr, ShouldRepaint());
        return true;
    }
    CHourForecast hour;
    if (!DayParts().GetPart(m_part, &hour)) {
        return false;
    }
    DetailForecastData data;
    DetailForecastRecord::FromHourForecast(hour, &data);
    detail->SetData(&data, ShouldRepaint());
    return true;
}
