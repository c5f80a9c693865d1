#include <unordered_map>

#include "gdi/GdiObject.h"

namespace ce::gdi {
namespace {

struct Table {
    std::unordered_map<uintptr_t, std::shared_ptr<GdiObject>> objects;
    uintptr_t next = 0x10000;  // apart from small integers and from kernel handles' usual values
};

Table& TheTable() {
    static Table* table = new Table;  // never destroyed: objects may be deleted during process exit
    return *table;
}

}  // namespace

std::recursive_mutex& GdiLock() {
    static std::recursive_mutex* lock = new std::recursive_mutex;
    return *lock;
}

HGDIOBJ InsertObject(std::shared_ptr<GdiObject> object) {
    GdiGuard guard(GdiLock());
    Table& table = TheTable();
    uintptr_t value = table.next;
    table.next += 4;
    table.objects.emplace(value, std::move(object));
    return reinterpret_cast<HGDIOBJ>(value);
}

std::shared_ptr<GdiObject> LookupObject(HGDIOBJ handle) {
    GdiGuard guard(GdiLock());
    Table& table = TheTable();
    auto it = table.objects.find(reinterpret_cast<uintptr_t>(handle));
    return it == table.objects.end() ? nullptr : it->second;
}

bool RemoveObject(HGDIOBJ handle) {
    std::shared_ptr<GdiObject> doomed;  // destroyed after the table is consistent again
    GdiGuard guard(GdiLock());
    Table& table = TheTable();
    auto it = table.objects.find(reinterpret_cast<uintptr_t>(handle));
    if (it == table.objects.end() || it->second->stock) {
        return false;
    }
    doomed = std::move(it->second);
    table.objects.erase(it);
    return true;
}

}  // namespace ce::gdi
