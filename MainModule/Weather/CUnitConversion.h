// Display units of the forecast values. The records keep what the server sends (degrees F, mph,
// inches of mercury); the missing markers (-10000 temperature, -1, -1.0) pass through unchanged.
#pragma once

#include "ce/types.h"

class CUnitConversion {
public:
    static constexpr int kMissingTemperature = -10000;
    static constexpr int kMissing = -1;
    static constexpr float kMissingPressure = -1.0f;

    // Degree type 1: degrees F as stored; any other value degrees C, truncated toward zero.
    static int Temperature(int fahrenheit, DWORD degreeType);
    // Unit 0 km/h, 2 m/s, any other value mph; truncated toward zero.
    static int WindSpeed(int mph, DWORD windSpeedUnit);
    // Unit 1 mmHg, 2 mb, any other value inHg.
    static float Pressure(float inchesOfMercury, DWORD pressureUnit);

    // The localization keys of the units the conversions above give, out-of-range settings included.
    static const char* WindSpeedUnitKey(DWORD windSpeedUnit);
    static const char* PressureUnitKey(DWORD pressureUnit);
    // Decimals a pressure is shown with: inches of mercury need two, mmHg and mb none.
    static int PressureDecimals(DWORD pressureUnit);
};
