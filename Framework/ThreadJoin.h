// Ending a thread that its starter owns: ask it through its stop event, wait for it, then let the handle
// go. A thread never closes its own handle, so only the starter calls this.
#pragma once

#include "ce/kernel.h"

// Sets the stop event, joins the thread and closes its handle; nothing when *thread is null. The stop
// event stays open (the starter may start the thread again).
inline void StopAndJoinThread(HANDLE* thread, HANDLE stopEvent) {
    if (*thread == nullptr) {
        return;
    }
    SetEvent(stopEvent);
    WaitForSingleObject(*thread, INFINITE);
    CloseHandle(*thread);
    *thread = nullptr;
}
