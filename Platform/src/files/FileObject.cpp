#include "files/FileObject.h"

#include <sys/stat.h>
#include <unistd.h>

#include "ce/device.h"
#include "files/ShareTable.h"

namespace ce::detail {

FileObject::FileObject(int fd, DWORD access) : fd_(fd), access_(access) {}

FileObject::~FileObject() {
    ShareTable::Instance().Remove(this);
    close(fd_);
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
