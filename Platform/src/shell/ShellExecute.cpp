// ShellExecuteEx and the special folders.
#include <string>

#include "ce/device.h"
#include "ce/kernel.h"
#include "ce/shell.h"

namespace {

bool IsWebAddress(std::u16string_view text) {
    auto startsWith = [&](std::u16string_view prefix) {
        return text.size() >= prefix.size() && _wcsnicmp(text.data(), prefix.data(), prefix.size()) == 0;
    };
    return startsWith(u"http://") || startsWith(u"https://") || startsWith(u"www.");
}

bool IsBrowser(std::u16string_view file) {
    std::u16string_view name = file.substr(file.find_last_of(u"\\/") == std::u16string_view::npos
                                               ? 0
                                               : file.find_last_of(u"\\/") + 1);
    return _wcsicmp(std::u16string(name).c_str(), u"iexplore.exe") == 0;
}

// The browser of the device records what it was asked to open.
bool OpenInBrowser(std::u16string_view address) {
    return ce::AppendDeviceLog("urls", {{"url", ce::ToUtf8(address)}});
}

const char16_t* FolderOf(int folder) {
    switch (folder & 0xFF) {
    case CSIDL_WINDOWS:
        return u"\\Windows";
    case CSIDL_PROGRAM_FILES:
        return u"\\Program Files";
    case CSIDL_PERSONAL:
        return u"\\My Documents";
    case CSIDL_STARTUP:
        return u"\\Windows\\StartUp";
    case CSIDL_APPDATA:
        return u"\\Application Data";
    case CSIDL_PROGRAMS:
        return u"\\Windows\\Start Menu\\Programs";
    default:
        return nullptr;
    }
}

}  // namespace

extern "C" {

CE_API BOOL ShellExecuteEx(SHELLEXECUTEINFO* info) {
    if (info == nullptr || info->lpFile == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    info->hProcess = nullptr;
    std::u16string file = info->lpFile;
    std::u16string parameters = info->lpParameters ? info->lpParameters : u"";
    if (IsWebAddress(file) || (IsBrowser(file) && !parameters.empty())) {
        if (!OpenInBrowser(IsWebAddress(file) ? file : parameters)) {
            SetLastError(ERROR_WRITE_FAULT);
            return FALSE;
        }
        info->hInstApp = reinterpret_cast<HINSTANCE>(33);
        return TRUE;
    }
    std::u16string commandLine = parameters;
    STARTUPINFOW startup{};
    PROCESS_INFORMATION process{};
    if (!CreateProcessW(file.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, info->lpDirectory,
                        &startup, &process)) {
        return FALSE;
    }
    CloseHandle(process.hThread);
    if (info->fMask & SEE_MASK_NOCLOSEPROCESS) {
        info->hProcess = process.hProcess;
    } else {
        CloseHandle(process.hProcess);
    }
    info->hInstApp = reinterpret_cast<HINSTANCE>(33);
    return TRUE;
}

CE_API BOOL SHGetSpecialFolderPath(HWND /*owner*/, LPWSTR path, int folder, BOOL create) {
    const char16_t* known = FolderOf(folder);
    if (path == nullptr || known == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    lstrcpynW(path, known, MAX_PATH);
    if (create && GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES) {
        std::u16string partial;
        for (const char16_t* p = known; *p; ++p) {
            if (*p == u'\\' && !partial.empty()) {
                CreateDirectoryW(partial.c_str(), nullptr);
            }
            partial.push_back(*p);
        }
        CreateDirectoryW(partial.c_str(), nullptr);
    }
    return TRUE;
}

}  // extern "C"
