// Processes of the device: a device program runs as the host file that its device path names, with the
// device's command line as its single argument and the device root in its environment; the program's
// entry shim does the rest.
#include <signal.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "ce/device.h"
#include "ce/kernel.h"
#include "kernel/HandleTable.h"
#include "modules/DeviceImage.h"
#include "process/ChildWatcher.h"
#include "process/ProcessObject.h"
#include "process/ProgramSpawn.h"

using ce::detail::ChildWatcher;
using ce::detail::ProcessObject;
using ce::detail::ProcessState;

namespace {

int OpenPidfd(pid_t pid) {
    return static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
}

DWORD ErrorOfErrno(int error) {
    switch (error) {
        case ENOENT:
            return ERROR_FILE_NOT_FOUND;
        case EACCES:
        case EPERM:
            return ERROR_ACCESS_DENIED;
        case ENOEXEC:
            return ERROR_BAD_FORMAT;
        case ENOMEM:
        case EAGAIN:
            return ERROR_NOT_ENOUGH_MEMORY;
        default:
            return ERROR_INVALID_PARAMETER;
    }
}

HANDLE InsertProcess(const std::shared_ptr<ProcessState>& state) {
    return ce::detail::InsertHandle(std::make_shared<ProcessObject>(state));
}

std::shared_ptr<ProcessState> LookupProcess(HANDLE process) {
    if (process == GetCurrentProcess()) {
        auto self = std::make_shared<ProcessState>();
        self->pid = getpid();
        return self;
    }
    auto object = ce::detail::LookupHandleAs<ProcessObject>(process);
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
        return nullptr;
    }
    return object->State();
}

}  // namespace

extern "C" {

BOOL CreateProcessW(LPCWSTR application, LPWSTR commandLine, LPSECURITY_ATTRIBUTES, LPSECURITY_ATTRIBUTES,
                    BOOL, DWORD, LPVOID, LPCWSTR, LPSTARTUPINFOW, LPPROCESS_INFORMATION info) {
    if (application == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::string root = ce::DeviceRoot();
    if (root.empty()) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    std::string host = ce::detail::ResolveDeviceImage(application);
    if (host.empty()) {
        SetLastError(ERROR_FILE_NOT_FOUND);
        return FALSE;
    }
    auto state = std::make_shared<ProcessState>();
    state->isChild = true;
    int error = ce::detail::SpawnDeviceProgram(host, commandLine ? ce::ToUtf8(commandLine) : std::string(), root,
                                               &state->pid);
    if (error != 0) {
        SetLastError(ErrorOfErrno(error));
        return FALSE;
    }
    // Until it is reaped the child cannot go away, so its pidfd is always there to open.
    state->pidfd = OpenPidfd(state->pid);
    ChildWatcher::Instance().Watch(state);
    if (info != nullptr) {
        info->hProcess = InsertProcess(state);
        info->hThread = InsertProcess(state);  // the primary thread ends with its process
        info->dwProcessId = static_cast<DWORD>(state->pid);
        info->dwThreadId = static_cast<DWORD>(state->pid);
    }
    return TRUE;
}

HANDLE OpenProcess(DWORD, BOOL, DWORD processId) {
    auto pid = static_cast<pid_t>(processId);
    std::shared_ptr<ProcessState> state = ChildWatcher::Instance().Find(pid);
    if (!state) {
        int pidfd = OpenPidfd(pid);
        if (pidfd < 0) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
        }
        state = std::make_shared<ProcessState>();
        state->pid = pid;
        state->pidfd = pidfd;
        if (pid != getpid()) {  // this process never sees its own end
            ChildWatcher::Instance().Watch(state);
        }
    }
    return InsertProcess(state);
}

BOOL GetExitCodeProcess(HANDLE process, LPDWORD exitCode) {
    std::shared_ptr<ProcessState> state = LookupProcess(process);
    if (!state || exitCode == nullptr) {
        if (state) {
            SetLastError(ERROR_INVALID_PARAMETER);
        }
        return FALSE;
    }
    std::lock_guard guard(state->lock);
    *exitCode = state->exited ? state->exitCode : STILL_ACTIVE;
    return TRUE;
}

BOOL TerminateProcess(HANDLE process, UINT exitCode) {
    std::shared_ptr<ProcessState> state = LookupProcess(process);
    if (!state) {
        return FALSE;
    }
    std::lock_guard guard(state->lock);
    if (state->exited) {
        return TRUE;
    }
    if (state->pid == getpid()) {
        std::fflush(nullptr);
        _exit(static_cast<int>(exitCode));
    }
    state->terminated = true;
    state->terminateCode = exitCode;
    // Through the pidfd, so that a recycled pid can never be hit.
    if (syscall(SYS_pidfd_send_signal, state->pidfd, SIGKILL, nullptr, 0) != 0 && errno != ESRCH) {
        state->terminated = false;
        SetLastError(ERROR_ACCESS_DENIED);
        return FALSE;
    }
    return TRUE;
}

void ExitProcess(UINT exitCode) {
    std::fflush(nullptr);
    std::exit(static_cast<int>(exitCode));
}

}  // extern "C"
