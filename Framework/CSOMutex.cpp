#include "CSOMutex.h"

CSOMutex::CSOMutex(BOOL initialOwner, LPCWSTR name, BOOL wait) {
    SetLastError(NO_ERROR);
    m_mutex = CreateMutexW(nullptr, initialOwner, name);
    if (m_mutex != nullptr && wait && GetLastError() == ERROR_ALREADY_EXISTS) {
        WaitForSingleObject(m_mutex, INFINITE);
    }
}

CSOMutex::~CSOMutex() {
    if (m_mutex != nullptr) {
        ReleaseMutex(m_mutex);
        CloseHandle(m_mutex);
        m_mutex = nullptr;
    }
}
