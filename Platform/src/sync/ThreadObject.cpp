#include "sync/ThreadObject.h"

#include <sys/syscall.h>
#include <unistd.h>

#include <system_error>
#include <thread>

#include "kernel/HandleTable.h"
#include "sync/MutexObject.h"
#include "sync/Waits.h"
#include "system/CryptoThreadState.h"

namespace ce::detail {
namespace {

thread_local std::shared_ptr<ThreadObject> currentThread;

// Linux thread ids are unique in the whole system, as the device's are.
DWORD SystemThreadId() {
    return static_cast<DWORD>(syscall(SYS_gettid));
}

}  // namespace

std::shared_ptr<ThreadObject> ThreadObject::Current() {
    if (!currentThread) {
        currentThread = std::make_shared<ThreadObject>(0);
        currentThread->id_ = SystemThreadId();
    }
    return currentThread;
}

std::shared_ptr<ThreadObject> ThreadObject::FromHandle(HANDLE handle) {
    return handle == kCurrentThreadHandle ? Current() : LookupHandleAs<ThreadObject>(handle);
}

std::shared_ptr<ThreadObject> ThreadObject::Start(LPTHREAD_START_ROUTINE start, LPVOID parameter,
                                                  bool suspended) {
    auto thread = std::make_shared<ThreadObject>(suspended ? 1 : 0);
    try {
        std::thread([thread, start, parameter] { Run(thread, start, parameter); }).detach();
    } catch (const std::system_error&) {
        return nullptr;
    }
    // The caller learns the new thread's id at once, so wait until the thread has told it.
    std::unique_lock lock(thread->lock_);
    thread->startChanged_.wait(lock, [&] { return thread->id_ != 0; });
    return thread;
}

void ThreadObject::Run(const std::shared_ptr<ThreadObject>& self, LPTHREAD_START_ROUTINE start,
                       LPVOID parameter) {
    currentThread = self;
    {
        std::unique_lock lock(self->lock_);
        self->id_ = SystemThreadId();
        self->startChanged_.notify_all();
        self->startChanged_.wait(lock, [&] { return self->suspendCount_ == 0; });
    }
    DWORD exitCode = start(parameter);
    AbandonMutexesOfThisThread();  // before the thread counts as ended, so its waiters find them free
    // libcrypto (under libcurl and the device id) keeps state for each thread that used it, freed by a
    // thread-exit hook that would run only after Finish: a waiter that ends the process then would
    // race it (the hook is gone once the process's clean-up has run). Freed here, the thread has let go
    // of it when it counts as ended, as a device thread has when its handle is signalled.
    StopCryptoForThisThread();
    self->Finish(exitCode);
    currentThread.reset();
}

void ThreadObject::Finish(DWORD exitCode) {
    std::lock_guard guard(WaitLock());
    finished_ = true;
    exitCode_ = exitCode;
    NotifyWaiters();
}

bool ThreadObject::IsSignaled(DWORD /*threadId*/) {
    return finished_;
}

DWORD ThreadObject::ExitCode() {
    std::lock_guard guard(WaitLock());
    return finished_ ? exitCode_ : STILL_ACTIVE;
}

DWORD ThreadObject::Resume() {
    std::lock_guard guard(lock_);
    DWORD previous = suspendCount_;
    if (suspendCount_ > 0 && --suspendCount_ == 0) {
        startChanged_.notify_all();
    }
    return previous;
}

int ThreadObject::Priority() {
    std::lock_guard guard(lock_);
    return priority_;
}

void ThreadObject::SetPriority(int priority) {
    std::lock_guard guard(lock_);
    priority_ = priority;
}

}  // namespace ce::detail
