// One hour of a city's forecast, in the server's units; converted when read.
#pragma once

#include <set>
#include <string>

#include "ce/kernel.h"

class CHourForecast {
public:
    // Hours are kept ordered by their time, one a time.
    struct ByTime {
        bool operator()(const CHourForecast& a, const CHourForecast& b) const { return a.Ticks() < b.Ticks(); }
    };

    CHourForecast() = default;
    CHourForecast(const CHourForecast&) = default;
    CHourForecast& operator=(const CHourForecast&) = default;
    virtual ~CHourForecast() = default;

    const FILETIME& GetFileTime() const { return m_time; }
    bool GetSystemTime(SYSTEMTIME* time) const;
    int GetSkyCode() const { return m_skyCode; }
    int GetIconIndex() const;
    int GetIconCount() const;
    bool GetIconList(int* images, int* count) const;
    bool GetStateText(LPWSTR buffer, int size) const;

    int GetTemperature(DWORD degreeType) const;
    int GetHeatIndex(DWORD degreeType) const;
    int GetWindChill(DWORD degreeType) const;
    LPCWSTR GetWindDirection() const { return m_windDirection.c_str(); }
    bool GetWindDirectionText(LPWSTR buffer, int size) const;
    int GetWindSpeed(DWORD windSpeedUnit) const;
    int GetHumidity() const { return m_humidity; }
    int GetUvIndex() const { return m_uvIndex; }
    bool GetUVIndexText(LPWSTR buffer, int size) const;

    void SetFileTime(const FILETIME& time) { m_time = time; }
    void SetSkyCode(int code) { m_skyCode = code; }
    void SetTemperature(int fahrenheit) { m_temperature = fahrenheit; }
    void SetHeatIndex(int fahrenheit) { m_heatIndex = fahrenheit; }
    void SetWindChill(int fahrenheit) { m_windChill = fahrenheit; }
    void SetWindDirection(std::u16string cardinal) { m_windDirection = std::move(cardinal); }
    void SetWindSpeed(int mph) { m_windSpeed = mph; }
    void SetHumidity(int percent) { m_humidity = percent; }
    void SetUvIndex(int index) { m_uvIndex = index; }

private:
    ULONGLONG Ticks() const { return (static_cast<ULONGLONG>(m_time.dwHighDateTime) << 32) | m_time.dwLowDateTime; }

    FILETIME m_time = {0, 0};
    int m_skyCode = -1;
    int m_temperature = -10000;
    int m_heatIndex = -10000;
    int m_windChill = -10000;
    std::u16string m_windDirection;
    int m_windSpeed = -1;
    int m_humidity = -1;
    int m_uvIndex = -1;
};

using CHourForecastSet = std::set<CHourForecast, CHourForecast::ByTime>;
