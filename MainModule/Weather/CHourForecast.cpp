#include "Weather/CHourForecast.h"

#include "Weather/CForecastText.h"
#include "Weather/CUnitConversion.h"
#include "Weather/WeatherStateTable.h"

bool CHourForecast::GetSystemTime(SYSTEMTIME* time) const {
    return time != nullptr && FileTimeToSystemTime(&m_time, time) != FALSE;
}

int CHourForecast::GetIconIndex() const { return WeatherStateTable::GetDayImage(m_skyCode); }

int CHourForecast::GetIconCount() const { return WeatherStateTable::GetExtraImageCount(m_skyCode); }

bool CHourForecast::GetIconList(int* images, int* count) const {
    return WeatherStateTable::GetExtraImages(m_skyCode, images, count);
}

bool CHourForecast::GetStateText(LPWSTR buffer, int size) const {
    return WeatherStateTable::GetText(m_skyCode, buffer, size);
}

int CHourForecast::GetTemperature(DWORD degreeType) const {
    return CUnitConversion::Temperature(m_temperature, degreeType);
}

int CHourForecast::GetHeatIndex(DWORD degreeType) const {
    return CUnitConversion::Temperature(m_heatIndex, degreeType);
}

int CHourForecast::GetWindChill(DWORD degreeType) const {
    return CUnitConversion::Temperature(m_windChill, degreeType);
}

bool CHourForecast::GetWindDirectionText(LPWSTR buffer, int size) const {
    return CForecastText::WindFromCardinal(m_windDirection.c_str(), buffer, size);
}

int CHourForecast::GetWindSpeed(DWORD windSpeedUnit) const {
    return CUnitConversion::WindSpeed(m_windSpeed, windSpeedUnit);
}

bool CHourForecast::GetUVIndexText(LPWSTR buffer, int size) const {
    return CForecastText::UvIndexCategory(m_uvIndex, buffer, size);
}
