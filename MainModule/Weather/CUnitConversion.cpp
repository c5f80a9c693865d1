#include "Weather/CUnitConversion.h"

int CUnitConversion::Temperature(int fahrenheit, DWORD degreeType) {
    if (fahrenheit == kMissingTemperature || degreeType == 1) {
        return fahrenheit;
    }
    return static_cast<int>(static_cast<double>((fahrenheit - 32) * 5) * 0.1111111111111111);
}

int CUnitConversion::WindSpeed(int mph, DWORD windSpeedUnit) {
    if (mph == kMissing) {
        return mph;
    }
    switch (windSpeedUnit) {
    case 0:
        return static_cast<int>(mph * 1.609);
    case 2:
        return static_cast<int>(mph * 0.447);
    default:
        return mph;
    }
}

float CUnitConversion::Pressure(float inchesOfMercury, DWORD pressureUnit) {
    if (inchesOfMercury == kMissingPressure) {
        return inchesOfMercury;
    }
    switch (pressureUnit) {
    case 1:
        return static_cast<float>(static_cast<double>(inchesOfMercury) * 25.4);
    case 2:
        return static_cast<float>(static_cast<double>(inchesOfMercury) * 33.782);
    default:
        return inchesOfMercury;
    }
}

const char* CUnitConversion::WindSpeedUnitKey(DWORD windSpeedUnit) {
    switch (windSpeedUnit) {
    case 0:
        return "IDS_KMH";
    case 2:
        return "IDS_MS";
    default:
        return "IDS_MPH";
    }
}

const char* CUnitConversion::PressureUnitKey(DWORD pressureUnit) {
    switch (pressureUnit) {
    case 1:
        return "IDS_MMHG";
    case 2:
        return "IDS_MB";
    default:
        return "IDS_INHG";
    }
}

int CUnitConversion::PressureDecimals(DWORD pressureUnit) { return pressureUnit == 1 || pressureUnit == 2 ? 0 : 2; }
