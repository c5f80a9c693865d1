#include "LanternetModule.h"

#include <new>

#include "CGdiFactory.h"
#include "CLocalization.h"
#include "CPluginSettings.h"
#include "CRegistryStore.h"
#include "CSysInfo.h"
#include "Skin/CApplicationSkin.h"
#include "Skin/SpriteLibraryLoader.h"
#include "Weather/GlobalServices.h"

namespace lanternet {
namespace {

constexpr LPCWSTR kProgramKey = u"Software\\Quillon Software\\Skyvane";
// A storage card that holds the program may still be mounting when the Home screen starts.
constexpr int kCardLookups = 100;
constexpr DWORD kCardLookupPauseMs = 50;

LONG g_moduleCount = 0;
LONG g_factoryCount = 0;
HINSTANCE g_instance = nullptr;

HRESULT CreateMissingObjects() {
    if (g_pSysInfo == nullptr) {
        g_pSysInfo = new (std::nothrow) CSysInfo(g_instance);
    }
    if (g_pRegistry == nullptr) {
        g_pRegistry = new (std::nothrow) CRegistryStore();
        if (g_pRegistry != nullptr && !g_pRegistry->Open(HKEY_LOCAL_MACHINE, kProgramKey)) {
            delete g_pRegistry;
            g_pRegistry = nullptr;
            return E_FAIL;
        }
    }
    if (g_pSysInfo == nullptr || g_pRegistry == nullptr) {
        return E_OUTOFMEMORY;
    }
    if (g_pGdiFactory == nullptr) {
        g_pGdiFactory = new (std::nothrow) CGdiFactory(*g_pSysInfo);
    }
    return g_pGdiFactory != nullptr ? S_OK : E_OUTOFMEMORY;
}

// An install folder outside the program-files folder lies on a card: wait (bounded) until the card's
// root lists a file.
HRESULT WaitForStorageCard() {
    WCHAR install[MAX_PATH];
    WCHAR programFiles[MAX_PATH];
    if (!CSysInfo::ExpandPath(u"%INSTALL_DIR%", install, MAX_PATH) ||
        !CSysInfo::ExpandPath(u"%PROGRAM_FILES%", programFiles, MAX_PATH)) {
        return E_FAIL;
    }
    if (_wcsnicmp(install, programFiles, lstrlenW(programFiles)) == 0) {
        return S_OK;
    }
    std::u16string card(install);
    size_t slash = card.find(u'\\', 1);
    card = card.substr(0, slash) + u"\\*";
    for (int lookup = 0; lookup < kCardLookups; ++lookup) {
        WIN32_FIND_DATAW found;
        HANDLE find = FindFirstFileW(card.c_str(), &found);
        if (find != INVALID_HANDLE_VALUE) {
            FindClose(find);
            break;
        }
        Sleep(kCardLookupPauseMs);
    }
    return S_OK;
}

HRESULT EnsureSkin() {
    if (g_pApplicationSkin != nullptr) {
        return S_OK;
    }
    if (!LoadSpriteLibrary()) {
        return E_FAIL;
    }
    auto* skin = new (std::nothrow) CApplicationSkin();
    if (skin == nullptr) {
        return E_OUTOFMEMORY;
    }
    if (!skin->Load()) {
        delete skin;
        return E_FAIL;
    }
    g_pApplicationSkin = skin;
    return S_OK;
}

}  // namespace

CPluginSettings& Settings() {
    static CPluginSettings settings(CPluginSettings::kHomeModeValue);
    return settings;
}

HRESULT SetUpLibrary() {
    HRESULT result = CreateMissingObjects();
    if (FAILED(result)) {
        return result;
    }
    if (!Settings().Load(g_pRegistry)) {
        return E_FAIL;
    }
    result = WaitForStorageCard();
    if (FAILED(result)) {
        return result;
    }
    if (!CLocalization::Global().Load(static_cast<LANGID>(Settings().language))) {
        return E_FAIL;
    }
    return EnsureSkin();
}

void ReleaseLibrary() {
    delete g_pApplicationSkin;
    g_pApplicationSkin = nullptr;
    delete g_pGdiFactory;
    g_pGdiFactory = nullptr;
    delete g_pRegistry;
    g_pRegistry = nullptr;
    delete g_pSysInfo;
    g_pSysInfo = nullptr;
    FreeSpriteLibrary();
}

void AddModuleReference() { InterlockedIncrement(&g_moduleCount); }

void ReleaseModuleReference() { InterlockedDecrement(&g_moduleCount); }

void ReleaseObjectReference() {
    if (InterlockedDecrement(&g_moduleCount) == 0) {
        ReleaseLibrary();
    }
}

LONG ModuleCount() { return g_moduleCount; }

void AddFactory() { InterlockedIncrement(&g_factoryCount); }

void ReleaseFactory() { InterlockedDecrement(&g_factoryCount); }

LONG FactoryCount() { return g_factoryCount; }

HINSTANCE LibraryInstance() { return g_instance; }
void SetLibraryInstance(HINSTANCE instance) { g_instance = instance; }

}  // namespace lanternet
