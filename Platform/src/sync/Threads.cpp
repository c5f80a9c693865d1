// Threads of this process. There is no TerminateThread: a thread is asked to stop and waited for.
#include <unistd.h>

#include "ce/kernel.h"
#include "kernel/HandleTable.h"
#include "sync/ThreadObject.h"

using ce::detail::ThreadObject;

namespace {

std::shared_ptr<ThreadObject> ThreadOrError(HANDLE handle) {
    auto thread = ThreadObject::FromHandle(handle);
    if (!thread) {
        SetLastError(ERROR_INVALID_HANDLE);
    }
    return thread;
}

}  // namespace

extern "C" {

CE_API HANDLE CreateThread(LPSECURITY_ATTRIBUTES /*security*/, DWORD /*stackSize*/,
                           LPTHREAD_START_ROUTINE start, LPVOID parameter, DWORD flags, LPDWORD threadId) {
    if (start == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto thread = ThreadObject::Start(start, parameter, (flags & CREATE_SUSPENDED) != 0);
    if (!thread) {
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return nullptr;
    }
    if (threadId != nullptr) {
        *threadId = thread->Id();
    }
    return ce::detail::InsertHandle(thread);
}

CE_API DWORD ResumeThread(HANDLE handle) {
    auto thread = ThreadOrError(handle);
    return thread ? thread->Resume() : static_cast<DWORD>(-1);
}

CE_API BOOL GetExitCodeThread(HANDLE handle, LPDWORD exitCode) {
    auto thread = ThreadOrError(handle);
    if (!thread || exitCode == nullptr) {
        return FALSE;
    }
    *exitCode = thread->ExitCode();
    return TRUE;
}

CE_API BOOL SetThreadPriority(HANDLE handle, int priority) {
    auto thread = ThreadOrError(handle);
    if (!thread) {
        return FALSE;
    }
    if (priority < THREAD_PRIORITY_TIME_CRITICAL || priority > THREAD_PRIORITY_IDLE) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    thread->SetPriority(priority);
    return TRUE;
}

CE_API int GetThreadPriority(HANDLE handle) {
    const int kPriorityError = 0x7FFFFFFF;  // THREAD_PRIORITY_ERROR_RETURN
    auto thread = ThreadOrError(handle);
    return thread ? thread->Priority() : kPriorityError;
}

CE_API HANDLE GetCurrentThread(void) {
    return ce::detail::kCurrentThreadHandle;
}

CE_API DWORD GetCurrentThreadId(void) {
    return ThreadObject::Current()->Id();
}

CE_API HANDLE GetCurrentProcess(void) {
    return ce::detail::kCurrentProcessHandle;
}

CE_API DWORD GetCurrentProcessId(void) {
    return static_cast<DWORD>(getpid());
}

}  // extern "C"
