#include "CMemoryController.h"

#include <cstdlib>
#include <vector>

#include "ce/connmgr.h"
#include "ce/gdi.h"
#include "ce/inet.h"
#include "ce/kernel.h"

int CMemoryController::Register(const void* resource, int kind) {
    if (kind == kResourceObject || kind == kResourceThread) {
        return 0;
    }
    return RegisterEntry(resource, {kind, nullptr, nullptr});
}

int CMemoryController::RegisterThread(HANDLE thread, HANDLE stopEvent) {
    return stopEvent == nullptr ? 0 : RegisterEntry(thread, {kResourceThread, stopEvent, nullptr});
}

int CMemoryController::RegisterEntry(const void* resource, const Entry& entry) {
    if (resource == nullptr || entry.kind < 0 || entry.kind > kResourceGdiObject) {
        return 0;
    }
    std::lock_guard guard(m_lock);
    m_resources[resource] = entry;
    return 1;
}

int CMemoryController::Unregister(const void* resource) {
    std::lock_guard guard(m_lock);
    return m_resources.erase(resource) > 0 ? 1 : 0;
}

int CMemoryController::AddStopEvent(HANDLE stopEvent) {
    if (stopEvent == nullptr) {
        return 0;
    }
    std::lock_guard guard(m_lock);
    m_stopEvents.insert(stopEvent);
    return 1;
}

void CMemoryController::RemoveStopEvent(HANDLE stopEvent) {
    std::lock_guard guard(m_lock);
    m_stopEvents.erase(stopEvent);
}

int CMemoryController::Release(const void* resource, int kind) {
    if (resource == nullptr || kind < 0 || kind > kResourceGdiObject) {
        return 0;
    }
    Entry entry{kind, nullptr, nullptr};
    {
        std::lock_guard guard(m_lock);
        auto found = m_resources.find(resource);
        if (found != m_resources.end()) {
            entry.stopEvent = found->second.stopEvent;
            entry.deleter = found->second.deleter;
            m_resources.erase(found);
        }
    }
    return ReleaseEntry(const_cast<void*>(resource), entry);
}

void CMemoryController::Interrupt() {
    std::vector<std::pair<const void*, Entry>> taken;
    {
        std::lock_guard guard(m_lock);
        // Under the lock: the owner closes an event only after removing it.
        for (HANDLE stopEvent : m_stopEvents) {
            SetEventData(stopEvent, 1);
            SetEvent(stopEvent);
        }
        for (auto it = m_resources.begin(); it != m_resources.end();) {
            const int kind = it->second.kind;
            if (kind == kResourceInternetHandle || kind == kResourceConnection) {
                taken.emplace_back(*it);
                it = m_resources.erase(it);
            } else {
                ++it;
            }
        }
    }
    for (const auto& [resource, entry] : taken) {
        ReleaseEntry(const_cast<void*>(resource), entry);
    }
}

void CMemoryController::ReleaseAll() {
    std::map<const void*, Entry> taken;
    {
        std::lock_guard guard(m_lock);
        taken.swap(m_resources);
        m_stopEvents.clear();
    }
    std::vector<std::pair<const void*, Entry>> threads;
    for (const auto& [resource, entry] : taken) {
        if (entry.kind == kResourceThread) {
            SetEvent(entry.stopEvent);
            threads.emplace_back(resource, entry);
        }
    }
    for (const auto& [resource, entry] : taken) {
        if (entry.kind != kResourceThread) {
            ReleaseEntry(const_cast<void*>(resource), entry);
        }
    }
    for (const auto& [resource, entry] : threads) {
        JoinThread(const_cast<void*>(resource), entry.stopEvent);
    }
}

void CMemoryController::Clear() {
    std::lock_guard guard(m_lock);
    m_resources.clear();
    m_stopEvents.clear();
}

int CMemoryController::GetCount() const {
    std::lock_guard guard(m_lock);
    return static_cast<int>(m_resources.size());
}

int CMemoryController::ReleaseEntry(void* resource, const Entry& entry) {
    switch (entry.kind) {
        case kResourceHeapBlock: std::free(resource); return 1;
        case kResourceObject:
            if (entry.deleter == nullptr) {
                return 0;
            }
            entry.deleter(resource);
            return 1;
        case kResourceArray: delete[] static_cast<char*>(resource); return 1;
        case kResourceKernelHandle: return CloseHandle(resource) ? 1 : 0;
        case kResourceInternetHandle: return InternetCloseHandle(resource) ? 1 : 0;
        case kResourceConnection: return SUCCEEDED(ConnMgrReleaseConnection(resource, 0)) ? 1 : 0;
        case kResourceThread:
            if (entry.stopEvent == nullptr) {
                return 0;
            }
            SetEvent(entry.stopEvent);
            return JoinThread(resource, entry.stopEvent);
        case kResourceDeviceContext: return DeleteDC(static_cast<HDC>(resource)) ? 1 : 0;
        case kResourceGdiObject: return DeleteObject(static_cast<HGDIOBJ>(resource)) ? 1 : 0;
        default: return 0;
    }
}

int CMemoryController::JoinThread(HANDLE thread, HANDLE stopEvent) {
    WaitForSingleObject(thread, INFINITE);
    CloseHandle(stopEvent);
    return CloseHandle(thread) ? 1 : 0;
}
