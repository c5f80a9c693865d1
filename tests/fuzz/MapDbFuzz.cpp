// MapDB.dat as the maps screen reads it: loaded, every region and map named in the interface
// languages, each map found again by its id, by its parent and by its name for every map type, and the
// cache file of the first maps named. The first records only: a run stays short however many the file
// has.
#include <cstddef>
#include <cstdint>
#include <string>
#include <vector>

#include "FuzzDevice.h"
#include "Weather/CMapDB.h"
#include "Weather/CMapsUpdater.h"

namespace {

constexpr uint32_t kLanguages[] = {CMapDBRecord::kEnglish, 0x0407, 0x0419, 0};
constexpr int kMaxVisited = 40;
constexpr int kCachePathsNamed = 4;

void UseRecord(const CMapDB& db, const CMapDBRecord& record, int visited) {
    CMapDBRecord found;
    db.FindRecord(record.GetId().c_str(), &found);
    db.FindParentRecord(record.GetId().c_str(), &found);
    for (uint32_t language : kLanguages) {
        LPCWSTR name = record.GetLocalizedName(language);
        for (uint32_t type = 0; name != nullptr && type <= 2; ++type) {
            db.FindRecordByName(name, language, type, &found);
        }
    }
    std::u16string path;
    if (visited < kCachePathsNamed) {
        CMapsUpdater::GetMapCachePath(record.GetId().c_str(), &path);
    }
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    fuzz::FuzzDevice::Get().Write("Program Files/Skyvane/MapDB.dat", data, size);
    CMapDB db;
    if (!db.Load(u"\\Program Files\\Skyvane\\MapDB.dat")) {
        return 0;
    }
    std::vector<CMapDBRecord> regions;
    db.GetRegions(&regions);
    int visited = 0;
    for (const CMapDBRecord& region : regions) {
        if (++visited > kMaxVisited) {
            return 0;
        }
        UseRecord(db, region, visited);
        for (const auto& [id, map] : region.GetChildren()) {
            if (++visited > kMaxVisited) {
                return 0;
            }
            UseRecord(db, map, visited);
        }
    }
    CMapDBRecord first;
    db.GetRegion(0, &first);
    db.GetRegion(static_cast<int>(regions.size()), &first);
    return 0;
}
