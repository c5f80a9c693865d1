#include "files/FileErrors.h"

#include <sys/stat.h>

#include <cerrno>

#include "ce/device.h"

namespace ce::detail {

DWORD ErrorFromErrno(int error) {
    switch (error) {
        case ENOENT:
            return ERROR_FILE_NOT_FOUND;
        case ENOTDIR:
            return ERROR_PATH_NOT_FOUND;
        case EEXIST:
            return ERROR_ALREADY_EXISTS;
        case ENOSPC:
        case EDQUOT:
            return ERROR_DISK_FULL;
        case ENOTEMPTY:
            return ERROR_DIR_NOT_EMPTY;
        case EMFILE:
        case ENFILE:
            return ERROR_TOO_MANY_OPEN_FILES;
        case ENAMETOOLONG:
            return ERROR_INVALID_NAME;
        case EBUSY:
            return ERROR_BUSY;
        case EINVAL:
            return ERROR_INVALID_PARAMETER;
        case ENOMEM:
            return ERROR_NOT_ENOUGH_MEMORY;
        case EIO:
            return ERROR_WRITE_FAULT;
        default:
            return ERROR_ACCESS_DENIED;
    }
}

ResolvedPath ResolveFilePath(LPCWSTR path) {
    ResolvedPath resolved;
    if (path == nullptr || *path == 0) {
        resolved.invalidError = ERROR_INVALID_PARAMETER;
        return resolved;
    }
    std::u16string_view text(path);
    if (text.find_first_of(u"*?<>|\"") != std::u16string_view::npos) {
        resolved.invalidError = ERROR_INVALID_NAME;
        return resolved;
    }
    if (DeviceRoot().empty()) {
        resolved.invalidError = ERROR_PATH_NOT_FOUND;
        return resolved;
    }
    resolved.host = HostPath(text);
    if (resolved.host.empty()) {
        resolved.invalidError = ERROR_INVALID_NAME;
        return resolved;
    }
    struct stat info {};
    resolved.exists = stat(resolved.host.c_str(), &info) == 0;
    std::string parent = resolved.host.substr(0, resolved.host.find_last_of('/'));
    resolved.parentIsFolder = stat(parent.c_str(), &info) == 0 && S_ISDIR(info.st_mode);
    return resolved;
}

}  // namespace ce::detail
