#include "Screens/CMapsDlg.h"

#include <algorithm>
#include <cstdlib>
#include <new>

#include "CBitmapDC.h"
#include "CGdiFactory.h"
#include "CLocalization.h"
#include "CRegistryStore.h"
#include "CSprite.h"
#include "CSysInfo.h"
#include "Controls/CMapViewControl.h"
#include "Controls/CSwitchControl.h"
#include "Controls/CToolBarControl.h"
#include "RectHelpers.h"
#include "Screens/CMainWindowLayout.h"
#include "Screens/CSelectFromListDlg.h"
#include "Screens/MainWindowMenu.h"
#include "Skin/CApplicationSkin.h"
#include "UserInterface/CDlgSeparator.h"
#include "UserInterface/CMenuItemCollection.h"
#include "Weather/CForecastUpdater.h"
#include "Weather/CMapsUpdater.h"
#include "Weather/CSettings.h"
#include "Weather/CityStatusText.h"
#include "Weather/DeviceUtilities.h"
#include "Weather/GlobalServices.h"

namespace {

using UserInterface::CDlgControl;

constexpr DWORD kControlFlags = CDlgControl::kVisible | CDlgControl::kHostBackground;
constexpr DWORD kSeparatorStyle = 0x40012;
constexpr int kRegistryTextLength = 261;
constexpr LONGLONG kHourMs = 3600000;
constexpr DWORD kFullScreenParts = SHFS_HIDETASKBAR | SHFS_HIDESIPBUTTON | SHFS_HIDESTARTICON;
constexpr DWORD kNormalParts = SHFS_SHOWTASKBAR | SHFS_SHOWSIPBUTTON | SHFS_SHOWSTARTICON;
// MakeCurrent's slide direction by name: the new picture comes in from the right.
constexpr bool kSlideFromRight = true;
// The factory's font size of the header.
constexpr int kHeaderFontSize = 0;

// Back, full screen, select region, update map.
constexpr CToolBarControl::Button kToolbarButtons[CToolBarControl::kButtonCount] = {
    {60, CMapsDlg::kCmdBack, 1},
    {69, CMapsDlg::kCmdFullScreen, 1},
    {70, CMapsDlg::kCmdSelectRegion, 1},
    {64, CMapsDlg::kCmdUpdateMap, 1}};

LONGLONG Ticks(const FILETIME& time) {
    return static_cast<LONGLONG>((static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime);
}

FILETIME UtcNow() {
    SYSTEMTIME now{};
    GetSystemTime(&now);
    FILETIME file{};
    SystemTimeToFileTime(&now, &file);
    return file;
}

std::u16string Text(const char* key) {
    LPCWSTR text = LoadLocalizedString(key);
    return text != nullptr ? std::u16string(text) : std::u16string();
}

bool IsSmartphone() { return g_pSysInfo != nullptr && g_pSysInfo->IsSmartphone(); }

}  // namespace

CMapsDlg::CMapsDlg() = default;

CMapsDlg::~CMapsDlg() = default;

bool CMapsDlg::IsPictureFresh(const FILETIME& writeUtc, const FILETIME& nowUtc) {
    const LONGLONG hours = (Ticks(nowUtc) - Ticks(writeUtc)) / 10000 / kHourMs;
    return hours < kFreshHours;
}

std::u16string CMapsDlg::MapTypeText(uint32_t type) {
    switch (type) {
        case kSatellite: return Text("IDS_SATELLITE_MAP");
        case kCurrentTemperature: return Text("IDS_CURRENT_TEMPERATURE_MAP");
        case kSurfaceAnalysis: return Text("IDS_SURFACE_ANALYSIS_MAP");
        default: return {};
    }
}

// ---- set-up ---------------------------------------------------------------------------------------------

UserInterface::CDlgLayout* CMapsDlg::CreateLayout() { return new CMapsDlgLayout; }

BOOL CMapsDlg::OnCreateMenu(UserInterface::CMenuInfo* menu) {
    using MainWindowMenu::Entry;
    menu->Clear();
    menu->SetFlags(UserInterface::CMenuInfo::kNoInputPanel);
    menu->SetCommand(UserInterface::kLeftSoftKey, kCmdBack);
    menu->SetCommand(UserInterface::kRightSoftKey, kCmdMenu);
    UserInterface::CMenuItemCollection popup;
    return menu->SetCaption(UserInterface::kLeftSoftKey, "IDS_CAP_BACK") &&
           menu->SetCaption(UserInterface::kRightSoftKey, "IDS_CAP_MENU") &&
           MainWindowMenu::AppendAll(&popup, {{kCmdUpdateMap, "IDS_CAP_UPDATE_MAP"},
                                              {kCmdFullScreen, "IDS_CAP_FULL_SCREEN"},
                                              {kCmdSelectRegion, "IDS_CAP_SELECT_REGION"}}) &&
           MainWindowMenu::AppendSubmenu(&popup, {kCmdViews, "IDS_CAP_VIEWS"},
                                         {{kCmdDayForecast, "IDS_CAP_DAY_FORECAST"},
                                          {kCmdCurrentCondition, "IDS_CAP_CURRENT_CONDITION"},
                                          {kCmdHourlyForecast, "IDS_CAP_HOURLY_FORECAST"}}) &&
           MainWindowMenu::AppendAll(&popup, {{kCmdCityList, "IDS_CAP_CITY_LIST"}}) &&
           menu->SetPopup(UserInterface::kRightSoftKey, &popup);
}

// A missing or empty database ends the screen as cancelled (2) before anything is shown.
BOOL CMapsDlg::OnInitControls() {
    BeginWaitCursor();
    const bool loaded = LoadDatabase();
    EndWaitCursor();
    return loaded && BuildControls() && CAppBasicDialog::OnInitControls();
}

bool CMapsDlg::LoadDatabase() {
    WCHAR path[MAX_PATH];
    std::vector<CMapDBRecord> regions;
    if (!CSysInfo::ExpandPath(kDatabasePath, path, MAX_PATH) || !m_db.Load(path) || !m_db.GetRegions(&regions) ||
        regions.empty()) {
        return false;
    }
    WCHAR last[kRegistryTextLength] = {};
    if (g_pRegistry != nullptr) {
        g_pRegistry->GetString(kLastMapValue, last, kRegistryTextLength);
    }
    return m_db.FindRecord(last, &m_current) || m_db.GetRegion(0, &m_current);
}

bool CMapsDlg::BuildControls() {
    UserInterface::CDlgLayout* layout = GetLayout();
    auto* header = new (std::nothrow) CSwitchControl;
    if (header == nullptr || !layout->AddControl(header)) {
        delete header;
        return false;
    }
    if (!header->Create(kHeaderId, kControlFlags, UserInterface::kSizedByLayout,
                        UserInterface::kSizedByLayout)) {
        return false;
    }
    header->SetFont(g_pGdiFactory != nullptr
                        ? g_pGdiFactory->GetFont(kHeaderFontSize, CGdiFactory::kClearType,
                                                 CGdiFactory::kRegular, CGdiFactory::kNoUnderline)
                        : nullptr,
                    UserInterface::kNoRedraw);
    header->SetTextColor(kTextColor, UserInterface::kNoRedraw);
    header->SetBorderColor(CApplicationSkin::kBackgroundColor, UserInterface::kNoRedraw);
    UserInterface::CDlgSeparator* separator = AddSeparator(kSeparatorId, kSeparatorStyle, 1);
    if (separator == nullptr) {
        return false;
    }
    separator->SetBorderColor(RGB(0, 0, 0), UserInterface::kNoRedraw);
    auto* view = new (std::nothrow) CMapViewControl;
    if (view == nullptr || !layout->AddControl(view)) {
        delete view;
        return false;
    }
    if (!view->Create(kMapViewId, kControlFlags, UserInterface::kSizedByLayout,
                      UserInterface::kSizedByLayout)) {
        return false;
    }
    view->SetBorderColor(CApplicationSkin::kBackgroundColor, UserInterface::kNoRedraw);
    view->SetTextColor(kTextColor, UserInterface::kNoRedraw);
    if (IsSmartphone()) {
        return true;
    }
    auto* toolbar = new (std::nothrow) CToolBarControl;
    if (toolbar == nullptr || !layout->AddControl(toolbar)) {
        delete toolbar;
        return false;
    }
    const int orientation = g_pSysInfo != nullptr && !g_pSysInfo->IsPortrait() ? CToolBarControl::kVertical
                                                                                : CToolBarControl::kHorizontal;
    if (!toolbar->Create(orientation, kToolbarButtons, kToolbarId, kControlFlags,
                         UserInterface::kSizedByLayout, UserInterface::kSizedByLayout)) {
        return false;
    }
    toolbar->SetBorderColor(CApplicationSkin::kBackgroundColor, UserInterface::kNoRedraw);
    return true;
}

BOOL CMapsDlg::OnInitDialog() {
    const BOOL initialised = CAppBasicDialog::OnInitDialog();
    if (!initialised || GetResult() != -1) {
        return initialised;
    }
    m_ready = true;
    // The listener posts to the window: it must not reach into a dialog that may be gone.
    m_listener = CDelegate(&OnMapsUpdaterEvent, reinterpret_cast<INT_PTR>(m_hWnd));
    if (g_pMapsUpdater != nullptr) {
        g_pMapsUpdater->AddListener(&m_listener);
        m_listening = true;
    }
    return initialised;
}

BOOL CMapsDlg::OnActivate(BOOL active, LPARAM lParam) {
    const BOOL handled = CAppBasicDialog::OnActivate(active, lParam);
    // Only coming up over the main window shows the title afresh, not the return from a message box.
    CMapViewControl* view = MapView();
    if (active && lParam != 0 && reinterpret_cast<HWND>(lParam) == GetParent() && view != nullptr) {
        view->StartTitleAnimation();
    }
    return handled;
}

// A screen left in full screen gives the task bar back.
void CMapsDlg::OnDestroy() {
    if (!m_current.GetId().empty() && g_pRegistry != nullptr) {
        g_pRegistry->SetString(kLastMapValue, m_current.GetId().c_str());
    }
    if (m_listening && g_pMapsUpdater != nullptr) {
        g_pMapsUpdater->RemoveListener(&m_listener);
    }
    m_listening = false;
    if (m_fullScreen) {
        SHFullScreen(m_hWnd, kNormalParts);
        m_fullScreen = false;
    }
    m_ready = false;
    CAppBasicDialog::OnDestroy();
}

// ---- what the screen shows ------------------------------------------------------------------------------

BOOL CMapsDlg::Refresh(DWORD mask) {
    if (mask & kRefreshHeader) {
        RefreshHeader();
    }
    if (mask & kRefreshPicture) {
        RefreshPicture();
    }
    return TRUE;
}

LPCWSTR CMapsDlg::NameOf(const CMapDBRecord& record) const {
    return record.GetLocalizedName(GetSettings().language);
}

bool CMapsDlg::GetPictureTime(FILETIME* writeUtc) const {
    std::u16string path;
    if (!CMapsUpdater::GetMapCachePath(m_current.GetId().c_str(), &path)) {
        return false;
    }
    HANDLE file = CreateFileW(path.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                              FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    const BOOL read = GetFileTime(file, nullptr, nullptr, writeUtc);
    CloseHandle(file);
    return read != FALSE;
}

std::u16string CMapsDlg::ComposeStatus(std::u16string* shorter) const {
    FILETIME written{};
    FILETIME local{};
    FILETIME localNow{};
    const FILETIME now = UtcNow();
    std::u16string status;
    shorter->clear();
    if (GetPictureTime(&written) && IsPictureFresh(written, now) && FileTimeToLocalFileTime(&written, &local) &&
        GetUpdatedAtText(local, &status)) {
        if (FileTimeToLocalFileTime(&now, &localNow)) {
            GetUpdatedOnDayText(local, localNow, shorter);
        }
        return status;
    }
    return Text("IDS_NOT_UPDATED");
}

void CMapsDlg::RefreshHeader() {
    CSwitchControl* header = Header();
    if (header == nullptr) {
        return;
    }
    if (g_pMapsUpdater != nullptr && g_pMapsUpdater->IsQueued(m_current.GetId().c_str())) {
        header->SetTexts(Text("IDS_DOWNLOADING").c_str(), nullptr, UserInterface::kNoRedraw);
    } else {
        std::u16string shorter;
        const std::u16string status = ComposeStatus(&shorter);
        header->SetTexts(NameOf(m_current), status.c_str(), UserInterface::kNoRedraw);
        header->SetShortSecondText(shorter.c_str(), UserInterface::kNoRedraw);
    }
    header->SetArrowEnabled(CSwitchControl::kLeftArrow, m_current.GetMapType() != kSatellite,
                            UserInterface::kNoRedraw);
    header->SetArrowEnabled(CSwitchControl::kRightArrow, m_current.GetMapType() != kSurfaceAnalysis,
                            UserInterface::kNoRedraw);
    if (m_ready) {
        header->Redraw(nullptr);
    }
}

// A picture older than a day, or one that does not decode, is not shown.
void CMapsDlg::RefreshPicture() {
    CMapViewControl* view = MapView();
    if (view == nullptr) {
        return;
    }
    CSprite picture;
    FILETIME written{};
    std::u16string path;
    const bool shown = GetPictureTime(&written) && IsPictureFresh(written, UtcNow()) &&
                       CMapsUpdater::GetMapCachePath(m_current.GetId().c_str(), &path) &&
                       picture.LoadFromFile(path.c_str());
    if ((view->IsFullScreen() != FALSE) != m_fullScreen) {
        view->SetFullScreen(m_fullScreen, UserInterface::kNoRedraw);
    }
    view->SetPicture(shown ? &picture : nullptr, MapTypeText(m_current.GetMapType()).c_str(), m_ready);
}

CSwitchControl* CMapsDlg::Header() const {
    return GetLayout() != nullptr ? static_cast<CSwitchControl*>(GetLayout()->FindControl(kHeaderId)) : nullptr;
}

CMapViewControl* CMapsDlg::MapView() const {
    return GetLayout() != nullptr ? static_cast<CMapViewControl*>(GetLayout()->FindControl(kMapViewId)) : nullptr;
}

// ---- commands -------------------------------------------------------------------------------------------

BOOL CMapsDlg::OnDialogCommand(int id, int code, HWND window) {
    switch (id) {
        case IDOK:
        case kCmdBack: EndDialog(IDOK); return TRUE;
        case kCmdDayForecast:
        case kCmdCityList:
        case kCmdCurrentCondition:
        case kCmdHourlyForecast: EndDialog(id); return TRUE;
        case kCmdUpdateMap: RequestMap(); return TRUE;
        case kCmdFullScreen: SetFullScreen(true); return TRUE;
        case kCmdSelectRegion: SelectRegion(); return TRUE;
        default: return CAppBasicDialog::OnDialogCommand(id, code, window);
    }
}

void CMapsDlg::RequestMap() {
    LPCWSTR id = m_current.GetId().c_str();
    if (g_pMapsUpdater != nullptr && !g_pMapsUpdater->IsQueued(id)) {
        g_pMapsUpdater->QueueMap(id);
    }
}

LRESULT CMapsDlg::OnControlNotify(CDlgControl* control, int code, LPARAM a, LPARAM b) {
    switch (control != nullptr ? control->GetId() : -1) {
        case kHeaderId:
            if (code == CSwitchControl::kNotifyPrevious || code == CSwitchControl::kNotifyNext) {
                StepMapType(code == CSwitchControl::kNotifyNext ? 1 : -1, UserInterface::kAnimate);
                return 1;
            }
            break;
        case kMapViewId:
            if (code == CMapViewControl::kNotifyEnterFullScreen || code == CMapViewControl::kNotifyLeaveFullScreen) {
                SetFullScreen(code == CMapViewControl::kNotifyEnterFullScreen);
                return 1;
            }
            break;
        case kToolbarId:
            if (code == CToolBarControl::kNotifyCommand) {
                // Run after the toolbar has finished with its pen message.
                PostMessageW(m_hWnd, WM_COMMAND, static_cast<WPARAM>(b), 0);
                return 1;
            }
            break;
        default: break;
    }
    return CAppBasicDialog::OnControlNotify(control, code, a, b);
}

// ---- the updater's news ---------------------------------------------------------------------------------

// On the updater's worker: the window does the work on its own thread.
int CMapsDlg::OnMapsUpdaterEvent(INT_PTR status, INT_PTR second, INT_PTR, INT_PTR, INT_PTR, INT_PTR context) {
    const LPARAM result = status == CMapsUpdater::kStatusFailed ? static_cast<LPARAM>(second) : 0;
    PostMessageW(reinterpret_cast<HWND>(context), WMU_MAP_EVENT, static_cast<WPARAM>(status), result);
    return 0;
}

BOOL CMapsDlg::OnMessage(UINT message, WPARAM wParam, LPARAM lParam) {
    if (message != WMU_MAP_EVENT) {
        return CAppBasicDialog::OnMessage(message, wParam, lParam);
    }
    OnMapEvent(static_cast<int>(wParam), static_cast<int>(lParam));
    return TRUE;
}

void CMapsDlg::OnMapEvent(int status, int result) {
    if (!m_ready) {
        return;
    }
    if (status == CMapsUpdater::kStatusQueued) {
        RefreshHeader();
        return;
    }
    Refresh(static_cast<DWORD>(-1));
    if (status == CMapsUpdater::kStatusFailed) {
        CForecastUpdater::ShowResultMessage(this, this, result, 0, nullptr);
    }
}

// ---- map type and region --------------------------------------------------------------------------------

bool CMapsDlg::StepMapType(int step, bool animate) {
    const LONGLONG type = static_cast<LONGLONG>(m_current.GetMapType()) + step;
    if (step == 0 || type < kSatellite || type > kSurfaceAnalysis) {
        return false;
    }
    const DWORD language = GetSettings().language;
    CMapDBRecord found;
    LPCWSTR name = NameOf(m_current);
    bool ok = name != nullptr && m_db.FindRecordByName(name, language, static_cast<uint32_t>(type), &found);
    CMapDBRecord region;
    if (!ok && m_db.FindParentRecord(m_current.GetId().c_str(), &region)) {
        name = NameOf(region);
        ok = name != nullptr && m_db.FindRecordByName(name, language, static_cast<uint32_t>(type), &found);
    }
    return ok && MakeCurrent(found, animate, step > 0);
}

bool CMapsDlg::ShowMap(LPCWSTR id, bool animate) {
    CMapDBRecord map;
    return id != nullptr && m_db.FindRecord(id, &map) && MakeCurrent(map, animate, kSlideFromRight);
}

bool CMapsDlg::MakeCurrent(const CMapDBRecord& map, bool animate, bool fromRight) {
    CBitmapDC oldPicture;
    HBITMAP shown = animate && m_ready && !m_fullScreen ? CaptureScreen() : nullptr;
    if (shown != nullptr && oldPicture.Create(GetClientWidth(), GetClientHeight(), 16)) {
        HDC source = CreateCompatibleDC(oldPicture.DC());
        HGDIOBJ old = SelectObject(source, shown);
        BitBlt(oldPicture.DC(), 0, 0, GetClientWidth(), GetClientHeight(), source, 0, 0, SRCCOPY);
        SelectObject(source, old);
        DeleteDC(source);
    }
    m_current = map;
    const bool ready = m_ready;
    m_ready = false;
    Refresh(static_cast<DWORD>(-1));
    m_ready = ready;
    if (oldPicture.IsValid()) {
        SlideIn(oldPicture.DC(), fromRight);
    }
    Redraw(kKeepBackground);
    if (CMapViewControl* view = MapView()) {
        view->StartTitleAnimation();
    }
    return true;
}

// The new screen pushes the old one out: from the right when the type grows, from the left otherwise.
void CMapsDlg::SlideIn(HDC oldPicture, bool fromRight) {
    HBITMAP fresh = CaptureScreen();
    HDC screen = GetDC();
    const int width = GetClientWidth();
    const int height = GetClientHeight();
    HDC freshDC = screen != nullptr && fresh != nullptr ? CreateCompatibleDC(screen) : nullptr;
    if (freshDC == nullptr) {
        if (screen != nullptr) {
            ReleaseDC(screen);
        }
        return;
    }
    HGDIOBJ old = SelectObject(freshDC, fresh);
    const DWORD start = GetTickCount();
    for (int offset = 0; offset < width;) {
        offset = static_cast<int>(std::min<ULONGLONG>(width, ULONGLONG{GetTickCount() - start} * width / kSlideMs));
        const int oldX = fromRight ? -offset : offset;
        const int newX = fromRight ? width - offset : offset - width;
        BitBlt(screen, oldX, 0, width, height, oldPicture, 0, 0, SRCCOPY);
        BitBlt(screen, newX, 0, width, height, freshDC, 0, 0, SRCCOPY);
        if (offset < width) {
            Sleep(1);  // lets the clock move
        }
    }
    SelectObject(freshDC, old);
    DeleteDC(freshDC);
    ReleaseDC(screen);
}

namespace {

// Case-blind by name, a record without a name first; the records follow their names.
void SortChoice(CMapsDlg::Choice* choice, LPCWSTR currentId) {
    std::vector<size_t> order(choice->names.size());
    for (size_t i = 0; i < order.size(); ++i) {
        order[i] = i;
    }
    std::stable_sort(order.begin(), order.end(), [&](size_t a, size_t b) {
        return _wcsicmp(choice->names[a].c_str(), choice->names[b].c_str()) < 0;
    });
    CMapsDlg::Choice sorted;
    for (size_t i : order) {
        sorted.names.push_back(choice->names[i]);
        sorted.records.push_back(choice->records[i]);
        if (currentId != nullptr && choice->records[i].GetId() == currentId) {
            sorted.preselected = static_cast<int>(sorted.records.size()) - 1;
        }
    }
    *choice = std::move(sorted);
}

void AddToChoice(CMapsDlg::Choice* choice, const CMapDBRecord& record, LPCWSTR name) {
    choice->names.push_back(name != nullptr ? name : u"");
    choice->records.push_back(record);
}

}  // namespace

CMapsDlg::Choice CMapsDlg::GetRegionChoice() const {
    Choice choice;
    std::vector<CMapDBRecord> regions;
    m_db.GetRegions(&regions);
    for (const CMapDBRecord& region : regions) {
        if (region.GetMapType() == m_current.GetMapType()) {
            AddToChoice(&choice, region, NameOf(region));
        }
    }
    CMapDBRecord parent;
    const bool inRegion = m_db.FindParentRecord(m_current.GetId().c_str(), &parent);
    SortChoice(&choice, inRegion ? parent.GetId().c_str() : m_current.GetId().c_str());
    return choice;
}

CMapsDlg::Choice CMapsDlg::GetMapChoice(const CMapDBRecord& region) const {
    Choice choice;
    AddToChoice(&choice, region, NameOf(region));
    for (const auto& [id, map] : region.GetChildren()) {
        AddToChoice(&choice, map, NameOf(map));
    }
    SortChoice(&choice, m_current.GetId().c_str());
    return choice;
}

void CMapsDlg::SelectRegion() {
    const Choice regions = GetRegionChoice();
    int row = ChooseFrom(regions);
    if (row < 0 || row >= static_cast<int>(regions.records.size())) {
        return;
    }
    CMapDBRecord chosen = regions.records[static_cast<size_t>(row)];
    if (!chosen.GetChildren().empty()) {
        const Choice maps = GetMapChoice(chosen);
        row = ChooseFrom(maps);
        if (row < 0 || row >= static_cast<int>(maps.records.size())) {
            return;
        }
        chosen = maps.records[static_cast<size_t>(row)];
    }
    MakeCurrent(chosen, UserInterface::kAnimate, kSlideFromRight);
}

int CMapsDlg::ChooseFrom(const Choice& choice) {
    LPCWSTR caption = LoadLocalizedString("IDS_SELECT_REGION");
    const std::u16string title = caption != nullptr ? caption : u"";
    int chosen = choice.preselected;
    CSelectFromListDlg picker;
    return picker.Run(this, title.c_str(), &choice.names, &chosen) == IDOK ? chosen : -1;
}

// ---- full screen ----------------------------------------------------------------------------------------

bool CMapsDlg::SetFullScreen(bool on) {
    UserInterface::CDlgLayout* layout = GetLayout();
    CMapViewControl* view = MapView();
    if (on == m_fullScreen || layout == nullptr || view == nullptr) {
        return on == m_fullScreen;
    }
    if (on && !IsSmartphone() && layout->FindControl(kToolbarId) == nullptr) {
        return false;
    }
    m_fullScreen = on;
    SHFullScreen(m_hWnd, on ? kFullScreenParts : kNormalParts);
    if (m_hMenuBar != nullptr) {
        ShowWindow(m_hMenuBar, on ? SW_HIDE : SW_SHOW);
    }
    for (int id : {kHeaderId, kSeparatorId, kToolbarId}) {
        if (CDlgControl* control = layout->FindControl(id)) {
            control->SetVisible(!on, UserInterface::kNoRedraw);
        }
    }
    view->SetFullScreen(on, UserInterface::kNoRedraw);
    // The view takes keys only with the focus: in full screen the arrows pan and Enter leaves.
    if (on) {
        SetFocusControl(view, UserInterface::kKeepScrollPosition);
    }
    PlaceWindow();
    RecalcLayout();
    Redraw(kKeepBackground);
    return true;
}

// Full screen covers the whole screen right behind the task bar; the normal view the work area between
// the task bar and the menu bar.
void CMapsDlg::PlaceWindow() {
    if (m_fullScreen) {
        const int width = g_pSysInfo != nullptr ? g_pSysInfo->GetScreenWidth() : GetClientWidth();
        const int height = g_pSysInfo != nullptr ? g_pSysInfo->GetScreenHeight() : GetClientHeight();
        HWND taskBar = FindWindowW(u"HHTaskbar", nullptr);
        SetWindowPos(m_hWnd, taskBar != nullptr ? taskBar : HWND_TOP, 0, 0, width, height, 0);
        return;
    }
    RECT area{};
    if (SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0)) {
        SetWindowPos(m_hWnd, nullptr, area.left, area.top, RectWidth(area), RectHeight(area), SWP_NOZORDER);
    }
}

// ---- keys and pen ---------------------------------------------------------------------------------------

LRESULT CMapsDlg::OnGetDlgCode(UINT key) {
    const bool wanted = key == VK_RETURN || key == VK_ESCAPE || key == VK_LEFT || key == VK_RIGHT || key == VK_UP ||
                        key == VK_DOWN;
    return wanted ? DLGC_WANTALLKEYS : CAppBasicDialog::OnGetDlgCode(key);
}

BOOL CMapsDlg::OnKey(UINT key, BOOL down) {
    if (!m_fullScreen) {
        if (key == VK_RETURN) {
            if (down) {
                SetFullScreen(true);
            }
            return TRUE;
        }
        if (key == VK_ESCAPE) {
            return TRUE;
        }
        CSwitchControl* header = Header();
        return header != nullptr &&
               header->SendMessage(down ? CDlgControl::kMsgKeyDown : CDlgControl::kMsgKeyUp, 0, key) != 0;
    }
    if (key == VK_ESCAPE) {
        if (!down) {
            SetFullScreen(false);
        }
        return TRUE;
    }
    CMapViewControl* view = MapView();
    return view != nullptr && view->SendMessage(down ? CDlgControl::kMsgKeyDown : CDlgControl::kMsgKeyUp, 0, key) != 0;
}

// The released Back key leaves full screen, and in the normal view acts as the Back command.
BOOL CMapsDlg::OnBackKey(WPARAM, LPARAM lParam) {
    if (!(LOWORD(lParam) & MOD_KEYUP)) {
        return TRUE;
    }
    if (m_fullScreen) {
        SetFullScreen(false);
        return TRUE;
    }
    return OnDialogCommand(kCmdBack, 0, nullptr);
}

BOOL CMapsDlg::OnLButtonDown(int x, int y) {
    m_penDown = POINT{x, y};
    m_penDownHere = true;
    m_swiped = false;
    return CAppBasicDialog::OnLButtonDown(x, y);
}

// A horizontal stroke steps the type once per touch: to the left the next type, to the right the previous.
BOOL CMapsDlg::OnMouseMove(int x, int y) {
    MSG queued;
    while (PeekMessageW(&queued, m_hWnd, WM_MOUSEMOVE, WM_MOUSEMOVE, PM_REMOVE)) {
        const POINT point = PointFromLParam(queued.lParam);
        x = point.x;
        y = point.y;
    }
    const BOOL handled = CAppBasicDialog::OnMouseMove(x, y);
    const int moved = x - m_penDown.x;
    if (!m_fullScreen && m_penDownHere && !m_swiped && std::abs(moved) > CSysInfo::Scale(kSwipeDistance)) {
        m_swiped = true;
        StepMapType(moved < 0 ? 1 : -1, UserInterface::kAnimate);
    }
    return handled;
}

BOOL CMapsDlg::OnLButtonUp(int x, int y) {
    m_penDownHere = false;
    return CAppBasicDialog::OnLButtonUp(x, y);
}

// ---- layout ---------------------------------------------------------------------------------------------

void CMapsDlg::CMapsDlgLayout::Arrange() {
    RECT view = GetView();
    InflateRect(&view, -GetMargin(), -GetMargin());
    CDlgControl* header = FindControl(kHeaderId);
    CDlgControl* map = FindControl(kMapViewId);
    CDlgControl* toolbar = FindControl(kToolbarId);
    const auto place = [](CDlgControl* control, const RECT& rect) {
        if (control != nullptr) {
            control->Move(rect.left, rect.top, RectWidth(rect), RectHeight(rect), UserInterface::kNoRedraw);
        }
    };
    if (header != nullptr && !header->IsVisible()) {
        place(map, view);
        return;
    }
    const bool portrait = g_pSysInfo == nullptr || g_pSysInfo->IsPortrait();
    const CMainWindowLayout::Bands bands = CMainWindowLayout::ComputeBands(view, toolbar != nullptr, portrait);
    place(toolbar, bands.toolbar);
    place(header, bands.switchBand);
    place(FindControl(kSeparatorId), bands.separator);
    place(map, bands.graph);
    if (CToolBarControl* bar = static_cast<CToolBarControl*>(toolbar)) {
        bar->SetOrientation(portrait ? CToolBarControl::kHorizontal : CToolBarControl::kVertical,
                            UserInterface::kNoRedraw);
    }
}

int CMapsDlg::CMapsDlgLayout::GetContentHeight() const { return RectHeight(GetView()); }
