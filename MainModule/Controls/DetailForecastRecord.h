// Fills the record of the detail control from the forecast model's records, in the units of the
// user's settings; a value that is not known leaves its flag clear.
#pragma once

#include "Controls/DetailForecastData.h"

class CCurrentCondition;
class CHourForecast;

namespace DetailForecastRecord {

// The temperature, wind and pressure unit texts of the settings, and the decimals of the pressure.
void SetUnitTexts(DetailForecastData* data);
// The weather state's pictures; a state without a list shows its one picture (none when it is -1).
void SetPictures(DetailForecastData* data, const int* list, int listCount, int picture);
// The observed weather; `daytime` picks the state's day picture over its night picture.
void FromCurrentCondition(const CCurrentCondition& current, bool daytime, DetailForecastData* data);
// One hour, as the parts of a day show it.
void FromHourForecast(const CHourForecast& hour, DetailForecastData* data);

}  // namespace DetailForecastRecord
