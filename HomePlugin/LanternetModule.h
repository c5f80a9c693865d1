// The library-wide state of the Home plug-in: the objects that every plug-in object of the library
// shares (device information, registry store, font factory, settings, localization, skin) and the
// module count of live plug-in objects and server locks.
#pragma once

#include "ce/com.h"

class CPluginSettings;

namespace lanternet {

// The plug-in's settings record ("Language", "DegreeType", "HomePluginMode").
CPluginSettings& Settings();

// Makes what is missing and loads the settings and the localization again; S_OK, E_OUTOFMEMORY or
// E_FAIL.
HRESULT SetUpLibrary();
// Deletes the library-wide objects and frees the sprite library.
void ReleaseLibrary();

void AddModuleReference();
// A server lock that goes.
void ReleaseModuleReference();
// A plug-in object that goes: when the count falls to 0 the library-wide objects go with it, and the
// next set-up makes them again.
void ReleaseObjectReference();
LONG ModuleCount();
// The class factories alive: the library must stay while a host holds one.
void AddFactory();
void ReleaseFactory();
LONG FactoryCount();

// The library's own module handle, kept by its entry point.
HINSTANCE LibraryInstance();
void SetLibraryInstance(HINSTANCE instance);

}  // namespace lanternet
