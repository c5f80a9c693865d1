// The city database as the add-city and GPS screens use it: opening its index (every entry's names),
// reading the cities of one entry, and the nearest-city search over the whole file; each beside one
// plain read of the whole file into a new buffer, as each of them reads into a new one: the least that
// the search could cost. The "read_GBps" counter is that read's speed, to check it by.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <filesystem>
#include <string>
#include <vector>

#include "SideBySide.h"
#include "Weather/CCityDB.h"
#include "ce/device.h"

namespace {

// A device whose file system holds the built CityDB.dat.
class DatabaseDevice {
public:
    DatabaseDevice() {
        char pattern[] = "/tmp/citydb-bench-XXXXXX";
        root_ = mkdtemp(pattern);
        std::filesystem::create_directories(root_ + "/fs");
        std::filesystem::copy_file(std::string(CE_TEST_BINARY_DIR) + "/data/CityDB.dat", HostPath());
        ce::SetDeviceRoot(root_);
    }
    ~DatabaseDevice() {
        ce::SetDeviceRoot({});
        std::filesystem::remove_all(root_);
    }
    std::string HostPath() const { return root_ + "/fs/CityDB.dat"; }

private:
    std::string root_;
};

bool PlainRead(const std::string& path, size_t size) {
    int file = open(path.c_str(), O_RDONLY);
    if (file < 0) {
        return false;
    }
    std::vector<char> buffer(size + 1);
    ssize_t total = 0;
    for (ssize_t got = 0; (got = read(file, buffer.data() + total, buffer.size() - total)) > 0;) {
        total += got;
    }
    close(file);
    benchmark::DoNotOptimize(buffer.data());
    return static_cast<size_t>(total) == size;
}

void SetReadSpeed(benchmark::State& state, size_t size) {
    const double seconds = state.counters["reference_us"] / 1e6;
    state.counters["read_GBps"] = seconds > 0 ? static_cast<double>(size) / seconds / 1e9 : 0;
}

// The entry with the most cities, the longest list the add-city screen shows.
int LargestEntry(const CCityDB& db) {
    int largest = 0;
    size_t most = 0;
    std::vector<CityDBRecord> cities;
    for (int i = 0; i < db.GetEntryCount(); ++i) {
        if (db.ReadEntryCities(i, &cities) && cities.size() > most) {
            most = cities.size();
            largest = i;
        }
    }
    return largest;
}

void OpenTheIndex(benchmark::State& state) {
    DatabaseDevice device;
    const size_t size = std::filesystem::file_size(device.HostPath());
    bench::SideBySide(
        state,
        [&] {
            CCityDB db;
            return db.Open(u"\\CityDB.dat") && db.GetEntryName(db.GetEntryCount() - 1) != nullptr;
        },
        [&] { return PlainRead(device.HostPath(), size); });
    SetReadSpeed(state, size);
}
BENCHMARK(OpenTheIndex)->UseManualTime()->Unit(benchmark::kMicrosecond);

// The device with the database opened.
struct OpenedDatabase {
    DatabaseDevice device;
    size_t size = std::filesystem::file_size(device.HostPath());
    CCityDB db;
    bool opened = db.Open(u"\\CityDB.dat");
    bool ReadPlainly() const { return PlainRead(device.HostPath(), size); }
};

void CitiesOfTheLargestEntry(benchmark::State& state) {
    OpenedDatabase opened;
    if (!opened.opened) {
        state.SkipWithError("CityDB.dat does not open");
        return;
    }
    CCityDB& db = opened.db;
    const int entry = LargestEntry(db);
    std::vector<CityDBRecord> cities;
    bench::SideBySide(
        state, [&] { return db.ReadEntryCities(entry, &cities) && !cities.empty(); },
        [&] { return opened.ReadPlainly(); });
    state.counters["cities"] = static_cast<double>(cities.size());
    SetReadSpeed(state, opened.size);
}
BENCHMARK(CitiesOfTheLargestEntry)->UseManualTime()->Unit(benchmark::kMicrosecond);

void NearestCitiesOfBerlin(benchmark::State& state) {
    OpenedDatabase opened;
    if (!opened.opened) {
        state.SkipWithError("CityDB.dat does not open");
        return;
    }
    std::vector<NearbyCity> nearby;
    bench::SideBySide(
        state, [&] { return opened.db.FindNearbyCities(52.52, 13.405, &nearby) && !nearby.empty(); },
        [&] { return opened.ReadPlainly(); });
    SetReadSpeed(state, opened.size);
}
BENCHMARK(NearestCitiesOfBerlin)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace
