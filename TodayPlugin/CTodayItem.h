// The Today item: a child window of the Today screen that shows one city of the user's list in one of
// four layouts, steps through the cities by taps on the title bar's arrows and by keys, starts the
// program on a tap elsewhere, offers a menu on tap-and-hold, and reloads when the program signals the
// named event "Skyvane_UpdateTodayPlugin" (its thread only waits and posts; the window does the work).
#pragma once

#include <memory>
#include <vector>

#include "CTodayLayout.h"
#include "Weather/CCityList.h"
#include "ce/shell.h"

class CTodayItem {
public:
    static constexpr LPCWSTR kClassName = u"__SkyvaneToday";
    static constexpr LPCWSTR kReloadEventName = u"Skyvane_UpdateTodayPlugin";
    static constexpr UINT WMU_TODAY_RELOAD = WM_USER + 1;

    // What a signal names; the item reloads its settings, texts, cities and forecasts on any.
    static constexpr DWORD kReloadForecasts = 0;
    static constexpr DWORD kReloadCities = 1;
    static constexpr DWORD kReloadLanguage = 2;
    static constexpr DWORD kReloadSettings = 3;

    // The layouts by "TodayPluginMode"; other values draw only the background.
    static constexpr DWORD kDaysLarge = 0;
    static constexpr DWORD kDaysSmall = 1;
    static constexpr DWORD kPartsLarge = 3;
    static constexpr DWORD kPartsSmall = 4;

    // The menu's commands.
    static constexpr UINT kCommandUpdate = 3000;
    static constexpr UINT kCommandLargeIcons = 3001;
    static constexpr UINT kCommandDetailed = 3002;
    static constexpr UINT kCommandFiveDays = 3003;

    // Loads the cities and creates the item's window on the Today screen; null when the list cannot be
    // loaded or the window cannot be made (the item is then gone).
    static HWND Create(HINSTANCE instance, HWND parent);
    static void UnregisterWindowClass(HINSTANCE instance);

    virtual ~CTodayItem();

    // The item's height for the current layout.
    static int ComputeHeight();
    // Tells every Today item (in any process) to reload: sets the named event with the data.
    static void SignalReload(DWORD data);
    // The layout after a menu choice.
    static DWORD LayoutAfterCommand(DWORD layout, UINT command);
    static void DrawTitleBar(HDC dc, const RECT& rect, LPCWSTR cityName, bool showLeft, bool showRight);
    // The layout's fonts and lengths.
    static TodayLayoutMetrics MetricsFor(DWORD layout);

private:
    CTodayItem();
    bool LoadCities();
    bool StartRefreshThread();
    void StopRefreshThread();
    static DWORD WINAPI WatchTodayReloadEvent(LPVOID parameter);
    void WatchReloadEvent();

    static LRESULT CALLBACK WindowProcedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    LRESULT Handle(UINT message, WPARAM wParam, LPARAM lParam);
    void Paint();
    HDC GetBufferDC(HDC paintDC, int width, int height);
    void DrawItem(HDC dc, const RECT& client);
    void OnTap(POINT point);
    void OnTapDown(POINT point);
    void StepCity(int step);
    void Reload();
    void ShowContextMenu();
    void FollowParentWidth();
    COLORREF HostColor(DWORD which) const;

    bool m_selected = false;
    HWND m_window = nullptr;
    HBITMAP m_cachedBitmap = nullptr;
    SIZE m_cachedSize{};
    std::unique_ptr<CCityList> m_cities;
    int m_currentCity = 0;
    HANDLE m_refreshThread = nullptr;
    HANDLE m_stopEvent = nullptr;
};
