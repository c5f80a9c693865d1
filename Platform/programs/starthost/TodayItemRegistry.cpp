#include "TodayItemRegistry.h"

#include <algorithm>

#include "ce/registry.h"

namespace {

constexpr const char16_t* kItemsKey = u"Software\\Microsoft\\Today\\Items";

DWORD ReadDword(HKEY key, const char16_t* name, DWORD fallback) {
    DWORD value = 0;
    DWORD type = 0;
    DWORD size = sizeof(value);
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<LPBYTE>(&value), &size) != ERROR_SUCCESS ||
        type != REG_DWORD || size != sizeof(value)) {
        return fallback;
    }
    return value;
}

std::u16string ReadText(HKEY key, const char16_t* name) {
    WCHAR text[MAX_PATH] = {};
    DWORD type = 0;
    DWORD size = sizeof(text) - sizeof(WCHAR);
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<LPBYTE>(text), &size) != ERROR_SUCCESS ||
        (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return {};
    }
    text[size / sizeof(WCHAR)] = 0;
    return text;
}

TodayItemEntry ReadEntry(HKEY items, const std::u16string& name) {
    TodayItemEntry entry;
    entry.name = name;
    HKEY key = nullptr;
    if (RegOpenKeyExW(items, name.c_str(), 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return entry;
    }
    entry.dll = ReadText(key, u"Dll");
    entry.type = ReadDword(key, u"Type", 0);
    entry.order = ReadDword(key, u"Order", 0);
    entry.enabled = ReadDword(key, u"Enabled", 0) != 0;
    entry.options = ReadDword(key, u"Options", 0) != 0;
    entry.selectability = ReadDword(key, u"Selectability", 0);
    RegCloseKey(key);
    return entry;
}

}  // namespace

std::vector<TodayItemEntry> TodayItemRegistry::ReadEnabledCustomItems() {
    std::vector<TodayItemEntry> entries;
    HKEY items = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kItemsKey, 0, KEY_READ, &items) != ERROR_SUCCESS) {
        return entries;
    }
    for (DWORD index = 0;; ++index) {
        WCHAR name[MAX_PATH] = {};
        DWORD length = MAX_PATH;
        if (RegEnumKeyExW(items, index, name, &length, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS) {
            break;
        }
        TodayItemEntry entry = ReadEntry(items, name);
        if (entry.enabled && entry.type == tlitCustom && !entry.dll.empty()) {
            entries.push_back(std::move(entry));
        }
    }
    RegCloseKey(items);
    std::stable_sort(entries.begin(), entries.end(), [](const TodayItemEntry& a, const TodayItemEntry& b) {
        return a.order != b.order ? a.order < b.order : a.name < b.name;
    });
    return entries;
}
