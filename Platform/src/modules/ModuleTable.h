// The modules of this process: the program and every library loaded with LoadLibraryW, with their
// reference counts. A library's entry point runs under the table's lock, as the device's loader does.
#pragma once

#include <memory>
#include <mutex>
#include <string_view>
#include <vector>

#include "modules/Module.h"

namespace ce::detail {

class ModuleTable {
public:
    static ModuleTable& Instance();

    // Held by every module call, so that a module is not freed while a call reads its tables.
    std::recursive_mutex& Lock() { return lock_; }

    // Null with the last error set when the library is missing, not loadable, or its entry point fails.
    HMODULE Load(std::u16string_view name);
    bool Free(HMODULE handle);
    // The program for a null handle; null for a handle that names no module of this process.
    Module* Find(HMODULE handle);
    Module* FindLoaded(std::u16string_view name);
    Module* Program();

private:
    ModuleTable() = default;
    Module* FindByLibrary(void* library);
    void Remove(Module* module);

    std::recursive_mutex lock_;
    std::vector<std::unique_ptr<Module>> modules_;
    std::unique_ptr<Module> program_;
};

}  // namespace ce::detail
