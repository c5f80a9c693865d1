// One named mutex or event of the device as it lives in the shared object area (SharedObjectArea.h):
// its whole state, guarded by a robust process-shared lock, so that every process of the device takes,
// releases, sets and resets it in its own address space. The device server only hands slots out, frees
// them, and clears what a process that ended still held. A thread is named by its process id and the
// layer's thread id.
#pragma once

#include <pthread.h>

#include <cstdint>

namespace ce::devserver {

struct SharedCaller {
    int32_t pid = 0;
    uint32_t thread = 0;
    bool operator==(const SharedCaller&) const = default;
};

struct SharedSlot {
    enum class Kind : uint32_t { Free = 0, Mutex = 1, Event = 2 };
    enum class TakeOutcome { Busy, Taken };
    static constexpr int kMaxWaiters = 32;

    // A thread that found the event unset (Waiting) or that a PulseEvent let through (Pulsed).
    struct Waiter {
        enum State : uint32_t { Unused = 0, Waiting = 1, Pulsed = 2 };
        SharedCaller caller;
        uint32_t state;
        uint32_t order;  // lower waited longer
    };

    pthread_mutex_t guard;  // robust and process-shared; held for a few instructions only
    Kind kind;
    SharedCaller owner;  // mutex: the owning thread while count > 0
    uint32_t count;
    uint32_t manualReset;  // event
    uint32_t signaled;
    uint32_t data;
    uint32_t nextOrder;
    Waiter waiters[kMaxWaiters];

    // Server side. The guard is made once for the whole life of the area.
    void InitializeGuard();
    void MakeMutex(SharedCaller initialOwner);  // pid 0: no initial owner
    void MakeEvent(bool manualReset, bool initiallySet);
    void Free();
    // The process has ended: its ownership goes (the next taker gets the mutex) and its waits end.
    void DropProcess(int32_t pid);

    // Any process. An auto-reset event resets as it is taken; a mutex is recursive for its owner, and
    // one whose owning process is gone is taken over.
    TakeOutcome TryAcquire(SharedCaller caller);
    void Untake(SharedCaller caller);
    void WaitEnded(SharedCaller caller);
    bool ReleaseMutex(SharedCaller caller);  // false: the caller is not the owner
    void AbandonMutex(SharedCaller caller);
    void SetEvent();
    void ResetEvent();
    void PulseEvent();
    void SetData(uint32_t value);
    uint32_t Data();

private:
    class Lock;
    Waiter* FindWaiter(SharedCaller caller);
    void AddWaiter(SharedCaller caller);
    bool TakeMutex(SharedCaller caller);
    bool TakeEvent(SharedCaller caller);
};

}  // namespace ce::devserver
