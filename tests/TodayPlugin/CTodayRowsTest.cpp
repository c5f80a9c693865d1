// What the Today item's columns show for a city at a time: which days, when the current conditions take
// the first column, which part of the day comes first, and how missing values read.
#include <gtest/gtest.h>

#include "CTodayLayout.h"
#include "CTodayRows.h"
#include "Platform/TempDevice.h"
#include "Weather/WeatherStateTable.h"
#include "ce/device.h"

namespace {

// The records keep degrees Fahrenheit; this degree type shows them unconverted.
constexpr DWORD kFahrenheit = 1;

SYSTEMTIME At(WORD day, WORD hour, WORD minute = 0) {
    SYSTEMTIME time{};
    time.wYear = 2026;
    time.wMonth = 12;
    time.wDay = day;
    time.wHour = hour;
    time.wMinute = minute;
    return time;
}

CDayForecast Day(WORD day, int sky, int high, int low) {
    CDayForecast forecast;
    forecast.SetDate(CDate(2026, 12, day));
    forecast.SetSkyCode(sky);
    forecast.SetHighTemperature(high);
    forecast.SetLowTemperature(low);
    return forecast;
}

CHourForecast Hour(WORD day, WORD hour, int sky, int temperature) {
    CHourForecast forecast;
    SYSTEMTIME time = At(day, hour);
    FILETIME file;
    SystemTimeToFileTime(&time, &file);
    forecast.SetFileTime(file);
    forecast.SetSkyCode(sky);
    forecast.SetTemperature(temperature);
    return forecast;
}

// Every part of each listed date, the temperature telling date and part apart (day * 10 + part).
void AddDayParts(CCity* city, std::initializer_list<WORD> days) {
    CHourlyForecastMap hours;
    for (WORD day : days) {
        int part = 0;
        for (WORD hour : {7, 13, 19, 23}) {
            hours[CDate(2026, 12, day)].insert(Hour(day, hour, 30, day * 10 + part++));
        }
    }
    city->SetHourlyForecasts(hours);
}

void SetCurrent(CCity* city, int sky, int temperature, const SYSTEMTIME& updated) {
    auto current = std::make_unique<CCurrentCondition>();
    current->SetSkyCode(sky);
    current->SetTemperature(temperature);
    city->SetCurrentCondition(std::move(current));
    city->SetUpdateSystemTime(&updated);
}

TEST(CTodayRows, FiveDaysStartTodayAndEndAtTheFirstMissingDate) {
    CCity city;
    for (WORD day : {8, 9, 10, 11, 13, 14}) {
        city.AddDayForecast(Day(day, 32, 70 + day, 50 + day));
    }
    std::vector<TodayColumn> columns = CTodayRows::FiveDays(city, At(9, 12), kFahrenheit);
    ASSERT_EQ(columns.size(), 3u) << "9th to 11th; the 12th is missing";
    EXPECT_EQ(columns[0].high, 79);
    EXPECT_EQ(columns[0].low, 59);
    EXPECT_FALSE(columns[0].single);
    EXPECT_EQ(columns[0].picture, WeatherStateTable::GetDayImage(32));
    EXPECT_FALSE(columns[0].label.empty()) << "the weekday";

    city.AddDayForecast(Day(12, 32, 1, 1));
    EXPECT_EQ(CTodayRows::FiveDays(city, At(9, 12), kFahrenheit).size(), 5u) << "never more than five";
    EXPECT_TRUE(CTodayRows::FiveDays(city, At(20, 12), kFahrenheit).empty()) << "no forecast for today: no columns";
}

TEST(CTodayRows, CurrentConditionsTakeTheFirstColumnForADayAfterTheUpdate) {
    CCity city;
    city.AddDayForecast(Day(9, 32, 80, 60));
    city.AddDayForecast(Day(10, 32, 81, 61));
    SetCurrent(&city, 28, 75, At(8, 13));

    std::vector<TodayColumn> fresh = CTodayRows::FiveDays(city, At(9, 12, 59), kFahrenheit);
    ASSERT_EQ(fresh.size(), 2u);
    EXPECT_TRUE(fresh[0].single);
    EXPECT_EQ(fresh[0].low, 75);
    EXPECT_EQ(fresh[0].picture, WeatherStateTable::GetDayImage(28));
    EXPECT_EQ(fresh[1].high, 81) << "only the first column is replaced";

    std::vector<TodayColumn> stale = CTodayRows::FiveDays(city, At(9, 13, 0), kFahrenheit);
    EXPECT_FALSE(stale[0].single) << "24 hours after the update the day forecast is back";
    EXPECT_EQ(stale[0].high, 80);

    SetCurrent(&city, 0, 75, At(9, 11));
    EXPECT_FALSE(CTodayRows::FiveDays(city, At(9, 12), kFahrenheit)[0].single) << "sky code 0 is no observation";
    SetCurrent(&city, 28, 75, At(9, 14));
    EXPECT_FALSE(CTodayRows::FiveDays(city, At(9, 12), kFahrenheit)[0].single) << "an update in the future is not fresh";
}

// The Today item and the Home plug-in write the update time alike, as the device's locale does: a
// column too narrow for it may leave out the AM/PM marker, but never turns to the other clock.
TEST(CTodayRows, TheUpdateTimeIsWrittenAsTheDevicesLocaleWritesIt) {
    ce::test::TempDevice device;
    CCity city;
    city.AddDayForecast(Day(9, 32, 80, 60));
    SetCurrent(&city, 28, 75, At(9, 16, 13));
    const auto first = [&] { return CTodayRows::FiveDays(city, At(9, 17), kFahrenheit)[0]; };
    EXPECT_EQ(first().label, u"4:13 PM");
    EXPECT_EQ(first().shortLabel, u"4:13") << "the marker left out, the 12-hour clock kept";
    ASSERT_TRUE(ce::SetProfileString("device", "locale", "de-DE"));
    EXPECT_EQ(first().label, u"16:13");
    EXPECT_EQ(first().shortLabel, u"") << "nothing to leave out";
}

TEST(CTodayRows, TheCurrentPictureIsTheNightOneOutsideDaylight) {
    CCity city;
    CDayForecast today = Day(9, 32, 80, 60);
    city.AddDayForecast(today);
    EXPECT_TRUE(CTodayRows::IsNight(city, At(9, 6, 59))) << "07:00 without a sunrise";
    EXPECT_FALSE(CTodayRows::IsNight(city, At(9, 7, 0)));
    EXPECT_TRUE(CTodayRows::IsNight(city, At(9, 20, 0))) << "20:00 without a sunset";

    CCity withTimes;
    today.SetSunrise({8, 15});
    today.SetSunset({16, 30});
    withTimes.AddDayForecast(today);
    EXPECT_TRUE(CTodayRows::IsNight(withTimes, At(9, 8, 14)));
    EXPECT_FALSE(CTodayRows::IsNight(withTimes, At(9, 16, 29)));
    EXPECT_TRUE(CTodayRows::IsNight(withTimes, At(9, 16, 30)));

    SetCurrent(&withTimes, 28, 40, At(9, 17));
    EXPECT_EQ(CTodayRows::FiveDays(withTimes, At(9, 18), kFahrenheit)[0].picture, WeatherStateTable::GetNightImage(28));
}

TEST(CTodayRows, PartsOfTheDayStartAtTheCurrentPartAndAtThreeWithLastNight) {
    bool yesterday = false;
    EXPECT_EQ(CTodayRows::PartOfHour(3, &yesterday), 3);
    EXPECT_TRUE(yesterday);
    EXPECT_EQ(CTodayRows::PartOfHour(5, &yesterday), 0);
    EXPECT_FALSE(yesterday);
    EXPECT_EQ(CTodayRows::PartOfHour(11, &yesterday), 1);
    EXPECT_EQ(CTodayRows::PartOfHour(18, &yesterday), 2);
    EXPECT_EQ(CTodayRows::PartOfHour(23, &yesterday), 3);
    EXPECT_FALSE(yesterday);

    CCity city;
    AddDayParts(&city, {8, 9, 10});
    std::vector<TodayColumn> night = CTodayRows::DayParts(city, At(9, 3), kFahrenheit);
    ASSERT_EQ(night.size(), 5u);
    EXPECT_EQ(night[0].low, 83) << "the 8th's night";
    EXPECT_EQ(night[1].low, 90) << "then the 9th's morning";
    EXPECT_TRUE(night[0].single);

    std::vector<TodayColumn> evening = CTodayRows::DayParts(city, At(10, 19), kFahrenheit);
    ASSERT_EQ(evening.size(), 2u) << "the 10th's evening and night, then nothing";
    EXPECT_EQ(evening[0].low, 102);
}

TEST(CTodayRows, ADateWithoutPartsIsSkippedOnceAndTwoInARowEndTheList) {
    CCity city;
    AddDayParts(&city, {9, 11, 14});
    std::vector<TodayColumn> columns = CTodayRows::DayParts(city, At(9, 19), kFahrenheit);
    ASSERT_EQ(columns.size(), 5u);
    EXPECT_EQ(columns[1].low, 93);
    EXPECT_EQ(columns[2].low, 110) << "the 10th is skipped";
    EXPECT_EQ(columns[4].low, 112);

    CCity gap;
    AddDayParts(&gap, {9, 12});
    EXPECT_EQ(CTodayRows::DayParts(gap, At(9, 19), kFahrenheit).size(), 2u) << "the 10th and 11th missing end the list";
}

TEST(CTodayLayout, MissingTemperaturesReadAsADash) {
    EXPECT_EQ(CTodayLayout::Degrees(-3), u"-3\u00B0");
    EXPECT_EQ(CTodayLayout::Degrees(TodayColumn::kMissing), u"-");
    EXPECT_EQ(CTodayLayout::HighLow(72, 55), u"72/55\u00B0");
    EXPECT_EQ(CTodayLayout::HighLow(TodayColumn::kMissing, 55), u"55\u00B0") << "tonight's low alone";
    EXPECT_EQ(CTodayLayout::HighLow(72, TodayColumn::kMissing), u"-");
}

}  // namespace
