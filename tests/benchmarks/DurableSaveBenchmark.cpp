// What a save costs now that it reaches the disk: the city list saved through CCityList (the atomic
// replace, with the file's data synced before the rename and the folder after it) beside the same bytes
// written to a temporary file and renamed with host calls and no sync, as a save was made before.
#include <benchmark/benchmark.h>
#include <fcntl.h>
#include <unistd.h>

#include <string>

#include "CByteBuffer.h"
#include "MainModule/InstalledDevice.h"
#include "SideBySide.h"
#include "Weather/CCityList.h"

namespace {

constexpr int kCities = 20;  // a long list: the program keeps up to twenty

void AddTwentyCities(CCityList& list) {
    for (int i = 0; i < kCities; ++i) {
        CCity city;
        std::u16string id = u"USNY00" + std::u16string(1, static_cast<char16_t>(u'0' + i / 10)) +
                            std::u16string(1, static_cast<char16_t>(u'0' + i % 10));
        city.SetLocationId(id.c_str());
        city.SetCountry(u"United States");
        city.SetState(u"New York");
        city.SetName(u"A city with a name of some length");
        list.AddCity(city);
    }
}

bool WriteAndRenameWithoutSync(const std::string& path, const CByteBuffer& content) {
    const std::string temporary = path + ".tmp";
    int file = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (file < 0) {
        return false;
    }
    bool written = write(file, content.GetPointer(0), content.GetLength()) == static_cast<ssize_t>(content.GetLength());
    return close(file) == 0 && written && rename(temporary.c_str(), path.c_str()) == 0;
}

void SaveTheCityList(benchmark::State& state) {
    ce::test::InstalledDevice device;
    CCityList list;
    AddTwentyCities(list);
    CByteBuffer content;
    if (!list.Save(content)) {
        state.SkipWithError("the city list was not saved");
        return;
    }
    const std::string reference = device.InstallFolder("Reference.dat");
    bench::SideBySide(
        state, [&] { return list.Save(); }, [&] { return WriteAndRenameWithoutSync(reference, content); });
    state.counters["bytes"] = static_cast<double>(content.GetLength());
}
BENCHMARK(SaveTheCityList)->UseManualTime()->Unit(benchmark::kMicrosecond);

}  // namespace
