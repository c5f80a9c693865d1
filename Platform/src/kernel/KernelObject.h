// The base of every object that a kernel HANDLE names (files, find handles, events, mutexes, threads,
// processes, snapshots, ...).
#pragma once

#include "ce/types.h"

namespace ce::detail {

// What one attempt to take a waitable object gave.
enum class TakeResult {
    Busy,   // not signalled (yet)
    Taken,  // signalled, and taken for the waiting thread
    Failed  // the object can no longer be waited on (its device server connection is gone)
};

class CE_API KernelObject {
public:
    virtual ~KernelObject() = default;

    // Objects that live in this process override IsSignaled and Acquire. A wait checks IsSignaled for
    // the objects it waits on and, once satisfied, calls Acquire on those it returns for (an auto-reset
    // event resets, a mutex gets its owner). Both are called with the wait lock held (sync/Waits.h), and
    // whoever changes such an object's state does so under that lock and then calls NotifyWaiters().
    virtual bool IsWaitable() const { return false; }
    virtual bool IsSignaled(DWORD /*threadId*/) { return false; }
    virtual void Acquire(DWORD /*threadId*/) {}

    // True when the object can become signalled without NotifyWaiters() being called in this process
    // (a named object kept by the device server, a child process): waits on it poll TryAcquire.
    virtual bool NeedsPolling() const { return false; }
    // Checks and takes in one step; polled objects whose state lives elsewhere override it so that no
    // other process can come between the check and the take.
    virtual TakeResult TryAcquire(DWORD threadId) {
        if (!IsSignaled(threadId)) {
            return TakeResult::Busy;
        }
        Acquire(threadId);
        return TakeResult::Taken;
    }
    // Gives back what TryAcquire took when a wait for all objects cannot be completed after all.
    virtual void Untake(DWORD /*threadId*/) {}
    // Tells the object that a wait of this thread that polled it has ended (it keeps track of waiting
    // threads for PulseEvent).
    virtual void WaitEnded(DWORD /*threadId*/) {}
};

}  // namespace ce::detail
