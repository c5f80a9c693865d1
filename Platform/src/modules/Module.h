// One module of the process (the program or a loaded library): its Linux library handle, its device
// path, and the tables it exports for ordinals, strings and resources (ce/module.h).
#pragma once

#include <link.h>

#include <string>

#include "ce/module.h"

namespace ce::detail {

// The table of the exports by ordinal of the system libraries that the layer serves itself.
constexpr const char* kLayerOrdinalTableSymbol = "CeLayerOrdinals";

class Module {
public:
    // Takes over a dlopen() handle.
    Module(void* library, std::u16string devicePath);
    ~Module();
    Module(const Module&) = delete;
    Module& operator=(const Module&) = delete;

    HMODULE Handle() { return reinterpret_cast<HMODULE>(this); }
    void* Library() const { return library_; }
    const std::u16string& DevicePath() const { return devicePath_; }

    // Only what this module itself defines, never a symbol of a library it depends on.
    FARPROC ExportByName(const std::string& name) const;
    FARPROC ExportByOrdinal(WORD ordinal) const;
    const CeStringResource* FindString(UINT id) const;
    const CeBinaryResource* FindResource(LPCWSTR name, LPCWSTR type) const;
    bool OwnsResource(const CeBinaryResource* resource) const;
    CeDllEntry Entry() const;

    int references = 1;

private:
    void* OwnSymbol(const char* name) const;

    void* library_;
    std::u16string devicePath_;
    link_map* map_ = nullptr;
    CeOrdinalTable ordinals_{};
    CeStringTable strings_{};
    CeResourceTable resources_{};
};

}  // namespace ce::detail
