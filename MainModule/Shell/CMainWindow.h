// The program's one top-level window (class "__Skyvane"): the current city's switch, a separator and
// its temperature graph, on a Pocket PC a toolbar, the soft-key menu with every command, the first-start
// steps, the loop of full-screen views and the forecast updater's status.
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "CBitmapDC.h"
#include "CDate.h"
#include "Screens/CForecastEventRelay.h"
#include "Screens/CMainWindowLayout.h"
#include "UserInterface/CGenericEffect.h"
#include "UserInterface/CGenericWindow.h"
#include "UserInterface/CMenuInfo.h"
#include "UserInterface/IDlgObjectHost.h"
#include "UserInterface/IDlgScreenCapture.h"

class CAppBasicDialog;
class CCity;

namespace UserInterface {
class CSmartDialog;
}

class CMainWindow : public UserInterface::CGenericWindow,
                    public UserInterface::IDlgObjectHost,
                    public UserInterface::IDlgScreenCapture,
                    public UserInterface::CGenericEffect {
public:
    static constexpr LPCWSTR kClassName = u"__Skyvane";
    // Private messages, all with lParam 0 unless said.
    static constexpr UINT WMU_STARTUP = 1125;
    // A second instance's update requests; the application runs them (SetUpdateRequestHandler).
    static constexpr UINT WMU_AUTO_UPDATE = 1126;
    static constexpr UINT WMU_SILENT_UPDATE = 1127;
    static constexpr UINT WMU_SELECT_CITY = 1128;  // wParam: the city index
    static constexpr UINT WMU_CHECK_ONLINE_UPDATE = 1129;
    // The forecast updater's news, posted from its worker thread (CForecastEventRelay).
    static constexpr UINT WMU_FORECAST_EVENT = 1130;

    // Parts of Refresh.
    enum RefreshPart {
        kRefreshLeftKey = 1,
        kRefreshMenu = 2,
        kRefreshSwitch = 4,
        kRefreshGraph = 8,
        kRefreshToolbar = 16,
        kRefreshAll = -1,
    };
    // The full-screen views of the views loop.
    enum View { kViewDay = 0, kViewCurrent = 1, kViewHourly = 2, kViewCityList = 3, kViewMaps = 4 };

    // What the city switch shows for the current city.
    struct SwitchState {
        std::u16string firstLine;
        std::u16string secondLine;
        std::u16string shortSecondLine;  // where the second line is too wide; empty for none
        bool leftEnabled = false;
        bool rightEnabled = false;
        bool fitFirstLine = false;
    };

    CMainWindow();
    ~CMainWindow() override;

    using UserInterface::CGenericWindow::Create;
    // Makes the window on a city (0 when the index is negative or beyond the list); painting stays frozen
    // until the first-start steps are done.
    BOOL Create(int cityIndex);

    // Takes the update requests that reach the window while a screen runs its own loop (the thread's
    // loop takes them before dispatching); true when it handled the message.
    using UpdateRequestHandler = std::function<bool(UINT message)>;
    void SetUpdateRequestHandler(UpdateRequestHandler handler) { m_updateRequestHandler = std::move(handler); }

    int GetCityIndex() const { return m_cityIndex; }
    bool IsPaintingFrozen() const { return m_frozen; }
    bool IsStartupFinished() const { return m_startupFinished; }
    HWND GetMenuBar() const { return m_menuBar; }
    const UserInterface::CMenuInfo& GetMenuInfo() const { return m_menuInfo; }
    CMainWindowLayout& GetLayout() { return m_layout; }

    // Brings the parts of the mask up to date; false at the first part that fails.
    BOOL Refresh(int mask);
    // Makes a city current, sliding the pictures when animated; false for an index outside the list.
    BOOL ChangeCity(int index, BOOL animate);
    // The switch's texts and arrows for the current city at local time `now`.
    SwitchState ComposeSwitchState(const FILETIME& now) const;

    // The loop of full-screen views from a view, the day view on `date` (today when null).
    void ShowView(int view, const CDate* date);
    void RunFirstStart();
    void CheckOnlineUpdateAuto();
    void OnForecastEvent(int status, int result, bool last);

    // CGenericWindow
    LRESULT OnCreate(HWND window, LPCREATESTRUCTW create) override;
    LRESULT OnDestroy() override;
    LRESULT OnActivate(BOOL active, LPARAM lParam) override;
    LRESULT OnInitMenuPopup(int index, HMENU menu) override;
    LRESULT OnSize(int width, int height) override;
    LRESULT OnPaint() override;
    LRESULT OnEraseBkgnd(HDC dc) override;
    LRESULT OnTimer(UINT_PTR id) override;
    LRESULT OnKey(UINT virtualKey, BOOL down) override;
    LRESULT OnLButtonDown(int x, int y) override;
    LRESULT OnMouseMove(int x, int y) override;
    LRESULT OnLButtonUp(int x, int y) override;
    LRESULT OnCommand(int id, int code, HWND control) override;
    // The window's own messages; the rest go to the default procedure.
    LRESULT CallDefaultProc(UINT message, WPARAM wParam, LPARAM lParam) override;

    // IDlgObjectHost
    HDC GetHostDC() override;
    void ReleaseHostDC(HDC dc) override;
    void RedrawHost() override;
    HWND GetHostWindow() override { return m_hWnd; }
    UserInterface::IDlgScreenCapture* GetScreenCapture() override { return this; }
    UserInterface::CDlgControl* GetFocusedControl() override;
    BOOL SetCaptureControl(UserInterface::CDlgControl* control) override;
    UserInterface::CDlgControl* GetCaptureControl() override { return m_capture; }
    void ReleaseCaptureControl() override { m_capture = nullptr; }
    void EraseBackground(UserInterface::CDlgControl* control, HDC dc, const RECT* rect) override;
    LRESULT OnControlNotify(UserInterface::CDlgControl* control, int code, LPARAM a, LPARAM b) override;

    // IDlgScreenCapture
    HBITMAP CaptureScreen() override;
    int GetCaptureWidth() override { return GetClientWidth(); }
    int GetCaptureHeight() override { return GetClientHeight(); }

    // The transitions of the dialogs that the window runs: a dialog that hands over to the next keeps
    // its last picture, from which the next one opens.
    bool Play(HDC target, int x, int y, int width, int height, HDC from, HDC to, int srcX, int srcY) override;

private:
    bool BuildMenu();
    bool CreateControls();
    bool FocusControl(int index, bool redraw);
    bool RefreshLeftKey();
    bool RefreshMenu();
    bool RefreshSwitch();
    bool RefreshGraph();
    bool RefreshToolbar();
    bool HasCurrentCity() const;
    // After a screen that may have changed the list: at most the last city, at least 0.
    void ClampCityIndex();
    // Paints background and controls into the back buffer; its context, or null.
    HDC RenderBackBuffer(HDC reference);
    bool SlideTo(int index);
    void Freeze() { m_frozen = true; }
    void Unfreeze() { m_frozen = false; }
    void UpdateAllCities(DWORD delayMs);
    void RunTodayItemOptions();
    void SwitchCityBy(int step, BOOL animate);
    bool AddFirstStartCities();
    // The first start's steps; false ends the program.
    bool RunLanguagePage();
    bool SetUpFirstCities(bool startOver);
    // True when it showed the message about the kept copy of a damaged city list.
    bool ReportDamagedCityList();
    bool RunWelcomePage();
    bool RunCityListPage();
    bool RunNetworkPage();
    void ClearRunningDialog();
    int RunViewStep(int view, const CDate& date);
    // Runs a screen over the window as the running dialog, with the window's own transitions: a result
    // of the hand-over list leaves the screen's last picture for the next one to open from. The screen
    // runs through RunOverWindow with the window as its capture, or through `run` for a screen with a
    // run operation of its own (which must hand the window over as the capture).
    INT_PTR RunDialog(CAppBasicDialog& dialog, std::vector<int> handOverResults);
    INT_PTR RunDialog(CAppBasicDialog& dialog, std::vector<int> handOverResults, const std::function<INT_PTR()>& run);
    void OfferUpdate(const char* questionKey);
    // The views; each gives the command that picks the next view, or 0.
    int RunDayView(const CCity& city, const CDate& date);
    int RunCurrentView(const CCity& city);
    int RunHourlyView(const CCity& city);
    int RunCityListView();
    int RunMapsView();
    // The commands of the menu that open dialogs or send.
    void RunAboutBox();
    void RunAutoUpdateSettings();
    void RunNetworkSettings();
    void RunUnitsDialog();
    void RunLanguageDialog();
    void ShowNewLanguage();
    void RunGpsSettings();
    void RunOnlineUpdateSettings();
    void RunHomePluginSettings();
    // Its flag by name.
    static constexpr bool kBySms = false;
    static constexpr bool kByEmail = true;
    void SendForecast(bool byEmail);
    void SendForecastByEmail(const CCity& city);
    void CheckOnlineUpdateManual();
    // One program-update check over the window; what it came to (COnlineUpdateMgr::Outcome).
    // Its flag by name: the timer's check, or the one the user asked for.
    static constexpr bool kAutomaticCheck = true;
    static constexpr bool kAskedCheck = false;
    unsigned RunUpdateCheck(bool automatic);
    // Notes now as the time of the last program-update check.
    bool StoreLastOnlineUpdate();
    void SendPointer(UserInterface::CDlgControl* control, UINT message, int x, int y);

    static constexpr UINT_PTR kDeferredForecastsTimer = 1;

    UserInterface::CMenuInfo m_menuInfo;
    HWND m_menuBar = nullptr;
    CMainWindowLayout m_layout;
    int m_focusIndex = -1;
    UserInterface::CDlgControl* m_pressed = nullptr;
    UserInterface::CDlgControl* m_capture = nullptr;
    bool m_startupFinished = false;
    CBitmapDC m_backBuffer;
    UserInterface::CSmartDialog* m_runningDialog = nullptr;
    std::vector<int> m_handOverResults;
    CBitmapDC m_savedPicture;
    bool m_frozen = false;
    int m_cityIndex = -1;
    UpdateRequestHandler m_updateRequestHandler;
    bool m_leftKeyEnabled = true;
    CForecastEventRelay m_forecastRelay;

    // The pen stroke: where it went down and whether it already switched the city.
    POINT m_penDown{};
    bool m_swiped = false;
};
