// A city's observed weather. Values are kept in the server's units and converted when read.
#pragma once

#include "ce/types.h"

class CCurrentCondition {
public:
    CCurrentCondition() = default;
    CCurrentCondition(const CCurrentCondition&) = default;
    CCurrentCondition& operator=(const CCurrentCondition&) = default;
    virtual ~CCurrentCondition() = default;

    int GetSkyCode() const { return m_skyCode; }
    int GetIconIndex() const;
    int GetNightIconIndex() const;
    bool GetStateImages(int* images, int* count) const;
    bool GetWeatherText(LPWSTR buffer, int size) const;

    int GetTemperature(DWORD degreeType) const;
    int GetHeatIndex(DWORD degreeType) const;
    int GetWindChill(DWORD degreeType) const;
    int GetWindDirection() const { return m_windDirection; }
    bool GetWindDirectionText(LPWSTR buffer, int size) const;
    int GetWindSpeed(DWORD windSpeedUnit) const;
    int GetGust(DWORD windSpeedUnit) const;
    int GetHumidity() const { return m_humidity; }
    float GetPressure(DWORD pressureUnit) const;

    void SetSkyCode(int code) { m_skyCode = code; }
    void SetTemperature(int fahrenheit) { m_temperature = fahrenheit; }
    void SetHeatIndex(int fahrenheit) { m_heatIndex = fahrenheit; }
    void SetWindChill(int fahrenheit) { m_windChill = fahrenheit; }
    void SetWindDirection(int degrees) { m_windDirection = degrees; }
    void SetWindSpeed(int mph) { m_windSpeed = mph; }
    void SetGust(int mph) { m_gust = mph; }
    void SetHumidity(int percent) { m_humidity = percent; }
    void SetPressure(float inchesOfMercury) { m_pressure = inchesOfMercury; }

private:
    int m_skyCode = -1;
    int m_temperature = -10000;
    int m_heatIndex = -10000;
    int m_windChill = -10000;
    int m_windDirection = -1;
    int m_windSpeed = -1;
    int m_gust = -1;
    int m_humidity = -1;
    float m_pressure = -1.0f;
};
