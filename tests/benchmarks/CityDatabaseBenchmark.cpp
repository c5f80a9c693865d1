// The nearest-city search over the whole installed city database, as the GPS screen runs it.
#include <benchmark/benchmark.h>
#include <stdlib.h>

#include <filesystem>
#include <vector>

#include "Weather/CCityDB.h"
#include "ce/device.h"

namespace {

void NearestCitiesOfBerlin(benchmark::State& state) {
    char pattern[] = "/tmp/citydb-bench-XXXXXX";
    std::string root = mkdtemp(pattern);
    std::filesystem::create_directories(root + "/fs");
    std::filesystem::copy_file(std::string(CE_TEST_BINARY_DIR) + "/data/CityDB.dat", root + "/fs/CityDB.dat");
    ce::SetDeviceRoot(root);
    CCityDB db;
    if (!db.Open(u"\\CityDB.dat")) {
        state.SkipWithError("CityDB.dat does not open");
        return;
    }
    std::vector<NearbyCity> nearby;
    for (auto _ : state) {
        db.FindNearbyCities(52.52, 13.405, &nearby);
        benchmark::DoNotOptimize(nearby.data());
    }
    ce::SetDeviceRoot({});
    std::filesystem::remove_all(root);
}
BENCHMARK(NearestCitiesOfBerlin)->Unit(benchmark::kMillisecond);

}  // namespace
