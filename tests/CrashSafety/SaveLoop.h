// The saving child: saves generation after generation until it is killed, keeping the shared counters.
#pragma once

#include <string>

namespace crash_test {

// Returns only when a save fails (exit code 3) or the kind is unknown (2).
int RunSaveLoop(const std::string& kind, const std::string& progressPath);

}  // namespace crash_test
