// Errors of the file calls as the platform reports them, and the resolution of a device path that
// tells a missing file from a missing folder.
#pragma once

#include <string>

#include "ce/kernel.h"

namespace ce::detail {

DWORD ErrorFromErrno(int error);

struct ResolvedPath {
    std::string host;     // empty when the path is not valid
    bool exists = false;  // the path itself
    bool parentIsFolder = false;
    DWORD invalidError = 0;  // why host is empty
};

// Resolves a device path given to a file call; wildcards are refused here (only Find* takes them).
ResolvedPath ResolveFilePath(LPCWSTR path);

// Sets the last error and returns the value, for one-line failure returns.
template <class T>
T Fail(DWORD error, T result) {
    SetLastError(error);
    return result;
}

}  // namespace ce::detail
