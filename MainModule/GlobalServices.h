// The program's process-wide service objects. CMainApplication::InitApp creates them and
// CMainApplication::Uninit deletes them; a pointer is null while its object does not exist. The
// settings record lives for the whole process; InitApp only loads it.
#pragma once

class CCityList;
class CForecastUpdater;
class CRegistryStore;
class CSettings;
class CSysInfo;

extern CSysInfo* g_pSysInfo;
extern CRegistryStore* g_pRegistry;
extern CCityList* g_pCityList;
extern CForecastUpdater* g_pForecastUpdater;

CSettings& GetSettings();
