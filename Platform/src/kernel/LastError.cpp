#include "ce/types.h"

namespace {
thread_local DWORD lastError = ERROR_SUCCESS;
}

extern "C" CE_API DWORD GetLastError(void) { return lastError; }
extern "C" CE_API void SetLastError(DWORD error) { lastError = error; }
