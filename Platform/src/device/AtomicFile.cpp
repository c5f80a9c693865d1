#include "device/AtomicFile.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>

#include "files/DiskSync.h"

namespace ce::detail {
namespace {

bool WriteAll(int fd, std::string_view contents) {
    while (!contents.empty()) {
        ssize_t written = write(fd, contents.data(), contents.size());
        if (written < 0) {
            if (errno == EINTR) {
                continue;
            }
            return false;
        }
        contents.remove_prefix(static_cast<size_t>(written));
    }
    return true;
}

}  // namespace

bool ReplaceFileAtomically(const std::string& path, std::string_view contents) {
    std::string temporary = path + ".tmp";
    int fd = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
    if (fd < 0) {
        return false;
    }
    bool ok = WriteAll(fd, contents);
    ok = close(fd) == 0 && ok;
    if (ok && RenameDurably(temporary, path) == 0) {
        return true;
    }
    unlink(temporary.c_str());
    return false;
}

bool ReadWholeFile(const std::string& path, std::string& contents) {
    int fd = open(path.c_str(), O_RDONLY | O_CLOEXEC);
    if (fd < 0) {
        return false;
    }
    contents.clear();
    char block[8192];
    for (;;) {
        ssize_t got = read(fd, block, sizeof block);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            close(fd);
            return got == 0;
        }
        contents.append(block, static_cast<size_t>(got));
    }
}

bool MakeFolders(const std::string& path) {
    struct stat info {};
    if (path.empty() || (stat(path.c_str(), &info) == 0 && S_ISDIR(info.st_mode))) {
        return !path.empty();
    }
    size_t slash = path.find_last_of('/');
    if (slash != std::string::npos && slash > 0 && !MakeFolders(path.substr(0, slash))) {
        return false;
    }
    return mkdir(path.c_str(), 0755) == 0 || errno == EEXIST;
}

}  // namespace ce::detail
