// The base of every object that a kernel HANDLE names (files, find handles, events, mutexes, threads,
// processes, snapshots, ...).
#pragma once

#include "ce/types.h"

namespace ce::detail {

class CE_API KernelObject {
public:
    virtual ~KernelObject() = default;

    // Waitable objects override these three. A wait checks IsSignaled for every object it waits on and,
    // once satisfied, calls Acquire on the objects it returns for (an auto-reset event resets, a mutex
    // gets its owner). Both are called with the wait lock held (see Waits.h).
    virtual bool IsWaitable() const { return false; }
    virtual bool IsSignaled(DWORD /*threadId*/) { return false; }
    virtual void Acquire(DWORD /*threadId*/) {}
    // True when the object can become signalled without NotifyWaiters() being called in this process
    // (a named object kept by the device server, a child process): waits on it poll.
    virtual bool NeedsPolling() const { return false; }
};

}  // namespace ce::detail
