#include "modules/Module.h"

#include <dlfcn.h>

#include "strings/CaseFold.h"

namespace ce::detail {
namespace {

// Resource names and types are numbers (MAKEINTRESOURCEW) or strings compared without case.
bool SameResourceName(LPCWSTR a, LPCWSTR b) {
    if (IS_INTRESOURCE(a) || IS_INTRESOURCE(b)) {
        return a == b;
    }
    return EqualNoCase(a, b);
}

template <class Table>
Table ReadTable(const void* symbol) {
    return symbol == nullptr ? Table{} : *static_cast<const Table*>(symbol);
}

}  // namespace

Module::Module(void* library, std::u16string devicePath)
    : library_(library), devicePath_(std::move(devicePath)) {
    if (dlinfo(library_, RTLD_DI_LINKMAP, &map_) != 0) {
        map_ = nullptr;
    }
    ordinals_ = ReadTable<CeOrdinalTable>(OwnSymbol(CE_ORDINAL_TABLE_SYMBOL));
    if (ordinals_.count == 0) {
        ordinals_ = ReadTable<CeOrdinalTable>(OwnSymbol(kLayerOrdinalTableSymbol));  // the system libraries it serves
    }
    strings_ = ReadTable<CeStringTable>(OwnSymbol(CE_STRING_TABLE_SYMBOL));
    resources_ = ReadTable<CeResourceTable>(OwnSymbol(CE_RESOURCE_TABLE_SYMBOL));
}

Module::~Module() {
    dlclose(library_);
}

void* Module::OwnSymbol(const char* name) const {
    void* symbol = dlsym(library_, name);
    if (symbol == nullptr || map_ == nullptr) {
        return nullptr;
    }
    // dlsym also searches the module's dependencies (and, for the program, the global scope).
    Dl_info info;
    link_map* owner = nullptr;
    if (dladdr1(symbol, &info, reinterpret_cast<void**>(&owner), RTLD_DL_LINKMAP) == 0 || owner != map_) {
        return nullptr;
    }
    return symbol;
}

FARPROC Module::ExportByName(const std::string& name) const {
    return reinterpret_cast<FARPROC>(OwnSymbol(name.c_str()));
}

FARPROC Module::ExportByOrdinal(WORD ordinal) const {
    for (DWORD i = 0; i < ordinals_.count; ++i) {
        if (ordinals_.entries[i].ordinal == ordinal) {
            return ordinals_.entries[i].function;
        }
    }
    return nullptr;
}

const CeStringResource* Module::FindString(UINT id) const {
    for (DWORD i = 0; i < strings_.count; ++i) {
        if (strings_.entries[i].id == id) {
            return &strings_.entries[i];
        }
    }
    return nullptr;
}

const CeBinaryResource* Module::FindResource(LPCWSTR name, LPCWSTR type) const {
    for (DWORD i = 0; i < resources_.count; ++i) {
        const CeBinaryResource& entry = resources_.entries[i];
        if (SameResourceName(entry.type, type) && SameResourceName(entry.name, name)) {
            return &entry;
        }
    }
    return nullptr;
}

bool Module::OwnsResource(const CeBinaryResource* resource) const {
    return resources_.count > 0 && resource >= resources_.entries &&
           resource < resources_.entries + resources_.count;
}

CeDllEntry Module::Entry() const {
    return reinterpret_cast<CeDllEntry>(OwnSymbol(CE_DLL_ENTRY_SYMBOL));
}

}  // namespace ce::detail
