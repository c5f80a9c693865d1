// What the forecast updater left in the device's saved city list, for the updater's tests and the
// program's end-to-end tests.
#pragma once

#include "Weather/CCity.h"
#include "Weather/CCityList.h"
#include "ce/kernel.h"

namespace ce::test {

// The update time that Cities.dat holds for the city at `index`; zero when there is no such city.
inline FILETIME SavedUpdateTime(int index) {
    CCityList saved;
    saved.Load();
    CCity city;
    FILETIME time{};
    if (saved.GetCity(index, &city)) {
        city.GetUpdateFileTime(&time);
    }
    return time;
}

// The device's local time now, in the form the city list saves it.
inline FILETIME LocalNow() {
    SYSTEMTIME now;
    GetLocalTime(&now);
    FILETIME time{};
    SystemTimeToFileTime(&now, &time);
    return time;
}

}  // namespace ce::test
