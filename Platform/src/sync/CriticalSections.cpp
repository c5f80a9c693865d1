// Critical sections: recursive per thread, kept in the caller's CRITICAL_SECTION storage.
#include <mutex>
#include <new>

#include "ce/kernel.h"

namespace {

static_assert(sizeof(std::recursive_mutex) <= sizeof(CRITICAL_SECTION::opaque));
static_assert(alignof(std::recursive_mutex) <= alignof(CRITICAL_SECTION));

std::recursive_mutex& SectionMutex(LPCRITICAL_SECTION section) {
    return *std::launder(reinterpret_cast<std::recursive_mutex*>(section->opaque));
}

}  // namespace

extern "C" {

CE_API void InitializeCriticalSection(LPCRITICAL_SECTION section) {
    new (section->opaque) std::recursive_mutex;
}

CE_API void DeleteCriticalSection(LPCRITICAL_SECTION section) {
    using Mutex = std::recursive_mutex;
    SectionMutex(section).~Mutex();
}

CE_API void EnterCriticalSection(LPCRITICAL_SECTION section) {
    SectionMutex(section).lock();
}

CE_API void LeaveCriticalSection(LPCRITICAL_SECTION section) {
    SectionMutex(section).unlock();
}

CE_API BOOL TryEnterCriticalSection(LPCRITICAL_SECTION section) {
    return SectionMutex(section).try_lock() ? TRUE : FALSE;
}

}  // extern "C"
