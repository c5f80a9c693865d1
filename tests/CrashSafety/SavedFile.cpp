#include "SavedFile.h"

namespace crash_test {

std::optional<uint32_t> SavedFile::Check(uint32_t finished, uint32_t started) {
    if (Holds(started)) {
        return started;
    }
    if (started != finished && Holds(finished)) {
        return finished;
    }
    return std::nullopt;
}

const std::vector<std::string>& SavedFileKinds() {
    static const std::vector<std::string> kinds = {"cities", "forecast", "map", "render", "home", "registry"};
    return kinds;
}

std::unique_ptr<SavedFile> MakeSavedFile(const std::string& kind) {
    if (kind == "cities") return MakeCityListFile();
    if (kind == "forecast") return MakeForecastCacheFile();
    if (kind == "map") return MakeMapCacheFile();
    if (kind == "render") return MakeRenderCacheFile();
    if (kind == "render-first") return MakeFirstRenderCacheAppend();
    if (kind == "home") return MakeHomeSchemeFile();
    if (kind == "registry") return MakeRegistryValue();
    return nullptr;
}

}  // namespace crash_test
