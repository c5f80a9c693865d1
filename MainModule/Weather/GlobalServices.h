// The program's process-wide service objects. CMainApplication::InitApp creates them and
// CMainApplication::Uninit deletes them; a pointer is null while its object does not exist. The device
// information pointer g_pSysInfo is the framework's own (CSysInfo.h). The settings record lives for the
// whole process; InitApp only loads it.
#pragma once

#include "ce/types.h"

class CCityList;
class CForecastUpdater;
class CGdiFactory;
class CHomePlugin;
class CMapsUpdater;
class CRegistryStore;
class CSettings;
class CTodayPlugin;

extern CRegistryStore* g_pRegistry;
extern CGdiFactory* g_pGdiFactory;
extern CCityList* g_pCityList;
extern CForecastUpdater* g_pForecastUpdater;
extern CMapsUpdater* g_pMapsUpdater;
// The start-screen notifier: exactly one exists while the services do (Home on a Smartphone, Today on a
// Pocket PC).
extern CHomePlugin* g_pHomePlugin;
extern CTodayPlugin* g_pTodayPlugin;

// Tells the start-screen item to reload after a change that it shows: the Today item gets the event data
// (CTodayPlugin::TODAY_RELOAD_...), the Home screen a refresh of the plug-in. Nothing without a notifier.
void RefreshStartScreenPlugin(DWORD todayReloadData);

CSettings& GetSettings();
