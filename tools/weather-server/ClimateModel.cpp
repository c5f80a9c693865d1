#include "ClimateModel.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "ClimateNormals.h"

namespace {

constexpr double kPi = 3.14159265358979323846;

bool IsLeap(int year) { return (year % 4 == 0 && year % 100 != 0) || year % 400 == 0; }

int DaysInMonth(int year, int month) {
    static const int kDays[] = {31, 28, 31, 30, 31, 30, 31, 31, 30, 31, 30, 31};
    return month == 2 && IsLeap(year) ? 29 : kDays[month - 1];
}

double CToF(double c) { return c * 9.0 / 5.0 + 32.0; }

// Solar declination in radians for a day of the year.
double Declination(int dayOfYear) { return 23.44 * kPi / 180.0 * std::sin(2 * kPi * (284 + dayOfYear) / 365.0); }

double HeatIndexF(double t, double rh) {
    if (t < 80) {
        return t;
    }
    return -42.379 + 2.04901523 * t + 10.14333127 * rh - 0.22475541 * t * rh - 0.00683783 * t * t -
           0.05481717 * rh * rh + 0.00122874 * t * t * rh + 0.00085282 * t * rh * rh -
           0.00000199 * t * t * rh * rh;
}

double WindChillF(double t, double mph) {
    if (t > 50 || mph <= 3) {
        return t;
    }
    double v = std::pow(mph, 0.16);
    return 35.74 + 0.6215 * t - 35.75 * v + 0.4275 * t * v;
}

}  // namespace

int CalendarDate::DayOfYear() const {
    int n = day;
    for (int m = 1; m < month; ++m) {
        n += DaysInMonth(year, m);
    }
    return n;
}

CalendarDate CalendarDate::AddDays(int days) const {
    CalendarDate d = *this;
    for (; days > 0; --days) {
        if (++d.day > DaysInMonth(d.year, d.month)) {
            d.day = 1;
            if (++d.month > 12) {
                d.month = 1;
                ++d.year;
            }
        }
    }
    for (; days < 0; ++days) {
        if (--d.day < 1) {
            if (--d.month < 1) {
                d.month = 12;
                --d.year;
            }
            d.day = DaysInMonth(d.year, d.month);
        }
    }
    return d;
}

std::string CalendarDate::Digits() const {
    char text[16];
    std::snprintf(text, sizeof text, "%04d%02d%02d", year, month, day);
    return text;
}

// FNV-1a over the id, the date and a salt, folded to [0, 1).
double ClimateModel::Noise(const std::string& id, const CalendarDate& date, uint32_t salt) {
    uint64_t h = 1469598103934665603ull;
    auto mix = [&h](uint64_t byte) {
        h ^= byte;
        h *= 1099511628211ull;
    };
    for (unsigned char c : id) {
        mix(c);
    }
    for (uint32_t v : {static_cast<uint32_t>(date.year), static_cast<uint32_t>(date.month),
                       static_cast<uint32_t>(date.day), salt}) {
        for (int i = 0; i < 4; ++i) {
            mix((v >> (8 * i)) & 0xFF);
        }
    }
    h ^= h >> 33;
    return static_cast<double>(h >> 11) / static_cast<double>(1ull << 53);
}

int ClimateModel::UtcOffsetHours(const Place& place) { return static_cast<int>(std::lround(place.longitude / 15.0)); }

// Each month's normal holds at its middle; the days between follow a straight line to the next month's.
ClimateModel::DayTemperature ClimateModel::NormalDayTemperature(const Place& place,
                                                                const CalendarDate& date) {
    MonthlyNormals normals = ClimateNormals::ForPlace(place.latitude, place.longitude);
    double monthsAfterMidJanuary =
        (date.month - 1) + (date.day - 0.5) / DaysInMonth(date.year, date.month) - 0.5;
    double wholeMonths = std::floor(monthsAfterMidJanuary);
    double towardsNext = monthsAfterMidJanuary - wholeMonths;
    int before = (static_cast<int>(wholeMonths) + 12) % 12;
    int after = (before + 1) % 12;
    auto between = [towardsNext](double a, double b) { return a + (b - a) * towardsNext; };
    double highC = between(normals.highC[before], normals.highC[after]);
    double lowC = between(normals.lowC[before], normals.lowC[after]);
    return {(highC + lowC) / 2, highC - lowC};
}

// The day's weather moves the whole day up to 4 °C off the normal and stretches or squeezes its range
// by up to 30 %; both average out over a month, so a month's mean high and low stay at the normals.
ClimateModel::DayTemperature ClimateModel::TemperatureOfDay(const Place& place,
                                                            const CalendarDate& date) const {
    DayTemperature normal = NormalDayTemperature(place, date);
    double weatherOfTheDay = (Noise(place.id, date, 1) - 0.5) * 8.0;
    double rangeOfTheDay = 0.7 + 0.6 * Noise(place.id, date, 2);
    return {normal.meanC + weatherOfTheDay, normal.rangeC * rangeOfTheDay};
}

double ClimateModel::TemperatureC(const Place& place, const CalendarDate& date, int hour) const {
    // Warmest at 15:00, coldest at 03:00.
    DayTemperature day = TemperatureOfDay(place, date);
    return day.meanC + day.rangeC / 2 * std::sin(2 * kPi * (hour - 9) / 24.0);
}

int ClimateModel::DaySkyCode(double cloudiness, bool precipitation, double meanC, double noise) {
    if (precipitation) {
        if (meanC < -1) {
            return noise < 0.5 ? 19 : 13;  // Snow, Flurries
        }
        if (meanC < 2) {
            return noise < 0.5 ? 24 : 15;  // Sleet, Mixed
        }
        if (meanC > 22 && noise < 0.4) {
            return 20;  // Thunderstorm
        }
        return noise < 0.5 ? 18 : 23;  // Rain, Showers
    }
    if (cloudiness < 0.15) {
        return 21;  // Sunny
    }
    if (cloudiness < 0.35) {
        return 1;  // Mostly Sunny
    }
    if (cloudiness < 0.55) {
        return 2;  // Partly Cloudy
    }
    if (cloudiness < 0.75) {
        return 5;  // Mostly Cloudy
    }
    return noise < 0.15 ? 6 : 3;  // Foggy, Cloudy
}

int ClimateModel::NightSkyCode(int daySkyCode) {
    switch (daySkyCode) {
        case 21: return 33;  // Clear at Night
        case 1: return 38;   // Mostly Clear at Night
        case 2: return 34;
        case 5: return 35;
        case 3: return 39;
        case 6: return 40;
        case 18:
        case 23: return 42;
        case 19: return 45;
        case 13: return 44;
        case 24: return 46;
        case 15: return 49;
        case 20: return 52;
        default: return daySkyCode;
    }
}

DayWeather ClimateModel::Day(const Place& place, const CalendarDate& date) const {
    DayWeather w;
    DayTemperature temperature = TemperatureOfDay(place, date);
    double mean = temperature.meanC;
    w.highF = static_cast<int>(std::lround(CToF(mean + temperature.rangeC / 2)));
    w.lowF = static_cast<int>(std::lround(CToF(mean - temperature.rangeC / 2)));
    w.cloudiness = Noise(place.id, date, 3);
    w.precipitation = w.cloudiness > 0.72 && Noise(place.id, date, 4) < 0.65;
    w.skyCode = DaySkyCode(w.cloudiness, w.precipitation, mean, Noise(place.id, date, 5));
    w.windMph = static_cast<int>(2 + 20 * Noise(place.id, date, 6) * Noise(place.id, date, 7));
    w.windDegrees = static_cast<int>(360 * Noise(place.id, date, 8)) % 360;
    w.humidity = std::clamp(static_cast<int>(35 + 55 * w.cloudiness + 10 * Noise(place.id, date, 9)), 5, 100);
    w.pressureInHg = 30.4 - 1.0 * w.cloudiness + 0.1 * Noise(place.id, date, 10);

    double lat = place.latitude * kPi / 180.0;
    double decl = Declination(date.DayOfYear());
    double cosOmega = std::clamp(-std::tan(lat) * std::tan(decl), -0.999, 0.999);
    double halfDayHours = std::acos(cosOmega) * 180.0 / kPi / 15.0;
    // Solar noon in the place's standard time.
    double noon = 12.0 + UtcOffsetHours(place) - place.longitude / 15.0;
    w.sunriseMinutes = std::clamp(static_cast<int>(std::lround((noon - halfDayHours) * 60)), 1, 24 * 60 - 2);
    w.sunsetMinutes = std::clamp(static_cast<int>(std::lround((noon + halfDayHours) * 60)), 2, 24 * 60 - 1);
    double noonElevationCos = std::cos(lat - decl);
    w.uvIndex = std::max(0, static_cast<int>(std::lround(11.0 * std::pow(std::max(0.0, noonElevationCos), 3) *
                                                         (1.0 - 0.7 * w.cloudiness))));
    return w;
}

HourWeather ClimateModel::Hour(const Place& place, const CalendarDate& date, int hour) const {
    DayWeather day = Day(place, date);
    HourWeather h;
    double tF = CToF(TemperatureC(place, date, hour));
    double hourNoise = Noise(place.id, date, 100 + hour);
    h.temperatureF = static_cast<int>(std::lround(tF));
    h.windMph = std::max(0, static_cast<int>(std::lround(day.windMph * (0.6 + 0.8 * hourNoise))));
    h.gustMph = h.windMph + static_cast<int>(std::lround(h.windMph * 0.4));
    h.windDegrees = (day.windDegrees + static_cast<int>(40 * (hourNoise - 0.5)) + 360) % 360;
    h.humidity = std::clamp(day.humidity + static_cast<int>(15 * std::cos(2 * kPi * (hour - 4) / 24.0)), 5, 100);
    h.heatIndexF = static_cast<int>(std::lround(HeatIndexF(tF, h.humidity)));
    h.windChillF = static_cast<int>(std::lround(WindChillF(tF, h.windMph)));
    bool daylight = hour * 60 + 30 >= day.sunriseMinutes && hour * 60 + 30 < day.sunsetMinutes;
    h.skyCode = daylight ? day.skyCode : NightSkyCode(day.skyCode);
    double sunHeight = daylight ? std::sin(kPi * (hour * 60 + 30 - day.sunriseMinutes) /
                                           std::max(1, day.sunsetMinutes - day.sunriseMinutes))
                                : 0.0;
    h.uvIndex = static_cast<int>(std::lround(day.uvIndex * sunHeight));
    h.pressureInHg = day.pressureInHg;
    return h;
}

const char* ClimateModel::CardinalDirection(int degrees) {
    static const char* const kPoints[] = {"N", "NNE", "NE", "ENE", "E", "ESE", "SE", "SSE",
                                          "S", "SSW", "SW", "WSW", "W", "WNW", "NW", "NNW"};
    int index = static_cast<int>(std::lround(((degrees % 360) + 360) % 360 / 22.5)) % 16;
    return kPoints[index];
}
