// Apart from the service pointers, so that a plug-in library that links those does not pull in the
// program's notifiers (the Home plug-in has a class CHomePlugin of its own).
#include "Shell/CHomePlugin.h"
#include "Shell/CTodayPlugin.h"
#include "Weather/GlobalServices.h"

void RefreshStartScreenPlugin(DWORD todayReloadData) {
    if (g_pHomePlugin != nullptr) {
        g_pHomePlugin->Notify();
    } else if (g_pTodayPlugin != nullptr) {
        g_pTodayPlugin->Notify(todayReloadData);
    }
}
