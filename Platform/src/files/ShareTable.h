// The files this process has open, with each handle's access and share mode. A new open, a delete or
// a rename is refused (ERROR_SHARING_VIOLATION) where an open handle's share mode forbids it.
#pragma once

#include <mutex>
#include <vector>

#include "files/FileObject.h"

namespace ce::detail {

class ShareTable {
public:
    static ShareTable& Instance();

    // Held by callers across the check and the open or removal it guards.
    std::mutex& Lock() { return lock_; }

    // All three are called with Lock() held.
    bool AllowsOpen(FileIdentity identity, DWORD access, DWORD shareMode) const;
    bool AllowsDelete(FileIdentity identity) const;
    void Add(const FileObject* owner, FileIdentity identity, DWORD access, DWORD shareMode);

    // Takes the lock itself; called when a file object is destroyed.
    void Remove(const FileObject* owner);

private:
    struct Entry {
        const FileObject* owner;
        FileIdentity identity;
        DWORD access;
        DWORD shareMode;
    };
    std::mutex lock_;
    std::vector<Entry> entries_;
};

// The identity of the file at a host path; false when it does not exist.
bool IdentityOf(const std::string& hostPath, FileIdentity& identity);

}  // namespace ce::detail
