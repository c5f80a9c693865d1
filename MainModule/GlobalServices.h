// The program's process-wide service objects. CMainApplication::InitApp creates them and
// CMainApplication::Uninit deletes them; a pointer is null while its object does not exist. The device
// information pointer g_pSysInfo is the framework's own (CSysInfo.h). The settings record lives for the
// whole process; InitApp only loads it.
#pragma once

class CCityList;
class CForecastUpdater;
class CGdiFactory;
class CRegistryStore;
class CSettings;

extern CRegistryStore* g_pRegistry;
extern CGdiFactory* g_pGdiFactory;
extern CCityList* g_pCityList;
extern CForecastUpdater* g_pForecastUpdater;

CSettings& GetSettings();
