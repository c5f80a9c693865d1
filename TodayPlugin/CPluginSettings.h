// The start-screen plug-ins' own view of the settings: the interface language, the degree type and the
// plug-in's layout, stored as DWORD values under the program's key. The Today item keeps its layout in
// "TodayPluginMode", the Home plug-in in "HomePluginMode".
#pragma once

#include "ce/types.h"

class CRegistryStore;

class CPluginSettings {
public:
    static constexpr LPCWSTR kTodayModeValue = u"TodayPluginMode";
    static constexpr LPCWSTR kHomeModeValue = u"HomePluginMode";

    explicit CPluginSettings(LPCWSTR modeValueName);

    // Reads the three values; a missing one keeps its default. False only without a store.
    bool Load(CRegistryStore* store);
    // Writes the plug-in's layout only.
    bool Save(CRegistryStore* store) const;

    DWORD language;
    DWORD degreeType;
    DWORD mode;

private:
    LPCWSTR m_modeValueName;
};
