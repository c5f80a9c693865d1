#include "FileCallTracer.h"

#include <signal.h>
#include <sys/ptrace.h>
#include <sys/wait.h>

#include <chrono>
#include <condition_variable>
#include <mutex>
#include <thread>

namespace crash_test {
namespace {

constexpr auto kRunLimit = std::chrono::seconds(60);

bool IsEvent(int status, int event) { return (status >> 8) == (SIGTRAP | (event << 8)); }

// Waits for the process (every thread of it reports under its own id) to be gone.
void KillAndReap(pid_t child) {
    kill(child, SIGKILL);
    int status = 0;
    while (waitpid(child, &status, __WALL) == child && !WIFEXITED(status) && !WIFSIGNALED(status)) {
    }
}

// Kills the child when it has not reached its call within the limit, so that the wait for its stops
// ends.
class Watchdog {
public:
    explicit Watchdog(pid_t child) : thread_([this, child] { Watch(child); }) {}
    ~Watchdog() {
        {
            std::lock_guard guard(lock_);
            done_ = true;
        }
        ended_.notify_one();
        thread_.join();
    }

private:
    void Watch(pid_t child) {
        std::unique_lock guard(lock_);
        if (!ended_.wait_for(guard, kRunLimit, [this] { return done_; })) {
            kill(child, SIGKILL);
        }
    }

    std::mutex lock_;
    std::condition_variable ended_;
    bool done_ = false;
    std::thread thread_;
};

// Resumes a stopped thread, handing on a signal that was about to be delivered to it.
void Resume(pid_t thread, int status) {
    int signal = WSTOPSIG(status);
    bool event = (status >> 16) != 0 || signal == SIGTRAP;
    ptrace(PTRACE_CONT, thread, nullptr, event ? 0 : signal);
}

}  // namespace

bool FileCallTracer::Attach(pid_t child) {
    long options = PTRACE_O_TRACESECCOMP | PTRACE_O_TRACECLONE | PTRACE_O_EXITKILL;
    return ptrace(PTRACE_SEIZE, child, nullptr, options) == 0;
}

bool FileCallTracer::KillBeforeCall(pid_t child, uint32_t call) {
    Watchdog watchdog(child);
    uint32_t calls = 0;
    for (;;) {
        int status = 0;
        pid_t thread = waitpid(-1, &status, __WALL);
        if (thread < 0) {
            return false;
        }
        if (WIFEXITED(status) || WIFSIGNALED(status)) {
            if (thread == child) {
                return false;
            }
            continue;  // a thread of the child ended
        }
        if (IsEvent(status, PTRACE_EVENT_SECCOMP) && ++calls == call) {
            KillAndReap(child);
            return true;
        }
        Resume(thread, status);
    }
}

}  // namespace crash_test
