// CityDB.dat as installed: opened, every entry's cities read, and the nearest cities of a position found,
// as the city search and the GPS do.
#include <cstddef>
#include <cstdint>
#include <vector>

#include "FuzzDevice.h"
#include "Weather/CCityDB.h"

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::FuzzDevice::Get().Write("CityDB.dat", data, size);
    CCityDB db;
    if (!db.Open(u"\\CityDB.dat")) {
        return 0;
    }
    std::vector<CityDBRecord> cities;
    for (int i = 0; i < db.GetEntryCount() && i < 64; ++i) {
        db.GetEntryName(i);
        db.GetEntrySubName(i);
        db.ReadEntryCities(i, &cities);
    }
    std::vector<NearbyCity> nearby;
    db.FindNearbyCities(52.5, 13.4, &nearby);
    return 0;
}
