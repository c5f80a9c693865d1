#include "sync/Waits.h"

#include <algorithm>
#include <chrono>
#include <condition_variable>
#include <list>

#include "ce/device.h"
#include "ce/kernel.h"

namespace ce::detail {
namespace {

// One blocked wait, known to PulseEvent while it is registered.
struct Waiter {
    const std::vector<std::shared_ptr<KernelObject>>* objects;
    std::vector<const KernelObject*> pulsed;
    bool timed = false;

    bool WaitsOn(const KernelObject* object) const {
        return std::any_of(objects->begin(), objects->end(),
                           [object](const auto& candidate) { return candidate.get() == object; });
    }
    bool Pulsed(const KernelObject* object) const {
        return std::find(pulsed.begin(), pulsed.end(), object) != pulsed.end();
    }
};

struct WaitState {
    std::mutex lock;
    std::condition_variable changed;
    std::list<Waiter*> waiters;  // oldest first
    size_t markedWaits = 0;      // timed waits outside WaitForObjects
};

WaitState& State() {
    static WaitState* state = new WaitState;  // never destroyed: threads may still wait during exit
    return *state;
}

// Polled objects and the virtual clock are looked at again after this many real microseconds, growing
// from the first to the last: a mutex handed over between processes is seen soon, a long wait costs
// little.
constexpr int kFirstPollUs = 50;
constexpr int kLastPollUs = 10000;

constexpr DWORD kTakenAll = WAIT_OBJECT_0;

// One attempt to satisfy a wait for any object: WAIT_OBJECT_0 + i, WAIT_TIMEOUT for none, WAIT_FAILED.
DWORD TakeAny(const std::vector<std::shared_ptr<KernelObject>>& objects, Waiter& waiter, DWORD threadId) {
    for (size_t i = 0; i < objects.size(); ++i) {
        KernelObject& object = *objects[i];
        if (waiter.Pulsed(&object)) {
            return WAIT_OBJECT_0 + static_cast<DWORD>(i);
        }
        TakeResult result = object.TryAcquire(threadId);
        if (result == TakeResult::Taken) {
            return WAIT_OBJECT_0 + static_cast<DWORD>(i);
        }
        if (result == TakeResult::Failed) {
            return WAIT_FAILED;
        }
    }
    return WAIT_TIMEOUT;
}

// One attempt to satisfy a wait for all objects at once. Objects of this process cannot change while
// the lock is held, so they are checked first, then the polled ones are taken (and given back when one
// of them is busy), and only then are the local ones taken.
DWORD TakeAll(const std::vector<std::shared_ptr<KernelObject>>& objects, Waiter& waiter, DWORD threadId) {
    for (const auto& object : objects) {
        if (!object->NeedsPolling() && !waiter.Pulsed(object.get()) && !object->IsSignaled(threadId)) {
            return WAIT_TIMEOUT;
        }
    }
    std::vector<KernelObject*> taken;
    for (const auto& object : objects) {
        if (!object->NeedsPolling() || waiter.Pulsed(object.get())) {
            continue;
        }
        TakeResult result = object->TryAcquire(threadId);
        if (result != TakeResult::Taken) {
            for (KernelObject* done : taken) {
                done->Untake(threadId);
            }
            return result == TakeResult::Busy ? WAIT_TIMEOUT : WAIT_FAILED;
        }
        taken.push_back(object.get());
    }
    for (const auto& object : objects) {
        if (!object->NeedsPolling() && !waiter.Pulsed(object.get())) {
            object->Acquire(threadId);
        }
    }
    return kTakenAll;
}

bool AnyPolled(const std::vector<std::shared_ptr<KernelObject>>& objects) {
    return std::any_of(objects.begin(), objects.end(),
                       [](const auto& object) { return object->NeedsPolling(); });
}

}  // namespace

std::mutex& WaitLock() {
    return State().lock;
}

void NotifyWaiters() {
    State().changed.notify_all();
}

void PulseWaiters(const KernelObject* object, bool all) {
    for (Waiter* waiter : State().waiters) {
        if (waiter->WaitsOn(object) && !waiter->Pulsed(object)) {
            waiter->pulsed.push_back(object);
            if (!all) {
                break;
            }
        }
    }
    NotifyWaiters();
}

DWORD WaitForObjects(const std::vector<std::shared_ptr<KernelObject>>& objects, bool waitAll,
                     DWORD milliseconds) {
    const DWORD threadId = GetCurrentThreadId();
    const bool polled = AnyPolled(objects);
    const bool infinite = milliseconds == INFINITE;
    const uint64_t deadline = ClockTickMs() + (infinite ? 0 : milliseconds);
    int pollUs = kFirstPollUs;

    WaitState& state = State();
    Waiter waiter{&objects, {}, !infinite};
    std::unique_lock lock(state.lock);
    auto registration = state.waiters.insert(state.waiters.end(), &waiter);
    DWORD result = WAIT_TIMEOUT;
    for (;;) {
        result = waitAll ? TakeAll(objects, waiter, threadId) : TakeAny(objects, waiter, threadId);
        if (result != WAIT_TIMEOUT) {
            break;
        }
        uint64_t now = ClockTickMs();
        if (!infinite && now >= deadline) {
            break;
        }
        if (polled || VirtualClockEnabled()) {
            state.changed.wait_for(lock, std::chrono::microseconds(pollUs));
            pollUs = std::min(pollUs * 2, kLastPollUs);
        } else if (infinite) {
            state.changed.wait(lock);
        } else {
            state.changed.wait_for(lock, std::chrono::milliseconds(deadline - now));
        }
    }
    state.waiters.erase(registration);
    lock.unlock();

    if (polled) {
        for (const auto& object : objects) {
            object->WaitEnded(threadId);
        }
    }
    if (result == WAIT_FAILED) {
        SetLastError(ERROR_INVALID_HANDLE);
    }
    return result;
}

TimedWaitMark::TimedWaitMark() {
    std::lock_guard lock(State().lock);
    ++State().markedWaits;
}

TimedWaitMark::~TimedWaitMark() {
    std::lock_guard lock(State().lock);
    --State().markedWaits;
}

}  // namespace ce::detail

namespace ce {

size_t TimedWaitsInProgress() {
    detail::WaitState& state = detail::State();
    std::lock_guard lock(state.lock);
    return state.markedWaits +
           static_cast<size_t>(std::count_if(state.waiters.begin(), state.waiters.end(),
                                             [](const detail::Waiter* waiter) { return waiter->timed; }));
}

}  // namespace ce
