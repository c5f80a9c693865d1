#include "modules/ModuleTable.h"

#include <dlfcn.h>

#include <algorithm>

#include "ce/device.h"
#include "modules/DeviceImage.h"
#include "strings/CaseFold.h"

namespace ce::detail {
namespace {

// Libraries of the device's system that are not files of its file system: zlib is the host's, and
// the image decompression and shell libraries are served by this layer itself.
struct SystemLibrary {
    const char16_t* name;        // without ".dll"
    const char16_t* devicePath;
    bool inLayer;
    const char* hostLibrary;     // when not in the layer
};
constexpr SystemLibrary kSystemLibraries[] = {
    {u"zlib", u"\\Windows\\zlib.dll", false, "libz.so.1"},
    {u"imgdecmp", u"\\Windows\\imgdecmp.dll", true, nullptr},
    {u"aygshell", u"\\Windows\\aygshell.dll", true, nullptr},
};

const SystemLibrary* FindSystemLibrary(std::u16string_view name) {
    std::u16string_view file = DeviceFileName(name);
    if (file.size() != name.size()) {
        return nullptr;  // a path names a file of the device
    }
    for (const SystemLibrary& library : kSystemLibraries) {
        std::u16string withExtension = std::u16string(library.name) + u".dll";
        if (EqualNoCase(name, library.name) || EqualNoCase(name, withExtension)) {
            return &library;
        }
    }
    return nullptr;
}

void* OpenSystemLibrary(const SystemLibrary& library) {
    if (!library.inLayer) {
        return dlopen(library.hostLibrary, RTLD_NOW | RTLD_LOCAL);
    }
    Dl_info self{};
    if (dladdr(reinterpret_cast<void*>(&FindSystemLibrary), &self) == 0 || self.dli_fname == nullptr) {
        return nullptr;
    }
    return dlopen(self.dli_fname, RTLD_NOW | RTLD_NOLOAD);
}

// A bare name without an extension means a .dll, as on the device.
std::u16string WithDefaultExtension(std::u16string_view name) {
    std::u16string result(name);
    if (DeviceFileName(name).find(u'.') == std::u16string_view::npos) {
        result += u".dll";
    }
    return result;
}

}  // namespace

ModuleTable& ModuleTable::Instance() {
    static ModuleTable* table = new ModuleTable;  // never destroyed: modules may be freed during exit
    return *table;
}

Module* ModuleTable::Program() {
    std::lock_guard guard(lock_);
    if (!program_) {
        program_ = std::make_unique<Module>(dlopen(nullptr, RTLD_NOW), ProcessImagePath());
    }
    return program_.get();
}

Module* ModuleTable::Find(HMODULE handle) {
    std::lock_guard guard(lock_);
    if (handle == nullptr) {
        return Program();
    }
    if (program_ && program_->Handle() == handle) {
        return program_.get();
    }
    for (const auto& module : modules_) {
        if (module->Handle() == handle) {
            return module.get();
        }
    }
    return nullptr;
}

Module* ModuleTable::FindByLibrary(void* library) {
    for (const auto& module : modules_) {
        if (module->Library() == library) {
            return module.get();
        }
    }
    return nullptr;
}

Module* ModuleTable::FindLoaded(std::u16string_view name) {
    std::lock_guard guard(lock_);
    const SystemLibrary* system = FindSystemLibrary(name);
    std::u16string wanted = system != nullptr ? std::u16string(system->devicePath) : WithDefaultExtension(name);
    bool byPath = wanted.find(u'\\') != std::u16string::npos;
    for (const auto& module : modules_) {
        std::u16string_view path = module->DevicePath();
        if (byPath ? EqualNoCase(path, wanted) : EqualNoCase(DeviceFileName(path), wanted)) {
            return module.get();
        }
    }
    return nullptr;
}

HMODULE ModuleTable::Load(std::u16string_view name) {
    std::lock_guard guard(lock_);
    void* library = nullptr;
    std::u16string devicePath;
    if (const SystemLibrary* system = FindSystemLibrary(name)) {
        library = OpenSystemLibrary(*system);
        devicePath = system->devicePath;
    } else {
        std::string host = ResolveDeviceImage(name);
        if (host.empty()) {
            SetLastError(ERROR_MOD_NOT_FOUND);
            return nullptr;
        }
        library = dlopen(host.c_str(), RTLD_NOW | RTLD_LOCAL);
        devicePath = ce::DevicePath(host);
    }
    if (library == nullptr) {
        SetLastError(ERROR_BAD_FORMAT);
        return nullptr;
    }
    if (Module* loaded = FindByLibrary(library)) {
        dlclose(library);  // the module holds its own reference from its first load
        ++loaded->references;
        return loaded->Handle();
    }
    modules_.push_back(std::make_unique<Module>(library, std::move(devicePath)));
    Module* module = modules_.back().get();
    CeDllEntry entry = module->Entry();
    if (entry != nullptr &&
        !entry(reinterpret_cast<HINSTANCE>(module->Handle()), DLL_PROCESS_ATTACH, nullptr)) {
        entry(reinterpret_cast<HINSTANCE>(module->Handle()), DLL_PROCESS_DETACH, nullptr);
        Remove(module);
        SetLastError(ERROR_DLL_INIT_FAILED);
        return nullptr;
    }
    return module->Handle();
}

bool ModuleTable::Free(HMODULE handle) {
    std::lock_guard guard(lock_);
    Module* module = Find(handle);
    if (module == nullptr || handle == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
        return false;
    }
    if (module == program_.get() || --module->references > 0) {
        return true;
    }
    if (CeDllEntry entry = module->Entry()) {
        entry(reinterpret_cast<HINSTANCE>(module->Handle()), DLL_PROCESS_DETACH, nullptr);
    }
    Remove(module);
    return true;
}

void ModuleTable::Remove(Module* module) {
    auto it =
        std::find_if(modules_.begin(), modules_.end(), [module](const auto& m) { return m.get() == module; });
    if (it != modules_.end()) {
        modules_.erase(it);
    }
}

}  // namespace ce::detail
