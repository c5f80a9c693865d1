#include "Shell/CMainApplication.h"

#include <climits>
#include <new>
#include <string>
#include <utility>
#include <vector>

#include "CGdiFactory.h"
#include "CLocalization.h"
#include "CRegistryStore.h"
#include "CSOMutex.h"
#include "CSysInfo.h"
#include "ImageCodecs.h"
#include "Shell/CHomePlugin.h"
#include "Shell/CTodayPlugin.h"
#include "Skin/CApplicationSkin.h"
#include "Skin/CRasterizeTable.h"
#include "Skin/SpriteLibraryLoader.h"
#include "Weather/CCityList.h"
#include "Weather/CForecastUpdater.h"
#include "Weather/CMapsUpdater.h"
#include "Weather/CSettings.h"
#include "Weather/CatalogCabInstaller.h"
#include "Weather/DeviceUtilities.h"
#include "Weather/GlobalServices.h"
#include "Weather/ScheduledUpdates.h"
#include "ce/com.h"
#include "ce/device.h"
#include "ce/inet.h"

namespace {

struct Keyword {
    LPCWSTR text;
    int mode;
};
// Mode 0 also takes anything after its keyword (":2"); the others must match whole.
constexpr LPCWSTR kNormalKeyword = u"cmd_normal_mode";
constexpr Keyword kKeywords[] = {
    {u"cmd_auto_update", CMainApplication::kModeAutoUpdate},
    {u"cmd_silent_update", CMainApplication::kModeSilentUpdate},
    {u"cmd_after_install", CMainApplication::kModeAfterInstall},
    {u"cmd_before_uninstall", CMainApplication::kModeBeforeUninstall},
    {u"cmd_install_catalog", CMainApplication::kModeInstallCatalog},
};

constexpr DWORD kScheduledAttempts = 10;
constexpr DWORD kSilentAttempts = 1;

using LogFields = std::vector<std::pair<std::string, std::string>>;

void Log(const char* mode, LogFields fields) {
    fields.insert(fields.begin(), {"mode", mode});
    ce::AppendDeviceLog(CMainApplication::kLogName, fields);
}

// The end of an update run, with the cities the server had no data for.
void LogUpdateResult(const char* mode, int result) {
    LogFields fields = {{"event", "update"}, {"result", std::to_string(result)}};
    std::u16string withoutData = g_pForecastUpdater != nullptr ? g_pForecastUpdater->GetCitiesWithoutData() : u"";
    if (result == CForecastUpdater::kResultNoWeatherData && !withoutData.empty()) {
        fields.emplace_back("no data for", ce::ToUtf8(withoutData));
    }
    Log(mode, fields);
}

// The start lock's arguments by name: taken at once, and waited for while another start holds it.
constexpr BOOL kTakeOwnership = TRUE;
constexpr BOOL kWaitForOwner = TRUE;

}  // namespace

CMainApplication::CMainApplication() : m_forecastListener(&OnForecastEvent, reinterpret_cast<INT_PTR>(this)) {
    // A view or dialog runs its own loop and dispatches the requests to the window.
    m_mainWindow.SetUpdateRequestHandler([this](UINT message) { return HandleUpdateMessage(message); });
}

CMainApplication::~CMainApplication() { Uninit(); }

int CMainApplication::ParseCommandMode(LPCWSTR commandLine) {
    if (commandLine == nullptr || commandLine[0] == 0 ||
        _wcsnicmp(commandLine, kNormalKeyword, lstrlenW(kNormalKeyword)) == 0) {
        return kModeNormal;
    }
    for (const Keyword& keyword : kKeywords) {
        if (_wcsicmp(commandLine, keyword.text) == 0) {
            return keyword.mode;
        }
    }
    return kModeNone;
}

int CMainApplication::ParseCityIndex(LPCWSTR commandLine) {
    if (commandLine == nullptr) {
        return -1;
    }
    for (LPCWSTR at = commandLine; *at != 0; ++at) {
        if (*at == u':') {
            long index = _wtol(at + 1);
            return index > INT_MAX ? INT_MAX : (index < INT_MIN ? INT_MIN : static_cast<int>(index));
        }
    }
    return -1;
}

int CMainApplication::Run(HINSTANCE instance, LPCWSTR commandLine) {
    // Without the lock object the start goes on unguarded rather than not at all.
    std::unique_ptr<CSOMutex> startLock(new (std::nothrow)
                                            CSOMutex(kTakeOwnership, kStartMutexName, kWaitForOwner));
    if (HandOffToRunningInstance(commandLine)) {
        return 1;
    }
    int result = 0;
    const int mode = ParseCommandMode(commandLine);
    if (InitApp(instance, mode)) {
        result = RunMode(mode, commandLine, startLock);
    }
    Uninit();
    startLock.reset();
    return result;
}

// Modes 0 to 2 let go of the start lock early: a second start may then find the window, and a long
// download does not hold up a start of the interface. Modes 3 to 5 keep it to the end.
int CMainApplication::RunMode(int mode, LPCWSTR commandLine, std::unique_ptr<CSOMutex>& startLock) {
    switch (mode) {
        case kModeNormal: {
            int index = ParseCityIndex(commandLine);
            if (index < 0) {
                index = g_pCityList->GetHomeIndex() < 0 ? 0 : g_pCityList->GetHomeIndex();
            }
            int created = CreateMainUi(index);
            startLock.reset();
            if (created) {
                RunMessageLoop();
                // The window goes while the services that it shows and listens to still exist.
                DestroyWindow(m_mainWindow.GetHandle());
            }
            return created;
        }
        case kModeAutoUpdate:
            startLock.reset();
            return RunScheduledUpdate(CForecastUpdater::kWaitForEnd);
        case kModeSilentUpdate:
            startLock.reset();
            return RunSilentUpdate(CForecastUpdater::kWaitForEnd);
        case kModeAfterInstall: return RunAfterInstall();
        case kModeBeforeUninstall: return RunBeforeUninstall();
        case kModeInstallCatalog: return RunInstallCatalog();
        default:
            Log("none", {{"event", "unknown command line"}});
            return 0;
    }
}

int CMainApplication::HandOffToRunningInstance(LPCWSTR commandLine) {
    int mode = ParseCommandMode(commandLine);
    if (mode == kModeNone) {
        return 0;
    }
    HWND running = FindWindowW(kMainWindowClass, nullptr);
    if (running == nullptr) {
        return 0;
    }
    switch (mode) {
        case kModeNormal: {
            int index = ParseCityIndex(commandLine);
            // Bit 0 asks for the window's last active popup, so an open dialog comes to the front.
            SetForegroundWindow(reinterpret_cast<HWND>(reinterpret_cast<ULONG_PTR>(running) | 1));
            if (index >= 0) {
                PostMessageW(running, WMU_SELECT_CITY, static_cast<WPARAM>(index), 0);
            }
            return 1;
        }
        case kModeAutoUpdate: PostMessageW(running, WMU_AUTO_UPDATE, 0, 0); return 1;
        case kModeSilentUpdate: PostMessageW(running, WMU_SILENT_UPDATE, 0, 0); return 1;
        default: return 0;  // installation steps run beside a running program
    }
}

bool CMainApplication::InitFailed(const char* step) {
    EndWaitCursor();
    Log("init", {{"event", "init failed"}, {"step", step}});
    MessageBoxW(nullptr, u"InitApp fail", u"Skyvane", MB_OK | MB_ICONERROR);
    Uninit();
    return false;
}

// Only the interface shows the cached forecasts: the other modes end without showing any, and an
// update replaces the forecasts it fetches while a city whose update fails keeps its cache file.
bool CMainApplication::ShowsForecasts(int mode) { return mode == kModeNormal; }

int CMainApplication::InitApp(HINSTANCE instance, int mode) {
    BeginWaitCursor();
    if (FAILED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) {
        return InitFailed("COM");
    }
    m_comInitialized = true;
    ImageCodecs::Init();
    if (!LoadSpriteLibrary()) {
        return InitFailed("sprite library");
    }
    // An update goes online at once: the HTTP library loads beside the rest of the start. Not before the
    // sprite library, whose load would wait for it (one load at a time in a process).
    if (mode == kModeAutoUpdate || mode == kModeSilentUpdate) {
        ce::PrepareInternet();
    }
    g_pSysInfo = new CSysInfo(instance);
    g_pSysInfo->UpdateScreenSize();
    g_pRegistry = new CRegistryStore();
    if (!g_pRegistry->Open(HKEY_LOCAL_MACHINE, kRegistryPath)) {
        return InitFailed("registry");
    }
    g_pGdiFactory = new CGdiFactory(*g_pSysInfo);
    GetSettings().Load(g_pRegistry);
    if (!CLocalization::Global().Load(static_cast<LANGID>(GetSettings().language))) {
        return InitFailed("localization");
    }
    g_pCityList = new CCityList();
    if (CCityList::FileExists() && !g_pCityList->Load(CCityList::DamagedFile::kKeepCopy)) {
        return InitFailed("city list");
    }
    if (ShowsForecasts(mode)) {
        // Only the city shown is read before the first frame; the window reads the others after it.
        g_pCityList->DeferCachedForecasts();
    }
    g_pForecastUpdater = new CForecastUpdater(g_pCityList, GetSettings().connection);
    if (!g_pForecastUpdater->Initialize()) {
        return InitFailed("forecast updater");
    }
    g_pForecastUpdater->AddListener(&m_forecastListener);
    g_pMapsUpdater = new CMapsUpdater();
    if (!g_pMapsUpdater->Initialize()) {
        return InitFailed("maps updater");
    }
    CreateStartScreenNotifier();
    EndWaitCursor();
    return 1;
}

// The workers stop before anything they use goes.
void CMainApplication::Uninit() {
    if (g_pForecastUpdater != nullptr) {
        g_pForecastUpdater->RemoveListener(&m_forecastListener);
        g_pForecastUpdater->Shutdown();
    }
    DeleteSkin();
    delete g_pHomePlugin;
    g_pHomePlugin = nullptr;
    delete g_pTodayPlugin;
    g_pTodayPlugin = nullptr;
    delete g_pMapsUpdater;
    g_pMapsUpdater = nullptr;
    delete g_pForecastUpdater;
    g_pForecastUpdater = nullptr;
    delete g_pCityList;
    g_pCityList = nullptr;
    delete g_pGdiFactory;
    g_pGdiFactory = nullptr;
    delete g_pRegistry;
    g_pRegistry = nullptr;
    delete g_pSysInfo;
    g_pSysInfo = nullptr;
    FreeSpriteLibrary();
    if (m_comInitialized) {
        ImageCodecs::Release();
        CoUninitialize();
        m_comInitialized = false;
    }
}

int CMainApplication::CreateMainUi(int cityIndex) {
    if (m_mainWindow.GetHandle() != nullptr) {
        return 1;
    }
    if (!CreateSkin()) {
        Log("cmd_normal_mode", {{"event", "skin failed"}});
        return 0;
    }
    if (!m_mainWindow.Create(cityIndex)) {
        Log("cmd_normal_mode", {{"event", "no main window"}});
        return 0;
    }
    Log("cmd_normal_mode", {{"event", "window"}, {"city", std::to_string(m_mainWindow.GetCityIndex())}});
    return 1;
}

// The skin is the process's one while it lives: the screens and the framework's controls find it.
bool CMainApplication::CreateSkin() {
    if (g_pApplicationSkin != nullptr) {
        return true;
    }
    g_pApplicationSkin = new (std::nothrow) CApplicationSkin();
    UserInterface::g_pDlgControlImages = g_pApplicationSkin;
    return g_pApplicationSkin != nullptr && g_pApplicationSkin->Load();
}

void CMainApplication::DeleteSkin() {
    CApplicationSkin* skin = g_pApplicationSkin;
    UserInterface::g_pDlgControlImages = nullptr;
    g_pApplicationSkin = nullptr;
    delete skin;
}

int CMainApplication::RunScheduledUpdate(bool wait) {
    WakeUpDevice();
    RescheduleForecastUpdate(GetSettings());
    if (GetSettings().updateInRoaming == 0 && GetCellularRegistrationStatus() == 1) {
        Log("cmd_auto_update", {{"event", "update"}, {"result", "skipped: roaming"}});
        return 1;
    }
    return StartUpdate("cmd_auto_update", kScheduledAttempts, wait);
}

int CMainApplication::RunSilentUpdate(bool wait) { return StartUpdate("cmd_silent_update", kSilentAttempts, wait); }

// Without cities there is nothing to fetch, and an empty list must not be saved over the file: the
// first start of the interface tells a new user by the missing file.
int CMainApplication::StartUpdate(const char* mode, DWORD attempts, bool wait) {
    std::vector<std::u16string> ids;
    if (g_pCityList == nullptr || g_pForecastUpdater == nullptr || !g_pCityList->GetLocationIds(&ids)) {
        Log(mode, {{"event", "update"}, {"result", "not started: no city list"}});
        return 0;
    }
    if (ids.empty()) {
        Log(mode, {{"event", "update"}, {"result", "skipped: no cities"}});
        return 1;
    }
    m_updateEnded = false;
    // A run started in place tells its end from the forecast listener.
    const char* running = m_inPlaceRun.exchange(wait ? nullptr : mode);
    if (!g_pForecastUpdater->Start(ids, wait, attempts, CForecastUpdater::kNoDelay)) {
        m_inPlaceRun = running;  // the run that is going on still tells its end
        Log(mode, {{"event", "update"}, {"result", "not started: an update of this program runs"}});
        return 0;
    }
    if (wait) {
        // A run that found the update lock taken by another process tells no listener.
        if (m_updateEnded) {
            LogUpdateResult(mode, m_updateResult.load());
        } else {
            Log(mode, {{"event", "update"}, {"result", "not run: another update runs"}});
        }
    }
    return 1;
}

void CMainApplication::CreateStartScreenNotifier() {
    if (g_pSysInfo->IsSmartphone()) {
        g_pHomePlugin = new CHomePlugin();
    } else {
        g_pTodayPlugin = new CTodayPlugin();
    }
}

int CMainApplication::InstallStartScreenPlugin() {
    return g_pHomePlugin != nullptr ? g_pHomePlugin->Install() : g_pTodayPlugin->Install();
}

int CMainApplication::RemoveStartScreenPlugin() {
    return g_pHomePlugin != nullptr ? g_pHomePlugin->Remove() : g_pTodayPlugin->Remove();
}

int CMainApplication::RunAfterInstall() {
    BeginWaitCursor();
    int result = 0;
    WCHAR list[MAX_PATH];
    if (CSysInfo::ExpandPath(u"%INSTALL_DIR%\\Data\\rasterize.xml", list, MAX_PATH)) {
        PreRenderPictures(list);
        result = InstallStartScreenPlugin();
    }
    Log("cmd_after_install", {{"event", "install"}, {"result", std::to_string(result)}});
    EndWaitCursor();
    return result;
}

// The pictures this device draws are rendered into the packages' render caches once; the list is used
// up whether or not it could be read.
void CMainApplication::PreRenderPictures(LPCWSTR listPath) {
    CRasterizeTable table;
    if (table.LoadFromFile(listPath)) {
        CApplicationSkin::PreRender(table);
    }
    DeleteFileW(listPath);
}

// During an upgrade the installer runs: the user's cities and forecasts stay for the new version.
int CMainApplication::RunBeforeUninstall() {
    BeginWaitCursor();
    bool upgrading = CountRunningProcesses(u"wceload.exe") > 0;
    int result = RemoveBeforeUninstall(upgrading);
    Log("cmd_before_uninstall",
        {{"event", "remove"}, {"upgrade", upgrading ? "1" : "0"}, {"result", std::to_string(result)}});
    EndWaitCursor();
    return result;
}

int CMainApplication::RemoveBeforeUninstall(bool keepUserData) {
    if (!RemoveStartScreenPlugin() || !CSysInfo::DeleteMatchingFiles(u"%INSTALL_DIR%\\Data\\*.tmp")) {
        return 0;
    }
    if (keepUserData) {
        return 1;
    }
    WCHAR cache[MAX_PATH];
    WCHAR cityList[MAX_PATH];
    if (!CSysInfo::ExpandPath(u"%INSTALL_DIR%\\Cache\\", cache, MAX_PATH) ||
        !CSysInfo::ExpandPath(u"%INSTALL_DIR%\\Cities.dat", cityList, MAX_PATH)) {
        return 0;
    }
    // A folder that was never made is no failure.
    if (GetFileAttributesW(cache) != INVALID_FILE_ATTRIBUTES && !CSysInfo::RemoveDirectoryTree(cache)) {
        return 0;
    }
    DeleteFileW(cityList);
    return 1;
}

int CMainApplication::RunInstallCatalog() {
    int result = CatalogCabInstaller::InstallUtilitiesCatalog();
    Log("cmd_install_catalog", {{"event", result != 0 ? "catalog installed" : "no catalog installed"}});
    return result;
}

int CMainApplication::RunMessageLoop() {
    MSG message;
    BOOL got;
    while ((got = GetMessageW(&message, nullptr, 0, 0)) > 0) {
        if (!HandleUpdateMessage(message.message)) {
            DispatchMessageW(&message);
        }
    }
    return got;
}

bool CMainApplication::HandleUpdateMessage(UINT message) {
    if (message == WMU_AUTO_UPDATE) {
        RunScheduledUpdate(CForecastUpdater::kReturnAtOnce);
        return true;
    }
    if (message == WMU_SILENT_UPDATE) {
        RunSilentUpdate(CForecastUpdater::kReturnAtOnce);
        return true;
    }
    return false;
}

// Runs on the updater's worker thread.
int CMainApplication::OnForecastEvent(INT_PTR status, INT_PTR result, INT_PTR, INT_PTR, INT_PTR, INT_PTR context) {
    auto* self = reinterpret_cast<CMainApplication*>(context);
    if (status == CForecastUpdater::kStatusDone || status == CForecastUpdater::kStatusFailed) {
        self->m_updateResult = static_cast<int>(result);
        self->m_updateEnded = true;
        if (const char* mode = self->m_inPlaceRun.exchange(nullptr)) {
            LogUpdateResult(mode, static_cast<int>(result));
        }
    }
    if (status == CForecastUpdater::kStatusDone) {
        RefreshStartScreenPlugin(CTodayPlugin::TODAY_RELOAD_FORECASTS);
    }
    return 0;
}
