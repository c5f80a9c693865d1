#include "files/FileObject.h"

#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "ce/device.h"
#include "files/ShareTable.h"

namespace ce::detail {

FileObject::FileObject(int fd, DWORD access) : fd_(fd), access_(access) {}

FileObject::~FileObject() {
    ShareTable::Instance().Remove(this);
    close(fd_);
}

DWORD FileObject::Read(void* buffer, DWORD toRead, DWORD& read) {
    read = 0;
    while (read < toRead) {
        ssize_t got = ::read(fd_, static_cast<char*>(buffer) + read, toRead - read);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got < 0) {
            return ERROR_READ_FAULT;
        }
        if (got == 0) {
            break;  // end of file: success with fewer bytes
        }
        read += static_cast<DWORD>(got);
    }
    return 0;
}

void FileObject::StampWriteTime() const {
    if (!VirtualClockEnabled()) {
        return;
    }
    int64_t now = static_cast<int64_t>(ClockUnixMs());
    timespec stamp{static_cast<time_t>(now / 1000), static_cast<long>(now % 1000) * 1000000};
    timespec times[2] = {stamp, stamp};
    futimens(fd_, times);
}

}  // namespace ce::detail
