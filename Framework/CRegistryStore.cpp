#include "CRegistryStore.h"

int CRegistryStore::Open(HKEY root, LPCWSTR path) {
    if (path == nullptr || lstrlenW(path) >= MAX_PATH) {
        return 0;
    }
    m_root = root;
    lstrcpynW(m_path, path, MAX_PATH);
    if (!OpenKey()) {
        return 0;
    }
    CloseKey();
    return 1;
}

bool CRegistryStore::OpenKey() {
    if (m_root == nullptr) {
        return false;
    }
    HKEY key = nullptr;
    DWORD disposition = 0;
    if (RegCreateKeyExW(m_root, m_path, 0, nullptr, 0, 0, nullptr, &key, &disposition) != ERROR_SUCCESS) {
        return false;
    }
    m_key = key;
    return true;
}

void CRegistryStore::CloseKey() {
    RegCloseKey(m_key);
    m_key = nullptr;
}

LONG CRegistryStore::Query(LPCWSTR name, LPVOID buffer, LPDWORD size) {
    if (!OpenKey()) {
        return ERROR_CANTOPEN;
    }
    DWORD type = 0;
    const LONG result = RegQueryValueExW(m_key, name, nullptr, &type, static_cast<LPBYTE>(buffer), size);
    CloseKey();
    return result;
}

int CRegistryStore::SetValue(LPCWSTR name, DWORD type, const void* data, DWORD size) {
    if (!OpenKey()) {
        return 0;
    }
    const LONG result = RegSetValueExW(m_key, name, 0, type, static_cast<const BYTE*>(data), size);
    CloseKey();
    return result == ERROR_SUCCESS ? 1 : 0;
}

int CRegistryStore::GetDWORD(LPCWSTR name, DWORD* value) {
    if (value == nullptr) {
        return 0;
    }
    // Read into a copy: a stored value of another size must not leave half a word behind.
    DWORD read = 0;
    DWORD size = sizeof read;
    if (Query(name, &read, &size) != ERROR_SUCCESS || size != sizeof read) {
        return 0;
    }
    *value = read;
    return 1;
}

int CRegistryStore::SetDWORD(LPCWSTR name, DWORD value) {
    return SetValue(name, REG_DWORD, &value, sizeof value);
}

int CRegistryStore::GetString(LPCWSTR name, LPWSTR buffer, DWORD size) {
    if (buffer == nullptr || size == 0) {
        return 0;
    }
    DWORD bytes = size * sizeof(WCHAR);
    if (Query(name, buffer, &bytes) != ERROR_SUCCESS) {
        return 0;
    }
    // A value stored without its terminator still has to come back terminated.
    const DWORD characters = bytes / sizeof(WCHAR);
    if (characters > 0 && buffer[characters - 1] == 0) {
        return 1;
    }
    if (characters >= size) {
        buffer[size - 1] = 0;
        return 0;
    }
    buffer[characters] = 0;
    return 1;
}

int CRegistryStore::SetString(LPCWSTR name, LPCWSTR text) {
    if (text == nullptr) {
        return 0;
    }
    const DWORD bytes = static_cast<DWORD>(lstrlenW(text) + 1) * sizeof(WCHAR);
    return SetValue(name, REG_SZ, text, bytes);
}

int CRegistryStore::QueryBinary(LPCWSTR name, LPVOID buffer, LPDWORD size) {
    if (size == nullptr) {
        return 0;
    }
    return Query(name, buffer, size) == ERROR_SUCCESS ? 1 : 0;
}

int CRegistryStore::GetBinary(LPCWSTR name, LPVOID buffer, DWORD size) {
    if (buffer == nullptr) {
        return 0;
    }
    return Query(name, buffer, &size) == ERROR_SUCCESS ? 1 : 0;
}

int CRegistryStore::SetBinary(LPCWSTR name, LPCVOID data, DWORD size) {
    if (data == nullptr && size != 0) {
        return 0;
    }
    return SetValue(name, REG_BINARY, data, size);
}

int CRegistryStore::DeleteValue(LPCWSTR name) {
    if (!OpenKey()) {
        return 0;
    }
    RegDeleteValueW(m_key, name);
    CloseKey();
    return 1;
}
