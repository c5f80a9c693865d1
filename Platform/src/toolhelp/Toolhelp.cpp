// Process snapshots, from the device's process table.
#include "ce/toolhelp.h"

#include <algorithm>

#include "devserver/ProcessTableClient.h"
#include "kernel/HandleTable.h"

namespace {

class ProcessSnapshot : public ce::detail::KernelObject {
public:
    explicit ProcessSnapshot(std::vector<ce::devserver::ProcessRecord> processes)
        : processes_(std::move(processes)) {}

    // Fills entry with the process at the cursor and moves on; false past the last one.
    bool Next(PROCESSENTRY32W& entry) {
        if (next_ >= processes_.size()) {
            return false;
        }
        const auto& process = processes_[next_++];
        entry.cntUsage = 1;
        entry.th32ProcessID = process.pid;
        entry.th32ParentProcessID = process.parentPid;
        entry.cntThreads = 1;
        size_t length = std::min<size_t>(process.imageName.size(), MAX_PATH - 1);
        std::copy_n(process.imageName.data(), length, entry.szExeFile);
        entry.szExeFile[length] = 0;
        return true;
    }
    void Rewind() { next_ = 0; }

private:
    std::vector<ce::devserver::ProcessRecord> processes_;
    size_t next_ = 0;
};

BOOL Step(HANDLE snapshot, LPPROCESSENTRY32W entry, bool first) {
    auto processes = ce::detail::LookupHandleAs<ProcessSnapshot>(snapshot);
    if (!processes) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    if (entry == nullptr || entry->dwSize < sizeof(PROCESSENTRY32W)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    if (first) {
        processes->Rewind();
    }
    DWORD size = entry->dwSize;
    *entry = PROCESSENTRY32W{};
    entry->dwSize = size;
    if (!processes->Next(*entry)) {
        SetLastError(ERROR_NO_MORE_FILES);
        return FALSE;
    }
    return TRUE;
}

}  // namespace

extern "C" {

CE_API HANDLE CreateToolhelp32Snapshot(DWORD flags, DWORD /*processId*/) {
    if ((flags & TH32CS_SNAPPROCESS) == 0) {
        SetLastError(ERROR_NOT_SUPPORTED);
        return INVALID_HANDLE_VALUE;
    }
    return ce::detail::InsertHandle(
        std::make_shared<ProcessSnapshot>(ce::devserver::ProcessTableClient::List()));
}

CE_API BOOL Process32FirstW(HANDLE snapshot, LPPROCESSENTRY32W entry) {
    return Step(snapshot, entry, true);
}

CE_API BOOL Process32NextW(HANDLE snapshot, LPPROCESSENTRY32W entry) {
    return Step(snapshot, entry, false);
}

CE_API BOOL CloseToolhelp32Snapshot(HANDLE snapshot) {
    return CloseHandle(snapshot);
}

}  // extern "C"
