// A forecast reply or cache file, as the updater and the plug-ins parse it, then every value read the way
// the screens show it: in each unit, with its texts and pictures.
#include <cstddef>
#include <cstdint>
#include <string>

#include "Weather/CCity.h"
#include "ce/com.h"

namespace {

void ShowDay(const CDayForecast& day) {
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

void ShowHour(const CHourForecast& hour) {
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

void ShowNow(const CCurrentCondition& now) {
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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED));
    (void)com;
    const std::string reply(reinterpret_cast<const char*>(data), size);  // kept with its 0 byte, as cached
    CCity city;
    if (!city.ParseForecastXml(reply.c_str())) {
        return 0;
    }
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
    return 0;
}
