#include "kernel/HandleTable.h"

#include <mutex>
#include <unordered_map>

#include "ce/kernel.h"

namespace ce::detail {
namespace {

struct Table {
    std::mutex lock;
    std::unordered_map<uintptr_t, std::shared_ptr<KernelObject>> objects;
    uintptr_t next = 0x100;  // low values stay free so that stray small integers are not handles
};

Table& TheTable() {
    static Table* table = new Table;  // never destroyed: handles may be closed during process exit
    return *table;
}

}  // namespace

HANDLE InsertHandle(std::shared_ptr<KernelObject> object) {
    Table& table = TheTable();
    std::lock_guard guard(table.lock);
    uintptr_t value = table.next;
    table.next += 4;
    table.objects.emplace(value, std::move(object));
    return reinterpret_cast<HANDLE>(value);
}

std::shared_ptr<KernelObject> LookupHandle(HANDLE handle) {
    Table& table = TheTable();
    std::lock_guard guard(table.lock);
    auto it = table.objects.find(reinterpret_cast<uintptr_t>(handle));
    return it == table.objects.end() ? nullptr : it->second;
}

bool RemoveHandle(HANDLE handle) {
    std::shared_ptr<KernelObject> doomed;  // destroyed outside the lock
    Table& table = TheTable();
    std::lock_guard guard(table.lock);
    auto it = table.objects.find(reinterpret_cast<uintptr_t>(handle));
    if (it == table.objects.end()) {
        return false;
    }
    doomed = std::move(it->second);
    table.objects.erase(it);
    return true;
}

}  // namespace ce::detail

extern "C" CE_API BOOL CloseHandle(HANDLE handle) {
    if (!ce::detail::RemoveHandle(handle)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    return TRUE;
}
