#include "NamedMutex.h"

NamedMutex::NamedMutex(const std::u16string& name) : m_handle(CreateMutexW(nullptr, FALSE, name.c_str())) {}

NamedMutex::~NamedMutex() {
    if (m_handle)
        CloseHandle(m_handle);
}

NamedMutex::Lock::Lock(NamedMutex& mutex) {
    // A mutex that could not be made, or a wait that fails, leaves the files unguarded rather than
    // unreadable: their readers check what they read.
    if (!mutex.m_handle)
        return;
    DWORD waited = WaitForSingleObject(mutex.m_handle, INFINITE);
    // An abandoned mutex is taken over: its holder died, and the files are written so that a cut write
    // is found.
    if (waited == WAIT_OBJECT_0 || waited == WAIT_ABANDONED)
        m_held = mutex.m_handle;
}

NamedMutex::Lock::~Lock() {
    if (m_held)
        ReleaseMutex(m_held);
}
