// The one wait of the layer. Objects of this process change their state under WaitLock() and call
// NotifyWaiters(); objects whose state lives elsewhere (the device server, child processes) are polled.
// Time-outs run on the layer's clock: under the virtual clock a wait ends when that clock passes its
// deadline, however little real time has gone by.
#pragma once

#include <memory>
#include <mutex>
#include <vector>

#include "kernel/KernelObject.h"

namespace ce::detail {

std::mutex& WaitLock();
// Wakes every waiting thread to look again; call after a state change (with or without the lock).
void NotifyWaiters();

// WAIT_OBJECT_0 + i, WAIT_TIMEOUT or WAIT_FAILED (last error set). The objects must be waitable.
DWORD WaitForObjects(const std::vector<std::shared_ptr<KernelObject>>& objects, bool waitAll,
                     DWORD milliseconds);

// PulseEvent: satisfies the waits of this process that are blocked on the object right now (all of
// them, or only the one that waited longest) without leaving the object signalled. Lock held.
void PulseWaiters(const KernelObject* object, bool all);

// Counts a wait with a time-out that does not go through WaitForObjects (a message-queue wait) in
// TimedWaitsInProgress while it lives.
class TimedWaitMark {
public:
    TimedWaitMark();
    ~TimedWaitMark();
    TimedWaitMark(const TimedWaitMark&) = delete;
    TimedWaitMark& operator=(const TimedWaitMark&) = delete;
};

}  // namespace ce::detail
