// Kills a saving child again and again with SIGKILL, and has the file checked before the next child
// starts. Every other kill comes after a random number of microseconds (up to a few saves' time,
// measured as it goes); the others right before a random one of the child's file-changing system
// calls (up to a few saves' worth, counted as it goes).
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
    uint32_t atFileCall = 0;  // kills right before a file-changing system call
    uint32_t insideSave = 0;  // kills that fell between a save's start and its end
    uint32_t saves = 0;       // saves the children finished
    uint32_t foundOld = 0;    // checks inside a save that found the old content (the save undone)
    std::string failure;      // what went wrong, empty when every check held
};

class KillRun {
public:
    KillRun(std::string kind, std::string progressPath, uint32_t seed);

    // The file must hold generation `generation` when the run starts.
    KillFigures Run(SavedFile& file, uint32_t generation, uint32_t kills);
    // Cuts the power of a child again and again, each at a random one of its file layer's changes (up to a
    // few saves' worth, counted as it goes), and has the file checked before the next child starts.
    KillFigures CutPower(SavedFile& file, uint32_t generation, uint32_t cuts);
    // Kills a child right before its first file call, the next one before its second, and so on,
    // until a child finishes its first save before the call of its number; for a file that starts
    // over after every kill, this is a kill before each call of one save.
    KillFigures KillBeforeEachCall(SavedFile& file, uint32_t generation);

private:
    // False, with the failure said, when the progress shared with the child cannot be read.
    bool Begin(uint32_t generation, KillFigures& figures);
    pid_t StartSaver(bool traced) const;
    pid_t StartPowerCutSaver(uint32_t step, uint32_t seed) const;
    bool CutAtRandomStep(std::string& failure);
    bool WaitUntilSaving(pid_t child, uint32_t generation);
    bool KillAfterRandomDelay(uint32_t generation);
    bool KillAtRandomFileCall();
    bool KillAtFileCall(uint32_t call);
    bool CheckAfterKill(SavedFile& file, KillFigures& figures, uint32_t& generation);
    std::optional<uint32_t> MeasureSaves(SavedFile& file, uint32_t generation, std::string& failure);
    void WaitRandomly();

    std::string kind_;
    std::string progressPath_;
    SaveProgress progress_;
    std::mt19937 random_;
    uint64_t tracedCalls_ = 0;  // file calls let through by traced children, all together
    uint64_t tracedSaves_ = 0;  // and the saves they finished
    std::string event_ = "kill";  // what a failure says happened
    uint64_t cutSteps_ = 0;     // file layer changes made by children before their power cut
    uint64_t cutSaves_ = 0;     // and the saves they finished
};

}  // namespace crash_test
