// Reading, writing and positioning on an open file handle.
#include <fcntl.h>
#include <poll.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "files/DiskSync.h"
#include "files/FileErrors.h"
#include "files/FileObject.h"
#include "files/PowerCutSimulator.h"
#include "kernel/HandleTable.h"
#include "time/FileTimeValue.h"

using namespace ce::detail;

namespace {

std::shared_ptr<FileObject> FileOf(HANDLE handle) {
    auto file = LookupHandleAs<FileObject>(handle);
    if (!file) {
        SetLastError(ERROR_INVALID_HANDLE);
    }
    return file;
}

// The time a file was made: its birth time where the file system keeps one, else its last change.
timespec CreationTime(int fd, const struct stat& info) {
    struct statx extended {};
    if (statx(fd, "", AT_EMPTY_PATH, STATX_BTIME, &extended) == 0 && (extended.stx_mask & STATX_BTIME)) {
        return timespec{static_cast<time_t>(extended.stx_btime.tv_sec),
                        static_cast<long>(extended.stx_btime.tv_nsec)};
    }
    return info.st_mtim;
}

}  // namespace

extern "C" {

CE_API BOOL ReadFile(HANDLE handle, LPVOID buffer, DWORD toRead, LPDWORD read, LPOVERLAPPED) {
    if (read) {
        *read = 0;
    }
    auto file = FileOf(handle);
    if (!file) {
        return FALSE;
    }
    if (!file->CanRead()) {
        return Fail(ERROR_ACCESS_DENIED, FALSE);
    }
    if (buffer == nullptr && toRead > 0) {
        return Fail(ERROR_INVALID_PARAMETER, FALSE);
    }
    DWORD total = 0;
    DWORD error = file->Read(buffer, toRead, total);
    if (read) {
        *read = total;
    }
    return error ? Fail(error, FALSE) : TRUE;
}

CE_API BOOL WriteFile(HANDLE handle, LPCVOID buffer, DWORD toWrite, LPDWORD written, LPOVERLAPPED) {
    if (written) {
        *written = 0;
    }
    auto file = FileOf(handle);
    if (!file) {
        return FALSE;
    }
    if (!file->CanWrite()) {
        return Fail(ERROR_ACCESS_DENIED, FALSE);
    }
    if (buffer == nullptr && toWrite > 0) {
        return Fail(ERROR_INVALID_PARAMETER, FALSE);
    }
    if (PowerCutSimulator::Armed()) {
        off_t at = lseek(file->Descriptor(), 0, SEEK_CUR);
        PowerCutSimulator::Instance().BeforeWrite(file->Descriptor(), at < 0 ? 0 : static_cast<uint64_t>(at),
                                                  buffer, toWrite);
    }
    DWORD total = 0;
    while (total < toWrite) {
        ssize_t put = ::write(file->Descriptor(), static_cast<const char*>(buffer) + total, toWrite - total);
        if (put < 0 && errno == EINTR) {
            continue;
        }
        if (put < 0 && errno == EAGAIN) {
            pollfd ready{file->Descriptor(), POLLOUT, 0};  // a serial port whose queue is full
            if (poll(&ready, 1, 1000) > 0) {
                continue;
            }
        }
        if (put < 0) {
            if (written) {
                *written = total;
            }
            return Fail(errno == ENOSPC ? ERROR_DISK_FULL : ERROR_WRITE_FAULT, FALSE);
        }
        total += static_cast<DWORD>(put);
    }
    if (written) {
        *written = total;
    }
    file->StampWriteTime();
    return TRUE;
}

CE_API DWORD SetFilePointer(HANDLE handle, LONG distance, PLONG distanceHigh, DWORD method) {
    auto file = FileOf(handle);
    if (!file) {
        return INVALID_SET_FILE_POINTER;
    }
    // Without a high part the distance is a signed 32-bit number; with one, the low part is unsigned.
    int64_t offset =
        distanceHigh
            ? static_cast<int64_t>((static_cast<uint64_t>(static_cast<uint32_t>(*distanceHigh)) << 32) |
                                   static_cast<uint32_t>(distance))
            : distance;
    int whence = method == FILE_BEGIN     ? SEEK_SET
                 : method == FILE_CURRENT ? SEEK_CUR
                 : method == FILE_END     ? SEEK_END
                                          : -1;
    if (whence < 0) {
        return Fail(ERROR_INVALID_PARAMETER, INVALID_SET_FILE_POINTER);
    }
    off_t position = lseek(file->Descriptor(), offset, whence);
    if (position < 0) {
        return Fail(ERROR_INVALID_PARAMETER, INVALID_SET_FILE_POINTER);  // before the start of the file
    }
    if (distanceHigh) {
        *distanceHigh = static_cast<LONG>(static_cast<uint64_t>(position) >> 32);
    }
    SetLastError(NO_ERROR);  // tells a position whose low part is 0xFFFFFFFF from a failure
    return static_cast<DWORD>(position);
}

CE_API BOOL SetEndOfFile(HANDLE handle) {
    auto file = FileOf(handle);
    if (!file) {
        return FALSE;
    }
    if (!file->CanWrite()) {
        return Fail(ERROR_ACCESS_DENIED, FALSE);
    }
    off_t position = lseek(file->Descriptor(), 0, SEEK_CUR);
    if (position >= 0 && PowerCutSimulator::Armed()) {
        PowerCutSimulator::Instance().BeforeTruncate(file->Descriptor(), static_cast<uint64_t>(position));
    }
    if (position < 0 || ftruncate(file->Descriptor(), position) != 0) {
        return Fail(ErrorFromErrno(errno), FALSE);
    }
    file->StampWriteTime();
    return TRUE;
}

CE_API DWORD GetFileSize(HANDLE handle, LPDWORD sizeHigh) {
    auto file = FileOf(handle);
    struct stat info {};
    if (!file || fstat(file->Descriptor(), &info) != 0) {
        if (file) {
            SetLastError(ErrorFromErrno(errno));
        }
        return INVALID_FILE_SIZE;
    }
    uint64_t size = static_cast<uint64_t>(info.st_size);
    if (sizeHigh) {
        *sizeHigh = static_cast<DWORD>(size >> 32);
    }
    SetLastError(NO_ERROR);
    return static_cast<DWORD>(size);
}

CE_API BOOL GetFileTime(HANDLE handle, LPFILETIME creation, LPFILETIME lastAccess, LPFILETIME lastWrite) {
    auto file = FileOf(handle);
    struct stat info {};
    if (!file) {
        return FALSE;
    }
    if (fstat(file->Descriptor(), &info) != 0) {
        return Fail(ErrorFromErrno(errno), FALSE);
    }
    if (creation) {
        *creation = FileTimeFromTimespec(CreationTime(file->Descriptor(), info));
    }
    if (lastAccess) {
        *lastAccess = FileTimeFromTimespec(info.st_atim);
    }
    if (lastWrite) {
        *lastWrite = FileTimeFromTimespec(info.st_mtim);
    }
    return TRUE;
}

// The host keeps no settable creation time; that part is accepted and not kept.
CE_API BOOL SetFileTime(HANDLE handle, const FILETIME*, const FILETIME* lastAccess,
                        const FILETIME* lastWrite) {
    auto file = FileOf(handle);
    if (!file) {
        return FALSE;
    }
    timespec times[2] = {{0, UTIME_OMIT}, {0, UTIME_OMIT}};
    if (lastAccess) {
        times[0] = TimespecFromFileTime(*lastAccess);
    }
    if (lastWrite) {
        times[1] = TimespecFromFileTime(*lastWrite);
    }
    if (futimens(file->Descriptor(), times) != 0) {
        return Fail(ErrorFromErrno(errno), FALSE);
    }
    return TRUE;
}

// The data reaches the disk; so does the name of a file that this handle created, so that a flushed new
// file is still there after a power cut.
CE_API BOOL FlushFileBuffers(HANDLE handle) {
    auto file = FileOf(handle);
    if (!file) {
        return FALSE;
    }
    if (!SyncFileData(file->Descriptor())) {
        return Fail(ErrorFromErrno(errno), FALSE);
    }
    if (std::string folder = file->TakeUnsyncedFolder(); !folder.empty()) {
        SyncFolder(folder);
    }
    return TRUE;
}

}  // extern "C"
