#include "Weather/CSettings.h"

#include <cstring>
#include <iterator>

#include "CRegistryStore.h"

namespace {

struct DwordValue {
    LPCWSTR name;
    DWORD CSettings::*field;
};

// Registry order after Connection, Language and the GPS port.
constexpr DwordValue kUpdateValues[] = {
    {u"FUpdateType", &CSettings::updateType},
    {u"FUpdateInterval", &CSettings::updateInterval},
    {u"FUpdateInRoaming", &CSettings::updateInRoaming},
};
constexpr DwordValue kLaterValues[] = {
    {u"OUpdateInterval", &CSettings::onlineUpdateInterval},
    {u"DegreeType", &CSettings::degreeType},
    {u"WindSpeedUnit", &CSettings::windSpeedUnit},
    {u"PressureUnit", &CSettings::pressureUnit},
    {u"TodayPluginMode", &CSettings::todayPluginMode},
    {u"HomePluginMode", &CSettings::homePluginMode},
};

void ReadDword(CRegistryStore& store, const DwordValue& value, CSettings& settings) {
    DWORD read = 0;
    if (store.GetDWORD(value.name, &read)) {
        settings.*value.field = read;
    }
}

bool WriteDwords(CRegistryStore& store, const DwordValue* values, size_t count, const CSettings& settings) {
    for (size_t i = 0; i < count; ++i) {
        if (!store.SetDWORD(values[i].name, settings.*values[i].field)) {
            return false;
        }
    }
    return true;
}

}  // namespace

CSettings::CSettings()
    : language(GetUserDefaultLangID()),
      connection(GUID_NULL),
      gpsPort(static_cast<DWORD>(-1)),
      updateType(0),
      updateInterval(12),
      updateTime{0, 0},
      updateInRoaming(1),
      onlineUpdateInterval(30),
      degreeType(0),
      windSpeedUnit(2),
      pressureUnit(1),
      todayPluginMode(0),
      homePluginMode(0) {}

bool CSettings::Load(CRegistryStore* store) {
    if (store == nullptr) {
        return false;
    }
    GUID storedConnection{};
    DWORD size = sizeof(storedConnection);
    // A longer value is not a destination.
    if (store->QueryBinary(u"Connection", &storedConnection, &size) && size <= sizeof(storedConnection)) {
        connection = GUID_NULL;
        std::memcpy(&connection, &storedConnection, size);
    }
    ReadDword(*store, {u"Language", &CSettings::language}, *this);
    ReadDword(*store, {u"GPSPort", &CSettings::gpsPort}, *this);
    for (const DwordValue& value : kUpdateValues) {
        ReadDword(*store, value, *this);
    }
    // Hour and minute: a value of another length is not a time and leaves the default.
    BYTE time[2] = {};
    DWORD timeSize = sizeof(time);
    if (store->QueryBinary(u"FUpdateTime", time, &timeSize) && timeSize == sizeof(time)) {
        updateTime[0] = time[0];
        updateTime[1] = time[1];
    }
    for (const DwordValue& value : kLaterValues) {
        ReadDword(*store, value, *this);
    }
    return true;
}

bool CSettings::Save(CRegistryStore* store) {
    if (store == nullptr) {
        return false;
    }
    ReadDword(*store, {u"TodayPluginMode", &CSettings::todayPluginMode}, *this);
    return store->SetBinary(u"Connection", &connection, sizeof(connection)) && store->SetDWORD(u"Language", language) &&
           store->SetDWORD(u"GPSPort", gpsPort) && WriteDwords(*store, kUpdateValues, std::size(kUpdateValues), *this) &&
           store->SetBinary(u"FUpdateTime", updateTime, sizeof(updateTime)) &&
           WriteDwords(*store, kLaterValues, std::size(kLaterValues), *this);
}

bool CSettings::IsLanguageStored(CRegistryStore* store) const {
    DWORD value = 0;
    return store != nullptr && store->GetDWORD(u"Language", &value);
}
