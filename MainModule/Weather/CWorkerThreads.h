// The worker threads that an object started and has not joined yet, with their thread ids. A worker may
// start the next one from its own thread (a listener does), so taking them out to join leaves the
// calling thread's own. The owner guards it with its lock and joins after letting go of the lock.
#pragma once

#include <utility>
#include <vector>

#include "ce/types.h"

class CWorkerThreads {
public:
    void Add(HANDLE thread, DWORD threadId) { m_workers.emplace_back(thread, threadId); }
    std::vector<HANDLE> TakeAllButCurrent();
    // Waits for each and closes its handle.
    static void Join(const std::vector<HANDLE>& workers);

private:
    std::vector<std::pair<HANDLE, DWORD>> m_workers;
};
