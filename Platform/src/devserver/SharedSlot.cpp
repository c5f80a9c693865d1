#include "devserver/SharedSlot.h"

#include <signal.h>

#include <cerrno>

namespace ce::devserver {
namespace {

// True unless the process is known to be gone (a process we may not signal still lives).
bool ProcessAlive(int32_t pid) {
    return pid > 0 && (kill(pid, 0) == 0 || errno != ESRCH);
}

}  // namespace

// Holds the guard. A process that died holding it left a slot whose every change is a single store
// or a short loop over the waiters, so the state is usable as it stands and is declared consistent.
class SharedSlot::Lock {
public:
    explicit Lock(SharedSlot& slot) : guard_(slot.guard) {
        if (pthread_mutex_lock(&guard_) == EOWNERDEAD) {
            pthread_mutex_consistent(&guard_);
        }
    }
    ~Lock() { pthread_mutex_unlock(&guard_); }
    Lock(const Lock&) = delete;
    Lock& operator=(const Lock&) = delete;

private:
    pthread_mutex_t& guard_;
};

void SharedSlot::InitializeGuard() {
    pthread_mutexattr_t attributes;
    pthread_mutexattr_init(&attributes);
    pthread_mutexattr_setpshared(&attributes, PTHREAD_PROCESS_SHARED);
    pthread_mutexattr_setrobust(&attributes, PTHREAD_MUTEX_ROBUST);
    pthread_mutex_init(&guard, &attributes);
    pthread_mutexattr_destroy(&attributes);
}

void SharedSlot::MakeMutex(SharedCaller initialOwner) {
    Lock lock(*this);
    kind = Kind::Mutex;
    owner = initialOwner;
    count = initialOwner.pid != 0 ? 1 : 0;
}

void SharedSlot::MakeEvent(bool manualResetEvent, bool initiallySet) {
    Lock lock(*this);
    kind = Kind::Event;
    manualReset = manualResetEvent ? 1 : 0;
    signaled = initiallySet ? 1 : 0;
    data = 0;
    nextOrder = 0;
    for (Waiter& waiter : waiters) {
        waiter.state = Waiter::Unused;
    }
}

void SharedSlot::Free() {
    Lock lock(*this);
    kind = Kind::Free;
    owner = {};
    count = 0;
}

void SharedSlot::DropProcess(int32_t pid) {
    Lock lock(*this);
    if (count != 0 && owner.pid == pid) {
        owner = {};
        count = 0;
    }
    for (Waiter& waiter : waiters) {
        if (waiter.caller.pid == pid) {
            waiter.state = Waiter::Unused;
        }
    }
}

SharedSlot::Waiter* SharedSlot::FindWaiter(SharedCaller caller) {
    for (Waiter& waiter : waiters) {
        if (waiter.state != Waiter::Unused && waiter.caller == caller) {
            return &waiter;
        }
    }
    return nullptr;
}

// A wait that finds no free entry goes unregistered: it still sees the event set, only a pulse
// passes it by.
void SharedSlot::AddWaiter(SharedCaller caller) {
    for (Waiter& waiter : waiters) {
        if (waiter.state == Waiter::Unused) {
            waiter = {caller, Waiter::Waiting, nextOrder++};
            return;
        }
    }
}

bool SharedSlot::TakeMutex(SharedCaller caller) {
    if (count != 0 && owner != caller && ProcessAlive(owner.pid)) {
        return false;
    }
    if (count == 0 || owner != caller) {
        owner = caller;
        count = 0;  // an owner that died without the server noticing yet gives up its whole count
    }
    ++count;
    return true;
}

bool SharedSlot::TakeEvent(SharedCaller caller) {
    Waiter* entry = FindWaiter(caller);
    bool taken = false;
    if (entry != nullptr && entry->state == Waiter::Pulsed) {
        taken = true;
    } else if (signaled != 0) {
        signaled = manualReset;
        taken = true;
    }
    if (taken && entry != nullptr) {
        entry->state = Waiter::Unused;
    } else if (!taken && entry == nullptr) {
        AddWaiter(caller);
    }
    return taken;
}

SharedSlot::TakeOutcome SharedSlot::TryAcquire(SharedCaller caller) {
    Lock lock(*this);
    bool taken = kind == Kind::Mutex ? TakeMutex(caller) : TakeEvent(caller);
    return taken ? TakeOutcome::Taken : TakeOutcome::Busy;
}

void SharedSlot::Untake(SharedCaller caller) {
    if (kind == Kind::Mutex) {
        ReleaseMutex(caller);
        return;
    }
    Lock lock(*this);
    if (manualReset == 0) {
        signaled = 1;
    }
}

void SharedSlot::WaitEnded(SharedCaller caller) {
    Lock lock(*this);
    if (Waiter* entry = FindWaiter(caller)) {
        entry->state = Waiter::Unused;
    }
}

bool SharedSlot::ReleaseMutex(SharedCaller caller) {
    Lock lock(*this);
    if (count == 0 || owner != caller) {
        return false;
    }
    if (--count == 0) {
        owner = {};
    }
    return true;
}

void SharedSlot::AbandonMutex(SharedCaller caller) {
    Lock lock(*this);
    if (count != 0 && owner == caller) {
        owner = {};
        count = 0;
    }
}

void SharedSlot::SetEvent() {
    Lock lock(*this);
    signaled = 1;
}

void SharedSlot::ResetEvent() {
    Lock lock(*this);
    signaled = 0;
}

// Lets through every thread waiting right now (manual reset) or the one that waited longest; the
// others of an auto-reset event register again on their next look.
void SharedSlot::PulseEvent() {
    Lock lock(*this);
    Waiter* oldest = nullptr;
    for (Waiter& waiter : waiters) {
        if (waiter.state != Waiter::Waiting) {
            continue;
        }
        if (manualReset != 0) {
            waiter.state = Waiter::Pulsed;
        } else if (oldest == nullptr || waiter.order < oldest->order) {
            oldest = &waiter;
        }
    }
    if (oldest != nullptr) {
        for (Waiter& waiter : waiters) {
            if (waiter.state == Waiter::Waiting) {
                waiter.state = Waiter::Unused;
            }
        }
        oldest->state = Waiter::Pulsed;
    }
    signaled = 0;
}

void SharedSlot::SetData(uint32_t value) {
    Lock lock(*this);
    data = value;
}

uint32_t SharedSlot::Data() {
    Lock lock(*this);
    return data;
}

}  // namespace ce::devserver
