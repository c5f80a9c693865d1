#include "DawnletServices.h"

#include "CGdiFactory.h"
#include "CLocalization.h"
#include "CPluginSettings.h"
#include "CRegistryStore.h"
#include "CSysInfo.h"
#include "Skin/CApplicationSkin.h"
#include "Skin/SpriteLibraryLoader.h"
#include "Weather/CCityList.h"
#include "Weather/GlobalServices.h"
#include "ce/com.h"
#include "ce/registry.h"

namespace {

constexpr LPCWSTR kProgramKey = u"Software\\Quillon Software\\Skyvane";

bool g_comStarted = false;

}  // namespace

CPluginSettings& DawnletServices::Settings() {
    static CPluginSettings settings(CPluginSettings::kTodayModeValue);
    return settings;
}

bool DawnletServices::Initialize(HINSTANCE instance) {
    g_comStarted = SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED));
    g_pSysInfo = new CSysInfo(instance);
    g_pSysInfo->UpdateScreenSize();
    g_pRegistry = new CRegistryStore();
    bool ready = g_pRegistry->Open(HKEY_LOCAL_MACHINE, kProgramKey) && Settings().Load(g_pRegistry) &&
                 CLocalization::Global().Load(static_cast<LANGID>(Settings().language));
    if (ready) {
        g_pGdiFactory = new CGdiFactory(*g_pSysInfo);
        return true;
    }
    Release();
    return false;
}

bool DawnletServices::EnsureSkin() {
    if (g_pApplicationSkin != nullptr) {
        return true;
    }
    if (!LoadSpriteLibrary()) {
        return false;
    }
    auto* skin = new CApplicationSkin();
    if (!skin->Load()) {
        delete skin;
        return false;
    }
    g_pApplicationSkin = skin;
    return true;
}

void DawnletServices::Release() {
    delete g_pApplicationSkin;
    g_pApplicationSkin = nullptr;
    delete g_pGdiFactory;
    g_pGdiFactory = nullptr;
    delete g_pRegistry;
    g_pRegistry = nullptr;
    delete g_pSysInfo;
    g_pSysInfo = nullptr;
    if (g_comStarted) {
        CoUninitialize();
        g_comStarted = false;
    }
    FreeSpriteLibrary();
}

bool DawnletServices::ReloadSettings(bool language) {
    if (!Settings().Load(g_pRegistry)) {
        return false;
    }
    return !language || CLocalization::Global().Load(static_cast<LANGID>(Settings().language));
}

bool DawnletServices::SaveSettings() { return Settings().Save(g_pRegistry); }

bool DawnletServices::ClearType() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"System\\GDI\\CLEARTYPE", 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    RegCloseKey(key);
    return true;
}

std::unique_ptr<CCityList> DawnletServices::LoadCities(int* homeIndex) {
    auto cities = std::make_unique<CCityList>();
    if (!cities->Load()) {
        return nullptr;
    }
    cities->LoadCachedForecasts();
    const int home = cities->GetHomeIndex();
    *homeIndex = home >= 0 && home < cities->GetCount() ? home : 0;
    return cities;
}
