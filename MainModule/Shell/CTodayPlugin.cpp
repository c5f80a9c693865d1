#include "Shell/CTodayPlugin.h"

#include "CSysInfo.h"
#include "ce/registry.h"
#include "ce/user.h"

namespace {

// The shell picks up registry changes only some time after they were made.
constexpr DWORD kShellSettleMs = 2000;

bool SetDWORDValue(HKEY key, LPCWSTR name, DWORD value) {
    return RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof value) ==
           ERROR_SUCCESS;
}

bool WriteItemValues(HKEY key) {
    WCHAR library[MAX_PATH];
    if (!CSysInfo::ExpandPath(CTodayPlugin::kLibraryPath, library, MAX_PATH)) {
        return false;
    }
    auto bytes = static_cast<DWORD>((lstrlenW(library) + 1) * sizeof(WCHAR));
    return RegSetValueExW(key, u"Dll", 0, REG_SZ, reinterpret_cast<const BYTE*>(library), bytes) == ERROR_SUCCESS &&
           SetDWORDValue(key, u"Enabled", 1) && SetDWORDValue(key, u"Options", 1) && SetDWORDValue(key, u"Type", 4) &&
           SetDWORDValue(key, u"Selectability", 2);
}

void TellTodayScreen() { PostMessageW(HWND_BROADCAST, WM_SETTINGCHANGE, CTodayPlugin::kTodayItemsChanged, 0); }

}  // namespace

CTodayPlugin::CTodayPlugin() : m_event(CreateEventW(nullptr, FALSE, FALSE, kEventName)) {}

CTodayPlugin::~CTodayPlugin() {
    if (m_event != nullptr && m_event != INVALID_HANDLE_VALUE) {
        CloseHandle(m_event);
    }
}

void CTodayPlugin::Notify(DWORD data) {
    SetEventData(m_event, data);
    SetEvent(m_event);
}

int CTodayPlugin::Install() {
    HKEY key = nullptr;
    bool written = false;
    if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, kItemKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) ==
        ERROR_SUCCESS) {
        written = WriteItemValues(key);
        RegFlushKey(key);
        RegCloseKey(key);
    }
    Sleep(kShellSettleMs);
    TellTodayScreen();
    return written ? 1 : 0;
}

int CTodayPlugin::Remove() {
    RegDeleteKeyW(HKEY_LOCAL_MACHINE, kItemKey);
    RegFlushKey(HKEY_LOCAL_MACHINE);
    TellTodayScreen();
    Sleep(kShellSettleMs);
    // A key that was never there is as good as deleted.
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kItemKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
        RegCloseKey(key);
        return 0;
    }
    return 1;
}
