#include "KillRun.h"

#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <thread>
#include <vector>

#include "FileCallTracer.h"

extern char** environ;

namespace crash_test {
namespace {

using Clock = std::chrono::steady_clock;

// The child's first save may wait for the device server to start.
constexpr auto kStartLimit = std::chrono::seconds(60);
// Below this a kill would mostly land before the first save; above it the run gets long.
constexpr uint64_t kShortestWindowNs = 200'000;
constexpr uint64_t kSavesPerWindow = 4;
// Until the traced children have finished saves to count by.
constexpr uint64_t kFirstCallWindow = 40;
// Saves of the first child that measure how long a save takes, before any kill is counted.
constexpr uint32_t kMeasuringSaves = 20;

bool HasEnded(pid_t child) {
    int status = 0;
    return waitpid(child, &status, WNOHANG) == child;
}

}  // namespace

KillRun::KillRun(std::string kind, std::string progressPath, uint32_t seed)
    : kind_(std::move(kind)), progressPath_(std::move(progressPath)), progress_(progressPath_), random_(seed) {}

pid_t KillRun::StartPowerCutSaver(uint32_t step, uint32_t seed) const {
    std::string program = "/proc/self/exe";
    std::vector<std::string> words = {program, "--save-loop", kind_, progressPath_, "cut", std::to_string(step),
                                      std::to_string(seed)};
    std::vector<char*> arguments;
    for (std::string& word : words) {
        arguments.push_back(word.data());
    }
    arguments.push_back(nullptr);
    pid_t child = -1;
    return posix_spawn(&child, program.c_str(), nullptr, nullptr, arguments.data(), environ) == 0 ? child : -1;
}

pid_t KillRun::StartSaver(bool traced) const {
    std::string program = "/proc/self/exe";
    std::string mode = "--save-loop";
    std::string kind = kind_;
    std::string progress = progressPath_;
    std::string tracing = traced ? "traced" : "";
    char* arguments[] = {program.data(), mode.data(), kind.data(), progress.data(),
                         traced ? tracing.data() : nullptr, nullptr};
    pid_t child = -1;
    return posix_spawn(&child, program.c_str(), nullptr, nullptr, arguments, environ) == 0 ? child : -1;
}

// Until the child has begun its first save (not finished it: the first save is killed as often as any).
bool KillRun::WaitUntilSaving(pid_t child, uint32_t generation) {
    const auto deadline = Clock::now() + kStartLimit;
    while (progress_.Counters().started.load() == generation) {
        if (HasEnded(child) || Clock::now() > deadline) {
            return false;
        }
        std::this_thread::yield();
    }
    return true;
}

// Lets one child save a while, then kills it, so that the first counted kill already knows the time a
// save takes; the file is checked after this kill as after any other.
std::optional<uint32_t> KillRun::MeasureSaves(SavedFile& file, uint32_t generation, std::string& failure) {
    pid_t child = StartSaver(false);
    const auto deadline = Clock::now() + kStartLimit;
    while (child > 0 && progress_.Counters().finished.load() < generation + kMeasuringSaves && !HasEnded(child) &&
           Clock::now() < deadline) {
        std::this_thread::yield();
    }
    bool measured = child > 0 && progress_.Counters().finished.load() >= generation + kMeasuringSaves;
    if (child > 0) {
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
    }
    if (!measured) {
        failure = "the saving child did not finish its first saves";
        return std::nullopt;
    }
    std::optional<uint32_t> held =
        file.Check(progress_.Counters().finished.load(), progress_.Counters().started.load());
    if (!held) {
        failure = "after the first kill the file held neither generation whole";
    }
    return held;
}

// Spins rather than sleeps: a sleep's own latency is longer than many saves.
void KillRun::WaitRandomly() {
    uint64_t window = std::max(kShortestWindowNs, progress_.MeanSaveNanoseconds() * kSavesPerWindow);
    std::uniform_int_distribution<uint64_t> delay(0, window);
    const auto until = Clock::now() + std::chrono::nanoseconds(delay(random_));
    while (Clock::now() < until) {
    }
}

bool KillRun::KillAfterRandomDelay(uint32_t generation) {
    pid_t child = StartSaver(false);
    bool saving = child > 0 && WaitUntilSaving(child, generation);
    if (saving) {
        WaitRandomly();
    }
    if (child > 0) {
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
    }
    return saving;
}

bool KillRun::KillAtRandomFileCall() {
    uint64_t window = tracedSaves_ == 0 ? kFirstCallWindow : tracedCalls_ * kSavesPerWindow / tracedSaves_;
    std::uniform_int_distribution<uint64_t> call(1, std::max<uint64_t>(window, 2));
    return KillAtFileCall(static_cast<uint32_t>(call(random_)));
}

bool KillRun::KillAtFileCall(uint32_t target) {
    const uint32_t finishedBefore = progress_.Counters().finished.load();
    pid_t child = StartSaver(true);
    if (child <= 0) {
        return false;
    }
    if (!FileCallTracer::Attach(child)) {
        kill(child, SIGKILL);
        waitpid(child, nullptr, 0);
        return false;
    }
    if (!FileCallTracer::KillBeforeCall(child, target)) {
        return false;
    }
    tracedCalls_ += target - 1;
    tracedSaves_ += progress_.Counters().finished.load() - finishedBefore;
    return true;
}

// The child cuts its own power (and dies of SIGKILL) at the step; anything else is a failure.
bool KillRun::CutAtRandomStep(std::string& failure) {
    uint64_t window = cutSaves_ == 0 ? kFirstCallWindow : cutSteps_ * kSavesPerWindow / cutSaves_;
    const auto step = static_cast<uint32_t>(std::uniform_int_distribution<uint64_t>(1, std::max<uint64_t>(window, 2))(random_));
    const uint32_t finishedBefore = progress_.Counters().finished.load();
    pid_t child = StartPowerCutSaver(step, static_cast<uint32_t>(random_()));
    if (child <= 0) {
        failure = "the saving child did not start";
        return false;
    }
    int status = 0;
    const auto deadline = Clock::now() + kStartLimit;
    while (waitpid(child, &status, WNOHANG) == 0) {
        if (Clock::now() > deadline) {
            kill(child, SIGKILL);
            waitpid(child, &status, 0);
            failure = "the saving child did not reach file change " + std::to_string(step);
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(1));  // a child's start takes far longer
    }
    if (!WIFSIGNALED(status) || WTERMSIG(status) != SIGKILL) {
        failure = "the saving child ended with status " + std::to_string(status) + " before its power cut";
        return false;
    }
    cutSteps_ += step - 1;
    cutSaves_ += progress_.Counters().finished.load() - finishedBefore;
    return true;
}

KillFigures KillRun::CutPower(SavedFile& file, uint32_t generation, uint32_t cuts) {
    KillFigures figures;
    event_ = "power cut";
    if (!Begin(generation, figures)) {
        return figures;
    }
    const uint32_t savesBefore = progress_.Counters().saves.load();
    while (figures.kills < cuts && CutAtRandomStep(figures.failure) && CheckAfterKill(file, figures, generation)) {
    }
    figures.saves = progress_.Counters().saves.load() - savesBefore;
    return figures;
}

bool KillRun::Begin(uint32_t generation, KillFigures& figures) {
    if (!progress_.IsMapped()) {
        figures.failure = "the progress file could not be mapped";
        return false;
    }
    progress_.Settle(generation);
    return true;
}

KillFigures KillRun::Run(SavedFile& file, uint32_t generation, uint32_t kills) {
    KillFigures figures;
    if (!Begin(generation, figures)) {
        return figures;
    }
    const uint32_t savesBefore = progress_.Counters().saves.load();
    std::optional<uint32_t> measured = MeasureSaves(file, generation, figures.failure);
    if (!measured) {
        return figures;
    }
    generation = *measured;
    progress_.Settle(generation);
    while (figures.kills < kills) {
        const bool atFileCall = figures.kills % 2 == 1;
        if (!(atFileCall ? KillAtRandomFileCall() : KillAfterRandomDelay(generation))) {
            figures.failure = "the saving child did not start saving (or a save failed)";
            break;
        }
        figures.atFileCall += atFileCall ? 1 : 0;
        if (!CheckAfterKill(file, figures, generation)) {
            break;
        }
    }
    figures.saves = progress_.Counters().saves.load() - savesBefore;
    return figures;
}

KillFigures KillRun::KillBeforeEachCall(SavedFile& file, uint32_t generation) {
    KillFigures figures;
    if (!Begin(generation, figures)) {
        return figures;
    }
    const uint32_t savesBefore = progress_.Counters().saves.load();
    for (uint32_t call = 1;; ++call) {
        const uint32_t finishedBefore = progress_.Counters().finished.load();
        if (!KillAtFileCall(call)) {
            figures.failure = "the saving child did not reach file call " + std::to_string(call);
            break;
        }
        ++figures.atFileCall;
        const bool saved = progress_.Counters().finished.load() != finishedBefore;
        if (!CheckAfterKill(file, figures, generation) || saved) {
            break;
        }
    }
    figures.saves = progress_.Counters().saves.load() - savesBefore;
    return figures;
}

bool KillRun::CheckAfterKill(SavedFile& file, KillFigures& figures, uint32_t& generation) {
    ++figures.kills;
    const bool inside = progress_.InsideSave();
    figures.insideSave += inside ? 1 : 0;
    const uint32_t finished = progress_.Counters().finished.load();
    const uint32_t started = progress_.Counters().started.load();
    std::optional<uint32_t> held = file.Check(finished, started);
    if (!held) {
        figures.failure = "after " + event_ + " " + std::to_string(figures.kills) + " (" + (inside ? "inside" : "between") +
                          " saves, generation " + std::to_string(finished) + " finished, " +
                          std::to_string(started) + " started) the file held neither generation whole";
        return false;
    }
    figures.foundOld += inside && *held == finished ? 1 : 0;
    generation = *held;
    progress_.Settle(generation);
    return true;
}

}  // namespace crash_test
