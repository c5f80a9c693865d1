#include "Shell/CMainWindow.h"

#include <algorithm>
#include <cstdlib>

#include "CGdiFactory.h"
#include "CLocalization.h"
#include "CRegistryStore.h"
#include "CSysInfo.h"
#include "Controls/CSwitchControl.h"
#include "Controls/CTempGraphControl.h"
#include "Controls/CToolBarControl.h"
#include "Screens/CAboutDlg.h"
#include "Screens/CAppMessageBox.h"
#include "Screens/CAssistantDlg.h"
#include "Screens/CAutoUpdateSettingsDlg.h"
#include "Screens/CCityListDlg.h"
#include "Screens/CDayForecastDlg.h"
#include "Screens/CDetailCurConditionDlg.h"
#include "Screens/CGPSSettingsDlg.h"
#include "Screens/CHomePluginSettingsDlg.h"
#include "Screens/CHourlyForecastDlg.h"
#include "Screens/CInterfaceLangDlg.h"
#include "Screens/CMapsDlg.h"
#include "Screens/COnlineUpdateScreens.h"
#include "Screens/COnlineUpdateSettingsDlg.h"
#include "Screens/CSelectUnitsDlg.h"
#include "Screens/CSetupNetworkDlg.h"
#include "Screens/CStartWizardCityListDlg.h"
#include "Screens/CStartWizardInterfaceLangDlg.h"
#include "Screens/CStartWizardSetupNetworkDlg.h"
#include "Screens/MainWindowMenu.h"
#include "Shell/CHomePlugin.h"
#include "Shell/CTodayPlugin.h"
#include "Skin/CApplicationSkin.h"
#include "UserInterface/CDlgControl.h"
#include "UserInterface/CDlgSeparator.h"
#include "UserInterface/CSmartDialog.h"
#include "Weather/CCity.h"
#include "Weather/CCityList.h"
#include "Weather/CForecastUpdater.h"
#include "Weather/COnlineUpdateMgr.h"
#include "Weather/CSettings.h"
#include "Weather/CityStatusText.h"
#include "Weather/ForecastSending.h"
#include "Weather/GlobalServices.h"
#include "Weather/ScheduledUpdates.h"

using UserInterface::CDlgControl;
using UserInterface::CMenuInfo;
namespace Menu = MainWindowMenu;

namespace {

constexpr int kSwipeDistance = 80;
constexpr DWORD kSlideMs = 300;
constexpr LONGLONG kDayMs = 86400000;
constexpr LONGLONG kHourMs = 3600000;
constexpr LONGLONG kOldConditionsHours = 5;
constexpr DWORD kFirstStartUpdateDelayMs = 800;
constexpr DWORD kViewUpdateDelayMs = 500;
constexpr DWORD kSeparatorStyle = 262162;
constexpr DWORD kControlFlags = 18;
constexpr COLORREF kTextColor = 0xFFFFFF;
constexpr LPCWSTR kLastOnlineUpdate = u"LastOnlineUpdate";
constexpr LPCWSTR kTodayItemLibrary = u"Dawnlet.dll";
constexpr WORD kTodayOptionsExport = 241;
constexpr WORD kTodayOptionsDialog = 500;

// The cities of a first start, in this order.
struct FirstCity {
    LPCWSTR id;
    LPCWSTR country;
    LPCWSTR state;
    LPCWSTR name;
};
constexpr FirstCity kFirstCities[] = {
    {u"RSXX0063", u"Russia", u"", u"Moscow"},
    {u"UKXX0085", u"United Kingdom", u"", u"London"},
    {u"USNY0996", u"United States of America", u"New York", u"New York"},
};

int CityCount() { return g_pCityList != nullptr ? g_pCityList->GetCount() : 0; }

bool IsSmartphone() { return g_pSysInfo != nullptr && g_pSysInfo->IsSmartphone(); }

FILETIME LocalNow() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    FILETIME out{};
    SystemTimeToFileTime(&now, &out);
    return out;
}

}  // namespace

CMainWindow::CMainWindow() {
    m_className = kClassName;
}

CMainWindow::~CMainWindow() { m_forecastRelay.Detach(); }

BOOL CMainWindow::Create(int cityIndex) {
    WCHAR title[260];
    if (!CLocalization::Global().GetString("IDS_APP_NAME", title, 260)) {
        return FALSE;
    }
    m_cityIndex = cityIndex < 0 || cityIndex >= CityCount() ? 0 : cityIndex;
    Freeze();
    return CGenericWindow::Create(nullptr, title, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT,
                                  WS_VISIBLE, 0, nullptr);
}

// ---- creation and destruction -------------------------------------------------------------------------

LRESULT CMainWindow::OnCreate(HWND window, LPCREATESTRUCTW create) {
    SHINITDLGINFO info{SHIDIM_FLAGS, window, SHIDIF_SIZEDLGFULLSCREEN};
    SHInitDialog(&info);
    SetForegroundWindow(window);
    m_forecastRelay.Attach(window, WMU_FORECAST_EVENT);
    if (!m_layout.AttachHost(this, FALSE) || !BuildMenu() ||
        (m_menuBar = CMenuInfo::CreateMenuBar(window, m_menuInfo)) == nullptr || !CreateControls()) {
        OnDestroy();
        return -1;
    }
    Refresh(kRefreshAll);
    RECT client;
    GetClientRect(&client);
    m_layout.SetBounds(client, 0, 0);
    m_layout.Arrange();
    FocusControl(0, UserInterface::kNoRedraw);
    LRESULT result = CGenericWindow::OnCreate(window, create);
    if (result >= 0) {
        PostMessageW(window, WMU_STARTUP, 0, 0);
    }
    return result;
}

LRESULT CMainWindow::OnDestroy() {
    m_forecastRelay.Detach();
    m_menuInfo.Clear();
    m_layout.DeleteAllControls();
    m_menuBar = nullptr;
    m_focusIndex = -1;
    m_pressed = nullptr;
    m_capture = nullptr;
    Freeze();
    m_backBuffer.Release();
    m_savedPicture.Release();
    m_startupFinished = false;
    return CGenericWindow::OnDestroy();
}

bool CMainWindow::BuildMenu() {
    m_leftKeyEnabled = true;
    return Menu::Build(IsSmartphone(), &m_menuInfo);
}

namespace {

// The factory's font sizes of the city switch and of the graph.
constexpr int kSwitchFontSize = 0;
constexpr int kGraphFontSize = 1;

// A control of the window's look: white text in a font of the factory, the skin's border colour.
bool StyleControl(CDlgControl* control, int fontSize) {
    if (g_pGdiFactory != nullptr) {
        control->SetFont(g_pGdiFactory->GetFont(fontSize, CGdiFactory::kClearType, CGdiFactory::kRegular,
                                                CGdiFactory::kNoUnderline),
                         UserInterface::kNoRedraw);
    }
    control->SetTextColor(kTextColor, UserInterface::kNoRedraw);
    control->SetBorderColor(CApplicationSkin::kBackgroundColor, UserInterface::kNoRedraw);
    return true;
}

// The toolbar's buttons: exit, city list, current conditions, update.
constexpr CToolBarControl::Button kToolbarButtons[CToolBarControl::kButtonCount] = {
    {59, Menu::kExit, 1}, {61, Menu::kCityList, 1}, {62, Menu::kCurrentCondition, 1}, {64, Menu::kUpdateForecast, 1}};

}  // namespace

bool CMainWindow::CreateControls() {
    auto* cities = new CSwitchControl;
    if (!m_layout.AddControl(cities) ||
        !cities->Create(CMainWindowLayout::kSwitch, kControlFlags, UserInterface::kSizedByLayout,
                        UserInterface::kSizedByLayout) ||
        !StyleControl(cities, kSwitchFontSize)) {
        return false;
    }
    auto* separator = new UserInterface::CDlgSeparator;
    if (!m_layout.AddControl(separator) || !separator->Create(CMainWindowLayout::kSeparator, kSeparatorStyle,
                                                              UserInterface::kSizedByLayout, 1)) {
        return false;
    }
    separator->SetBorderColor(RGB(0, 0, 0), UserInterface::kNoRedraw);
    auto* graph = new CTempGraphControl;
    if (!m_layout.AddControl(graph) ||
        !graph->Create(CMainWindowLayout::kTempGraph, kControlFlags, UserInterface::kSizedByLayout,
                       UserInterface::kSizedByLayout) ||
        !StyleControl(graph, kGraphFontSize)) {
        return false;
    }
    if (IsSmartphone()) {
        return true;
    }
    auto* toolbar = new CToolBarControl;
    const int orientation = g_pSysInfo != nullptr && !g_pSysInfo->IsPortrait() ? CToolBarControl::kVertical
                                                                                : CToolBarControl::kHorizontal;
    if (!m_layout.AddControl(toolbar) ||
        !toolbar->Create(orientation, nullptr, CMainWindowLayout::kToolbar, kControlFlags,
                         UserInterface::kSizedByLayout, UserInterface::kSizedByLayout)) {
        return false;
    }
    toolbar->SetBorderColor(CApplicationSkin::kBackgroundColor, UserInterface::kNoRedraw);
    return true;
}

bool CMainWindow::FocusControl(int index, bool redraw) {
    CDlgControl* control = m_layout.GetControlAt(index);
    if (control == nullptr || !control->CanFocus()) {
        return false;
    }
    if (CDlgControl* old = GetFocusedControl(); old != nullptr && old != control) {
        old->SendMessage(CDlgControl::kMsgKillFocus, 0, 0);
        old->Redraw(nullptr);
    }
    m_focusIndex = index;
    control->SendMessage(CDlgControl::kMsgSetFocus, 0, 0);
    if (redraw) {
        control->Redraw(nullptr);
    }
    return true;
}

// ---- messages ---------------------------------------------------------------------------------------

LRESULT CMainWindow::CallDefaultProc(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
        case WM_SYSCOLORCHANGE:
            if (g_pSysInfo != nullptr) {
                g_pSysInfo->ReadThemeColor();
            }
            if (g_pApplicationSkin != nullptr) {
                g_pApplicationSkin->DropBackground();
            }
            return 0;
        case WMU_STARTUP:
            RunFirstStart();
            return 0;
        case WMU_SELECT_CITY: {
            // The index comes from another process: only one of the list counts.
            const auto index = static_cast<LONG_PTR>(wParam);
            if (index >= 0 && index < CityCount() && index != m_cityIndex) {
                Freeze();
                m_cityIndex = static_cast<int>(index);
                Refresh(kRefreshAll);
                Unfreeze();
                RedrawHost();
            }
            return 0;
        }
        case WMU_CHECK_ONLINE_UPDATE:
            CheckOnlineUpdateAuto();
            return 0;
        case WMU_AUTO_UPDATE:
        case WMU_SILENT_UPDATE:
            if (m_updateRequestHandler && m_updateRequestHandler(message)) {
                return 0;
            }
            return CGenericWindow::CallDefaultProc(message, wParam, lParam);
        case WMU_FORECAST_EVENT:
            OnForecastEvent(CForecastEventRelay::StatusOf(wParam), static_cast<int>(lParam),
                            CForecastEventRelay::IsLast(wParam));
            return 0;
        default:
            return CGenericWindow::CallDefaultProc(message, wParam, lParam);
    }
}

LRESULT CMainWindow::OnActivate(BOOL active, LPARAM) {
    m_layout.BroadcastMessage(active ? CDlgControl::kMsgActivate : CDlgControl::kMsgDeactivate, 0, 0);
    if (active && m_startupFinished) {
        PostMessageW(m_hWnd, WMU_CHECK_ONLINE_UPDATE, 0, 0);
    }
    return 0;
}

LRESULT CMainWindow::OnInitMenuPopup(int index, HMENU menu) {
    for (int key = 0; key < CMenuInfo::kKeyCount; ++key) {
        if (m_menuInfo.GetPopup(key) != nullptr && m_menuInfo.GetCommand(key) == index) {
            return CMenuInfo::FillPopupMenu(menu, m_menuInfo.GetPopup(key)) ? 1 : 0;
        }
    }
    return 0;
}

LRESULT CMainWindow::OnSize(int, int) {
    if (m_hWnd == nullptr || m_layout.GetControlCount() == 0) {
        return 0;
    }
    RECT client;
    GetClientRect(&client);
    m_layout.SetBounds(client, 0, 0);
    m_layout.Arrange();
    RedrawHost();
    return 0;
}

// ---- painting ---------------------------------------------------------------------------------------

HDC CMainWindow::RenderBackBuffer(HDC reference) {
    const int width = GetClientWidth();
    const int height = GetClientHeight();
    if ((!m_backBuffer.IsValid() || m_backBuffer.Width() != width || m_backBuffer.Height() != height) &&
        !m_backBuffer.CreateCompatible(reference, width, height)) {
        return nullptr;
    }
    HDC dc = m_backBuffer.DC();
    RECT all{0, 0, width, height};
    EraseBackground(nullptr, dc, &all);
    m_layout.PaintControls(dc, nullptr);
    return dc;
}

LRESULT CMainWindow::OnPaint() {
    PAINTSTRUCT paint;
    HDC screen = BeginPaint(m_hWnd, &paint);
    if (!m_frozen && screen != nullptr) {
        if (HDC back = RenderBackBuffer(screen)) {
            BitBlt(screen, 0, 0, m_backBuffer.Width(), m_backBuffer.Height(), back, 0, 0, SRCCOPY);
        }
    }
    EndPaint(m_hWnd, &paint);
    return 1;
}

// Everything is painted through the back buffer.
LRESULT CMainWindow::OnEraseBkgnd(HDC) { return 1; }

// A timer comes only when nothing is left to paint: the cities not shown get their cached forecasts
// once the first frame is on the screen.
LRESULT CMainWindow::OnTimer(UINT_PTR id) {
    if (id != kDeferredForecastsTimer) {
        return CGenericWindow::OnTimer(id);
    }
    KillTimer(kDeferredForecastsTimer);
    g_pCityList->LoadDeferredForecasts();
    return 0;
}

HBITMAP CMainWindow::CaptureScreen() {
    HDC screen = GetDC();
    if (screen == nullptr) {
        return nullptr;
    }
    HDC back = RenderBackBuffer(screen);
    ReleaseDC(screen);
    return back != nullptr ? m_backBuffer.Bitmap() : nullptr;
}

// The skin's gradient spans the whole client area, whatever part of it is erased.
void CMainWindow::EraseBackground(CDlgControl*, HDC dc, const RECT* rect) {
    if (dc == nullptr || rect == nullptr) {
        return;
    }
    RECT client{0, 0, GetClientWidth(), GetClientHeight()};
    if (g_pApplicationSkin != nullptr && g_pApplicationSkin->DrawBackground(dc, &client, rect)) {
        return;
    }
    HBRUSH brush = CreateSolidBrush(CApplicationSkin::kBackgroundColor);
    FillRect(dc, rect, brush);
    DeleteObject(brush);
}

// ---- host -------------------------------------------------------------------------------------------

HDC CMainWindow::GetHostDC() { return m_hWnd != nullptr ? GetDC() : nullptr; }

void CMainWindow::ReleaseHostDC(HDC dc) { ReleaseDC(dc); }

void CMainWindow::RedrawHost() {
    if (m_hWnd != nullptr) {
        Redraw(kKeepBackground);
    }
}

CDlgControl* CMainWindow::GetFocusedControl() { return m_layout.GetControlAt(m_focusIndex); }

BOOL CMainWindow::SetCaptureControl(CDlgControl* control) {
    if (control == nullptr) {
        return FALSE;
    }
    m_capture = control;
    return TRUE;
}

LRESULT CMainWindow::OnControlNotify(CDlgControl* control, int code, LPARAM, LPARAM b) {
    const bool switchNext = control != nullptr && control->GetId() == CMainWindowLayout::kSwitch && code == 2;
    if (control == nullptr || (code != 1 && !switchNext)) {
        return 0;
    }
    switch (control->GetId()) {
        case CMainWindowLayout::kSwitch:
            SwitchCityBy(code == 1 ? -1 : 1, UserInterface::kAnimate);
            return 1;
        case CMainWindowLayout::kTempGraph: {
            // The control's date lives only during this call.
            const auto* date = reinterpret_cast<const CDate*>(b);
            CDate day = date != nullptr ? *date : CDate();
            ShowView(kViewDay, date != nullptr ? &day : nullptr);
            return 1;
        }
        case CMainWindowLayout::kToolbar:
            // Run after the toolbar has finished with its pen message.
            PostMessageW(m_hWnd, WM_COMMAND, static_cast<WPARAM>(b), 0);
            return 1;
        default:
            return 0;
    }
}

// ---- keys and pen -----------------------------------------------------------------------------------

LRESULT CMainWindow::OnKey(UINT virtualKey, BOOL down) {
    if (virtualKey == VK_RETURN) {
        if (down) {
            ShowView(kViewDay, nullptr);
        }
        return 1;
    }
    if (CDlgControl* control = m_layout.GetControlAt(0)) {
        control->SendMessage(down ? CDlgControl::kMsgKeyDown : CDlgControl::kMsgKeyUp, 0,
                             static_cast<LPARAM>(virtualKey));
    }
    return 1;
}

void CMainWindow::SendPointer(CDlgControl* control, UINT message, int x, int y) {
    if (control == nullptr) {
        return;
    }
    RECT rect;
    control->GetRect(&rect);
    POINT point{x - rect.left, y - rect.top};
    control->SendMessage(message, reinterpret_cast<WPARAM>(&point), 0);
}

LRESULT CMainWindow::OnLButtonDown(int x, int y) {
    m_penDown = POINT{x, y};
    m_swiped = false;
    SetCapture();
    CDlgControl* hit = m_layout.ControlFromPoint(x, y);
    if (hit != nullptr && hit->IsVisible() && hit->IsEnabled()) {
        FocusControl(m_layout.IndexOfControl(hit), UserInterface::kRedraw);
        m_pressed = hit;
        SendPointer(hit, CDlgControl::kMsgPointerDown, x, y);
    }
    return 0;
}

LRESULT CMainWindow::OnMouseMove(int x, int y) {
    SendPointer(m_capture != nullptr ? m_capture : m_pressed, CDlgControl::kMsgPointerMove, x, y);
    if (m_swiped || std::abs(x - m_penDown.x) <= CSysInfo::Scale(kSwipeDistance)) {
        return 0;
    }
    m_swiped = true;
    const int target = x - m_penDown.x <= 0 ? m_cityIndex + 1 : m_cityIndex - 1;
    if (target < 0 || target >= CityCount()) {
        return 0;
    }
    if (m_pressed != nullptr) {
        m_pressed->SendMessage(CDlgControl::kMsgPointerCancel, 0, 0);
        m_pressed = nullptr;
    }
    ChangeCity(target, UserInterface::kAnimate);
    return 0;
}

LRESULT CMainWindow::OnLButtonUp(int x, int y) {
    ReleaseCapture();
    SendPointer(m_capture != nullptr ? m_capture : m_pressed, CDlgControl::kMsgPointerUp, x, y);
    m_pressed = nullptr;
    return 0;
}

// ---- commands ---------------------------------------------------------------------------------------

LRESULT CMainWindow::OnCommand(int id, int, HWND) {
    switch (id) {
        case Menu::kExit: PostQuitMessage(0); return 1;
        case Menu::kDetails: ShowView(kViewDay, nullptr); return 1;
        case Menu::kCityList: ShowView(kViewCityList, nullptr); return 1;
        case Menu::kCurrentCondition: ShowView(kViewCurrent, nullptr); return 1;
        case Menu::kMaps: ShowView(kViewMaps, nullptr); return 1;
        case Menu::kHourlyForecast: ShowView(kViewHourly, nullptr); return 1;
        case Menu::kUpdateForecast: UpdateAllCities(CForecastUpdater::kNoDelay); return 1;
        case Menu::kTodayPlugin: RunTodayItemOptions(); return 1;
        case Menu::kAbout: RunAboutBox(); return 1;
        case Menu::kAutoUpdate: RunAutoUpdateSettings(); return 1;
        case Menu::kNetwork: RunNetworkSettings(); return 1;
        case Menu::kUnits: RunUnitsDialog(); return 1;
        case Menu::kInterfaceLanguage: RunLanguageDialog(); return 1;
        case Menu::kGpsSettings: RunGpsSettings(); return 1;
        case Menu::kSendBySms: SendForecast(kBySms); return 1;
        case Menu::kSendByEmail: SendForecast(kByEmail); return 1;
        case Menu::kCheckUpdates: CheckOnlineUpdateManual(); return 1;
        case Menu::kOnlineUpdateSettings: RunOnlineUpdateSettings(); return 1;
        case Menu::kHomePluginSettings: RunHomePluginSettings(); return 1;
        default: return id >= Menu::kAbout && id <= Menu::kHomePluginSettings ? 1 : 0;
    }
}

INT_PTR CMainWindow::RunDialog(CAppBasicDialog& dialog, std::vector<int> handOverResults) {
    return RunDialog(dialog, std::move(handOverResults), [&] { return dialog.RunOverWindow(m_hWnd, nullptr, this); });
}

INT_PTR CMainWindow::RunDialog(CAppBasicDialog& dialog, std::vector<int> handOverResults,
                               const std::function<INT_PTR()>& run) {
    m_runningDialog = &dialog;
    m_handOverResults = std::move(handOverResults);
    dialog.SetWindowTransition(this);
    const INT_PTR result = run();
    ClearRunningDialog();
    return result;
}

void CMainWindow::RunAboutBox() {
    CAboutDlg about;
    about.Run(m_hWnd);
}

void CMainWindow::RunAutoUpdateSettings() {
    CAutoUpdateSettingsDlg dialog;
    if (RunDialog(dialog, {}) == IDOK) {
        RescheduleForecastUpdate(GetSettings());
    }
}

void CMainWindow::RunNetworkSettings() {
    CSetupNetworkDlg dialog;
    RunDialog(dialog, {});
}

void CMainWindow::RunUnitsDialog() {
    CSelectUnitsDlg dialog;
    if (RunDialog(dialog, {}) == IDOK) {
        Refresh(kRefreshAll);
        RedrawHost();
        RefreshStartScreenPlugin(CTodayPlugin::TODAY_RELOAD_SETTINGS);
    }
}

void CMainWindow::RunLanguageDialog() {
    const DWORD before = GetSettings().language;
    CInterfaceLangDlg dialog;
    if (RunDialog(dialog, {}) == IDOK && GetSettings().language != before) {
        ShowNewLanguage();
    }
}

// The menu in the new language, the window redrawn and the start-screen item told.
void CMainWindow::ShowNewLanguage() {
    if (BuildMenu() && m_menuBar != nullptr) {
        CMenuInfo::ApplyMenus(m_menuBar, m_menuInfo);
    }
    Refresh(kRefreshAll);
    RedrawHost();
    RefreshStartScreenPlugin(CTodayPlugin::TODAY_RELOAD_LANGUAGE);
}

void CMainWindow::RunGpsSettings() {
    CGPSSettingsDlg settings;
    RunDialog(settings, {});
}

// The dialog only changes the record in memory: the window keeps the choice for later starts.
void CMainWindow::RunOnlineUpdateSettings() {
    COnlineUpdateSettingsDlg dialog;
    if (RunDialog(dialog, {}) == IDOK && g_pRegistry != nullptr) {
        GetSettings().Save(g_pRegistry);
    }
}

void CMainWindow::RunHomePluginSettings() {
    CHomePluginSettingsDlg dialog;
    if (RunDialog(dialog, {}) == IDOK && g_pHomePlugin != nullptr) {
        g_pHomePlugin->Notify();
    }
}

void CMainWindow::SendForecast(bool byEmail) {
    CCity city;
    if (!HasCurrentCity() || !g_pCityList->GetCity(m_cityIndex, &city)) {
        return;
    }
    if (byEmail) {
        SendForecastByEmail(city);
    } else {
        SendForecastBySms(&city);
    }
}

void CMainWindow::SendForecastByEmail(const CCity& city) { ::SendForecastByEmail(m_hWnd, &city); }

// A check that read the catalog counts as done.
void CMainWindow::CheckOnlineUpdateManual() {
    if (RunUpdateCheck(kAskedCheck) != COnlineUpdateMgr::kOutcomeNothing) {
        StoreLastOnlineUpdate();
    }
}

// The Today item's own options dialog, from its library: export 241 is the dialog procedure and
// dialog resource 500 its template.
void CMainWindow::RunTodayItemOptions() {
    HMODULE library = LoadLibraryW(kTodayItemLibrary);
    if (library == nullptr) {
        return;
    }
    auto procedure = reinterpret_cast<DLGPROC>(GetProcAddressW(library, MAKEINTRESOURCEW(kTodayOptionsExport)));
    HRSRC resource = procedure != nullptr ? FindResourceW(library, MAKEINTRESOURCEW(kTodayOptionsDialog), RT_DIALOG)
                                          : nullptr;
    HGLOBAL loaded = resource != nullptr ? LoadResource(library, resource) : nullptr;
    auto dialog = static_cast<LPCDLGTEMPLATEW>(loaded != nullptr ? LockResource(loaded) : nullptr);
    if (dialog != nullptr) {
        DialogBoxIndirectParamW(library, dialog, m_hWnd, procedure, 0);
    }
    FreeLibrary(library);
}

void CMainWindow::UpdateAllCities(DWORD delayMs) {
    std::vector<std::u16string> ids;
    if (g_pForecastUpdater == nullptr || g_pForecastUpdater->IsRunning() || g_pCityList == nullptr ||
        !g_pCityList->GetLocationIds(&ids) || ids.empty()) {
        return;
    }
    g_pForecastUpdater->Start(ids, CForecastUpdater::kReturnAtOnce, CForecastUpdater::kOneAttempt, delayMs);
}

// ---- refresh ----------------------------------------------------------------------------------------

void CMainWindow::ClampCityIndex() { m_cityIndex = std::clamp(m_cityIndex, 0, std::max(0, CityCount() - 1)); }

bool CMainWindow::HasCurrentCity() const { return m_cityIndex >= 0 && m_cityIndex < CityCount(); }

BOOL CMainWindow::Refresh(int mask) {
    if ((mask & kRefreshLeftKey) && !RefreshLeftKey()) {
        return FALSE;
    }
    if ((mask & kRefreshMenu) && !RefreshMenu()) {
        return FALSE;
    }
    if ((mask & kRefreshSwitch) && !RefreshSwitch()) {
        return FALSE;
    }
    if ((mask & kRefreshGraph) && !RefreshGraph()) {
        return FALSE;
    }
    if ((mask & kRefreshToolbar) && !RefreshToolbar()) {
        return FALSE;
    }
    return TRUE;
}

bool CMainWindow::RefreshLeftKey() {
    const bool enabled = HasCurrentCity();
    if (enabled == m_leftKeyEnabled) {
        return true;
    }
    m_leftKeyEnabled = enabled;
    m_menuInfo.SetEnabled(UserInterface::kLeftSoftKey, enabled);
    return m_menuBar == nullptr || CMenuInfo::UpdateMenuBar(m_menuBar, m_menuInfo);
}

bool CMainWindow::RefreshMenu() { return Menu::SetCityCommandsEnabled(&m_menuInfo, HasCurrentCity()); }

CMainWindow::SwitchState CMainWindow::ComposeSwitchState(const FILETIME& now) const {
    SwitchState state;
    CCity city;
    if (!HasCurrentCity() || !g_pCityList->GetCity(m_cityIndex, &city)) {
        return state;
    }
    const bool updating = g_pForecastUpdater != nullptr && g_pForecastUpdater->IsRunning();
    state.firstLine = city.GetName();
    GetCityStatusText(city, now, updating, &state.secondLine);
    GetCityStatusShortText(city, now, updating, &state.shortSecondLine);
    state.fitFirstLine = !updating;
    state.leftEnabled = m_cityIndex != 0;
    state.rightEnabled = m_cityIndex != CityCount() - 1;
    return state;
}

bool CMainWindow::RefreshSwitch() {
    auto* cities = static_cast<CSwitchControl*>(m_layout.FindControl(CMainWindowLayout::kSwitch));
    if (cities == nullptr) {
        return false;
    }
    SwitchState state = ComposeSwitchState(LocalNow());
    const BOOL redraw = !m_frozen;
    return cities->SetTexts(state.firstLine.c_str(), state.secondLine.c_str(), UserInterface::kNoRedraw) &&
           cities->SetShortSecondText(state.shortSecondLine.c_str(), UserInterface::kNoRedraw) &&
           cities->SetFitFlags(state.fitFirstLine, FALSE, UserInterface::kNoRedraw) &&
           cities->SetArrowEnabled(CSwitchControl::kLeftArrow, state.leftEnabled, UserInterface::kNoRedraw) &&
           cities->SetArrowEnabled(CSwitchControl::kRightArrow, state.rightEnabled, redraw);
}

bool CMainWindow::RefreshGraph() {
    auto* graph = static_cast<CTempGraphControl*>(m_layout.FindControl(CMainWindowLayout::kTempGraph));
    if (graph == nullptr) {
        return false;
    }
    CDayForecastSet days;
    CCity city;
    if (HasCurrentCity() && g_pCityList->GetCity(m_cityIndex, &city)) {
        CDate today;
        today.SetToday();
        city.GetDayForecastsFrom(today, &days);
    }
    return graph->SetDays(&days, !m_frozen);
}

bool CMainWindow::RefreshToolbar() {
    auto* toolbar = static_cast<CToolBarControl*>(m_layout.FindControl(CMainWindowLayout::kToolbar));
    return toolbar == nullptr || toolbar->SetButtons(kToolbarButtons, !m_frozen);
}

// ---- changing the city ------------------------------------------------------------------------------

void CMainWindow::SwitchCityBy(int step, BOOL animate) {
    const int target = m_cityIndex + step;
    if (target >= 0 && target < CityCount()) {
        ChangeCity(target, animate);
    }
}

BOOL CMainWindow::ChangeCity(int index, BOOL animate) {
    if (index < 0 || index >= CityCount()) {
        return FALSE;
    }
    if (index == m_cityIndex) {
        return TRUE;
    }
    if (animate && HasCurrentCity() && !m_frozen && m_hWnd != nullptr && SlideTo(index)) {
        return TRUE;
    }
    m_cityIndex = index;
    Refresh(kRefreshAll);
    RedrawHost();
    return TRUE;
}

// The old picture leaves and the new one enters from the side of the higher index.
bool CMainWindow::SlideTo(int index) {
    HDC screen = GetDC();
    CBitmapDC oldPicture;
    HDC back = screen != nullptr ? RenderBackBuffer(screen) : nullptr;
    const int width = GetClientWidth();
    const int height = GetClientHeight();
    if (back == nullptr || !oldPicture.CreateCompatible(screen, width, height)) {
        if (screen != nullptr) {
            ReleaseDC(screen);
        }
        return false;
    }
    BitBlt(oldPicture.DC(), 0, 0, width, height, back, 0, 0, SRCCOPY);
    const bool forward = index > m_cityIndex;
    m_cityIndex = index;
    Refresh(kRefreshAll);
    back = RenderBackBuffer(screen);
    const DWORD start = GetTickCount();
    for (int offset = 0; back != nullptr && offset < width;) {
        offset = static_cast<int>(std::min<uint64_t>(width, uint64_t{GetTickCount() - start} * width / kSlideMs));
        const int oldX = forward ? -offset : offset;
        const int newX = forward ? width - offset : offset - width;
        BitBlt(screen, oldX, 0, width, height, oldPicture.DC(), 0, 0, SRCCOPY);
        BitBlt(screen, newX, 0, width, height, back, 0, 0, SRCCOPY);
        if (offset < width) {
            Sleep(1);  // lets the clock move
        }
    }
    ReleaseDC(screen);
    RedrawHost();
    return true;
}

// ---- the forecast updater -----------------------------------------------------------------------------

void CMainWindow::OnForecastEvent(int status, int result, bool last) {
    if (status == CForecastUpdater::kStatusStarted) {
        Refresh(kRefreshSwitch);
        RedrawHost();
        return;
    }
    Refresh(kRefreshAll);
    RedrawHost();
    if (last && result != 0) {
        CAppMessageBox box;
        CForecastUpdater::ShowResultMessage(box, m_hWnd, result, m_forecastRelay.CitiesWithoutData());
    }
}

// ---- transitions -------------------------------------------------------------------------------------

void CMainWindow::ClearRunningDialog() {
    m_runningDialog = nullptr;
    m_handOverResults.clear();
}

bool CMainWindow::Play(HDC target, int x, int y, int width, int height, HDC from, HDC to, int srcX, int srcY) {
    const int result = m_runningDialog != nullptr ? m_runningDialog->GetResult() : -1;
    const bool ended = m_runningDialog != nullptr && result != -1;
    const bool handsOver =
        std::find(m_handOverResults.begin(), m_handOverResults.end(), result) != m_handOverResults.end();
    if (ended && handsOver && from != nullptr) {
        if ((m_savedPicture.Width() != width || m_savedPicture.Height() != height) &&
            !m_savedPicture.Create(width, height, 16)) {
            return false;
        }
        return BitBlt(m_savedPicture.DC(), 0, 0, width, height, from, srcX, srcY, SRCCOPY) != FALSE;
    }
    UserInterface::CGenericEffect* blend = UserInterface::CreateTransitionEffect(2);
    if (blend == nullptr) {
        return false;
    }
    blend->SetDuration(GetDuration());
    if (m_savedPicture.IsValid() && m_runningDialog != nullptr && !ended) {
        return blend->Play(target, x, y, width, height, m_savedPicture.DC(), to, srcX, srcY);
    }
    return blend->Play(target, x, y, width, height, from, to, srcX, srcY);
}

// ---- the views loop ----------------------------------------------------------------------------------

// One view run; its result names the next view, anything else ends the loop.
int CMainWindow::RunViewStep(int view, const CDate& date) {
    if (view == kViewCityList) {
        return RunCityListView();
    }
    if (view == kViewMaps) {
        return RunMapsView();
    }
    CCity city;
    if (!HasCurrentCity() || !g_pCityList->GetCity(m_cityIndex, &city)) {
        return 0;
    }
    switch (view) {
        case kViewDay: return RunDayView(city, date);
        case kViewCurrent: return RunCurrentView(city);
        case kViewHourly: return RunHourlyView(city);
        default: return 0;
    }
}

// A view without data asks whether to update now; every answer hands the picture on to the view.
void CMainWindow::OfferUpdate(const char* questionKey) {
    LPCWSTR question = LoadLocalizedString(questionKey);
    if (question == nullptr) {
        return;
    }
    CAppMessageBox box;
    const INT_PTR answer = RunDialog(box, {IDOK, IDYES, IDCANCEL, IDNO},
                                     [&] { return CAppMessageBox::DoModalYesNo(box, m_hWnd, question, nullptr, nullptr); });
    if (answer == IDOK || answer == IDYES) {
        UpdateAllCities(kViewUpdateDelayMs);
    }
}

// A date without a forecast falls back to today; without one for today either, the user may update first.
int CMainWindow::RunDayView(const CCity& city, const CDate& date) {
    CDate shown = date;
    CDayForecast day;
    if (!city.GetDayForecast(shown, &day)) {
        shown.SetToday();
        if (!city.GetDayForecast(shown, &day)) {
            OfferUpdate("IDS_WEATHER_FORECAST_NOTAVAILABLE");
        }
    }
    CDayForecastDlg dialog;
    return static_cast<int>(RunDialog(dialog, {Menu::kCurrentCondition, Menu::kHourlyForecast, Menu::kCityList, Menu::kMaps},
                                      [&] { return dialog.Run(m_hWnd, city.GetLocationId(), &shown, this); }));
}

// Conditions five whole hours old or more offer an update before the screen opens.
int CMainWindow::RunCurrentView(const CCity& city) {
    FILETIME updated;
    city.GetUpdateFileTime(&updated);
    const FILETIME now = LocalNow();
    if (CSysInfo::FileTimeDiff(&now, &updated, kHourMs) >= kOldConditionsHours) {
        OfferUpdate("IDS_CURRENT_WEATHER_RECEIVED_4_HOURS_BACK");
    }
    CDetailCurConditionDlg view;
    return static_cast<int>(RunDialog(view, {Menu::kDetails, Menu::kHourlyForecast, Menu::kCityList, Menu::kMaps},
                                      [&] { return view.Run(m_hWnd, city.GetLocationId(), this); }));
}

// A city without hours for today offers an update before the screen opens on today.
int CMainWindow::RunHourlyView(const CCity& city) {
    CDate today;
    today.SetToday();
    CHourForecastSet hours;
    if (!city.GetHourForecasts(today, &hours) || hours.empty()) {
        OfferUpdate("IDS_HOURLY_FORECAST_NOTAVAILABLE");
    }
    CHourlyForecastDlg view;
    return static_cast<int>(RunDialog(view, {Menu::kDetails, Menu::kCurrentCondition, Menu::kCityList, Menu::kMaps},
                                      [&] { return view.Run(m_hWnd, city.GetLocationId(), &today, this); }));
}

// The screen may change the shown city and the list; the index is brought back into the list after.
int CMainWindow::RunCityListView() {
    CCityListDlg screen(&m_cityIndex);
    const auto result = static_cast<int>(
        RunDialog(screen, {Menu::kDetails, Menu::kCurrentCondition, Menu::kHourlyForecast, Menu::kMaps}));
    ClampCityIndex();
    return result;
}

// The maps screen; switching to another view hands its picture over to that view.
int CMainWindow::RunMapsView() {
    CMapsDlg maps;
    return static_cast<int>(
        RunDialog(maps, {Menu::kDetails, Menu::kCurrentCondition, Menu::kHourlyForecast, Menu::kCityList}));
}

void CMainWindow::ShowView(int view, const CDate* date) {
    Freeze();
    m_savedPicture.Release();
    CDate requested;
    if (date != nullptr) {
        requested = *date;
    } else {
        requested.SetToday();
    }
    while (view >= kViewDay && view <= kViewMaps) {
        const int result = RunViewStep(view, requested);
        ClearRunningDialog();
        switch (result) {
            case Menu::kDetails: view = kViewDay; break;
            case Menu::kCurrentCondition: view = kViewCurrent; break;
            case Menu::kHourlyForecast: view = kViewHourly; break;
            case Menu::kCityList: view = kViewCityList; break;
            case Menu::kMaps: view = kViewMaps; break;
            default: view = -1; break;
        }
    }
    m_savedPicture.Release();
    Refresh(kRefreshAll);
    Unfreeze();
    RedrawHost();
}

// ---- first start -------------------------------------------------------------------------------------

bool CMainWindow::AddFirstStartCities() {
    for (const FirstCity& first : kFirstCities) {
        CCity city;
        city.SetLocationId(first.id);
        city.SetCountry(first.country);
        city.SetState(first.state);
        city.SetName(first.name);
        if (!g_pCityList->AddCity(city)) {
            return false;
        }
    }
    if (!g_pCityList->SetHomeIndex(0) || !g_pCityList->Save()) {
        return false;
    }
    g_pCityList->LoadCachedForecasts();
    m_cityIndex = 0;
    return true;
}

// Until a language was chosen once, the first start asks for it.
bool CMainWindow::RunLanguagePage() {
    if (GetSettings().IsLanguageStored(g_pRegistry)) {
        return true;
    }
    const DWORD before = GetSettings().language;
    CStartWizardInterfaceLangDlg page;
    if (RunDialog(page, {IDOK}) != IDOK) {
        return false;
    }
    if (GetSettings().language != before) {
        ShowNewLanguage();
    }
    return true;
}

// Without a city list, or over one from which no city could be read: the welcome page, the three
// default cities, the city list and network pages, then the first update.
bool CMainWindow::SetUpFirstCities(bool startOver) {
    if (g_pCityList == nullptr || (CCityList::FileExists() && !startOver)) {
        return true;
    }
    if (!RunWelcomePage() || !AddFirstStartCities() || !RunCityListPage() || !RunNetworkPage()) {
        return false;
    }
    Refresh(kRefreshAll);
    RefreshStartScreenPlugin(CTodayPlugin::TODAY_RELOAD_CITIES);
    UpdateAllCities(kFirstStartUpdateDelayMs);
    return true;
}

bool CMainWindow::RunWelcomePage() {
    WCHAR title[500];
    WCHAR text[1024];
    if (!CLocalization::Global().GetString("IDS_ASS_WELCOME_TITLE", title, 500) ||
        !CLocalization::Global().GetString("IDS_ASS_WELCOME_TEXT", text, 1024)) {
        return false;
    }
    CAssistantDlg welcome;
    return RunDialog(welcome, {IDOK}, [&] { return welcome.Run(m_hWnd, text, title, this); }) == IDOK;
}

bool CMainWindow::RunCityListPage() {
    CStartWizardCityListDlg page(&m_cityIndex);
    const INT_PTR result = RunDialog(page, {IDOK});
    ClampCityIndex();
    return result == IDOK;
}

// Only while no destination was ever chosen; the page hands its picture on to the window.
bool CMainWindow::RunNetworkPage() {
    if (GetSettings().connection != GUID_NULL) {
        return true;
    }
    CStartWizardSetupNetworkDlg page;
    RunDialog(page, {IDOK});
    return true;
}

void CMainWindow::RunFirstStart() {
    if (!RunLanguagePage()) {
        PostQuitMessage(0);
        return;
    }
    // A list from which not one city could be read leaves the user nothing to do: once told of the kept
    // copy, they start over as with no list.
    const bool nothingRead = g_pCityList != nullptr && g_pCityList->GetCount() == 0 && ReportDamagedCityList();
    if (!SetUpFirstCities(nothingRead)) {
        PostQuitMessage(0);
        return;
    }
    if (m_savedPicture.IsValid()) {
        // The last wizard page blends into the window.
        HDC screen = GetDC();
        if (screen != nullptr && CaptureScreen() != nullptr) {
            Play(screen, 0, 0, GetClientWidth(), GetClientHeight(), m_savedPicture.DC(), m_backBuffer.DC(), 0, 0);
        }
        if (screen != nullptr) {
            ReleaseDC(screen);
        }
        m_savedPicture.Release();
    }
    Unfreeze();
    RedrawHost();
    SetTimer(kDeferredForecastsTimer, 0);
    ReportDamagedCityList();
    m_startupFinished = true;
    PostMessageW(m_hWnd, WMU_CHECK_ONLINE_UPDATE, 0, 0);
}

// Once a start: the cities that could not be read are in the copy that Load kept.
bool CMainWindow::ReportDamagedCityList() {
    constexpr int kDamagedMessageLength = 512;
    WCHAR copyPath[MAX_PATH];
    WCHAR pattern[kDamagedMessageLength];
    WCHAR message[kDamagedMessageLength];
    if (g_pCityList == nullptr || !g_pCityList->TakeFoundDamaged() || !CCityList::GetDamagedCopyPath(copyPath, MAX_PATH) ||
        !CLocalization::Global().GetTemplate("IDS_CITY_LIST_DAMAGED_TMPL", pattern, kDamagedMessageLength) ||
        _snwprintf(message, kDamagedMessageLength, pattern, copyPath) < 0) {
        return false;
    }
    CAppMessageBox box;
    CAppMessageBox::DoModalDone(box, m_hWnd, message, nullptr, nullptr);
    return true;
}

// ---- program updates ---------------------------------------------------------------------------------

void CMainWindow::CheckOnlineUpdateAuto() {
    MSG queued;
    while (PeekMessageW(&queued, m_hWnd, WMU_CHECK_ONLINE_UPDATE, WMU_CHECK_ONLINE_UPDATE, PM_REMOVE)) {
    }
    const DWORD interval = GetSettings().onlineUpdateInterval;
    if (interval == 0 || g_pRegistry == nullptr) {
        return;
    }
    SYSTEMTIME now;
    GetLocalTime(&now);
    SYSTEMTIME last{};
    FILETIME readable{};
    // A time that cannot be read, or that lies days ahead because the clock was set back, counts from
    // now: either would otherwise put the check off for good.
    if (!g_pRegistry->GetBinary(kLastOnlineUpdate, &last, sizeof last) || !SystemTimeToFileTime(&last, &readable) ||
        CSysInfo::SystemTimeDiff(&now, &last, kDayMs) < 0) {
        g_pRegistry->SetBinary(kLastOnlineUpdate, &now, sizeof now);
        return;
    }
    if (CSysInfo::SystemTimeDiff(&now, &last, kDayMs) <= static_cast<LONGLONG>(interval)) {
        return;
    }
    // Noted first, so that the activations that the check's screens cause do not start it again.
    StoreLastOnlineUpdate();
    RunUpdateCheck(kAutomaticCheck);
}

bool CMainWindow::StoreLastOnlineUpdate() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    return g_pRegistry != nullptr && g_pRegistry->SetBinary(kLastOnlineUpdate, &now, sizeof now);
}

// The window does not paint under the check's screens; a window that was frozen already stays so.
unsigned CMainWindow::RunUpdateCheck(bool automatic) {
    const bool wasFrozen = m_frozen;
    Freeze();
    COnlineUpdateMgr check;
    COnlineUpdateScreens screens(m_hWnd, &check);
    const unsigned outcome = check.CheckForUpdates(m_hWnd, this, &screens, automatic);
    if (!wasFrozen) {
        Unfreeze();
        RedrawHost();
    }
    return outcome;
}
