// The main program's side of the Today item on a Pocket PC: registers the item with the Today screen,
// removes it, and tells the running item to reload through a named event with event data.
#pragma once

#include "ce/kernel.h"

class CTodayPlugin {
public:
    static constexpr LPCWSTR kEventName = u"Skyvane_UpdateTodayPlugin";
    static constexpr LPCWSTR kItemKey = u"Software\\Microsoft\\Today\\Items\\Skyvane";
    static constexpr LPCWSTR kLibraryPath = u"%WINDOWS%\\Dawnlet.dll";
    // wParam of WM_SETTINGCHANGE that makes the Today screen re-read its items.
    static constexpr WPARAM kTodayItemsChanged = 242;

    // The event data: what the item reloads.
    enum ReloadData : DWORD {
        TODAY_RELOAD_FORECASTS = 0,
        TODAY_RELOAD_CITIES = 1,
        TODAY_RELOAD_LANGUAGE = 2,
        TODAY_RELOAD_SETTINGS = 3,
    };

    CTodayPlugin();
    CTodayPlugin(const CTodayPlugin&) = delete;
    CTodayPlugin& operator=(const CTodayPlugin&) = delete;
    virtual ~CTodayPlugin();

    // A later notify before the item wakes replaces the earlier data: the event carries one value.
    void Notify(DWORD data);
    // 1 when every value of the item's entry was written; the Today screen is told either way.
    int Install();
    // 1 when the item's entry is gone afterwards.
    int Remove();

private:
    HANDLE m_event;
};
