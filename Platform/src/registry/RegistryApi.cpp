// The registry functions: argument checks and the platform's buffer conventions over RegistryStore.
#include <algorithm>
#include <cstring>
#include <memory>
#include <utility>
#include <vector>

#include "ce/registry.h"
#include "kernel/HandleTable.h"
#include "registry/RegistryKey.h"
#include "registry/RegistryStore.h"

using ce::detail::RegistryKeyInfo;
using ce::detail::RegistryStore;
using ce::detail::RegistryValue;

namespace {

constexpr size_t kMaxKeyNameLength = 255;

// The store id of an open key or a predefined root; 0 when the handle names no key.
int64_t KeyId(HKEY key) {
    if (key == HKEY_CLASSES_ROOT) {
        return RegistryStore::kClassesRoot;
    }
    if (key == HKEY_CURRENT_USER) {
        return RegistryStore::kCurrentUser;
    }
    if (key == HKEY_LOCAL_MACHINE) {
        return RegistryStore::kLocalMachine;
    }
    auto open = ce::detail::LookupHandleAs<ce::detail::RegistryKey>(reinterpret_cast<HANDLE>(key));
    return open ? open->Id() : 0;
}

// Splits "Software\Vendor\App" into its names. A leading or doubled backslash or an over-long name is
// refused; a trailing backslash is allowed.
LONG SplitPath(LPCWSTR subKey, std::vector<std::u16string>* path) {
    path->clear();
    if (subKey == nullptr) {
        return ERROR_SUCCESS;
    }
    std::u16string_view text(subKey);
    if (!text.empty() && text.back() == u'\\') {
        text.remove_suffix(1);
    }
    if (text.empty()) {
        return ERROR_SUCCESS;
    }
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = std::min(text.find(u'\\', start), text.size());
        std::u16string_view name = text.substr(start, end - start);
        if (name.empty()) {
            return ERROR_BAD_PATHNAME;
        }
        if (name.size() > kMaxKeyNameLength) {
            return ERROR_INVALID_PARAMETER;
        }
        path->emplace_back(name);
        start = end + 1;
    }
    return ERROR_SUCCESS;
}

HKEY InsertKey(int64_t id) {
    return reinterpret_cast<HKEY>(ce::detail::InsertHandle(std::make_shared<ce::detail::RegistryKey>(id)));
}

// Copies a name with its terminator into a buffer of *size characters. On success *size becomes the
// length without the terminator; a buffer too small gives ERROR_MORE_DATA.
LONG CopyName(const std::u16string& name, LPWSTR buffer, LPDWORD size) {
    if (buffer == nullptr || size == nullptr) {
        return ERROR_INVALID_PARAMETER;
    }
    if (*size < name.size() + 1) {
        return ERROR_MORE_DATA;
    }
    std::copy(name.begin(), name.end(), buffer);
    buffer[name.size()] = u'\0';
    *size = static_cast<DWORD>(name.size());
    return ERROR_SUCCESS;
}

// The data convention of the value queries: a null buffer asks for the size, a buffer too small gets
// ERROR_MORE_DATA and the size needed, and *size always ends as the size of the data.
LONG CopyData(const std::vector<BYTE>& data, LPBYTE buffer, LPDWORD size) {
    if (size == nullptr) {
        return buffer == nullptr ? ERROR_SUCCESS : ERROR_INVALID_PARAMETER;
    }
    DWORD available = *size;
    *size = static_cast<DWORD>(data.size());
    if (buffer == nullptr) {
        return ERROR_SUCCESS;
    }
    if (available < data.size()) {
        return ERROR_MORE_DATA;
    }
    if (!data.empty()) {
        std::memcpy(buffer, data.data(), data.size());
    }
    return ERROR_SUCCESS;
}

FILETIME ToFileTime(uint64_t unixMs) {
    const uint64_t kEpochDifferenceMs = 11644473600000ULL;  // 1601-01-01 to 1970-01-01
    uint64_t ticks = (unixMs + kEpochDifferenceMs) * 10000;
    return FILETIME{static_cast<DWORD>(ticks), static_cast<DWORD>(ticks >> 32)};
}

std::u16string_view ValueName(LPCWSTR name) {
    return name == nullptr ? std::u16string_view() : name;
}

}  // namespace

extern "C" {

LONG RegCreateKeyExW(HKEY key, LPCWSTR subKey, DWORD, LPWSTR, DWORD, REGSAM, LPSECURITY_ATTRIBUTES,
                     PHKEY result, LPDWORD disposition) {
    int64_t parent = KeyId(key);
    if (parent == 0) {
        return ERROR_INVALID_HANDLE;
    }
    std::vector<std::u16string> path;
    LONG error = result == nullptr ? ERROR_INVALID_PARAMETER : SplitPath(subKey, &path);
    int64_t id = 0;
    bool created = false;
    if (error == ERROR_SUCCESS) {
        error = RegistryStore::Instance().CreateKey(parent, path, &id, &created);
    }
    if (error != ERROR_SUCCESS) {
        return error;
    }
    *result = InsertKey(id);
    if (disposition != nullptr) {
        *disposition = created ? REG_CREATED_NEW_KEY : REG_OPENED_EXISTING_KEY;
    }
    return ERROR_SUCCESS;
}

LONG RegOpenKeyExW(HKEY key, LPCWSTR subKey, DWORD, REGSAM, PHKEY result) {
    int64_t parent = KeyId(key);
    if (parent == 0) {
        return ERROR_INVALID_HANDLE;
    }
    std::vector<std::u16string> path;
    LONG error = result == nullptr ? ERROR_INVALID_PARAMETER : SplitPath(subKey, &path);
    int64_t id = 0;
    if (error == ERROR_SUCCESS) {
        error = RegistryStore::Instance().OpenKey(parent, path, &id);
    }
    if (error == ERROR_SUCCESS) {
        *result = InsertKey(id);
    }
    return error;
}

LONG RegCloseKey(HKEY key) {
    if (key == HKEY_CLASSES_ROOT || key == HKEY_CURRENT_USER || key == HKEY_LOCAL_MACHINE) {
        return ERROR_SUCCESS;
    }
    if (!ce::detail::LookupHandleAs<ce::detail::RegistryKey>(reinterpret_cast<HANDLE>(key))) {
        return ERROR_INVALID_HANDLE;
    }
    ce::detail::RemoveHandle(reinterpret_cast<HANDLE>(key));
    return ERROR_SUCCESS;
}

LONG RegQueryValueExW(HKEY key, LPCWSTR name, LPDWORD, LPDWORD type, LPBYTE data, LPDWORD dataSize) {
    int64_t id = KeyId(key);
    if (id == 0) {
        return ERROR_INVALID_HANDLE;
    }
    RegistryValue value;
    LONG error = RegistryStore::Instance().GetValue(id, ValueName(name), &value);
    if (error != ERROR_SUCCESS) {
        return error;
    }
    if (type != nullptr) {
        *type = value.type;
    }
    return CopyData(value.data, data, dataSize);
}

LONG RegSetValueExW(HKEY key, LPCWSTR name, DWORD, DWORD type, const BYTE* data, DWORD dataSize) {
    int64_t id = KeyId(key);
    if (id == 0) {
        return ERROR_INVALID_HANDLE;
    }
    if (data == nullptr && dataSize != 0) {
        return ERROR_INVALID_PARAMETER;
    }
    if (ValueName(name).size() > kMaxKeyNameLength) {
        return ERROR_INVALID_PARAMETER;
    }
    return RegistryStore::Instance().SetValue(id, ValueName(name), type, data, dataSize);
}

LONG RegDeleteValueW(HKEY key, LPCWSTR name) {
    int64_t id = KeyId(key);
    return id == 0 ? ERROR_INVALID_HANDLE : RegistryStore::Instance().DeleteValue(id, ValueName(name));
}

LONG RegDeleteKeyW(HKEY key, LPCWSTR subKey) {
    int64_t parent = KeyId(key);
    if (parent == 0) {
        return ERROR_INVALID_HANDLE;
    }
    std::vector<std::u16string> path;
    LONG error = SplitPath(subKey, &path);
    return error == ERROR_SUCCESS ? RegistryStore::Instance().DeleteKey(parent, path) : error;
}

LONG RegEnumKeyExW(HKEY key, DWORD index, LPWSTR name, LPDWORD nameSize, LPDWORD, LPWSTR keyClass,
                   LPDWORD classSize, PFILETIME lastWrite) {
    int64_t id = KeyId(key);
    if (id == 0) {
        return ERROR_INVALID_HANDLE;
    }
    std::u16string subKey;
    uint64_t written = 0;
    LONG error = RegistryStore::Instance().SubKeyAt(id, index, &subKey, &written);
    if (error == ERROR_SUCCESS) {
        error = CopyName(subKey, name, nameSize);
    }
    if (error != ERROR_SUCCESS) {
        return error;
    }
    // Keys carry no class.
    if (keyClass != nullptr && classSize != nullptr && *classSize > 0) {
        keyClass[0] = u'\0';
    }
    if (classSize != nullptr) {
        *classSize = 0;
    }
    if (lastWrite != nullptr) {
        *lastWrite = ToFileTime(written);
    }
    return ERROR_SUCCESS;
}

LONG RegEnumValueW(HKEY key, DWORD index, LPWSTR name, LPDWORD nameSize, LPDWORD, LPDWORD type, LPBYTE data,
                   LPDWORD dataSize) {
    int64_t id = KeyId(key);
    if (id == 0) {
        return ERROR_INVALID_HANDLE;
    }
    RegistryValue value;
    LONG error = RegistryStore::Instance().ValueAt(id, index, &value);
    if (error != ERROR_SUCCESS) {
        return error;
    }
    LONG nameError = CopyName(value.name, name, nameSize);
    if (nameError == ERROR_INVALID_PARAMETER) {
        return nameError;
    }
    if (type != nullptr) {
        *type = value.type;
    }
    LONG dataError = CopyData(value.data, data, dataSize);
    return nameError != ERROR_SUCCESS ? nameError : dataError;
}

LONG RegQueryInfoKeyW(HKEY key, LPWSTR keyClass, LPDWORD classSize, LPDWORD, LPDWORD subKeys,
                      LPDWORD maxSubKeyLength, LPDWORD maxClassLength, LPDWORD values,
                      LPDWORD maxValueNameLength, LPDWORD maxValueLength, LPDWORD securityDescriptor,
                      PFILETIME lastWrite) {
    int64_t id = KeyId(key);
    if (id == 0) {
        return ERROR_INVALID_HANDLE;
    }
    RegistryKeyInfo info;
    LONG error = RegistryStore::Instance().QueryInfo(id, &info);
    if (error != ERROR_SUCCESS) {
        return error;
    }
    if (keyClass != nullptr && classSize != nullptr && *classSize > 0) {
        keyClass[0] = u'\0';
    }
    const std::pair<LPDWORD, DWORD> outputs[] = {{classSize, 0},
                                                 {subKeys, info.subKeys},
                                                 {maxSubKeyLength, info.maxSubKeyLength},
                                                 {maxClassLength, 0},
                                                 {values, info.values},
                                                 {maxValueNameLength, info.maxValueNameLength},
                                                 {maxValueLength, info.maxValueLength},
                                                 {securityDescriptor, 0}};
    for (const auto& [target, number] : outputs) {
        if (target != nullptr) {
            *target = number;
        }
    }
    if (lastWrite != nullptr) {
        *lastWrite = ToFileTime(info.lastWriteUnixMs);
    }
    return ERROR_SUCCESS;
}

LONG RegFlushKey(HKEY key) {
    return KeyId(key) == 0 ? ERROR_INVALID_HANDLE : RegistryStore::Instance().Flush();
}

}  // extern "C"
