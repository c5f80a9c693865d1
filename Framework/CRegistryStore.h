// Values under one registry key. The key is opened and closed around every access, so that no
// handle stays open between them.
#pragma once

#include "ce/registry.h"

class CRegistryStore {
public:
    CRegistryStore() = default;
    CRegistryStore(const CRegistryStore&) = delete;
    CRegistryStore& operator=(const CRegistryStore&) = delete;
    virtual ~CRegistryStore() = default;

    // Keeps root and path and creates the key when it is missing; 1 when that worked.
    int Open(HKEY root, LPCWSTR path);

    int GetDWORD(LPCWSTR name, DWORD* value);
    int SetDWORD(LPCWSTR name, DWORD value);
    // Fails when the value (with its terminator) does not fit into size characters.
    int GetString(LPCWSTR name, LPWSTR buffer, DWORD size);
    int SetString(LPCWSTR name, LPCWSTR text);
    // size offers the buffer's bytes and receives the stored size.
    int QueryBinary(LPCWSTR name, LPVOID buffer, LPDWORD size);
    int GetBinary(LPCWSTR name, LPVOID buffer, DWORD size);
    int SetBinary(LPCWSTR name, LPCVOID data, DWORD size);
    // 1 when the key could be opened, whether or not the value existed.
    int DeleteValue(LPCWSTR name);

private:
    bool OpenKey();
    void CloseKey();
    LONG Query(LPCWSTR name, LPVOID buffer, LPDWORD size);
    int SetValue(LPCWSTR name, DWORD type, const void* data, DWORD size);

    HKEY m_root = nullptr;
    HKEY m_key = nullptr;
    WCHAR m_path[MAX_PATH] = {};
};
