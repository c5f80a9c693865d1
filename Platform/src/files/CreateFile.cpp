// CreateFileW: the five creation dispositions, read-only files and the share modes of open handles.
#include <fcntl.h>
#include <sys/stat.h>
#include <termios.h>
#include <unistd.h>

#include <cerrno>
#include <memory>

#include "files/DiskSync.h"
#include "files/FileErrors.h"
#include "files/FileObject.h"
#include "files/PowerCutSimulator.h"
#include "files/SerialPort.h"
#include "files/ShareTable.h"
#include "kernel/HandleTable.h"

namespace ce::detail {
namespace {

int OpenFlags(DWORD access) {
    bool reads = (access & (GENERIC_READ | GENERIC_ALL)) != 0;
    bool writes = (access & (GENERIC_WRITE | GENERIC_ALL)) != 0;
    int flags = writes ? (reads ? O_RDWR : O_WRONLY) : O_RDONLY;
    return flags | O_CLOEXEC | O_NOCTTY;
}

bool IsReadOnly(const struct stat& info) {
    return (info.st_mode & S_IWUSR) == 0;
}

// The error for a disposition that cannot be carried out, or 0 when it can.
DWORD DispositionError(DWORD disposition, bool exists, DWORD access) {
    switch (disposition) {
        case CREATE_NEW:
            return exists ? ERROR_FILE_EXISTS : 0;
        case OPEN_EXISTING:
            return exists ? 0 : ERROR_FILE_NOT_FOUND;
        case TRUNCATE_EXISTING:
            if (!(access & (GENERIC_WRITE | GENERIC_ALL))) {
                return ERROR_INVALID_PARAMETER;
            }
            return exists ? 0 : ERROR_FILE_NOT_FOUND;
        case CREATE_ALWAYS:
        case OPEN_ALWAYS:
            return 0;
        default:
            return ERROR_INVALID_PARAMETER;
    }
}

HANDLE OpenResolved(const ResolvedPath& path, DWORD access, DWORD shareMode, DWORD disposition,
                    DWORD attributes) {
    ShareTable& shares = ShareTable::Instance();
    std::lock_guard guard(shares.Lock());
    struct stat info {};
    bool exists = stat(path.host.c_str(), &info) == 0;
    if (exists && S_ISDIR(info.st_mode)) {
        return Fail(ERROR_ACCESS_DENIED, INVALID_HANDLE_VALUE);
    }
    if (!exists && !path.parentIsFolder) {
        return Fail(ERROR_PATH_NOT_FOUND, INVALID_HANDLE_VALUE);
    }
    if (DWORD error = DispositionError(disposition, exists, access)) {
        return Fail(error, INVALID_HANDLE_VALUE);
    }
    bool truncates = exists && (disposition == CREATE_ALWAYS || disposition == TRUNCATE_EXISTING);
    if (exists && IsReadOnly(info) && ((OpenFlags(access) & O_ACCMODE) != O_RDONLY || truncates)) {
        return Fail(ERROR_ACCESS_DENIED, INVALID_HANDLE_VALUE);
    }
    if (exists && !shares.AllowsOpen({info.st_dev, info.st_ino}, access, shareMode)) {
        return Fail(ERROR_SHARING_VIOLATION, INVALID_HANDLE_VALUE);
    }
    mode_t mode = (attributes & FILE_ATTRIBUTE_READONLY) ? 0444 : 0644;
    int flags = OpenFlags(access) | (exists ? 0 : O_CREAT | O_EXCL) | (truncates ? O_TRUNC : 0);
    if (truncates && (flags & O_ACCMODE) == O_RDONLY) {
        flags = (flags & ~O_ACCMODE) | O_RDWR;  // truncating needs a writable descriptor
    }
    if (PowerCutSimulator::Armed() && !exists) {
        PowerCutSimulator::Instance().BeforeCreate(path.host);
    } else if (PowerCutSimulator::Armed() && truncates) {
        PowerCutSimulator::Instance().BeforeTruncate(path.host, 0);
    }
    int fd = open(path.host.c_str(), flags, mode);
    if (fd < 0) {
        return Fail(ErrorFromErrno(errno), INVALID_HANDLE_VALUE);
    }
    fstat(fd, &info);
    auto file = std::make_shared<FileObject>(fd, access);
    if (!exists) {
        file->SetCreatedIn(HostFolderOf(path.host));
    }
    shares.Add(file.get(), {info.st_dev, info.st_ino}, access, shareMode);
    if (!exists || truncates) {
        file->StampWriteTime();
    }
    bool reportsExisting = exists && (disposition == CREATE_ALWAYS || disposition == OPEN_ALWAYS);
    SetLastError(reportsExisting ? ERROR_ALREADY_EXISTS : ERROR_SUCCESS);
    return InsertHandle(std::move(file));
}

// A port is one host device: a second handle is refused unless both share it, as for files.
HANDLE OpenSerialPort(const std::string& device, DWORD access, DWORD shareMode) {
    if (device.empty()) {
        return Fail(ERROR_FILE_NOT_FOUND, INVALID_HANDLE_VALUE);
    }
    ShareTable& shares = ShareTable::Instance();
    std::lock_guard guard(shares.Lock());
    struct stat info {};
    if (stat(device.c_str(), &info) != 0) {
        return Fail(ERROR_FILE_NOT_FOUND, INVALID_HANDLE_VALUE);
    }
    if (!shares.AllowsOpen({info.st_dev, info.st_ino}, access, shareMode)) {
        return Fail(ERROR_SHARING_VIOLATION, INVALID_HANDLE_VALUE);
    }
    int fd = open(device.c_str(), OpenFlags(access) | O_NONBLOCK);
    if (fd < 0) {
        return Fail(ErrorFromErrno(errno), INVALID_HANDLE_VALUE);
    }
    termios mode{};
    if (tcgetattr(fd, &mode) == 0) {
        cfmakeraw(&mode);  // bytes as they come: no echo, no line editing
        tcsetattr(fd, TCSANOW, &mode);
    }
    auto port = std::make_shared<SerialPort>(fd, access);
    shares.Add(port.get(), {info.st_dev, info.st_ino}, access, shareMode);
    SetLastError(ERROR_SUCCESS);
    return InsertHandle(std::move(port));
}

}  // namespace
}  // namespace ce::detail

using namespace ce::detail;

extern "C" CE_API HANDLE CreateFileW(LPCWSTR path, DWORD access, DWORD shareMode, LPSECURITY_ATTRIBUTES,
                                     DWORD disposition, DWORD flagsAndAttributes, HANDLE) {
    if (path != nullptr) {
        if (std::optional<std::string> device = SerialDeviceFor(path)) {
            return OpenSerialPort(*device, access, shareMode);
        }
    }
    ResolvedPath resolved = ResolveFilePath(path);
    if (resolved.host.empty()) {
        return Fail(resolved.invalidError, INVALID_HANDLE_VALUE);
    }
    return OpenResolved(resolved, access, shareMode, disposition, flagsAndAttributes);
}
