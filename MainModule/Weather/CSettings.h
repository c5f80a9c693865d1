// The program's settings record, stored as values under the program's registry key. Both start-screen
// plug-ins read the same values; the Today item writes TodayPluginMode itself.
#pragma once

#include "ce/com.h"

class CRegistryStore;

class CSettings {
public:
    CSettings();
    CSettings(const CSettings&) = default;
    CSettings& operator=(const CSettings&) = default;
    virtual ~CSettings() = default;

    // Each value present replaces its default; false without a store.
    bool Load(CRegistryStore* store);
    // Writes every field, stopping at the first write that fails. TodayPluginMode is read back first, so
    // that the Today item's own choice is not undone.
    bool Save(CRegistryStore* store);
    bool IsLanguageStored(CRegistryStore* store) const;

    // Degrees Fahrenheit exactly when the degree type is 1.
    bool IsFahrenheit() const { return degreeType == 1; }
    // The localization key of the temperature unit's short text.
    const char* GetTemperatureUnitKey() const { return IsFahrenheit() ? "IDS_FAHRENHEIT_SHORT" : "IDS_CELSIUS_SHORT"; }

    DWORD language;
    GUID connection;
    DWORD gpsPort;  // -1 none; 0-99 "COM%d:"; 100 and above "GPD%d:" with the number minus 100
    DWORD updateType;  // 0 off, 1 every interval, 2 daily at a time
    DWORD updateInterval;  // hours
    BYTE updateTime[2];  // hour, minute
    DWORD updateInRoaming;
    DWORD onlineUpdateInterval;  // days
    DWORD degreeType;  // 1 Fahrenheit, other values Celsius
    DWORD windSpeedUnit;  // 0 km/h, 1 mph, 2 m/s
    DWORD pressureUnit;  // 0 inHg, 1 mmHg, 2 mb
    DWORD todayPluginMode;
    DWORD homePluginMode;  // 0 five days, other values detailed
};
