// The demo's weather is believable: each month's highs and lows near the cities' real normals, the
// southern seasons turned round, and the same forecast for the same place and day every time.
#include <gtest/gtest.h>

#include <array>
#include <string>

#include "ClimateModel.h"

namespace {

double FToC(int fahrenheit) {
    return (fahrenheit - 32) * 5.0 / 9.0;
}

struct MonthMean {
    double highC = 0;
    double lowC = 0;
};

MonthMean MeanOfMonth(const Place& place, int year, int month) {
    ClimateModel model;
    MonthMean mean;
    int days = 0;
    for (CalendarDate date{year, month, 1}; date.month == month; date = date.AddDays(1), ++days) {
        DayWeather day = model.Day(place, date);
        mean.highC += FToC(day.highF);
        mean.lowC += FToC(day.lowF);
    }
    mean.highC /= days;
    mean.lowC /= days;
    return mean;
}

struct CityNormals {
    Place place;
    std::array<int, 12> highC;
    std::array<int, 12> lowC;
};

TEST(ClimateModel, MonthlyHighsAndLowsOfTheDemoAndFirstStartCitiesStayNearTheirNormals) {
    // 1991-2020 normals of each city's station, rounded to whole degrees.
    const CityNormals cities[] = {
        {{"UKXX0085", 51.507, -0.128},
         {8, 9, 12, 15, 18, 22, 24, 23, 20, 16, 12, 9},
         {3, 3, 4, 6, 9, 12, 14, 14, 12, 9, 6, 3}},
        {{"GMXX0007", 52.52, 13.405},
         {3, 5, 9, 15, 19, 23, 25, 24, 20, 14, 8, 4},
         {-2, -1, 1, 5, 9, 12, 15, 14, 11, 7, 3, 0}},
        {{"USNY0996", 40.713, -74.006},
         {4, 6, 10, 17, 22, 27, 29, 28, 25, 18, 12, 7},
         {-3, -2, 2, 7, 13, 18, 21, 21, 17, 10, 5, 0}},
        {{"RSXX0063", 55.756, 37.617},
         {-5, -4, 2, 10, 18, 22, 24, 22, 16, 9, 1, -3},
         {-10, -10, -5, 2, 7, 12, 14, 12, 7, 2, -3, -7}},
    };
    for (const CityNormals& city : cities) {
        for (int month = 1; month <= 12; ++month) {
            MonthMean mean = MeanOfMonth(city.place, 2025, month);
            SCOPED_TRACE(city.place.id + " month " + std::to_string(month));
            EXPECT_NEAR(mean.highC, city.highC[month - 1], 4.0);
            EXPECT_NEAR(mean.lowC, city.lowC[month - 1], 4.0);
        }
    }
}

TEST(ClimateModel, SouthernSeasonsAreTurnedRoundAndTheTropicsStayWarm) {
    const Place sydney{"ASXX0112", -33.87, 151.21};
    const Place farFromAnyStation{"NZXX0009", -45.87, 170.50};
    for (const Place& place : {sydney, farFromAnyStation}) {
        SCOPED_TRACE(place.id);
        EXPECT_GT(MeanOfMonth(place, 2025, 1).highC, MeanOfMonth(place, 2025, 7).highC + 4);
    }
    const Place inland{"CGXX0001", -4.32, 15.31};
    for (int month = 1; month <= 12; ++month) {
        MonthMean mean = MeanOfMonth(inland, 2025, month);
        EXPECT_GT(mean.lowC, 15) << "month " << month;
        EXPECT_LT(mean.highC, 38) << "month " << month;
    }
}

TEST(ClimateModel, TheSamePlaceAndDayGiveTheSameWeather) {
    const Place london{"UKXX0085", 51.507, -0.128};
    const CalendarDate date{2025, 12, 24};
    DayWeather first = ClimateModel().Day(london, date);
    DayWeather again = ClimateModel().Day(london, date);
    EXPECT_EQ(first.highF, again.highF);
    EXPECT_EQ(first.lowF, again.lowF);
    EXPECT_EQ(first.skyCode, again.skyCode);
}

TEST(ClimateModel, TheHoursOfADayRunFromItsLowToItsHigh) {
    const Place berlin{"GMXX0007", 52.52, 13.405};
    const CalendarDate date{2025, 7, 14};
    ClimateModel model;
    DayWeather day = model.Day(berlin, date);
    for (int hour = 0; hour < 24; ++hour) {
        int temperatureF = model.Hour(berlin, date, hour).temperatureF;
        EXPECT_GE(temperatureF, day.lowF) << "hour " << hour;
        EXPECT_LE(temperatureF, day.highF) << "hour " << hour;
    }
    EXPECT_EQ(model.Hour(berlin, date, 15).temperatureF, day.highF);
    EXPECT_EQ(model.Hour(berlin, date, 3).temperatureF, day.lowF);
}

}  // namespace
