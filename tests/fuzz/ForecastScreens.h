// What the screens read of a parsed forecast: every value in each unit, with its texts and pictures.
#pragma once

#include "Weather/CCity.h"

namespace fuzz {

inline void ShowDay(const CDayForecast& day) {
    WCHAR text[128];
    int images[16];
    int count = 16;
    day.GetStateImages(images, &count);
    day.GetWeatherText(text, 128);
    day.GetWindDirectionText(text, 128);
    day.GetUvIndexText(text, 128);
    day.GetIconIndex();
    for (DWORD unit = 0; unit < 3; ++unit) {
        day.GetLowTemperature(unit);
        day.GetHighTemperature(unit);
        day.GetWindSpeed(unit);
    }
}

inline void ShowHour(const CHourForecast& hour) {
    WCHAR text[128];
    int images[16];
    int count = 16;
    hour.GetIconList(images, &count);
    hour.GetStateText(text, 128);
    hour.GetWindDirectionText(text, 128);
    hour.GetUVIndexText(text, 128);
    hour.GetIconIndex();
    for (DWORD unit = 0; unit < 3; ++unit) {
        hour.GetTemperature(unit);
        hour.GetHeatIndex(unit);
        hour.GetWindChill(unit);
        hour.GetWindSpeed(unit);
    }
}

inline void ShowNow(const CCurrentCondition& now) {
    WCHAR text[128];
    int images[16];
    int count = 16;
    now.GetStateImages(images, &count);
    now.GetWeatherText(text, 128);
    now.GetWindDirectionText(text, 128);
    now.GetIconIndex();
    now.GetNightIconIndex();
    for (DWORD unit = 0; unit < 3; ++unit) {
        now.GetTemperature(unit);
        now.GetHeatIndex(unit);
        now.GetWindChill(unit);
        now.GetWindSpeed(unit);
        now.GetGust(unit);
        now.GetPressure(unit);
    }
}

// Everything the day, hourly, part-of-day and current-conditions screens read of a parsed city.
inline void ShowCity(const CCity& city) {
    CCurrentCondition now;
    if (city.GetCurrentCondition(&now)) {
        ShowNow(now);
    }
    for (const CDayForecast& day : city.GetDayForecasts()) {
        ShowDay(day);
        CHourForecastSet hours;
        if (city.GetHourForecasts(day.GetDate(), &hours)) {
            for (const CHourForecast& hour : hours) {
                ShowHour(hour);
            }
        }
        CDayPartsForecast parts;
        city.GetDayPartsForecast(day.GetDate(), &parts);
    }
}

}  // namespace fuzz
