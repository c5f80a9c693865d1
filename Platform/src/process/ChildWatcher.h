// One thread per process that watches the processes that handles name and records their end. Children
// are reaped as soon as they end, whether or not anyone still holds a handle, so none stays a zombie.
#pragma once

#include <sys/types.h>

#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "process/ProcessState.h"

namespace ce::detail {

class ChildWatcher {
public:
    static ChildWatcher& Instance();
    // Asks the thread to stop and joins it.
    ~ChildWatcher();
    ChildWatcher(const ChildWatcher&) = delete;
    ChildWatcher& operator=(const ChildWatcher&) = delete;

    // Watches the process of the state (whose pidfd is open) until it ends.
    void Watch(std::shared_ptr<ProcessState> state);
    // The state of a watched process, or null.
    std::shared_ptr<ProcessState> Find(pid_t pid);

private:
    ChildWatcher();
    void Run();
    void Wake();
    static void Finish(ProcessState& state);
    static void WakeWaiters();

    std::mutex lock_;
    std::vector<std::shared_ptr<ProcessState>> watched_;
    bool stopping_ = false;
    int wakeFd_ = -1;
    pid_t owner_;
    std::thread* thread_ = nullptr;
};

}  // namespace ce::detail
