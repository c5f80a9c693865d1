// Calls on names in the device's file system: delete, move, copy, attributes, folders, the temporary
// folder and the free space.
#include <fcntl.h>
#include <sys/stat.h>
#include <sys/statvfs.h>
#include <unistd.h>

#include <cerrno>

#include "ce/device.h"
#include "device/AtomicFile.h"
#include "files/DiskSync.h"
#include "files/FileAttributes.h"
#include "files/FileErrors.h"
#include "files/PowerCutSimulator.h"
#include "files/ShareTable.h"

using namespace ce::detail;

namespace {

// The error for a call on a name that does not exist: a missing folder on the way is a path error.
DWORD MissingError(const ResolvedPath& path) {
    return path.parentIsFolder ? ERROR_FILE_NOT_FOUND : ERROR_PATH_NOT_FOUND;
}

enum class Links { Follow, Keep };

// Resolves a path that must name something that exists; 0, or the error to report. Deleting calls keep
// links as they are, so that they remove a link and never what it points to.
DWORD FindExisting(LPCWSTR path, ResolvedPath& resolved, struct stat& info, Links links = Links::Follow) {
    resolved = ResolveFilePath(path);
    if (resolved.host.empty()) {
        return resolved.invalidError;
    }
    int found =
        links == Links::Follow ? stat(resolved.host.c_str(), &info) : lstat(resolved.host.c_str(), &info);
    return found == 0 ? 0 : MissingError(resolved);
}

bool IsOpenWithoutShareDelete(const std::string& hostPath) {
    FileIdentity identity;
    return IdentityOf(hostPath, identity) && !ShareTable::Instance().AllowsDelete(identity);
}

bool CopyContents(int from, int to) {
    char block[65536];
    uint64_t copied = 0;
    for (;;) {
        ssize_t got = read(from, block, sizeof block);
        if (got < 0 && errno == EINTR) {
            continue;
        }
        if (got <= 0) {
            return got == 0;
        }
        if (PowerCutSimulator::Armed()) {
            PowerCutSimulator::Instance().BeforeWrite(to, copied, block, static_cast<size_t>(got));
        }
        copied += static_cast<uint64_t>(got);
        for (ssize_t done = 0; done < got;) {
            ssize_t put = write(to, block + done, static_cast<size_t>(got - done));
            if (put < 0 && errno != EINTR) {
                return false;
            }
            done += put < 0 ? 0 : put;
        }
    }
}

// Copies into "<target>.tmp" and renames it over the target, so readers never see half a copy.
DWORD CopyHostFile(const std::string& source, const std::string& target, const struct stat& info) {
    int from = open(source.c_str(), O_RDONLY | O_CLOEXEC);
    if (from < 0) {
        return ErrorFromErrno(errno);
    }
    std::string temporary = target + ".tmp";
    if (PowerCutSimulator::Armed() && access(temporary.c_str(), F_OK) != 0) {
        PowerCutSimulator::Instance().BeforeCreate(temporary);
    } else if (PowerCutSimulator::Armed()) {
        PowerCutSimulator::Instance().BeforeTruncate(temporary, 0);
    }
    int to = open(temporary.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, info.st_mode & 0777);
    if (to < 0) {
        DWORD error = ErrorFromErrno(errno);
        close(from);
        return error;
    }
    bool ok = CopyContents(from, to);
    DWORD error = ok ? 0 : (errno == ENOSPC ? ERROR_DISK_FULL : ERROR_WRITE_FAULT);
    timespec times[2] = {info.st_atim, info.st_mtim};  // a copy keeps the time of its last change
    futimens(to, times);
    ok = close(to) == 0 && ok;
    close(from);
    int renameError = ok ? RenameDurably(temporary, target) : 0;
    if (ok && renameError == 0) {
        return 0;
    }
    int failure = renameError != 0 ? renameError : errno;
    unlink(temporary.c_str());
    return error ? error : ErrorFromErrno(failure);
}

// A rename that changes only the letter case resolves the target to the source itself; the new name
// is then the last component as the caller spelled it.
std::string TargetSpelling(const ResolvedPath& source, const ResolvedPath& target, LPCWSTR targetPath) {
    FileIdentity a;
    FileIdentity b;
    if (!target.exists || !IdentityOf(source.host, a) || !IdentityOf(target.host, b) || !(a == b)) {
        return target.host;
    }
    std::u16string_view given(targetPath);
    size_t cut = given.find_last_of(u"\\/");
    std::string name = ce::ToUtf8(cut == std::u16string_view::npos ? given : given.substr(cut + 1));
    return target.host.substr(0, target.host.find_last_of('/') + 1) + name;
}

}  // namespace

extern "C" {

CE_API BOOL DeleteFileW(LPCWSTR path) {
    ResolvedPath resolved;
    struct stat info {};
    if (DWORD error = FindExisting(path, resolved, info, Links::Keep)) {
        return Fail(error, FALSE);
    }
    if (S_ISDIR(info.st_mode) || (info.st_mode & S_IWUSR) == 0) {
        return Fail(ERROR_ACCESS_DENIED, FALSE);
    }
    std::lock_guard guard(ShareTable::Instance().Lock());
    if (IsOpenWithoutShareDelete(resolved.host)) {
        return Fail(ERROR_SHARING_VIOLATION, FALSE);
    }
    if (PowerCutSimulator::Armed()) {
        PowerCutSimulator::Instance().BeforeUnlink(resolved.host);
    }
    if (unlink(resolved.host.c_str()) != 0) {
        return Fail(ErrorFromErrno(errno), FALSE);
    }
    return TRUE;
}

CE_API BOOL MoveFileW(LPCWSTR existing, LPCWSTR target) {
    return MoveFileExW(existing, target, 0);
}

// With MOVEFILE_REPLACE_EXISTING the rename takes the old file's place in one step: a reader finds
// either the old file or the new one, never none; and so does the device after a power cut, since the
// moved file's data is synced before the rename and the folder after it.
CE_API BOOL MoveFileExW(LPCWSTR existing, LPCWSTR target, DWORD flags) {
    if ((flags & ~static_cast<DWORD>(MOVEFILE_REPLACE_EXISTING)) != 0) {
        return Fail(ERROR_INVALID_PARAMETER, FALSE);
    }
    ResolvedPath from = ResolveFilePath(existing);
    ResolvedPath to = ResolveFilePath(target);
    if (from.host.empty() || to.host.empty()) {
        return Fail(from.host.empty() ? from.invalidError : to.invalidError, FALSE);
    }
    if (!from.exists) {
        return Fail(MissingError(from), FALSE);
    }
    std::string destination = TargetSpelling(from, to, target);
    bool replaces = destination == to.host && to.exists;
    if (replaces && (flags & MOVEFILE_REPLACE_EXISTING) == 0) {
        return Fail(ERROR_ALREADY_EXISTS, FALSE);
    }
    struct stat targetInfo {};
    if (replaces && (stat(to.host.c_str(), &targetInfo) != 0 || S_ISDIR(targetInfo.st_mode) ||
                     (targetInfo.st_mode & S_IWUSR) == 0)) {
        return Fail(ERROR_ACCESS_DENIED, FALSE);
    }
    if (!to.parentIsFolder) {
        return Fail(ERROR_PATH_NOT_FOUND, FALSE);
    }
    std::lock_guard guard(ShareTable::Instance().Lock());
    if (IsOpenWithoutShareDelete(from.host) || (replaces && IsOpenWithoutShareDelete(to.host))) {
        return Fail(ERROR_SHARING_VIOLATION, FALSE);
    }
    if (int error = RenameDurably(from.host, destination)) {
        return Fail(ErrorFromErrno(error), FALSE);
    }
    return TRUE;
}

CE_API BOOL CopyFileW(LPCWSTR existing, LPCWSTR target, BOOL failIfExists) {
    ResolvedPath from = ResolveFilePath(existing);
    ResolvedPath to = ResolveFilePath(target);
    if (from.host.empty() || to.host.empty()) {
        return Fail(from.host.empty() ? from.invalidError : to.invalidError, FALSE);
    }
    struct stat info {};
    if (stat(from.host.c_str(), &info) != 0) {
        return Fail(MissingError(from), FALSE);
    }
    struct stat targetInfo {};
    bool targetExists = stat(to.host.c_str(), &targetInfo) == 0;
    if (S_ISDIR(info.st_mode) || (targetExists && S_ISDIR(targetInfo.st_mode))) {
        return Fail(ERROR_ACCESS_DENIED, FALSE);
    }
    if (targetExists && failIfExists) {
        return Fail(ERROR_FILE_EXISTS, FALSE);
    }
    if (targetExists && (targetInfo.st_mode & S_IWUSR) == 0) {
        return Fail(ERROR_ACCESS_DENIED, FALSE);
    }
    if (!to.parentIsFolder) {
        return Fail(ERROR_PATH_NOT_FOUND, FALSE);
    }
    ShareTable& shares = ShareTable::Instance();
    std::lock_guard guard(shares.Lock());
    FileIdentity sourceId{info.st_dev, info.st_ino};
    FileIdentity targetId{targetInfo.st_dev, targetInfo.st_ino};
    if ((targetExists && sourceId == targetId) ||
        !shares.AllowsOpen(sourceId, GENERIC_READ, FILE_SHARE_READ) ||
        (targetExists && !shares.AllowsOpen(targetId, GENERIC_WRITE, 0))) {
        return Fail(ERROR_SHARING_VIOLATION, FALSE);
    }
    if (DWORD error = CopyHostFile(from.host, to.host, info)) {
        return Fail(error, FALSE);
    }
    return TRUE;
}

CE_API DWORD GetFileAttributesW(LPCWSTR path) {
    ResolvedPath resolved;
    struct stat info {};
    if (DWORD error = FindExisting(path, resolved, info)) {
        return Fail(error, INVALID_FILE_ATTRIBUTES);
    }
    return AttributesOf(resolved.host, info);
}

CE_API BOOL SetFileAttributesW(LPCWSTR path, DWORD attributes) {
    ResolvedPath resolved;
    struct stat info {};
    if (DWORD error = FindExisting(path, resolved, info)) {
        return Fail(error, FALSE);
    }
    if (!ApplyAttributes(resolved.host, info, attributes)) {
        return Fail(ErrorFromErrno(errno), FALSE);
    }
    return TRUE;
}

CE_API BOOL CreateDirectoryW(LPCWSTR path, LPSECURITY_ATTRIBUTES) {
    ResolvedPath resolved = ResolveFilePath(path);
    if (resolved.host.empty()) {
        return Fail(resolved.invalidError, FALSE);
    }
    if (resolved.exists) {
        return Fail(ERROR_ALREADY_EXISTS, FALSE);
    }
    if (!resolved.parentIsFolder) {
        return Fail(ERROR_PATH_NOT_FOUND, FALSE);
    }
    if (mkdir(resolved.host.c_str(), 0755) != 0) {
        return Fail(ErrorFromErrno(errno), FALSE);
    }
    return TRUE;
}

CE_API BOOL RemoveDirectoryW(LPCWSTR path) {
    ResolvedPath resolved;
    struct stat info {};
    if (DWORD error = FindExisting(path, resolved, info, Links::Keep)) {
        return Fail(error, FALSE);
    }
    if (!S_ISDIR(info.st_mode)) {
        return Fail(ERROR_DIRECTORY, FALSE);
    }
    if (resolved.host == ce::DeviceRoot() + "/fs") {
        return Fail(ERROR_ACCESS_DENIED, FALSE);
    }
    if (rmdir(resolved.host.c_str()) != 0) {
        return Fail(errno == ENOTEMPTY || errno == EEXIST ? ERROR_DIR_NOT_EMPTY : ErrorFromErrno(errno),
                    FALSE);
    }
    return TRUE;
}

// The device's temporary folder, made when missing. Returns the length without the terminator, or the
// size needed (with it) when the buffer is too small.
CE_API DWORD GetTempPathW(DWORD size, LPWSTR buffer) {
    static constexpr char16_t kTemp[] = u"\\Temp\\";
    constexpr DWORD kLength = sizeof kTemp / sizeof kTemp[0] - 1;
    std::string host = ce::HostPath(kTemp);
    if (!host.empty()) {
        MakeFolders(host);
    }
    if (buffer == nullptr || size <= kLength) {
        return kLength + 1;
    }
    std::char_traits<char16_t>::copy(buffer, kTemp, kLength + 1);
    return kLength;
}

// The free space is the profile's free_space_mb, so that tests can make a device that is full.
CE_API BOOL GetDiskFreeSpaceExW(LPCWSTR directory, PULARGE_INTEGER freeToCaller, PULARGE_INTEGER total,
                                PULARGE_INTEGER totalFree) {
    ResolvedPath resolved = ResolveFilePath(directory ? directory : u"\\");
    struct stat info {};
    if (resolved.host.empty()) {
        return Fail(resolved.invalidError, FALSE);
    }
    if (stat(resolved.host.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        return Fail(ERROR_PATH_NOT_FOUND, FALSE);
    }
    long megabytes = ce::ProfileInt("device", "free_space_mb", 64);
    uint64_t freeBytes = static_cast<uint64_t>(megabytes < 0 ? 0 : megabytes) << 20;
    struct statvfs volume {};
    uint64_t totalBytes = statvfs(resolved.host.c_str(), &volume) == 0
                              ? static_cast<uint64_t>(volume.f_blocks) * volume.f_frsize
                              : freeBytes;
    if (freeToCaller) {
        freeToCaller->QuadPart = freeBytes;
    }
    if (totalFree) {
        totalFree->QuadPart = freeBytes;
    }
    if (total) {
        total->QuadPart = totalBytes < freeBytes ? freeBytes : totalBytes;
    }
    return TRUE;
}

}  // extern "C"
