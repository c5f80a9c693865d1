// A process handle: signalled once the process has ended. Its end is seen by ChildWatcher in another
// thread, which wakes the waits; they also poll it, as a wait on an object whose state lives elsewhere.
#pragma once

#include <memory>

#include "kernel/KernelObject.h"
#include "process/ProcessState.h"

namespace ce::detail {

class ProcessObject : public KernelObject {
public:
    explicit ProcessObject(std::shared_ptr<ProcessState> state) : state_(std::move(state)) {}

    const std::shared_ptr<ProcessState>& State() const { return state_; }

    bool IsWaitable() const override { return true; }
    bool IsSignaled(DWORD) override {
        std::lock_guard guard(state_->lock);
        return state_->exited;
    }
    bool NeedsPolling() const override { return true; }

private:
    std::shared_ptr<ProcessState> state_;
};

}  // namespace ce::detail
