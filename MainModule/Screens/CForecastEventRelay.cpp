#include "Screens/CForecastEventRelay.h"

#include "Weather/CForecastUpdater.h"
#include "Weather/GlobalServices.h"
#include "ce/user.h"

CForecastEventRelay::CForecastEventRelay() : m_listener(&OnUpdateEvent, reinterpret_cast<INT_PTR>(this)) {}

CForecastEventRelay::~CForecastEventRelay() { Detach(); }

bool CForecastEventRelay::Attach(HWND window, UINT message) {
    Detach();
    if (g_pForecastUpdater == nullptr || window == nullptr) {
        return false;
    }
    m_message = message;
    m_window = window;
    m_updater = g_pForecastUpdater;
    m_updater->AddListener(&m_listener);
    return true;
}

void CForecastEventRelay::Detach() {
    m_window = nullptr;
    if (m_updater != nullptr) {
        m_updater->RemoveListener(&m_listener);
    }
    m_updater = nullptr;
}

// On the updater's worker thread.
int CForecastEventRelay::OnUpdateEvent(INT_PTR status, INT_PTR result, INT_PTR, INT_PTR, INT_PTR last,
                                       INT_PTR context) {
    auto* self = reinterpret_cast<CForecastEventRelay*>(context);
    HWND window = self != nullptr ? self->m_window.load() : nullptr;
    if (window != nullptr) {
        const WPARAM wParam = (static_cast<WPARAM>(status) & kStatusMask) | (last != 0 ? kLastListener : 0);
        PostMessageW(window, self->m_message, wParam, static_cast<LPARAM>(result));
    }
    return 0;
}

std::u16string CForecastEventRelay::CitiesWithoutData() const {
    return m_updater != nullptr ? m_updater->GetCitiesWithoutData() : std::u16string();
}
