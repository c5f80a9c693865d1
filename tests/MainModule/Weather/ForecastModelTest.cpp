// The forecast records' conversions and texts, the weather-state table and the city's look-ups.
#include <gtest/gtest.h>

#include <string>

#include "Weather/CCity.h"
#include "Weather/CUnitConversion.h"
#include "Weather/WeatherStateTable.h"
#include "support/SystemTimes.h"

namespace {

std::u16string WindFromDegrees(int degrees) {
    CCurrentCondition condition;
    condition.SetWindDirection(degrees);
    WCHAR text[8] = {};
    if (!condition.GetWindDirectionText(text, 8)) {
        return u"<none>";
    }
    return text;
}

std::u16string WindFromCardinal(const char16_t* cardinal) {
    CDayForecast day;
    day.SetWindDirection(cardinal);
    WCHAR text[8] = {};
    if (!day.GetWindDirectionText(text, 8)) {
        return u"<none>";
    }
    return text;
}

CHourForecast HourAt(WORD year, WORD month, WORD day, WORD hour, int temperature) {
    SYSTEMTIME time = ce::test::MakeSystemTime(year, month, day, hour);
    FILETIME fileTime;
    EXPECT_TRUE(SystemTimeToFileTime(&time, &fileTime));
    CHourForecast forecast;
    forecast.SetFileTime(fileTime);
    forecast.SetTemperature(temperature);
    return forecast;
}

TEST(UnitConversion, TemperaturesTruncateTowardZeroAndKeepTheMissingMarker) {
    EXPECT_EQ(CUnitConversion::Temperature(31, 0), 0);
    EXPECT_EQ(CUnitConversion::Temperature(23, 0), -5);
    EXPECT_EQ(CUnitConversion::Temperature(212, 0), 100);
    EXPECT_EQ(CUnitConversion::Temperature(-40, 2), -40) << "every type but 1 is Celsius";
    EXPECT_EQ(CUnitConversion::Temperature(212, 1), 212);
    EXPECT_EQ(CUnitConversion::Temperature(-10000, 0), -10000);
    EXPECT_EQ(CUnitConversion::Temperature(-10000, 1), -10000);
}

TEST(UnitConversion, WindAndPressureUnits) {
    EXPECT_EQ(CUnitConversion::WindSpeed(10, 0), 16);
    EXPECT_EQ(CUnitConversion::WindSpeed(10, 2), 4);
    EXPECT_EQ(CUnitConversion::WindSpeed(10, 1), 10);
    EXPECT_EQ(CUnitConversion::WindSpeed(-1, 0), -1);
    EXPECT_FLOAT_EQ(CUnitConversion::Pressure(30.0f, 1), 762.0f);
    EXPECT_FLOAT_EQ(CUnitConversion::Pressure(30.0f, 2), 1013.46f);
    EXPECT_FLOAT_EQ(CUnitConversion::Pressure(30.0f, 0), 30.0f);
    EXPECT_FLOAT_EQ(CUnitConversion::Pressure(-1.0f, 2), -1.0f);
}

TEST(WindDirection, DegreesFollowTheCompassRuleInWholeDegrees) {
    const std::pair<int, const char16_t*> cases[] = {
        {0, u"N"},    {20, u"N"},   {21, u"NE"},  {45, u"NE"}, {60, u"NE"}, {61, u"E"},  {90, u"E"},
        {135, u"SE"}, {180, u"S"},  {225, u"SW"}, {270, u"W"}, {315, u"NW"}, {340, u"N"}, {350, u"N"},
        {360, u"N"},  {450, u"E"},  {719, u"N"},  {-90, u"W"},
    };
    for (const auto& [degrees, expected] : cases) {
        EXPECT_EQ(WindFromDegrees(degrees), expected) << degrees;
    }
    EXPECT_EQ(WindFromDegrees(-1), u"<none>");
    CCurrentCondition condition;
    condition.SetWindDirection(90);
    WCHAR small[2];
    EXPECT_FALSE(condition.GetWindDirectionText(small, 2));
}

TEST(WindDirection, CardinalTextsKeepOneLetterOfEachAxis) {
    EXPECT_EQ(WindFromCardinal(u"NNE"), u"NE");
    EXPECT_EQ(WindFromCardinal(u"SSW"), u"SW");
    EXPECT_EQ(WindFromCardinal(u"W"), u"W");
    EXPECT_EQ(WindFromCardinal(u""), u"<none>");
}

TEST(WeatherStates, CodesOutsideTheTableHaveNoPictureAndNoText) {
    for (int code : {-1, 58}) {
        CDayForecast day;
        day.SetSkyCode(code);
        WCHAR text[64];
        int images[20];
        int count = 0;
        EXPECT_EQ(day.GetIconIndex(), -1);
        EXPECT_FALSE(day.GetWeatherText(text, 64));
        EXPECT_FALSE(day.GetStateImages(images, &count));
    }
    CCurrentCondition cloudy;
    cloudy.SetSkyCode(3);
    EXPECT_EQ(cloudy.GetIconIndex(), 3);
    EXPECT_EQ(cloudy.GetNightIconIndex(), 3) << "no night picture: the day's serves";
    CCurrentCondition sunny;
    sunny.SetSkyCode(21);
    EXPECT_EQ(sunny.GetNightIconIndex(), 33);
    WCHAR text[64];
    ASSERT_TRUE(sunny.GetWeatherText(text, 64));
    EXPECT_EQ(std::u16string(text), u"Sunny") << "English where no language file has a text";
    EXPECT_EQ(WeatherStateTable::FindByEnglishText(u"mOSTLY cloudy"), 5);
    EXPECT_EQ(WeatherStateTable::FindByEnglishText(u"Raining frogs"), 0);
}

TEST(WeatherStates, UvIndexCategories) {
    const std::pair<int, const char16_t*> cases[] = {{-5, u"Low"},      {2, u"Low"},      {3, u"Moderate"},
                                                     {7, u"High"},      {10, u"Very High"}, {11, u"Extreme"}};
    for (const auto& [index, expected] : cases) {
        CHourForecast hour;
        hour.SetUvIndex(index);
        WCHAR text[32];
        ASSERT_TRUE(hour.GetUVIndexText(text, 32));
        EXPECT_EQ(std::u16string(text), expected) << index;
    }
    CDayForecast day;
    WCHAR text[32];
    EXPECT_FALSE(day.GetUvIndexText(text, 32)) << "-1 is missing";
}

TEST(City, LocationIdKeepsAtMostEightCharacters) {
    CCity city;
    city.SetLocationId(u"USNY0996EXTRA");
    EXPECT_EQ(std::u16string(city.GetLocationId()), u"USNY0996");
    city.SetLocationId(u"ab");
    EXPECT_EQ(std::u16string(city.GetLocationId()), u"ab");
    city.SetLocationId(nullptr);
    EXPECT_EQ(std::u16string(city.GetLocationId()), u"");
    EXPECT_TRUE(CCity::IsWellFormedLocationId(u"USNY0996"));
    for (const char16_t* bad : {u"USNY099", u"USNY09960", u"..\\x0001", u"US NY099", u"USNY099\u00e9"}) {
        EXPECT_FALSE(CCity::IsWellFormedLocationId(bad));
    }
}

TEST(City, DayPartsTakeTheHoursOfTheirSlots) {
    CCity city;
    CHourlyForecastMap hours;
    CDate date(2009, 3, 10);
    hours[date].insert(HourAt(2009, 3, 10, 13, 50));
    hours[date].insert(HourAt(2009, 3, 10, 23, 40));
    hours[date].insert(HourAt(2009, 3, 10, 14, 51));
    city.SetHourlyForecasts(hours);

    CDayPartsForecast parts;
    ASSERT_TRUE(city.GetDayPartsForecast(date, &parts));
    EXPECT_EQ(parts.CountParts(), 2);
    EXPECT_EQ(parts.FindFirstPart(), 1);
    EXPECT_EQ(parts.FindNextPart(1), 3);
    EXPECT_EQ(parts.FindPreviousPart(1), -1);
    EXPECT_EQ(parts.FindLastPart(), 3);
    CHourForecast evening;
    ASSERT_TRUE(parts.GetPart(3, &evening));
    EXPECT_EQ(evening.GetTemperature(1), 40);
    EXPECT_FALSE(parts.GetPart(0, &evening));

    CDayPartsForecast copy(parts);
    parts.Clear();
    EXPECT_EQ(copy.CountParts(), 2) << "a copy owns its own parts";
    EXPECT_FALSE(city.GetDayPartsForecast(CDate(2009, 3, 11), &parts));
}

TEST(City, DaysFromADateAndSunTimes) {
    CCity city;
    for (DWORD day = 10; day <= 12; ++day) {
        CDayForecast forecast;
        forecast.SetDate(CDate(2009, 3, day));
        forecast.SetSunrise({static_cast<BYTE>(day - 4), 0});
        EXPECT_TRUE(city.AddDayForecast(forecast));
    }
    CDayForecast again;
    again.SetDate(CDate(2009, 3, 11));
    EXPECT_FALSE(city.AddDayForecast(again)) << "one day a date";

    CDayForecastSet days;
    ASSERT_TRUE(city.GetDayForecastsFrom(CDate(2009, 3, 11), &days));
    EXPECT_EQ(days.size(), 2u);
    ASSERT_TRUE(city.GetDayForecastsFrom(CDate(2009, 3, 9), &days));
    EXPECT_TRUE(days.empty()) << "a date that is not among the days";

    CDayForecast::TimeOfDay sunrise;
    EXPECT_TRUE(city.GetSunriseOn(CDate(2009, 3, 11), &sunrise, true));
    EXPECT_EQ(sunrise.hour, 7);
    EXPECT_FALSE(city.GetSunriseOn(CDate(2009, 3, 20), &sunrise, true));
    EXPECT_TRUE(city.GetSunriseOn(CDate(2009, 3, 20), &sunrise, false));
    EXPECT_EQ(sunrise.hour, 8) << "the last day serves";
    EXPECT_TRUE(city.GetSunriseOn(CDate(2009, 3, 1), &sunrise, false));
    EXPECT_EQ(sunrise.hour, 6);

    CCity copy(city);
    city.Clear();
    EXPECT_EQ(copy.GetDayForecasts().size(), 3u);
}

}  // namespace
