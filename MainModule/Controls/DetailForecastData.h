// One set of weather values as the day, current-conditions and part-of-day screens hand it to
// CDetailForecastControl: values already in the display units, unit texts localized, and a flag for
// every value that is shown.
#pragma once

#include "ce/types.h"

struct DetailForecastData {
    static constexpr int kMaxPictures = 20;
    static constexpr int kTextLength = 100;
    static constexpr int kShortTextLength = 20;

    enum Flags : DWORD {
        kPictures = 0x1,
        kWeatherText = 0x2,
        kFirstTemperature = 0x4,
        kSecondTemperature = 0x8,
        kWindSpeed = 0x40,
        kGust = 0x80,
        kWindDirection = 0x100,
        kHumidity = 0x200,
        kUvIndex = 0x400,
        kUvText = 0x800,
        kPressure = 0x1000,
    };

    int pictures[kMaxPictures];  // skin picture numbers: the frames of the weather picture
    int pictureCount;
    WCHAR weatherText[kTextLength];
    int firstTemperature;   // the low of a day, or the one temperature
    int secondTemperature;  // the high of a day
    WCHAR temperatureUnit[kShortTextLength];
    int windSpeed;
    int gust;
    WCHAR windDirection[kShortTextLength];
    WCHAR windUnit[kShortTextLength];
    int humidity;  // percent
    int uvIndex;
    WCHAR uvText[kShortTextLength];
    float pressure;
    WCHAR pressureUnit[kShortTextLength];
    int pressureDecimals;  // 2 for inches of mercury, 0 for the others
    DWORD flags;
};
