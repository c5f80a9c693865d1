#include "files/ShareTable.h"

#include <sys/stat.h>

#include <algorithm>

namespace ce::detail {
namespace {

bool Reads(DWORD access) {
    return (access & (GENERIC_READ | GENERIC_ALL)) != 0;
}
bool Writes(DWORD access) {
    return (access & (GENERIC_WRITE | GENERIC_ALL)) != 0;
}

}  // namespace

ShareTable& ShareTable::Instance() {
    static ShareTable* table = new ShareTable;  // handles may close during process exit
    return *table;
}

bool ShareTable::AllowsOpen(FileIdentity identity, DWORD access, DWORD shareMode) const {
    for (const Entry& entry : entries_) {
        if (!(entry.identity == identity)) {
            continue;
        }
        bool refusedByOpen = (Reads(access) && !(entry.shareMode & FILE_SHARE_READ)) ||
                             (Writes(access) && !(entry.shareMode & FILE_SHARE_WRITE));
        bool refusedByNew = (Reads(entry.access) && !(shareMode & FILE_SHARE_READ)) ||
                            (Writes(entry.access) && !(shareMode & FILE_SHARE_WRITE));
        if (refusedByOpen || refusedByNew) {
            return false;
        }
    }
    return true;
}

bool ShareTable::AllowsDelete(FileIdentity identity) const {
    return std::none_of(entries_.begin(), entries_.end(), [&](const Entry& entry) {
        return entry.identity == identity && !(entry.shareMode & FILE_SHARE_DELETE);
    });
}

void ShareTable::Add(const FileObject* owner, FileIdentity identity, DWORD access, DWORD shareMode) {
    entries_.push_back({owner, identity, access, shareMode});
}

void ShareTable::Remove(const FileObject* owner) {
    std::lock_guard guard(lock_);
    std::erase_if(entries_, [owner](const Entry& entry) { return entry.owner == owner; });
}

bool IdentityOf(const std::string& hostPath, FileIdentity& identity) {
    struct stat info {};
    if (stat(hostPath.c_str(), &info) != 0) {
        return false;
    }
    identity = {info.st_dev, info.st_ino};
    return true;
}

}  // namespace ce::detail
