// The forecast XML of one place: the days, the current conditions and the hourly forecasts.
#pragma once

#include <string>

#include "ClimateModel.h"

struct ForecastRequest {
    Place place;
    CalendarDate today;       // the place's local date
    int hour = 12;            // the place's local hour
    std::string reportedId;   // the LOCATIONID written (normally the place's id)
    int days = 10;
    int hours = 72;
};

class ForecastDocument {
public:
    static std::string Build(const ForecastRequest& request);
    // The English text of a weather-state row, as the current conditions name their sky.
    static const char* SkyText(int skyCode);

private:
    static std::string DayAttributes(const ClimateModel& model, const ForecastRequest& request, int index);
    static std::string CurrentConditions(const ClimateModel& model, const ForecastRequest& request);
    static std::string HourlyForecasts(const ClimateModel& model, const ForecastRequest& request);
    static std::string ClockText(int minutes);
};
