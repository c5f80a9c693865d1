#include "CStopwatch.h"

CStopwatch::CStopwatch() {
    LARGE_INTEGER frequency{}, first{}, second{};
    if (!QueryPerformanceFrequency(&frequency) || frequency.QuadPart <= 0 || !QueryPerformanceCounter(&first) ||
        !QueryPerformanceCounter(&second)) {
        return;
    }
    m_frequency = frequency.QuadPart;
    m_readCost = second.QuadPart - first.QuadPart;
    m_valid = true;
    m_start = second.QuadPart;
}

void CStopwatch::Start() {
    LARGE_INTEGER now{};
    if (m_valid && QueryPerformanceCounter(&now)) {
        m_start = now.QuadPart;
    }
}

DWORD CStopwatch::GetElapsedMs() const {
    LARGE_INTEGER now{};
    if (!m_valid || !QueryPerformanceCounter(&now)) {
        return 0;
    }
    LONGLONG counts = now.QuadPart - m_start - m_readCost;
    return counts <= 0 ? 0 : static_cast<DWORD>(counts * 1000 / m_frequency);
}
