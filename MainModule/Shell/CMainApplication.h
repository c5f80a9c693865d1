// The program's process road: the single running instance, the command-line modes, the creation and
// destruction of the process-wide services and the thread's message loop.
#pragma once

#include <atomic>
#include <memory>

#include "CDelegate.h"
#include "Shell/CMainWindow.h"
#include "ce/user.h"

class CSOMutex;

class CMainApplication {
public:
    static constexpr LPCWSTR kStartMutexName = u"Skyvane_StartAppLock";
    static constexpr LPCWSTR kMainWindowClass = u"__Skyvane";
    static constexpr LPCWSTR kRegistryPath = u"Software\\Quillon Software\\Skyvane";
    // The device log that tells how a run without a window went.
    static constexpr const char* kLogName = "Skyvane";

    // Private messages of the main window, all with lParam 0.
    static constexpr UINT WMU_STARTUP = 1125;
    static constexpr UINT WMU_AUTO_UPDATE = CMainWindow::WMU_AUTO_UPDATE;
    static constexpr UINT WMU_SILENT_UPDATE = CMainWindow::WMU_SILENT_UPDATE;
    static constexpr UINT WMU_SELECT_CITY = 1128;  // wParam: the city index
    static constexpr UINT WMU_CHECK_ONLINE_UPDATE = 1129;

    enum Mode {
        kModeNone = -1,
        kModeNormal = 0,
        kModeAutoUpdate = 1,
        kModeSilentUpdate = 2,
        kModeAfterInstall = 3,
        kModeBeforeUninstall = 4,
        kModeInstallCatalog = 5,
    };

    CMainApplication();
    CMainApplication(const CMainApplication&) = delete;
    CMainApplication& operator=(const CMainApplication&) = delete;
    virtual ~CMainApplication();

    // The whole road of one start; nonzero on success.
    int Run(HINSTANCE instance, LPCWSTR commandLine);

    // The mode of a command line, its keywords compared without regard to case.
    static int ParseCommandMode(LPCWSTR commandLine);
    // The signed number after the first ':'; -1 when there is no ':'.
    static int ParseCityIndex(LPCWSTR commandLine);

    // 1 when a running instance took the command.
    int HandOffToRunningInstance(LPCWSTR commandLine);
    // 1 when every service that exists in this build could be made; on failure the services are gone.
    // The mode says what the process goes on to do (the cached forecasts are read for the interface).
    int InitApp(HINSTANCE instance, int mode = kModeNormal);
    // Safe after a partial InitApp and a second time.
    void Uninit();
    // 1 when the main window exists on the city (0 when the index is outside the list).
    int CreateMainUi(int cityIndex);
    CMainWindow& GetMainWindow() { return m_mainWindow; }

    // Modes 1 and 2 wait for the update; the messages of a second instance start it in place and
    // return at once, so the window stays responsive.
    int RunScheduledUpdate(bool wait = true);
    int RunSilentUpdate(bool wait = true);
    int RunAfterInstall();
    int RunBeforeUninstall();
    int RunInstallCatalog();

    // Until WM_QUIT; the last GetMessage result.
    int RunMessageLoop();
    // Takes the update messages of a second instance, whatever window they reach; false for others.
    bool HandleUpdateMessage(UINT message);

private:
    int RunMode(int mode, LPCWSTR commandLine, std::unique_ptr<CSOMutex>& startLock);
    static bool ShowsForecasts(int mode);
    int StartUpdate(const char* mode, DWORD attempts, bool wait);
    bool InitFailed(const char* step);
    bool CreateSkin();
    void DeleteSkin();
    static void CreateStartScreenNotifier();
    static int InstallStartScreenPlugin();
    static int RemoveStartScreenPlugin();
    static int RemoveBeforeUninstall(bool keepUserData);
    static void PreRenderPictures(LPCWSTR listPath);
    static int OnForecastEvent(INT_PTR status, INT_PTR result, INT_PTR, INT_PTR, INT_PTR, INT_PTR context);

    CMainWindow m_mainWindow;
    CDelegate m_forecastListener;
    bool m_comInitialized = false;
    // What the forecast listener last heard of a run's end.
    std::atomic<bool> m_updateEnded{false};
    std::atomic<int> m_updateResult{0};
    // The mode of a run started without waiting, until its end is logged.
    std::atomic<const char*> m_inPlaceRun{nullptr};
};
