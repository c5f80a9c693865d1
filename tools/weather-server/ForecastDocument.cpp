#include "ForecastDocument.h"

#include <cstdio>
#include <string>

namespace {

std::string Attribute(const char* name, const std::string& value) {
    return std::string(" ") + name + "=\"" + value + "\"";
}

std::string Attribute(const char* name, int value) { return Attribute(name, std::to_string(value)); }

std::string DayAttribute(int day, const char* field, const std::string& value) {
    char name[48];
    std::snprintf(name, sizeof name, "DAY%d%s", day, field);
    return Attribute(name, value);
}

}  // namespace

const char* ForecastDocument::SkyText(int skyCode) {
    static const char* const kTexts[] = {
        "No forecast", "Mostly Sunny", "Partly Cloudy", "Cloudy", "Dust", "Mostly Cloudy", "Foggy", "Hot",
        "Hazy", "Very Cold", "Snow Shower", "Smoke", "Drizzle", "Flurries", "Windy", "Mixed", "Blizzard",
        "Blowing Snow", "Rain", "Snow", "Thunderstorm", "Sunny", "Not used", "Showers", "Sleet",
        "Freezing Rain", "Freezing Drizzle", "Morning Rain / Afternoon Sun", "Morning Sun / Afternoon Rain",
        "Morning Sun / Afternoon Thunderstorm", "Morning Thunderstorm / Afternoon Sun",
        "Isolated Thunderstorms", "Scattered Thunderstorms", "Clear at Night", "Partly Cloudy at Night",
        "Mostly Cloudy at Night", "Isolated Thunderstorms at Night", "Scattered Thunderstorms at Night",
        "Mostly Clear at Night", "Cloudy at Night", "Foggy at Night", "Drizzle at Night", "Rain at Night",
        "Rain at Night", "Flurries at Night", "Snow at Night", "Sleet at Night", "Freezing Drizzle at Night",
        "Freezing Rain at Night", "Mixed at Night", "Snow Shower at Night", "Very Cold at Night",
        "Thunderstorm at Night", "Broken Clouds", "Clear", "Few Clouds", "Overcast", "Scattered Clouds"};
    if (skyCode < 0 || skyCode >= static_cast<int>(sizeof kTexts / sizeof kTexts[0])) {
        return kTexts[0];
    }
    return kTexts[skyCode];
}

// "h:m tt" as the forecast documents write it, e.g. "7:05 am".
std::string ForecastDocument::ClockText(int minutes) {
    int hour = minutes / 60;
    int hour12 = hour % 12 == 0 ? 12 : hour % 12;
    char text[16];
    std::snprintf(text, sizeof text, "%d:%02d %s", hour12, minutes % 60, hour < 12 ? "am" : "pm");
    return text;
}

std::string ForecastDocument::DayAttributes(const ClimateModel& model, const ForecastRequest& request, int index) {
    CalendarDate date = request.today.AddDays(index - 1);
    DayWeather w = model.Day(request.place, date);
    std::string out;
    out += DayAttribute(index, "FCST_VALID_DAY", date.Digits());
    out += DayAttribute(index, "SUNRISE", ClockText(w.sunriseMinutes));
    out += DayAttribute(index, "SUNSET", ClockText(w.sunsetMinutes));
    out += DayAttribute(index, "HITMPF", std::to_string(w.highF));
    out += DayAttribute(index, "LOTMPF", std::to_string(w.lowF));
    out += DayAttribute(index, "WSPDM", std::to_string(w.windMph));
    out += DayAttribute(index, "UVIDX", std::to_string(w.uvIndex));
    out += DayAttribute(index, "RH", std::to_string(w.humidity));
    out += DayAttribute(index, "WDIR", ClimateModel::CardinalDirection(w.windDegrees));
    out += DayAttribute(index, "SKY24", std::to_string(w.skyCode + 64));
    return out;
}

std::string ForecastDocument::CurrentConditions(const ClimateModel& model, const ForecastRequest& request) {
    HourWeather h = model.Hour(request.place, request.today, request.hour);
    char pressure[16];
    std::snprintf(pressure, sizeof pressure, "%.2f", h.pressureInHg);
    std::string out = "<WXWSOBS";
    out += Attribute("TEMPERATURE", h.temperatureF);
    out += Attribute("HEATINDEX", h.heatIndexF);
    out += Attribute("WINDCHILL", h.windChillF);
    out += Attribute("WINDSPEED", h.windMph);
    out += Attribute("WINDDIRECTION", h.windDegrees);
    out += Attribute("GUST", h.gustMph);
    out += Attribute("RELATIVEHUMIDITY", h.humidity);
    out += Attribute("PRESSURE", pressure);
    out += Attribute("SKY", SkyText(h.skyCode));
    return out + "/>\n";
}

std::string ForecastDocument::HourlyForecasts(const ClimateModel& model, const ForecastRequest& request) {
    std::string out = "<hc>\n";
    for (int i = 0; i < request.hours; ++i) {
        int hour = (request.hour + i) % 24;
        CalendarDate date = request.today.AddDays((request.hour + i) / 24);
        HourWeather h = model.Hour(request.place, date, hour);
        char localDate[32];
        std::snprintf(localDate, sizeof localDate, "%04d-%02d-%02d %02d:00:00", date.year, date.month, date.day, hour);
        out += "<data";
        out += Attribute("LocalDate", localDate);
        out += Attribute("LocalTime", std::to_string(hour * 10000));
        out += Attribute("TemperatureFahrenHeit", h.temperatureF);
        out += Attribute("HeatIndexFahrenheit", h.heatIndexF);
        out += Attribute("WindChillFahrenheit", h.windChillF);
        out += Attribute("WindSpeedMph", h.windMph);
        out += Attribute("WindDirectionCardinal", ClimateModel::CardinalDirection(h.windDegrees));
        out += Attribute("RelativeHumidity", h.humidity);
        out += Attribute("UVIndex", h.uvIndex);
        out += Attribute("SkyCode", h.skyCode + 64);
        out += "/>\n";
    }
    return out + "</hc>\n";
}

std::string ForecastDocument::Build(const ForecastRequest& request) {
    ClimateModel model;
    std::string out = "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>\n<WEATHER>\n<FORECAST";
    out += Attribute("LOCATIONID", request.reportedId.empty() ? request.place.id : request.reportedId);
    for (int day = 1; day <= request.days; ++day) {
        out += DayAttributes(model, request, day);
    }
    out += "/>\n";
    out += CurrentConditions(model, request);
    out += HourlyForecasts(model, request);
    return out + "</WEATHER>\n";
}
