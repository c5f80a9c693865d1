#include "GlobalServices.h"

#include "CSettings.h"

CSysInfo* g_pSysInfo = nullptr;
CRegistryStore* g_pRegistry = nullptr;
CCityList* g_pCityList = nullptr;
CForecastUpdater* g_pForecastUpdater = nullptr;

CSettings& GetSettings() {
    static CSettings settings;
    return settings;
}
