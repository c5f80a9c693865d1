// What the layer knows of one process that a handle names: its pid, a pidfd that becomes readable when
// it ends, and its exit code once it has ended.
#pragma once

#include <sys/types.h>

#include <mutex>

#include "ce/kernel.h"

namespace ce::detail {

struct ProcessState {
    pid_t pid = 0;
    bool isChild = false;  // only a child can be reaped, and so only a child's exit code is known

    std::mutex lock;
    int pidfd = -1;  // closed once the process has ended
    bool exited = false;
    DWORD exitCode = STILL_ACTIVE;
    bool terminated = false;  // TerminateProcess asked for terminateCode
    DWORD terminateCode = 0;
};

}  // namespace ce::detail
