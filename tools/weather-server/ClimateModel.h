// A plain climate model: deterministic weather for a place and a time, from the place's monthly climate
// normals, the season and a hash of the place's id and the date.
#pragma once

#include <cstdint>
#include <string>

struct CalendarDate {
    int year = 0;
    int month = 0;
    int day = 0;

    int DayOfYear() const;
    CalendarDate AddDays(int days) const;
    std::string Digits() const;  // YYYYMMDD
    bool operator==(const CalendarDate&) const = default;
};

struct Place {
    std::string id;
    double latitude = 0;
    double longitude = 0;
};

struct DayWeather {
    int highF = 0;
    int lowF = 0;
    int skyCode = 0;       // row of the weather-state table (day form)
    int windMph = 0;
    int windDegrees = 0;
    int humidity = 0;
    int uvIndex = 0;
    double pressureInHg = 0;
    int sunriseMinutes = 0;  // local minutes after midnight
    int sunsetMinutes = 0;
    double cloudiness = 0;
    bool precipitation = false;
};

struct HourWeather {
    int temperatureF = 0;
    int heatIndexF = 0;
    int windChillF = 0;
    int windMph = 0;
    int gustMph = 0;
    int windDegrees = 0;
    int humidity = 0;
    int uvIndex = 0;
    int skyCode = 0;  // day or night form
    double pressureInHg = 0;
};

class ClimateModel {
public:
    DayWeather Day(const Place& place, const CalendarDate& date) const;
    HourWeather Hour(const Place& place, const CalendarDate& date, int hour) const;
    // The place's standard time offset from UTC in whole hours (by longitude).
    static int UtcOffsetHours(const Place& place);
    static const char* CardinalDirection(int degrees);

private:
    struct DayTemperature {
        double meanC = 0;
        double rangeC = 0;  // from the low to the high
    };

    static DayTemperature NormalDayTemperature(const Place& place, const CalendarDate& date);
    DayTemperature TemperatureOfDay(const Place& place, const CalendarDate& date) const;
    double TemperatureC(const Place& place, const CalendarDate& date, int hour) const;
    static double Noise(const std::string& id, const CalendarDate& date, uint32_t salt);
    static int DaySkyCode(double cloudiness, bool precipitation, double meanC, double noise);
    static int NightSkyCode(int daySkyCode);
};
