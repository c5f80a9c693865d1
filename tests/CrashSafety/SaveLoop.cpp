#include "SaveLoop.h"

#include <sys/prctl.h>

#include <chrono>
#include <csignal>

#include "FileCallFilter.h"
#include "SaveProgress.h"
#include "SavedFile.h"
#include "ce/com.h"
#include "ce/device.h"

namespace crash_test {

int RunSaveLoop(const std::string& kind, const std::string& progressPath, const SaveEnd& end) {
    // A test that dies must not leave its child saving for ever.
    prctl(PR_SET_PDEATHSIG, SIGKILL);
    if (end.traced && !FileCallFilter::WaitForTracer()) {
        return 2;
    }
    std::unique_ptr<SavedFile> file = MakeSavedFile(kind);
    SaveProgress progress(progressPath);
    if (!file || !progress.IsMapped() || FAILED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) {
        return 2;
    }
    file->WarmUp();
    if (end.traced && !FileCallFilter::Install()) {
        return 2;
    }
    if (end.powerCutStep != 0) {
        ce::SchedulePowerCut(end.powerCutStep, end.powerCutSeed);
    }
    SaveCounters& counters = progress.Counters();
    for (;;) {
        const uint32_t generation = counters.started.load() + 1;
        const auto start = std::chrono::steady_clock::now();
        counters.started = generation;
        if (!file->Save(generation)) {
            return 3;
        }
        counters.finished = generation;
        counters.saveNanoseconds += static_cast<uint64_t>(
            std::chrono::duration_cast<std::chrono::nanoseconds>(std::chrono::steady_clock::now() - start).count());
        ++counters.saves;
    }
}

}  // namespace crash_test
