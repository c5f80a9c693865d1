// Cities.dat as the program, the Today item and the Home plug-in read it at start: loaded (a damaged
// file kept as its copy), every city's cache file read, every city shown in the city list with its
// status line, then saved. What was read must come back whole from the saved file: a save may lose no
// city the load gave.
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

#include "FuzzDevice.h"
#include "Weather/CCityList.h"
#include "Weather/CityStatusText.h"
#include "ce/kernel.h"

namespace {

void ShowInCityList(const CCityList& list) {
    FILETIME now{};
    SYSTEMTIME local;
    GetLocalTime(&local);
    SystemTimeToFileTime(&local, &now);
    for (int i = 0; i < list.GetCount(); ++i) {
        CCity city;
        list.GetCity(i, &city);
        std::u16string status;
        GetCityStatusText(city, now, i == list.GetHomeIndex(), &status);
        list.FindIndexById(city.GetLocationId());
    }
}

bool SameCity(const CCity& a, const CCity& b) {
    FILETIME first;
    FILETIME second;
    a.GetUpdateFileTime(&first);
    b.GetUpdateFileTime(&second);
    return std::u16string(a.GetLocationId()) == b.GetLocationId() && std::u16string(a.GetName()) == b.GetName() &&
           std::u16string(a.GetState()) == b.GetState() && std::u16string(a.GetCountry()) == b.GetCountry() &&
           first.dwLowDateTime == second.dwLowDateTime && first.dwHighDateTime == second.dwHighDateTime;
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::FuzzDevice& device = fuzz::FuzzDevice::Get();
    device.Write("Program Files/Skyvane/Cities.dat", data, size);
    CCityList list;
    list.Load(CCityList::DamagedFile::kKeepCopy);
    list.TakeFoundDamaged();
    list.LoadCachedForecasts();
    ShowInCityList(list);
    if (!list.Save()) {
        return 0;
    }
    CCityList saved;
    saved.Load();
    if (saved.TakeFoundDamaged() || saved.GetCount() != list.GetCount() ||
        saved.GetHomeIndex() != list.GetHomeIndex()) {
        std::abort();
    }
    for (int i = 0; i < list.GetCount(); ++i) {
        CCity before;
        CCity after;
        if (!list.GetCity(i, &before) || !saved.GetCity(i, &after) || !SameCity(before, after)) {
            std::abort();
        }
    }
    return 0;
}
