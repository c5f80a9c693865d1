#include "Weather/CCity.h"

#include "Weather/CForecastXmlParser.h"

CCity& CCity::operator=(const CCity& other) {
    if (this == &other) {
        return *this;
    }
    SetLocationId(other.m_locationId);
    m_country = other.m_country;
    m_state = other.m_state;
    m_name = other.m_name;
    m_lastUpdate = other.m_lastUpdate;
    m_days = other.m_days;
    m_hours = other.m_hours;
    m_current = other.m_current != nullptr ? std::make_unique<CCurrentCondition>(*other.m_current) : nullptr;
    return *this;
}

void CCity::SetLocationId(LPCWSTR id) {
    for (WCHAR& unit : m_locationId) {
        unit = 0;
    }
    if (id == nullptr) {
        return;
    }
    for (int i = 0; i < kLocationIdLength && id[i] != 0; ++i) {
        m_locationId[i] = id[i];
    }
}

bool CCity::IsWellFormedLocationId(LPCWSTR id) {
    if (id == nullptr) {
        return false;
    }
    int length = 0;
    for (; id[length] != 0; ++length) {
        WCHAR c = id[length];
        bool alphanumeric = (c >= u'0' && c <= u'9') || (c >= u'A' && c <= u'Z') || (c >= u'a' && c <= u'z');
        if (!alphanumeric || length >= kLocationIdLength) {
            return false;
        }
    }
    return length == kLocationIdLength;
}

void CCity::SetUpdateSystemTime(const SYSTEMTIME* time) {
    FILETIME converted = {0, 0};
    if (time != nullptr && !SystemTimeToFileTime(time, &converted)) {
        converted = {0, 0};
    }
    m_lastUpdate = converted;
}

// A time beyond every date (Cities.dat is read back unchecked) counts as never updated: the status line
// measures days from it.
void CCity::SetUpdateFileTime(const FILETIME* time) {
    SYSTEMTIME date;
    m_lastUpdate = time != nullptr && FileTimeToSystemTime(time, &date) ? *time : FILETIME{0, 0};
}

void CCity::GetUpdateSystemTime(SYSTEMTIME* time) const {
    if (time != nullptr) {
        *time = {};
        FileTimeToSystemTime(&m_lastUpdate, time);
    }
}

void CCity::GetUpdateFileTime(FILETIME* time) const {
    if (time != nullptr) {
        *time = m_lastUpdate;
    }
}

bool CCity::GetCurrentCondition(CCurrentCondition* condition) const {
    if (condition == nullptr || m_current == nullptr) {
        return false;
    }
    *condition = *m_current;
    return true;
}

bool CCity::GetDayForecast(const CDate& date, CDayForecast* day) const {
    if (day == nullptr) {
        return false;
    }
    CDayForecast key;
    key.SetDate(date);
    auto found = m_days.find(key);
    if (found == m_days.end()) {
        return false;
    }
    *day = *found;
    return true;
}

bool CCity::GetDayForecastsFrom(const CDate& date, CDayForecastSet* days) const {
    if (days == nullptr) {
        return false;
    }
    days->clear();
    CDayForecast key;
    key.SetDate(date);
    auto from = m_days.find(key);
    if (from != m_days.end()) {
        days->insert(from, m_days.end());
    }
    return true;
}

bool CCity::GetHourForecasts(const CDate& date, CHourForecastSet* hours) const {
    auto found = m_hours.find(date);
    if (hours == nullptr || found == m_hours.end()) {
        return false;
    }
    *hours = found->second;
    return true;
}

bool CCity::GetDayPartsForecast(const CDate& date, CDayPartsForecast* parts) const {
    if (parts == nullptr) {
        return false;
    }
    parts->Clear();
    parts->SetDate(date);
    auto found = m_hours.find(date);
    if (found == m_hours.end()) {
        return false;
    }
    int filled = 0;
    for (int slot = 0; slot < CDayPartsForecast::kPartCount; ++slot) {
        SYSTEMTIME wanted = {};
        wanted.wYear = static_cast<WORD>(date.GetYear());
        wanted.wMonth = static_cast<WORD>(date.GetMonth());
        wanted.wDay = static_cast<WORD>(date.GetDay());
        wanted.wHour = CDayPartsForecast::kPartHours[slot];
        CHourForecast key;
        FILETIME time;
        if (!SystemTimeToFileTime(&wanted, &time)) {
            continue;
        }
        key.SetFileTime(time);
        auto hour = found->second.find(key);
        if (hour != found->second.end()) {
            parts->SetPart(slot, &*hour);
            ++filled;
        }
    }
    return filled > 0;
}

bool CCity::GetSunTimeOn(const CDate& date, CDayForecast::TimeOfDay (CDayForecast::*field)() const,
                         CDayForecast::TimeOfDay* time, bool exact) const {
    if (time == nullptr || m_days.empty()) {
        return false;
    }
    for (const CDayForecast& day : m_days) {
        *time = (day.*field)();
        if (exact ? day.GetDate() == date : !(day.GetDate() < date)) {
            return true;
        }
    }
    // Without an exact match the last day's time serves.
    return !exact;
}

bool CCity::GetSunriseOn(const CDate& date, CDayForecast::TimeOfDay* time, bool exact) const {
    return GetSunTimeOn(date, &CDayForecast::GetSunrise, time, exact);
}

bool CCity::GetSunsetOn(const CDate& date, CDayForecast::TimeOfDay* time, bool exact) const {
    return GetSunTimeOn(date, &CDayForecast::GetSunset, time, exact);
}

void CCity::Clear() {
    SetLocationId(nullptr);
    m_country.clear();
    m_state.clear();
    m_name.clear();
    m_lastUpdate = {0, 0};
    ClearForecasts();
}

void CCity::ClearForecasts() {
    m_current.reset();
    m_days.clear();
    m_hours.clear();
}

bool CCity::ParseForecastXml(const char* text) { return CForecastXmlParser::Parse(text, *this); }
