// One day of a city's forecast, in the server's units; converted when read.
#pragma once

#include <set>
#include <string>

#include "CDate.h"
#include "ce/types.h"

class CDayForecast {
public:
    struct TimeOfDay {
        BYTE hour = 0;
        BYTE minute = 0;
    };
    // Days are kept ordered by date, one a date.
    struct ByDate {
        bool operator()(const CDayForecast& a, const CDayForecast& b) const { return a.m_date < b.m_date; }
    };

    CDayForecast() = default;
    CDayForecast(const CDayForecast&) = default;
    CDayForecast& operator=(const CDayForecast&) = default;
    virtual ~CDayForecast() = default;

    const CDate& GetDate() const { return m_date; }
    int GetSkyCode() const { return m_skyCode; }
    int GetIconIndex() const;
    bool GetStateImages(int* images, int* count) const;
    bool GetWeatherText(LPWSTR buffer, int size) const;

    int GetLowTemperature(DWORD degreeType) const;
    int GetHighTemperature(DWORD degreeType) const;
    LPCWSTR GetWindDirection() const { return m_windDirection.c_str(); }
    bool GetWindDirectionText(LPWSTR buffer, int size) const;
    int GetWindSpeed(DWORD windSpeedUnit) const;
    int GetHumidity() const { return m_humidity; }
    int GetUvIndex() const { return m_uvIndex; }
    bool GetUvIndexText(LPWSTR buffer, int size) const;
    TimeOfDay GetSunrise() const { return m_sunrise; }
    TimeOfDay GetSunset() const { return m_sunset; }

    void SetDate(const CDate& date) { m_date = date; }
    void SetSkyCode(int code) { m_skyCode = code; }
    void SetLowTemperature(int fahrenheit) { m_low = fahrenheit; }
    void SetHighTemperature(int fahrenheit) { m_high = fahrenheit; }
    void SetWindDirection(std::u16string cardinal) { m_windDirection = std::move(cardinal); }
    void SetWindSpeed(int mph) { m_windSpeed = mph; }
    void SetHumidity(int percent) { m_humidity = percent; }
    void SetUvIndex(int index) { m_uvIndex = index; }
    void SetSunrise(TimeOfDay time) { m_sunrise = time; }
    void SetSunset(TimeOfDay time) { m_sunset = time; }

private:
    CDate m_date;
    int m_skyCode = -1;
    int m_low = -10000;
    int m_high = -10000;
    std::u16string m_windDirection;
    int m_windSpeed = -1;
    int m_humidity = -1;
    int m_uvIndex = -1;
    TimeOfDay m_sunrise;
    TimeOfDay m_sunset;
};

using CDayForecastSet = std::set<CDayForecast, CDayForecast::ByDate>;
