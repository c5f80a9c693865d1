// The program's registry values as any other program on the device may have left them: the input is a
// run of values (name, type, length, bytes) written under the program's key, then read as the program
// and the plug-ins read them (the settings record, the plug-ins' own record, the remembered country,
// map, connection and update check, the install folder) and used the way the screens and the schedule
// use them.
#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstring>
#include <iterator>
#include <string>
#include <vector>

#include "CPluginSettings.h"
#include "CRegistryStore.h"
#include "CSysInfo.h"
#include "FuzzDevice.h"
#include "Screens/CSelectCityGPSDlg.h"
#include "Weather/CSettings.h"
#include "Weather/CUnitConversion.h"
#include "Weather/ScheduledUpdates.h"
#include "ce/kernel.h"
#include "ce/registry.h"

namespace {

constexpr LPCWSTR kProgramKey = u"SOFTWARE\\Apps\\Quillon Software Skyvane";
constexpr LPCWSTR kInstallFolder = u"\\Program Files\\Skyvane";
constexpr LPCWSTR kValueNames[] = {
    u"Connection", u"Language", u"GPSPort", u"FUpdateType", u"FUpdateInterval", u"FUpdateInRoaming",
    u"FUpdateTime", u"OUpdateInterval", u"DegreeType", u"WindSpeedUnit", u"PressureUnit", u"TodayPluginMode",
    u"HomePluginMode", u"LastSelCountry", u"LastMapID", u"LastOnlineUpdate", u"LastOUConnection", u"InstallDir",
};
constexpr DWORD kTypes[] = {REG_NONE, REG_SZ, REG_EXPAND_SZ, REG_BINARY, REG_DWORD, REG_MULTI_SZ};

void WriteValues(HKEY key, const uint8_t* data, size_t size) {
    for (LPCWSTR name : kValueNames) {
        RegDeleteValueW(key, name);
    }
    const std::u16string folder = kInstallFolder;
    RegSetValueExW(key, u"InstallDir", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                   static_cast<DWORD>((folder.size() + 1) * sizeof(char16_t)));
    size_t at = 0;
    while (at + 3 <= size) {
        LPCWSTR name = kValueNames[data[at] % std::size(kValueNames)];
        DWORD type = kTypes[data[at + 1] % std::size(kTypes)];
        size_t length = std::min<size_t>(data[at + 2], size - at - 3);
        RegSetValueExW(key, name, 0, type, data + at + 3, static_cast<DWORD>(length));
        at += 3 + length;
    }
}

void UseSettings(const CSettings& settings) {
    CUnitConversion::Temperature(70, settings.degreeType);
    CUnitConversion::WindSpeed(12, settings.windSpeedUnit);
    CUnitConversion::Pressure(29.92f, settings.pressureUnit);
    CUnitConversion::WindSpeedUnitKey(settings.windSpeedUnit);
    CUnitConversion::PressureUnitKey(settings.pressureUnit);
    CUnitConversion::PressureDecimals(settings.pressureUnit);
    WCHAR port[32];
    CSelectCityGPSDlg::PortName(settings.gpsPort, port);
    SYSTEMTIME now;
    GetLocalTime(&now);
    IntervalDueTime(now, ClampUpdateInterval(settings.updateInterval));
    for (int random : {0, 16384, 32767}) {
        DailyDueTime(now, settings.updateTime[0], settings.updateTime[1], random);
    }
}

void UseRememberedValues(CRegistryStore& store) {
    WCHAR text[128];
    store.GetString(u"LastSelCountry", text, 128);
    store.GetString(u"LastMapID", text, 128);
    GUID connection{};
    DWORD size = sizeof connection;
    store.QueryBinary(u"LastOUConnection", &connection, &size);
    SYSTEMTIME last{};
    FILETIME readable{};
    SYSTEMTIME now;
    GetLocalTime(&now);
    if (store.GetBinary(u"LastOnlineUpdate", &last, sizeof last) && SystemTimeToFileTime(&last, &readable)) {
        CSysInfo::SystemTimeDiff(&now, &last, 86400000);
    }
    WCHAR path[MAX_PATH];
    CSysInfo::ExpandPath(u"%INSTALL_DIR%\\Cache\\", path, MAX_PATH);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::FuzzDevice::Get();
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kProgramKey, 0, nullptr, 0, 0, nullptr, &key, nullptr) != ERROR_SUCCESS) {
        return 0;
    }
    WriteValues(key, data, size);
    RegCloseKey(key);
    CRegistryStore store;
    if (!store.Open(HKEY_LOCAL_MACHINE, kProgramKey)) {
        return 0;
    }
    CSettings settings;
    settings.Load(&store);
    settings.IsLanguageStored(&store);
    UseSettings(settings);
    for (LPCWSTR mode : {u"TodayPluginMode", u"HomePluginMode"}) {
        CPluginSettings plugin(mode);
        plugin.Load(&store);
    }
    UseRememberedValues(store);
    return 0;
}
