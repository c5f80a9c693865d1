// An open file: the kernel object behind a CreateFileW handle. It is entered in the process's share
// table for as long as it is open, so that later opens see its access and share mode.
#pragma once

#include <sys/types.h>

#include <string>
#include <utility>

#include "ce/kernel.h"
#include "kernel/KernelObject.h"

namespace ce::detail {

struct FileIdentity {
    dev_t device = 0;
    ino_t inode = 0;
    bool operator==(const FileIdentity&) const = default;
};

class FileObject : public KernelObject {
public:
    FileObject(int fd, DWORD access);
    ~FileObject() override;
    FileObject(const FileObject&) = delete;
    FileObject& operator=(const FileObject&) = delete;

    int Descriptor() const { return fd_; }
    // Reads up to toRead bytes into buffer; 0 or the error. A file gives fewer only at its end.
    virtual DWORD Read(void* buffer, DWORD toRead, DWORD& read);
    bool CanRead() const { return (access_ & (GENERIC_READ | GENERIC_ALL)) != 0; }
    bool CanWrite() const { return (access_ & (GENERIC_WRITE | GENERIC_ALL)) != 0; }
    // Under the virtual clock the host's own time stamps would disagree with the device's clock.
    void StampWriteTime() const;
    // A file that this handle created: its folder, until the first flush syncs the new name.
    void SetCreatedIn(std::string folder) { unsyncedFolder_ = std::move(folder); }
    std::string TakeUnsyncedFolder() { return std::exchange(unsyncedFolder_, {}); }

private:
    int fd_;
    DWORD access_;
    std::string unsyncedFolder_;
};

}  // namespace ce::detail
