#include "process/ChildWatcher.h"

#include <poll.h>
#include <sys/eventfd.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

#include "sync/Waits.h"

namespace ce::detail {
namespace {

// The exit code a process ended with, as the device reports it.
DWORD ExitCodeOf(int status, const ProcessState& state) {
    if (!state.isChild) {
        return state.terminated ? state.terminateCode : 0;  // only its parent learns how it ended
    }
    if (WIFEXITED(status)) {
        return static_cast<DWORD>(WEXITSTATUS(status));
    }
    if (state.terminated) {
        return state.terminateCode;
    }
    const DWORD kSignalBase = 128;  // what a shell reports for a process ended by a signal
    return WIFSIGNALED(status) ? kSignalBase + static_cast<DWORD>(WTERMSIG(status)) : 0;
}

}  // namespace

ChildWatcher& ChildWatcher::Instance() {
    static ChildWatcher watcher;
    return watcher;
}

ChildWatcher::ChildWatcher() : wakeFd_(eventfd(0, EFD_CLOEXEC | EFD_NONBLOCK)), owner_(getpid()) {}

ChildWatcher::~ChildWatcher() {
    {
        std::lock_guard guard(lock_);
        stopping_ = true;
    }
    // A process forked from ours has the object but not the thread.
    if (thread_ != nullptr && getpid() == owner_) {
        Wake();
        thread_->join();
        delete thread_;
    }
    close(wakeFd_);
}

void ChildWatcher::Wake() {
    uint64_t one = 1;
    ssize_t written = write(wakeFd_, &one, sizeof(one));
    (void)written;  // a full counter wakes the thread all the same
}

void ChildWatcher::Watch(std::shared_ptr<ProcessState> state) {
    std::lock_guard guard(lock_);
    watched_.push_back(std::move(state));
    if (thread_ == nullptr) {
        thread_ = new std::thread([this] { Run(); });
    }
    Wake();
}

std::shared_ptr<ProcessState> ChildWatcher::Find(pid_t pid) {
    std::lock_guard guard(lock_);
    auto it = std::find_if(watched_.begin(), watched_.end(),
                           [pid](const auto& state) { return state->pid == pid; });
    return it == watched_.end() ? nullptr : *it;
}

void ChildWatcher::Finish(ProcessState& state) {
    std::lock_guard guard(state.lock);
    int status = 0;
    if (state.isChild) {
        pid_t reaped;
        do {
            reaped = waitpid(state.pid, &status, 0);  // the pidfd said it has ended: this does not block
        } while (reaped < 0 && errno == EINTR);
    }
    state.exitCode = ExitCodeOf(status, state);
    state.exited = true;
    close(state.pidfd);
    state.pidfd = -1;
}

// A wait on the process sees its end at once, not at its next poll, which may be 10 ms away. Taking
// the wait lock first lets a waiter that looked just before the end reach its wait, so none misses this.
void ChildWatcher::WakeWaiters() {
    { std::lock_guard waitGuard(WaitLock()); }
    NotifyWaiters();
}

void ChildWatcher::Run() {
    for (;;) {
        std::vector<std::shared_ptr<ProcessState>> states;
        std::vector<pollfd> fds{{wakeFd_, POLLIN, 0}};
        {
            std::lock_guard guard(lock_);
            if (stopping_) {
                return;
            }
            for (const auto& state : watched_) {
                states.push_back(state);
                fds.push_back({state->pidfd, POLLIN, 0});
            }
        }
        if (poll(fds.data(), fds.size(), -1) < 0) {
            continue;  // EINTR
        }
        uint64_t count = 0;
        ssize_t drained = read(wakeFd_, &count, sizeof(count));
        (void)drained;
        for (size_t i = 0; i < states.size(); ++i) {
            if (fds[i + 1].revents == 0) {
                continue;
            }
            Finish(*states[i]);
            WakeWaiters();
            std::lock_guard guard(lock_);
            watched_.erase(std::find(watched_.begin(), watched_.end(), states[i]));
        }
    }
}

}  // namespace ce::detail
