#include "Weather/CWorkerThreads.h"

#include "ce/kernel.h"

std::vector<HANDLE> CWorkerThreads::TakeAllButCurrent() {
    std::vector<HANDLE> taken;
    const DWORD self = GetCurrentThreadId();
    for (auto worker = m_workers.begin(); worker != m_workers.end();) {
        if (worker->second == self) {
            ++worker;
            continue;
        }
        taken.push_back(worker->first);
        worker = m_workers.erase(worker);
    }
    return taken;
}

void CWorkerThreads::Join(const std::vector<HANDLE>& workers) {
    for (HANDLE worker : workers) {
        WaitForSingleObject(worker, INFINITE);
        CloseHandle(worker);
    }
}
