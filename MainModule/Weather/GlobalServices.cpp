#include "Weather/GlobalServices.h"

#include "Weather/CSettings.h"

CRegistryStore* g_pRegistry = nullptr;
CGdiFactory* g_pGdiFactory = nullptr;
CCityList* g_pCityList = nullptr;
CForecastUpdater* g_pForecastUpdater = nullptr;
CMapsUpdater* g_pMapsUpdater = nullptr;
CHomePlugin* g_pHomePlugin = nullptr;
CTodayPlugin* g_pTodayPlugin = nullptr;

CSettings& GetSettings() {
    static CSettings settings;
    return settings;
}
