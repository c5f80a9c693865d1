// Kills a saving child again and again: starts it, lets it save for a random number of microseconds
// (up to a few saves' time, measured as it goes), kills it with SIGKILL, and has the file checked
// before the next child starts.
#pragma once

#include <sys/types.h>

#include <cstdint>
#include <optional>
#include <random>
#include <string>

#include "SaveProgress.h"
#include "SavedFile.h"

namespace crash_test {

struct KillFigures {
    uint32_t kills = 0;
    uint32_t insideSave = 0;  // kills that fell between a save's start and its end
    uint32_t saves = 0;       // saves the children finished
    std::string failure;      // what went wrong, empty when every check held
};

class KillRun {
public:
    KillRun(std::string kind, std::string progressPath, uint32_t seed);

    // The file must hold generation `generation` when the run starts.
    KillFigures Run(SavedFile& file, uint32_t generation, uint32_t kills);

private:
    pid_t StartSaver() const;
    bool WaitUntilSaving(pid_t child, uint32_t generation);
    std::optional<uint32_t> MeasureSaves(SavedFile& file, uint32_t generation, std::string& failure);
    void WaitRandomly();

    std::string kind_;
    std::string progressPath_;
    SaveProgress progress_;
    std::mt19937 random_;
};

}  // namespace crash_test
