// The saving child: saves generation after generation until it is killed, keeping the shared counters.
#pragma once

#include <string>

namespace crash_test {

// Returns only when a save fails (exit code 3) or it cannot start (2).
// Traced, it waits for its tracer and hands its file-changing calls to it (see FileCallFilter).
int RunSaveLoop(const std::string& kind, const std::string& progressPath, bool traced);

}  // namespace crash_test
