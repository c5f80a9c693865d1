#include "Weather/WeatherStateTable.h"

#include "Weather/CForecastText.h"

namespace {

// Rows 42 and 43 are the same state; rows 53 to 57 exist only for the texts of current conditions.
constexpr WeatherState kStates[WeatherStateTable::kCount] = {
    {"IDS_WS_NOFORECAST", u"No forecast", 0, -1, 0, {-1}},
    {"IDS_WS_MOSTLY_SONNY", u"Mostly Sunny", 1, 53, 0, {-1}},
    {"IDS_WS_PARTLY_CLOUDY", u"Partly Cloudy", 2, 34, 0, {-1}},
    {"IDS_WS_CLOUDY", u"Cloudy", 3, -1, 0, {-1}},
    {"IDS_WS_DUST", u"Dust", 4, 54, 0, {-1}},
    {"IDS_WS_MOSTLY_CLOUDY", u"Mostly Cloudy", 5, 35, 0, {-1}},
    {"IDS_WS_FOGGY", u"Foggy", 6, 40, 0, {-1}},
    {"IDS_WS_HOT", u"Hot", 7, 55, 0, {-1}},
    {"IDS_WS_HAZY", u"Hazy", 8, 56, 0, {-1}},
    {"IDS_WS_VERY_COLD", u"Very Cold", 9, -1, 0, {-1}},
    {"IDS_WS_SNOW_SHOWER", u"Snow Shower", 10, -1, 0, {-1}},
    {"IDS_WS_SMOKE", u"Smoke", 11, 58, 0, {-1}},
    {"IDS_WS_DRIZZLE", u"Drizzle", 12, -1, 0, {-1}},
    {"IDS_WS_FLURRIES", u"Flurries", 13, -1, 0, {-1}},
    {"IDS_WS_WINDY", u"Windy", 14, -1, 0, {-1}},
    {"IDS_WS_MIXED", u"Mixed", 15, -1, 0, {-1}},
    {"IDS_WS_BLIZZARD", u"Blizzard", 16, -1, 0, {-1}},
    {"IDS_WS_BLOWING_SNOW", u"Blowing Snow", 17, -1, 0, {-1}},
    {"IDS_WS_RAIN", u"Rain", 18, -1, 0, {-1}},
    {"IDS_WS_SNOW", u"Snow", 19, -1, 0, {-1}},
    {"IDS_WS_THUNDERSTORM", u"Thunderstorm", 20, -1, 0, {-1}},
    {"IDS_WS_SUNNY", u"Sunny", 21, 33, 0, {-1}},
    {"IDS_WS_NOT_USED", u"Not used", 22, 33, 0, {-1}},
    {"IDS_WS_SHOWERS", u"Showers", 23, 57, 0, {-1}},
    {"IDS_WS_SLEET", u"Sleet", 24, -1, 0, {-1}},
    {"IDS_WS_FREEZING_RAIN", u"Freezing Rain", 25, -1, 0, {-1}},
    {"IDS_WS_FREEZING_DRIZZLE", u"Freezing Drizzle", 26, -1, 0, {-1}},
    {"IDS_WS_MORNING_RAIN_AFTERNOON_SUN", u"Morning Rain / Afternoon Sun", 27, -1, 0, {-1}},
    {"IDS_WS_MORNING_SUN_AFTERNOON_RAIN", u"Morning Sun / Afternoon Rain", 28, -1, 0, {-1}},
    {"IDS_WS_MORNING_SUN_AFTERNOON_THUNDERSTORM", u"Morning Sun / Afternoon Thunderstorm", 29, -1, 0, {-1}},
    {"IDS_WS_MORNING_THUNDERSTORM_AFTERNOON_SUN", u"Morning Thunderstorm / Afternoon Sun", 30, -1, 0, {-1}},
    {"IDS_WS_ISOLATED_THUNDERSTORMS", u"Isolated Thunderstorms", 31, -1, 0, {-1}},
    {"IDS_WS_SCATTERED_THUNDERSTORMS", u"Scattered Thunderstorms", 32, -1, 0, {-1}},
    {"IDS_WS_NIGHT_CLEAR", u"Clear at Night", 33, -1, 0, {-1}},
    {"IDS_WS_NIGHT_PARTLY_CLOUDY", u"Partly Cloudy at Night", 34, -1, 0, {-1}},
    {"IDS_WS_NIGHT_MOSTLY_CLOUDY", u"Mostly Cloudy at Night", 35, -1, 0, {-1}},
    {"IDS_WS_NIGHT_ISOLATED_THUNDERSTORMS", u"Isolated Thunderstorms at Night", 36, -1, 0, {-1}},
    {"IDS_WS_NIGHT_SCATTERED_THUNDERSTORMS", u"Scattered Thunderstorms at Night", 37, -1, 0, {-1}},
    {"IDS_WS_NIGHT_MOSTLY_CLEAR", u"Mostly Clear at Night", 38, -1, 0, {-1}},
    {"IDS_WS_NIGHT_CLOUDY", u"Cloudy at Night", 39, -1, 0, {-1}},
    {"IDS_WS_NIGHT_FOGGY", u"Foggy at Night", 40, -1, 0, {-1}},
    {"IDS_WS_NIGHT_DRIZZLE", u"Drizzle at Night", 41, -1, 0, {-1}},
    {"IDS_WS_NIGHT_RAIN", u"Rain at Night", 42, -1, 0, {-1}},
    {"IDS_WS_NIGHT_RAIN", u"Rain at Night", 42, -1, 0, {-1}},
    {"IDS_WS_NIGHT_FLURRIES", u"Flurries at Night", 44, -1, 0, {-1}},
    {"IDS_WS_NIGHT_SNOW", u"Snow at Night", 45, -1, 0, {-1}},
    {"IDS_WS_NIGHT_SLEET", u"Sleet at Night", 46, -1, 0, {-1}},
    {"IDS_WS_NIGHT_FREEZING_DRIZZLE", u"Freezing Drizzle at Night", 47, -1, 0, {-1}},
    {"IDS_WS_NIGHT_FREEZING_RAIN", u"Freezing Rain at Night", 48, -1, 0, {-1}},
    {"IDS_WS_NIGHT_MIXED", u"Mixed at Night", 49, -1, 0, {-1}},
    {"IDS_WS_NIGHT_SNOW_SHOWER", u"Snow Shower at Night", 50, -1, 0, {-1}},
    {"IDS_WS_NIGHT_VERY_COLD", u"Very Cold at Night", 51, -1, 0, {-1}},
    {"IDS_WS_NIGHT_THUNDERSTORM", u"Thunderstorm at Night", 52, -1, 0, {-1}},
    {"IDS_CCS_BROKEN_CLOUDS", u"Broken Clouds", 2, 34, 0, {-1}},
    {"IDS_CCS_CLEAR", u"Clear", 21, 33, 0, {-1}},
    {"IDS_CCS_FEW_CLOUDS", u"Few Clouds", 1, 53, 0, {-1}},
    {"IDS_CCS_OVERCAST", u"Overcast", 5, 35, 0, {-1}},
    {"IDS_CCS_SCATTERED_CLOUDS", u"Scattered Clouds", 3, -1, 0, {-1}},
};

}  // namespace

const WeatherState* WeatherStateTable::Get(int skyCode) {
    if (skyCode < 0 || skyCode >= kCount) {
        return nullptr;
    }
    return &kStates[skyCode];
}

int WeatherStateTable::FindByEnglishText(LPCWSTR text) {
    if (text == nullptr || text[0] == 0) {
        return 0;
    }
    for (int code = 0; code < kCount; ++code) {
        if (lstrcmpiW(kStates[code].englishText, text) == 0) {
            return code;
        }
    }
    return 0;
}

int WeatherStateTable::GetDayImage(int skyCode) {
    const WeatherState* state = Get(skyCode);
    return state != nullptr ? state->dayImage : -1;
}

int WeatherStateTable::GetNightImage(int skyCode) {
    const WeatherState* state = Get(skyCode);
    if (state == nullptr) {
        return -1;
    }
    return state->nightImage != -1 ? state->nightImage : state->dayImage;
}

int WeatherStateTable::GetExtraImageCount(int skyCode) {
    const WeatherState* state = Get(skyCode);
    return state != nullptr ? state->extraImageCount : 0;
}

bool WeatherStateTable::GetExtraImages(int skyCode, int* images, int* count) {
    const WeatherState* state = Get(skyCode);
    if (images == nullptr || count == nullptr || state == nullptr || state->extraImageCount == 0) {
        return false;
    }
    for (int i = 0; i < state->extraImageCount; ++i) {
        images[i] = state->extraImages[i];
    }
    *count = state->extraImageCount;
    return true;
}

bool WeatherStateTable::GetText(int skyCode, LPWSTR buffer, int size) {
    const WeatherState* state = Get(skyCode);
    if (buffer == nullptr || state == nullptr) {
        return false;
    }
    return CForecastText::Get(state->key, state->englishText, buffer, size);
}
