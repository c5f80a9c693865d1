// Modules and their resources: LoadLibraryW and friends over the process's ModuleTable.
#include <algorithm>
#include <mutex>
#include <string>

#include "ce/device.h"
#include "ce/module.h"
#include "modules/ModuleTable.h"

using ce::detail::Module;
using ce::detail::ModuleTable;

namespace {

// Copies text with its terminator; a buffer too small gets what fits, terminated, and the size.
DWORD CopyTerminated(const std::u16string& text, LPWSTR buffer, DWORD size) {
    if (buffer == nullptr || size == 0) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    if (text.size() >= size) {
        std::copy_n(text.begin(), size - 1, buffer);
        buffer[size - 1] = u'\0';
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return size;
    }
    std::copy(text.begin(), text.end(), buffer);
    buffer[text.size()] = u'\0';
    return static_cast<DWORD>(text.size());
}

Module* FindOrFail(HMODULE module) {
    Module* found = ModuleTable::Instance().Find(module);
    if (found == nullptr) {
        SetLastError(ERROR_INVALID_HANDLE);
    }
    return found;
}

}  // namespace

extern "C" {

HMODULE LoadLibraryW(LPCWSTR path) {
    if (path == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    return ModuleTable::Instance().Load(path);
}

BOOL FreeLibrary(HMODULE module) {
    return ModuleTable::Instance().Free(module) ? TRUE : FALSE;
}

FARPROC GetProcAddressW(HMODULE module, LPCWSTR name) {
    std::lock_guard guard(ModuleTable::Instance().Lock());
    Module* found = FindOrFail(module);
    if (found == nullptr || name == nullptr) {
        return nullptr;
    }
    FARPROC function = IS_INTRESOURCE(name)
                           ? found->ExportByOrdinal(static_cast<WORD>(reinterpret_cast<ULONG_PTR>(name)))
                           : found->ExportByName(ce::ToUtf8(name));
    if (function == nullptr) {
        SetLastError(ERROR_PROC_NOT_FOUND);
    }
    return function;
}

HMODULE GetModuleHandleW(LPCWSTR name) {
    if (name == nullptr) {
        return ModuleTable::Instance().Program()->Handle();
    }
    Module* found = ModuleTable::Instance().FindLoaded(name);
    if (found == nullptr) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    return found->Handle();
}

DWORD GetModuleFileNameW(HMODULE module, LPWSTR buffer, DWORD size) {
    std::lock_guard guard(ModuleTable::Instance().Lock());
    Module* found = FindOrFail(module);
    if (found == nullptr) {
        return 0;
    }
    bool isProgram = found == ModuleTable::Instance().Program();
    std::u16string path = isProgram ? ce::ProcessImagePath() : found->DevicePath();
    if (path.empty()) {
        SetLastError(ERROR_FILE_NOT_FOUND);  // a program started from outside the device's file system
        return 0;
    }
    return CopyTerminated(path, buffer, size);
}

HRSRC FindResourceW(HMODULE module, LPCWSTR name, LPCWSTR type) {
    std::lock_guard guard(ModuleTable::Instance().Lock());
    Module* found = FindOrFail(module);
    if (found == nullptr || name == nullptr || type == nullptr) {
        return nullptr;
    }
    const CeBinaryResource* resource = found->FindResource(name, type);
    if (resource == nullptr) {
        SetLastError(ERROR_RESOURCE_NAME_NOT_FOUND);
    }
    return reinterpret_cast<HRSRC>(const_cast<CeBinaryResource*>(resource));
}

// Resources stay where the module keeps them: loading and locking hand out the data in place.
HGLOBAL LoadResource(HMODULE module, HRSRC resource) {
    std::lock_guard guard(ModuleTable::Instance().Lock());
    Module* found = FindOrFail(module);
    const auto* entry = reinterpret_cast<const CeBinaryResource*>(resource);
    if (found == nullptr || !found->OwnsResource(entry)) {
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return nullptr;
    }
    return const_cast<void*>(entry->data);
}

LPVOID LockResource(HGLOBAL data) {
    return data;
}

DWORD SizeofResource(HMODULE module, HRSRC resource) {
    std::lock_guard guard(ModuleTable::Instance().Lock());
    Module* found = FindOrFail(module);
    const auto* entry = reinterpret_cast<const CeBinaryResource*>(resource);
    if (found == nullptr || !found->OwnsResource(entry)) {
        SetLastError(ERROR_RESOURCE_DATA_NOT_FOUND);
        return 0;
    }
    return entry->size;
}

// With size 0 the buffer receives a pointer to the text in the module, read-only, as on the device.
int LoadStringW(HINSTANCE instance, UINT id, LPWSTR buffer, int size) {
    std::lock_guard guard(ModuleTable::Instance().Lock());
    Module* found = FindOrFail(reinterpret_cast<HMODULE>(instance));
    const CeStringResource* entry = found == nullptr ? nullptr : found->FindString(id);
    if (entry == nullptr || buffer == nullptr) {
        SetLastError(entry == nullptr ? ERROR_RESOURCE_NAME_NOT_FOUND : ERROR_INVALID_PARAMETER);
        return 0;
    }
    int length = static_cast<int>(std::char_traits<char16_t>::length(entry->text));
    if (size == 0) {
        *reinterpret_cast<LPCWSTR*>(buffer) = entry->text;
        return length;
    }
    int copied = std::min(length, size - 1);
    std::copy_n(entry->text, copied, buffer);
    buffer[copied] = u'\0';
    return copied;
}

}  // extern "C"
