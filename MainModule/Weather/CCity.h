// One city of the user's list: its location id, names, the time of its last update and its forecast.
#pragma once

#include <map>
#include <memory>
#include <string>

#include "CDate.h"
#include "Weather/CCurrentCondition.h"
#include "Weather/CDayForecast.h"
#include "Weather/CDayPartsForecast.h"
#include "Weather/CHourForecast.h"

using CHourlyForecastMap = std::map<CDate, CHourForecastSet>;

class CCity {
public:
    static constexpr int kLocationIdLength = 8;

    CCity() = default;
    CCity(const CCity& other) { *this = other; }
    CCity& operator=(const CCity& other);
    virtual ~CCity() = default;

    // Takes at most 8 characters; null empties the id.
    void SetLocationId(LPCWSTR id);
    LPCWSTR GetLocationId() const { return m_locationId; }
    // Exactly 8 ASCII letters or digits: the form that may name a cache file.
    static bool IsWellFormedLocationId(LPCWSTR id);

    void SetCountry(LPCWSTR text) { m_country = text != nullptr ? text : u""; }
    void SetState(LPCWSTR text) { m_state = text != nullptr ? text : u""; }
    void SetName(LPCWSTR text) { m_name = text != nullptr ? text : u""; }
    LPCWSTR GetCountry() const { return m_country.c_str(); }
    LPCWSTR GetState() const { return m_state.c_str(); }
    LPCWSTR GetName() const { return m_name.c_str(); }

    // Local time of the last update; null clears it to zero.
    void SetUpdateSystemTime(const SYSTEMTIME* time);
    void SetUpdateFileTime(const FILETIME* time);
    void GetUpdateSystemTime(SYSTEMTIME* time) const;
    void GetUpdateFileTime(FILETIME* time) const;

    bool GetCurrentCondition(CCurrentCondition* condition) const;
    void SetCurrentCondition(std::unique_ptr<CCurrentCondition> condition) { m_current = std::move(condition); }
    bool GetDayForecast(const CDate& date, CDayForecast* day) const;
    // Every day from the one of exactly that date on; empty when that date is not present.
    bool GetDayForecastsFrom(const CDate& date, CDayForecastSet* days) const;
    const CDayForecastSet& GetDayForecasts() const { return m_days; }
    // A second day of a date already present is dropped.
    bool AddDayForecast(const CDayForecast& day) { return m_days.insert(day).second; }
    bool GetHourForecasts(const CDate& date, CHourForecastSet* hours) const;
    void SetHourlyForecasts(CHourlyForecastMap hours) { m_hours = std::move(hours); }
    bool GetDayPartsForecast(const CDate& date, CDayPartsForecast* parts) const;
    bool GetSunriseOn(const CDate& date, CDayForecast::TimeOfDay* time, bool exact) const;
    bool GetSunsetOn(const CDate& date, CDayForecast::TimeOfDay* time, bool exact) const;

    void Clear();
    void ClearForecasts();

    // Fills the forecast from the server's forecast XML (8-bit text); false when it is not one.
    bool ParseForecastXml(const char* text);

private:
    bool GetSunTimeOn(const CDate& date, CDayForecast::TimeOfDay (CDayForecast::*field)() const,
                      CDayForecast::TimeOfDay* time, bool exact) const;

    WCHAR m_locationId[kLocationIdLength + 1] = {};
    std::u16string m_country;
    std::u16string m_state;
    std::u16string m_name;
    FILETIME m_lastUpdate = {0, 0};
    CDayForecastSet m_days;
    CHourlyForecastMap m_hours;
    std::unique_ptr<CCurrentCondition> m_current;
};
