#include "Controls/DetailForecastRecord.h"

#include <cstring>

#include "CLocalization.h"
#include "Weather/CCurrentCondition.h"
#include "Weather/CHourForecast.h"
#include "Weather/CSettings.h"
#include "Weather/CUnitConversion.h"
#include "Weather/GlobalServices.h"
#include "Weather/WeatherStateTable.h"

namespace DetailForecastRecord {
namespace {

void CopyLocalized(const char* key, LPWSTR buffer, int size) {
    if (!CLocalization::Global().GetString(key, buffer, size)) {
        buffer[0] = 0;
    }
}

void SetTemperature(DetailForecastData* data, int temperature) {
    if (temperature != CUnitConversion::kMissingTemperature) {
        data->firstTemperature = temperature;
        data->flags |= DetailForecastData::kFirstTemperature;
    }
}

void SetWindSpeed(DetailForecastData* data, int speed) {
    if (speed != CUnitConversion::kMissing) {
        data->windSpeed = speed;
        data->flags |= DetailForecastData::kWindSpeed;
    }
}

void SetHumidity(DetailForecastData* data, int humidity) {
    if (humidity != CUnitConversion::kMissing) {
        data->humidity = humidity;
        data->flags |= DetailForecastData::kHumidity;
    }
}

}  // namespace

void SetUnitTexts(DetailForecastData* data) {
    const CSettings& settings = GetSettings();
    CopyLocalized(settings.GetTemperatureUnitKey(), data->temperatureUnit, DetailForecastData::kShortTextLength);
    CopyLocalized(CUnitConversion::WindSpeedUnitKey(settings.windSpeedUnit), data->windUnit,
                  DetailForecastData::kShortTextLength);
    CopyLocalized(CUnitConversion::PressureUnitKey(settings.pressureUnit), data->pressureUnit,
                  DetailForecastData::kShortTextLength);
    data->pressureDecimals = CUnitConversion::PressureDecimals(settings.pressureUnit);
}

void SetPictures(DetailForecastData* data, const int* list, int listCount, int picture) {
    if (list != nullptr && listCount > 0) {
        data->pictureCount = listCount < DetailForecastData::kMaxPictures ? listCount : DetailForecastData::kMaxPictures;
        std::memcpy(data->pictures, list, sizeof(int) * static_cast<size_t>(data->pictureCount));
        data->flags |= DetailForecastData::kPictures;
    } else if (picture != -1) {
        data->pictures[0] = picture;
        data->pictureCount = 1;
        data->flags |= DetailForecastData::kPictures;
    }
}

void FromCurrentCondition(const CCurrentCondition& current, bool daytime, DetailForecastData* data) {
    *data = DetailForecastData{};
    const CSettings& settings = GetSettings();
    int list[WeatherStateTable::kMaxExtraImages];
    int count = 0;
    const bool hasList = current.GetStateImages(list, &count);
    SetPictures(data, hasList ? list : nullptr, count, daytime ? current.GetIconIndex() : current.GetNightIconIndex());
    if (current.GetWeatherText(data->weatherText, DetailForecastData::kTextLength)) {
        data->flags |= DetailForecastData::kWeatherText;
    }
    SetTemperature(data, current.GetTemperature(settings.degreeType));
    SetWindSpeed(data, current.GetWindSpeed(settings.windSpeedUnit));
    const int gust = current.GetGust(settings.windSpeedUnit);
    if (gust != CUnitConversion::kMissing) {
        data->gust = gust;
        data->flags |= DetailForecastData::kGust;
    }
    if (current.GetWindDirectionText(data->windDirection, DetailForecastData::kShortTextLength)) {
        data->flags |= DetailForecastData::kWindDirection;
    }
    SetHumidity(data, current.GetHumidity());
    const float pressure = current.GetPressure(settings.pressureUnit);
    if (pressure != CUnitConversion::kMissingPressure) {
        data->pressure = pressure;
        data->flags |= DetailForecastData::kPressure;
    }
    SetUnitTexts(data);
}

void FromHourForecast(const CHourForecast& hour, DetailForecastData* data) {
    *data = DetailForecastData{};
    const CSettings& settings = GetSettings();
    int list[WeatherStateTable::kMaxExtraImages];
    int count = 0;
    const bool hasList = hour.GetIconList(list, &count);
    SetPictures(data, hasList ? list : nullptr, count, hour.GetIconIndex());
    if (hour.GetStateText(data->weatherText, DetailForecastData::kTextLength)) {
        data->flags |= DetailForecastData::kWeatherText;
    }
    SetTemperature(data, hour.GetTemperature(settings.degreeType));
    SetWindSpeed(data, hour.GetWindSpeed(settings.windSpeedUnit));
    if (hour.GetWindDirectionText(data->windDirection, DetailForecastData::kShortTextLength)) {
        data->flags |= DetailForecastData::kWindDirection;
    }
    SetHumidity(data, hour.GetHumidity());
    if (hour.GetUvIndex() != CUnitConversion::kMissing) {
        data->uvIndex = hour.GetUvIndex();
        data->flags |= DetailForecastData::kUvIndex;
    }
    if (hour.GetUVIndexText(data->uvText, DetailForecastData::kShortTextLength)) {
        data->flags |= DetailForecastData::kUvText;
    }
    SetUnitTexts(data);
}

}  // namespace DetailForecastRecord
