#include "Weather/CDayForecast.h"

#include "Weather/CForecastText.h"
#include "Weather/CUnitConversion.h"
#include "Weather/WeatherStateTable.h"

int CDayForecast::GetIconIndex() const { return WeatherStateTable::GetDayImage(m_skyCode); }

bool CDayForecast::GetStateImages(int* images, int* count) const {
    return WeatherStateTable::GetExtraImages(m_skyCode, images, count);
}

bool CDayForecast::GetWeatherText(LPWSTR buffer, int size) const {
    return WeatherStateTable::GetText(m_skyCode, buffer, size);
}

int CDayForecast::GetLowTemperature(DWORD degreeType) const { return CUnitConversion::Temperature(m_low, degreeType); }

int CDayForecast::GetHighTemperature(DWORD degreeType) const {
    return CUnitConversion::Temperature(m_high, degreeType);
}

bool CDayForecast::GetWindDirectionText(LPWSTR buffer, int size) const {
    return CForecastText::WindFromCardinal(m_windDirection.c_str(), buffer, size);
}

int CDayForecast::GetWindSpeed(DWORD windSpeedUnit) const {
    return CUnitConversion::WindSpeed(m_windSpeed, windSpeedUnit);
}

bool CDayForecast::GetUvIndexText(LPWSTR buffer, int size) const {
    return CForecastText::UvIndexCategory(m_uvIndex, buffer, size);
}
