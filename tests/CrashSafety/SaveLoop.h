// The saving child: saves generation after generation until it is killed, keeping the shared counters.
#pragma once

#include <string>

namespace crash_test {

// How the saving child is to end, besides a kill at a random time.
struct SaveEnd {
    // It waits for its tracer and hands its file-changing calls to it (see FileCallFilter).
    bool traced = false;
    // Non-zero: the file layer cuts the power right before its change of this number (ce::SchedulePowerCut).
    uint32_t powerCutStep = 0;
    uint32_t powerCutSeed = 0;
};

// Returns only when a save fails (exit code 3) or it cannot start (2).
int RunSaveLoop(const std::string& kind, const std::string& progressPath, const SaveEnd& end);

}  // namespace crash_test
