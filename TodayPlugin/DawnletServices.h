// The Today item library's shared objects: made when the library is loaded (device information,
// registry store, plug-in settings, localization, fonts), the skin when the first item is made, and all
// of them deleted when the library is freed.
#pragma once

#include <memory>

#include "ce/kernel.h"

class CCityList;
class CPluginSettings;

class DawnletServices {
public:
    // False, with nothing left behind, when any of them cannot be made.
    static bool Initialize(HINSTANCE instance);
    // The sprite library and the skin, once; false when they cannot be made.
    static bool EnsureSkin();
    static void Release();

    static CPluginSettings& Settings();
    // Reads the settings again, and with `language` also the language files for their language.
    static bool ReloadSettings(bool language);
    static bool SaveSettings();
    // Fonts are taken with ClearType when the device has it switched on.
    static bool ClearType();
    // The program's city list with its cached forecasts, and the home city (the first when the home
    // index is outside the list); null when the list cannot be read.
    static std::unique_ptr<CCityList> LoadCities(int* homeIndex);
};
