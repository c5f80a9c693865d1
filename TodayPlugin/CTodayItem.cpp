#include "CTodayItem.h"

#include <algorithm>

#include "CGdiFactory.h"
#include "CLocalization.h"
#include "CPluginSettings.h"
#include "CSysInfo.h"
#include "DawnletServices.h"
#include "MainProgramStarter.h"
#include "RectHelpers.h"
#include "ThreadJoin.h"
#include "Weather/GlobalServices.h"

namespace {

// The system colour index 1 with its flag, as the Today screen's own items register it.
const HBRUSH kClassBrush = reinterpret_cast<HBRUSH>(static_cast<INT_PTR>(0x40000001));

struct LayoutFonts {
    int label;
    int temperature;
    int title;
};

LayoutFonts FontsFor(DWORD layout) {
    switch (layout) {
    case CTodayItem::kDaysLarge:
        return {g_pSysInfo != nullptr && g_pSysInfo->IsSquareScreen() ? 15 : 13, 13, 13};
    case CTodayItem::kPartsLarge:
        return {15, 13, 13};
    case CTodayItem::kPartsSmall:
        return {14, 12, 12};
    case CTodayItem::kDaysSmall:
    default:
        return {12, 12, 12};
    }
}

HFONT Font(int size) {
    return g_pGdiFactory->GetFont(size, DawnletServices::ClearType(), CGdiFactory::kRegular,
                                  CGdiFactory::kNoUnderline);
}

DWORD Layout() { return DawnletServices::Settings().mode; }

}  // namespace

CTodayItem::CTodayItem() = default;

CTodayItem::~CTodayItem() {
    if (m_cachedBitmap != nullptr) {
        DeleteObject(m_cachedBitmap);
    }
    if (m_stopEvent != nullptr) {
        CloseHandle(m_stopEvent);
    }
}

HWND CTodayItem::Create(HINSTANCE instance, HWND parent) {
    std::unique_ptr<CTodayItem> item(new CTodayItem());
    if (!item->LoadCities()) {
        return nullptr;
    }
    g_pSysInfo->UpdateScreenSize();
    g_pSysInfo->ReadThemeColor();
    WNDCLASSW existing{};
    if (!GetClassInfoW(instance, kClassName, &existing)) {
        WNDCLASSW info{};
        info.style = CS_HREDRAW | CS_VREDRAW;
        info.lpfnWndProc = WindowProcedure;
        info.hInstance = instance;
        info.hbrBackground = kClassBrush;
        info.lpszClassName = kClassName;
        if (RegisterClassW(&info) == 0) {
            return nullptr;
        }
    }
    // The window owns the item once it is made; until then (and when it is not made) this does.
    HWND window = CreateWindowExW(0, kClassName, u"", WS_CHILD | WS_VISIBLE, 0, 0, 10, 10, parent, nullptr,
                                  instance, item.get());
    if (window != nullptr) {
        item.release();
    }
    return window;
}

void CTodayItem::UnregisterWindowClass(HINSTANCE instance) { UnregisterClassW(kClassName, instance); }

bool CTodayItem::LoadCities() {
    int home = 0;
    std::unique_ptr<CCityList> cities = DawnletServices::LoadCities(&home);
    if (cities == nullptr) {
        return false;
    }
    m_currentCity = home;
    m_cities = std::move(cities);
    return true;
}

// ---- the refresh thread ------------------------------------------------------------------------------

bool CTodayItem::StartRefreshThread() {
    m_stopEvent = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    if (m_stopEvent == nullptr) {
        return false;
    }
    m_refreshThread = CreateThread(nullptr, 0, WatchTodayReloadEvent, this, 0, nullptr);
    return m_refreshThread != nullptr;
}

// The starter asks the thread to end, waits for it and only then lets its handle go.
void CTodayItem::StopRefreshThread() { StopAndJoinThread(&m_refreshThread, m_stopEvent); }

DWORD WINAPI CTodayItem::WatchTodayReloadEvent(LPVOID parameter) {
    static_cast<CTodayItem*>(parameter)->WatchReloadEvent();
    return 0;
}

void CTodayItem::WatchReloadEvent() {
    HANDLE reload = CreateEventW(nullptr, FALSE, FALSE, kReloadEventName);
    if (reload == nullptr) {
        WaitForSingleObject(m_stopEvent, INFINITE);
        return;
    }
    const HANDLE events[2] = {m_stopEvent, reload};
    while (WaitForMultipleObjects(2, events, FALSE, INFINITE) == WAIT_OBJECT_0 + 1) {
        PostMessageW(m_window, WMU_TODAY_RELOAD, GetEventData(reload), 0);
    }
    CloseHandle(reload);
}

void CTodayItem::SignalReload(DWORD data) {
    HANDLE event = CreateEventW(nullptr, FALSE, FALSE, kReloadEventName);
    if (event == nullptr) {
        return;
    }
    SetEventData(event, data);
    SetEvent(event);
    CloseHandle(event);
}

// ---- the window --------------------------------------------------------------------------------------

LRESULT CALLBACK CTodayItem::WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    if (message == WM_CREATE) {
        auto* item = static_cast<CTodayItem*>(reinterpret_cast<CREATESTRUCTW*>(lParam)->lpCreateParams);
        item->m_window = window;
        SetWindowLongW(window, GWL_USERDATA, reinterpret_cast<LONG_PTR>(item));
        if (!item->StartRefreshThread()) {
            SetWindowLongW(window, GWL_USERDATA, 0);
            return -1;
        }
        return 0;
    }
    auto* item = reinterpret_cast<CTodayItem*>(GetWindowLongW(window, GWL_USERDATA));
    if (item == nullptr) {
        return DefWindowProcW(window, message, wParam, lParam);
    }
    if (message == WM_DESTROY) {
        item->StopRefreshThread();
        SetWindowLongW(window, GWL_USERDATA, 0);
        delete item;
        return 0;
    }
    return item->Handle(message, wParam, lParam);
}

LRESULT CTodayItem::Handle(UINT message, WPARAM wParam, LPARAM lParam) {
    switch (message) {
    case WM_PAINT:
        Paint();
        return 0;
    case WM_ERASEBKGND:
        return 1;
    case WM_WINDOWPOSCHANGED:
        FollowParentWidth();
        break;
    case WM_NOTIFY:
        if (reinterpret_cast<NMHDR*>(lParam) != nullptr && reinterpret_cast<NMHDR*>(lParam)->code == GN_CONTEXTMENU) {
            ShowContextMenu();
        }
        return 0;
    case WM_LBUTTONDOWN:
        OnTapDown(PointFromLParam(lParam));
        return 0;
    case WM_LBUTTONUP:
        OnTap(PointFromLParam(lParam));
        return 0;
    case WMU_TODAY_RELOAD:
        Reload();
        return 0;
    case WM_TODAYCUSTOM_CLEARCACHE:
        return 0;
    case WM_TODAYCUSTOM_QUERYREFRESHCACHE: {
        auto* record = reinterpret_cast<TODAYLISTITEM*>(wParam);
        const DWORD height = static_cast<DWORD>(ComputeHeight());
        if (record == nullptr || record->cyp == height) {
            return 0;
        }
        record->cyp = height;
        return 1;
    }
    case WM_TODAYCUSTOM_RECEIVEDSELECTION:
        m_selected = true;
        return 1;
    case WM_TODAYCUSTOM_LOSTSELECTION:
        m_selected = false;
        return 0;
    case WM_TODAYCUSTOM_USERNAVIGATION:
        if (wParam == VK_LEFT || wParam == VK_RIGHT) {
            StepCity(wParam == VK_LEFT ? -1 : 1);
        }
        return 0;
    case WM_TODAYCUSTOM_ACTION:
        MainProgramStarter::StartMainProgram(m_currentCity);
        return 0;
    default:
        break;
    }
    return DefWindowProcW(m_window, message, wParam, lParam);
}

void CTodayItem::FollowParentWidth() {
    RECT parent{};
    RECT own{};
    if (!GetClientRect(GetParent(m_window), &parent) || !GetClientRect(m_window, &own)) {
        return;
    }
    if (RectWidth(parent) != RectWidth(own)) {
        SetWindowPos(m_window, nullptr, 0, 0, RectWidth(parent), RectHeight(own),
                     SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

// ---- input -------------------------------------------------------------------------------------------

void CTodayItem::OnTapDown(POINT point) {
    SendMessageW(GetParent(m_window), TODAYM_TOOKSELECTION, reinterpret_cast<WPARAM>(m_window), 0);
    m_selected = true;
    SHRGINFO gesture{};
    gesture.cbSize = sizeof(gesture);
    gesture.hwndClient = m_window;
    gesture.ptDown = point;
    SHRecognizeGesture(&gesture);
}

void CTodayItem::OnTap(POINT point) {
    RECT client{};
    GetClientRect(m_window, &client);
    const int width = RectWidth(client);
    const int zoneLeft = client.left + (width / 5) * 3;
    const int titleHeight = MetricsFor(Layout()).titleHeight;
    if (point.x >= zoneLeft && point.x < client.right && point.y >= client.top && point.y < client.top + titleHeight) {
        StepCity(point.x < (zoneLeft + client.right) / 2 ? -1 : 1);
        return;
    }
    MainProgramStarter::StartMainProgram(m_currentCity);
}

void CTodayItem::StepCity(int step) {
    const int last = m_cities->GetCount() - 1;
    const int index = std::max(0, std::min(m_currentCity + step, last));
    if (index == m_currentCity) {
        return;
    }
    m_currentCity = index;
    InvalidateRect(m_window, nullptr, FALSE);
    UpdateWindow(m_window);
}

DWORD CTodayItem::LayoutAfterCommand(DWORD layout, UINT command) {
    bool parts = layout == kPartsLarge || layout == kPartsSmall;
    bool large = layout == kDaysLarge || layout == kPartsLarge;
    switch (command) {
    case kCommandLargeIcons:
        large = !large;
        break;
    case kCommandDetailed:
        parts = true;
        break;
    case kCommandFiveDays:
        parts = false;
        break;
    default:
        return layout;
    }
    if (parts) {
        return large ? kPartsLarge : kPartsSmall;
    }
    return large ? kDaysLarge : kDaysSmall;
}

void CTodayItem::ShowContextMenu() {
    const DWORD layout = Layout();
    const bool parts = layout == kPartsLarge || layout == kPartsSmall;
    const bool days = layout == kDaysLarge || layout == kDaysSmall;
    const bool large = layout == kDaysLarge || layout == kPartsLarge;
    HMENU menu = CreatePopupMenu();
    if (menu == nullptr) {
        return;
    }
    auto text = [](const char* key) {
        LPCWSTR localized = LoadLocalizedString(key);
        return std::u16string(localized != nullptr ? localized : u"");
    };
    AppendMenuW(menu, MF_STRING, kCommandUpdate, text("IDS_CAP_UPDATE_FORECAST").c_str());
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING | (parts ? MF_CHECKED : 0), kCommandDetailed, text("IDS_DETAILED").c_str());
    AppendMenuW(menu, MF_STRING | (days ? MF_CHECKED : 0), kCommandFiveDays, text("IDS_5DAYS").c_str());
    AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    AppendMenuW(menu, MF_STRING | (large ? MF_CHECKED : 0), kCommandLargeIcons, text("IDS_USE_LARGE_ICONS").c_str());
    const POINT position = PointFromLParam(GetMessagePos());
    const UINT command =
        static_cast<UINT>(TrackPopupMenuEx(menu, TPM_RETURNCMD, position.x, position.y, m_window, nullptr));
    DestroyMenu(menu);
    if (command == kCommandUpdate) {
        MainProgramStarter::StartSilentUpdate();
        return;
    }
    if (command != kCommandLargeIcons && command != kCommandDetailed && command != kCommandFiveDays) {
        return;
    }
    DawnletServices::Settings().mode = LayoutAfterCommand(layout, command);
    DawnletServices::SaveSettings();
    SignalReload(kReloadSettings);
}

// ---- reloads -----------------------------------------------------------------------------------------

// The event keeps only the last signal's data: two quick signals (a language, then the city list) must
// not leave the first one undone, so every signal reads everything again.
void CTodayItem::Reload() {
    DawnletServices::ReloadSettings(true);
    const int current = m_currentCity;
    if (LoadCities()) {  // else the old list stays
        m_currentCity = std::max(0, std::min(current, m_cities->GetCount() - 1));
    }
    InvalidateRect(m_window, nullptr, TRUE);
    UpdateWindow(m_window);
}

// ---- painting ----------------------------------------------------------------------------------------

TodayLayoutMetrics CTodayItem::MetricsFor(DWORD layout) {
    const LayoutFonts sizes = FontsFor(layout);
    TodayLayoutMetrics metrics;
    metrics.labelFont = Font(sizes.label);
    metrics.temperatureFont = Font(sizes.temperature);
    metrics.titleFont = Font(sizes.title);
    metrics.titleHeight = g_pGdiFactory->GetFontHeight(sizes.title) + 2 * CSysInfo::Scale(1);
    metrics.labelHeight = g_pGdiFactory->GetFontHeight(sizes.label);
    metrics.temperatureHeight = g_pGdiFactory->GetFontHeight(sizes.temperature);
    metrics.smallPictures = layout == kDaysSmall || layout == kPartsSmall;
    metrics.pictureHeight = CSysInfo::Scale(metrics.smallPictures ? 20 : 44);
    return metrics;
}

int CTodayItem::ComputeHeight() {
    const DWORD layout = Layout();
    const TodayLayoutMetrics metrics = MetricsFor(layout);
    const int band = CTodayLayout::BandHeight(metrics);
    if (layout == kDaysLarge || layout == kPartsLarge) {
        return g_pGdiFactory->GetFontHeight(13) + band + CSysInfo::Scale(44) +
               CTodayLayout::ExtraHeight(metrics, layout == kDaysLarge);
    }
    return band + CSysInfo::Scale(1) + std::max(2 * g_pGdiFactory->GetFontHeight(12), CSysInfo::Scale(20));
}

void CTodayItem::DrawTitleBar(HDC dc, const RECT& rect, LPCWSTR cityName, bool showLeft, bool showRight) {
    CTodayLayout::DrawTitleBar(dc, rect, TitleBarInfo{cityName, showLeft, showRight}, MetricsFor(Layout()).titleFont);
}

COLORREF CTodayItem::HostColor(DWORD which) const {
    return static_cast<COLORREF>(SendMessageW(GetParent(m_window), TODAYM_GETCOLOR, which, 0));
}

HDC CTodayItem::GetBufferDC(HDC paintDC, int width, int height) {
    if (m_cachedBitmap == nullptr || m_cachedSize.cx != width || m_cachedSize.cy != height) {
        if (m_cachedBitmap != nullptr) {
            DeleteObject(m_cachedBitmap);
        }
        m_cachedBitmap = CreateCompatibleBitmap(paintDC, width, height);
        m_cachedSize = SIZE{width, height};
    }
    if (m_cachedBitmap == nullptr) {
        return nullptr;
    }
    HDC memory = CreateCompatibleDC(paintDC);
    if (memory != nullptr) {
        SelectObject(memory, m_cachedBitmap);
    }
    return memory;
}

void CTodayItem::Paint() {
    PAINTSTRUCT paint;
    HDC dc = BeginPaint(m_window, &paint);
    RECT client{};
    GetClientRect(m_window, &client);
    HDC memory = GetBufferDC(dc, RectWidth(client), RectHeight(client));
    if (memory != nullptr) {
        DrawItem(memory, client);
        BitBlt(dc, 0, 0, RectWidth(client), RectHeight(client), memory, 0, 0, SRCCOPY);
        DeleteDC(memory);
    }
    EndPaint(m_window, &paint);
}

void CTodayItem::DrawItem(HDC dc, const RECT& client) {
    SetTextColor(dc, HostColor(m_selected ? TODAYCOLOR_HIGHLIGHTEDTEXT : TODAYCOLOR_TEXT));
    SetBkMode(dc, TRANSPARENT);
    if (m_selected) {
        HBRUSH brush = CreateSolidBrush(HostColor(TODAYCOLOR_HIGHLIGHT));
        FillRect(dc, &client, brush);
        DeleteObject(brush);
    } else {
        TODAYDRAWWATERMARKINFO watermark{dc, client, m_window};
        SendMessageW(GetParent(m_window), TODAYM_DRAWWATERMARK, 0, reinterpret_cast<LPARAM>(&watermark));
    }
    CCity city;
    if (!m_cities->GetCity(m_currentCity, &city)) {
        CTodayLayout::DrawNoForecast(dc, client);
        return;
    }
    const DWORD layout = Layout();
    const bool days = layout == kDaysLarge || layout == kDaysSmall;
    if (!days && layout != kPartsLarge && layout != kPartsSmall) {
        return;
    }
    SYSTEMTIME now{};
    GetLocalTime(&now);
    const DWORD degreeType = DawnletServices::Settings().degreeType;
    const std::vector<TodayColumn> columns =
        days ? CTodayRows::FiveDays(city, now, degreeType) : CTodayRows::DayParts(city, now, degreeType);
    const TitleBarInfo title{city.GetName(), m_currentCity >= 1, m_currentCity < m_cities->GetCount() - 1};
    CTodayLayout::Draw(dc, client, columns, MetricsFor(layout), title);
}
