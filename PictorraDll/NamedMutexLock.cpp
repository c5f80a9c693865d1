#include "NamedMutexLock.h"

#include <map>
#include <mutex>

namespace {
// The names are the few package and cache paths the process opens. The handles are closed when the
// library is unloaded or the process ends; the platform the library is built on goes after it.
struct KeptHandles {
    std::mutex lock;
    std::map<std::u16string, HANDLE> byName;
    ~KeptHandles()
    {
        for (auto& [name, handle] : byName) CloseHandle(handle);
    }
};

KeptHandles& Kept()
{
    static KeptHandles kept;
    return kept;
}
}  // namespace

HANDLE NamedMutexLock::KeptHandle(const std::u16string& name)
{
    KeptHandles& kept = Kept();
    std::lock_guard<std::mutex> guard(kept.lock);
    auto found = kept.byName.find(name);
    if (found != kept.byName.end()) return found->second;
    HANDLE mutex = CreateMutexW(nullptr, FALSE, name.c_str());
    if (mutex) kept.byName.emplace(name, mutex);
    return mutex;
}

NamedMutexLock::NamedMutexLock(const std::u16string& name)
{
    HANDLE mutex = KeptHandle(name);
    if (!mutex) return;
    DWORD waited = WaitForSingleObject(mutex, INFINITE);
    if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED) m_held = mutex;
}

NamedMutexLock::~NamedMutexLock()
{
    if (m_held) ReleaseMutex(m_held);
}
