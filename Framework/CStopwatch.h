// Milliseconds measured on the performance counter, less the cost of reading it.
#pragma once

#include "ce/kernel.h"

class CStopwatch {
public:
    CStopwatch();

    void Start();
    // Milliseconds since Start; 0 when the device has no performance counter.
    DWORD GetElapsedMs() const;

private:
    LONGLONG m_readCost = 0;
    LONGLONG m_frequency = 0;
    LONGLONG m_start = 0;
    bool m_valid = false;
};
