#include "Weather/CCurrentCondition.h"

#include "Weather/CForecastText.h"
#include "Weather/CUnitConversion.h"
#include "Weather/WeatherStateTable.h"

int CCurrentCondition::GetIconIndex() const { return WeatherStateTable::GetDayImage(m_skyCode); }

int CCurrentCondition::GetNightIconIndex() const { return WeatherStateTable::GetNightImage(m_skyCode); }

bool CCurrentCondition::GetStateImages(int* images, int* count) const {
    return WeatherStateTable::GetExtraImages(m_skyCode, images, count);
}

bool CCurrentCondition::GetWeatherText(LPWSTR buffer, int size) const {
    return WeatherStateTable::GetText(m_skyCode, buffer, size);
}

int CCurrentCondition::GetTemperature(DWORD degreeType) const {
    return CUnitConversion::Temperature(m_temperature, degreeType);
}

int CCurrentCondition::GetHeatIndex(DWORD degreeType) const {
    return CUnitConversion::Temperature(m_heatIndex, degreeType);
}

int CCurrentCondition::GetWindChill(DWORD degreeType) const {
    return CUnitConversion::Temperature(m_windChill, degreeType);
}

bool CCurrentCondition::GetWindDirectionText(LPWSTR buffer, int size) const {
    return CForecastText::WindFromDegrees(m_windDirection, buffer, size);
}

int CCurrentCondition::GetWindSpeed(DWORD windSpeedUnit) const {
    return CUnitConversion::WindSpeed(m_windSpeed, windSpeedUnit);
}

int CCurrentCondition::GetGust(DWORD windSpeedUnit) const {
    return CUnitConversion::WindSpeed(m_gust, windSpeedUnit);
}

float CCurrentCondition::GetPressure(DWORD pressureUnit) const {
    return CUnitConversion::Pressure(m_pressure, pressureUnit);
}
