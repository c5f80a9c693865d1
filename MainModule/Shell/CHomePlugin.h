// The main program's side of the Home-screen plug-in on a Smartphone: registers the plug-in library as
// a COM class, installs its Home-screen scheme and makes it the active one, undoes both before removal,
// and asks the Home screen to reload the plug-in after a change.
#pragma once

#include "ce/com.h"

class CHomePlugin {
public:
    static constexpr CLSID kClassId = {0x6D2E8A41, 0x0C7B, 0x4E59, {0xA3, 0xF6, 0x91, 0xB4, 0xC8, 0xD2, 0x7E, 0x05}};
    static constexpr LPCWSTR kLibraryPath = u"%WINDOWS%\\Lanternet.dll";
    static constexpr LPCWSTR kTemplateFolder = u"\\Temp\\HomeXML";
    static constexpr LPCWSTR kSchemeFolder = u"%APPLICATION_DATA%\\Home";
    static constexpr LPCWSTR kSchemeName = u"Weather.home.xml";
    static constexpr LPCWSTR kHomeKey = u"ControlPanel\\Home";
    static constexpr LPCWSTR kLandscapePicture = u"\\windows\\WindowsMobileLS.jpg";

    CHomePlugin() = default;
    CHomePlugin(const CHomePlugin&) = delete;
    CHomePlugin& operator=(const CHomePlugin&) = delete;
    virtual ~CHomePlugin() = default;

    void Notify();
    // 1 when the class is registered and our scheme is installed and active.
    int Install();
    // 1 when the library's unregistration could be called.
    int Remove();

    // Adds the background picture line after each line holding "</default>"; a scheme that already has
    // a background keeps it. The file is replaced whole or not at all.
    static bool RewriteSchemeFile(LPCWSTR path);

private:
    // Loads the library, calls the export and frees it: the export's result, CO_E_DLLNOTFOUND when the
    // library does not load, E_NOTIMPL when it has no such export.
    static HRESULT CallLibraryExport(LPCWSTR exportName);
    static bool PlaceSchemeFile(LPCWSTR target);
    static void ActivateScheme(LPCWSTR target);
    static void RestoreScheme(LPCWSTR ours);
};
