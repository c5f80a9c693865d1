// Carries the forecast updater's news from its worker thread to a screen's own thread: the listener
// only posts a message to the window, which then does the work itself. Detaching waits for a listener
// call under way, so that nothing is posted to a window that is going.
#pragma once

#include <atomic>
#include <string>

#include "CDelegate.h"
#include "ce/types.h"

class CForecastUpdater;

class CForecastEventRelay {
public:
    // wParam of the posted message: the status, with this bit when it was the last listener's call.
    static constexpr WPARAM kLastListener = 0x100;
    static constexpr WPARAM kStatusMask = 0xFF;

    CForecastEventRelay();
    CForecastEventRelay(const CForecastEventRelay&) = delete;
    CForecastEventRelay& operator=(const CForecastEventRelay&) = delete;
    ~CForecastEventRelay();

    // Listens to the process's updater and posts `message` to the window (lParam: the result code);
    // false without an updater.
    bool Attach(HWND window, UINT message);
    void Detach();

    // The names of the cities the updater's last run had no data for (see CForecastUpdater).
    std::u16string CitiesWithoutData() const;

    static int StatusOf(WPARAM wParam) { return static_cast<int>(wParam & kStatusMask); }
    static bool IsLast(WPARAM wParam) { return (wParam & kLastListener) != 0; }

private:
    static int OnUpdateEvent(INT_PTR status, INT_PTR result, INT_PTR value, INT_PTR date, INT_PTR last,
                             INT_PTR context);

    CDelegate m_listener;
    std::atomic<HWND> m_window{nullptr};
    UINT m_message = 0;
    CForecastUpdater* m_updater = nullptr;
};
