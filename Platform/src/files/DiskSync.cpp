#include "files/DiskSync.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "files/PowerCutSimulator.h"

namespace ce::detail {
namespace {

// A folder cannot be opened for writing; its data is its names, synced with SyncFolder.
int SyncDataAt(const std::string& path) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOFOLLOW);
    if (fd < 0) {
        return errno == ELOOP ? 0 : errno;  // a link's target is not what the rename moves
    }
    struct stat info {};
    int error = fstat(fd, &info) == 0 && S_ISREG(info.st_mode) && !SyncFileData(fd) ? errno : 0;
    close(fd);
    return error;
}

}  // namespace

std::string HostFolderOf(const std::string& path) {
    size_t slash = path.find_last_of('/');
    return slash == std::string::npos ? "." : slash == 0 ? "/" : path.substr(0, slash);
}

bool SyncFileData(int fd) {
    if (PowerCutSimulator::Armed()) {
        PowerCutSimulator::Instance().BeforeDataSync(fd);
    }
    return fdatasync(fd) == 0 || errno == EINVAL || errno == EROFS;
}

void SyncFolder(const std::string& folder) {
    int fd = open(folder.c_str(), O_RDONLY | O_DIRECTORY | O_CLOEXEC);
    if (fd < 0) {
        return;
    }
    if (PowerCutSimulator::Armed()) {
        PowerCutSimulator::Instance().BeforeFolderSync(folder);
    }
    fsync(fd);
    close(fd);
}

int RenameDurably(const std::string& from, const std::string& to) {
    if (int error = SyncDataAt(from)) {
        return error;
    }
    if (PowerCutSimulator::Armed()) {
        PowerCutSimulator::Instance().BeforeRename(from, to);
    }
    if (rename(from.c_str(), to.c_str()) != 0) {
        return errno;
    }
    SyncFolder(HostFolderOf(to));
    if (HostFolderOf(from) != HostFolderOf(to)) {
        SyncFolder(HostFolderOf(from));
    }
    return 0;
}

}  // namespace ce::detail
