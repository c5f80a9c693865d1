// One file that the program writes, as the crash test sees it: saved by the program's own code in
// numbered generations (each with content of its own), and read back by the program's own reader.
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace crash_test {

class SavedFile {
public:
    virtual ~SavedFile() = default;

    // In the test process, once: what the saves need in the device besides the file.
    virtual bool Prepare() { return true; }
    // In the saving child, before its first save: what the program has done long before it saves (its
    // libraries loaded, the device server and the registry open), so that kills fall into saves rather
    // than into a process start. Reads the file by default.
    virtual void WarmUp() { Holds(0); }
    // Saves the content of this generation (1, 2, ...) through the program's code.
    virtual bool Save(uint32_t generation) = 0;
    // After a kill: the generation that the file now holds whole, which must be `finished` (the old
    // content) or `started` (the new); empty when the reader finds the file damaged, lost or holding
    // anything else. A file that starts over may answer 0.
    virtual std::optional<uint32_t> Check(uint32_t finished, uint32_t started);

protected:
    // Whether the reader finds exactly this generation's content, whole.
    virtual bool Holds(uint32_t generation) = 0;
};

// The kinds by name: "cities", "forecast", "map", "render", "home", "registry" (every file the program
// writes), and "render-first" (only the append that creates the render cache).
std::unique_ptr<SavedFile> MakeSavedFile(const std::string& kind);
const std::vector<std::string>& SavedFileKinds();

// Each kind's maker, in its own source file.
std::unique_ptr<SavedFile> MakeCityListFile();
std::unique_ptr<SavedFile> MakeForecastCacheFile();
std::unique_ptr<SavedFile> MakeMapCacheFile();
std::unique_ptr<SavedFile> MakeRenderCacheFile();
std::unique_ptr<SavedFile> MakeFirstRenderCacheAppend();
std::unique_ptr<SavedFile> MakeHomeSchemeFile();
std::unique_ptr<SavedFile> MakeRegistryValue();

}  // namespace crash_test
