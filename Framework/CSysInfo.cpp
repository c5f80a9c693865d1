#include "CSysInfo.h"

#include "ce/registry.h"

namespace {

constexpr LONGLONG kTicksPerMs = 10000;

LONGLONG Ticks(const FILETIME& time) {
    return static_cast<LONGLONG>((static_cast<ULONGLONG>(time.dwHighDateTime) << 32) | time.dwLowDateTime);
}

FILETIME FromTicks(LONGLONG ticks) {
    const auto bits = static_cast<ULONGLONG>(ticks);
    return FILETIME{static_cast<DWORD>(bits), static_cast<DWORD>(bits >> 32)};
}

// Appends text to output[length..]; false when it would not fit with its terminator.
bool Append(LPWSTR output, int size, int* length, LPCWSTR text, int count) {
    if (*length + count >= size) {
        return false;
    }
    for (int i = 0; i < count; ++i) {
        output[(*length)++] = text[i];
    }
    output[*length] = 0;
    return true;
}

bool SpecialFolder(int /*csidl*/, LPWSTR /*folder*/, int /*size*/) {
    return false;
}

// The folder that a macro (without its percent signs) stands for.
bool MacroFolder(LPCWSTR name, int length, LPWSTR folder, int size) {
    struct Macro {
        LPCWSTR name;
        int csidl;  // 0: the install folder
        LPCWSTR suffix;
    };
    static constexpr Macro kMacros[] = {
        {u"INSTALL_DIR", 0, u""},          {u"WINDOWS", 0x24, u""},      {u"PROGRAM_FILES", 0x26, u""},
        {u"MY_DOCUMENTS", 5, u""},         {u"STARTUP", 7, u""},         {u"APPLICATION_DATA", 0x1A, u""},
        {u"WINDOWS_HELP", 0x24, u"\\Help"},
    };
    for (const Macro& macro : kMacros) {
        if (lstrlenW(macro.name) != length || _wcsnicmp(macro.name, name, static_cast<size_t>(length)) != 0) {
            continue;
        }
        const bool found = macro.csidl == 0 ? CSysInfo::GetInstallDir(folder, size)
                                            : SpecialFolder(macro.csidl, folder, size);
        if (!found || lstrlenW(folder) + lstrlenW(macro.suffix) >= size) {
            return false;
        }
        lstrcatW(folder, macro.suffix);
        return true;
    }
    return false;
}

bool ReadInstallDir(LPCWSTR keyPath, LPWSTR folder, int size) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, keyPath, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    WCHAR value[MAX_PATH + 1] = {};
    DWORD bytes = MAX_PATH * sizeof(WCHAR);
    DWORD type = 0;
    const LONG result =
        RegQueryValueExW(key, u"InstallDir", nullptr, &type, reinterpret_cast<LPBYTE>(value), &bytes);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ) || value[0] == 0 ||
        lstrlenW(value) >= size) {
        return false;
    }
    lstrcpynW(folder, value, size);
    return true;
}

bool IsFolder(const WIN32_FIND_DATAW& entry) {
    return (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

}  // namespace

bool CSysInfo::GetInstallDir(LPWSTR folder, int size) {
    if (folder == nullptr || size <= 0) {
        return false;
    }
    folder[0] = 0;
    // The installer writes the key with a leading backslash; a registry that keeps it literally
    // is read both ways.
    return ReadInstallDir(u"SOFTWARE\\Apps\\Quillon Software Skyvane", folder, size) ||
           ReadInstallDir(u"\\SOFTWARE\\Apps\\Quillon Software Skyvane", folder, size);
}

bool CSysInfo::ExpandPath(LPCWSTR pattern, LPWSTR output, int size) {
    if (pattern == nullptr || output == nullptr || size <= 0) {
        return false;
    }
    output[0] = 0;
    int length = 0;
    for (LPCWSTR p = pattern; *p != 0;) {
        if (*p != u'%') {
            if (!Append(output, size, &length, p++, 1)) {
                output[0] = 0;
                return false;
            }
            continue;
        }
        LPCWSTR end = p + 1;
        while (*end != 0 && *end != u'%') {
            ++end;
        }
        WCHAR folder[MAX_PATH + 8];
        if (*end == 0 || !MacroFolder(p + 1, static_cast<int>(end - p - 1), folder, MAX_PATH + 8)) {
            output[0] = 0;
            return false;
        }
        int folderLength = lstrlenW(folder);
        if (folderLength > 0 && folder[folderLength - 1] == u'\\') {
            --folderLength;
        }
        if (!Append(output, size, &length, folder, folderLength)) {
            output[0] = 0;
            return false;
        }
        p = end + 1;
    }
    return true;
}

bool CSysInfo::DeleteMatchingFiles(LPCWSTR pattern) {
    WCHAR expanded[MAX_PATH];
    if (pattern == nullptr || !ExpandPath(pattern, expanded, MAX_PATH)) {
        return false;
    }
    LPWSTR lastSlash = nullptr;
    for (LPWSTR p = expanded; *p != 0; ++p) {
        if (*p == u'\\') {
            lastSlash = p;
        }
    }
    if (lastSlash == nullptr) {
        return false;
    }
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW(expanded, &entry);
    if (find == INVALID_HANDLE_VALUE) {
        return true;
    }
    const int folderLength = static_cast<int>(lastSlash - expanded) + 1;
    do {
        if (IsFolder(entry)) {
            continue;
        }
        WCHAR path[MAX_PATH * 2];
        lstrcpynW(path, expanded, folderLength + 1);
        lstrcatW(path, entry.cFileName);
        DeleteFileW(path);
    } while (FindNextFileW(find, &entry));
    FindClose(find);
    return true;
}

bool CSysInfo::RemoveDirectoryTree(LPCWSTR folder) {
    if (folder == nullptr || folder[0] == 0) {
        return false;
    }
    std::u16string base(folder);
    if (base.back() == u'\\') {
        base.pop_back();
    }
    bool complete = true;
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW((base + u"\\*").c_str(), &entry);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            const std::u16string path = base + u"\\" + entry.cFileName;
            if (!IsFolder(entry)) {
                complete = DeleteFileW(path.c_str()) && complete;
                continue;
            }
            // A link to a folder is listed as a folder; removing it as a folder tells them apart
            // (a link is not one), so that a link is deleted and never followed.
            if (RemoveDirectoryW(path.c_str())) {
                continue;
            }
            const DWORD error = GetLastError();
            if (error == ERROR_DIRECTORY) {
                complete = DeleteFileW(path.c_str()) && complete;
            } else if (error == ERROR_DIR_NOT_EMPTY) {
                complete = RemoveDirectoryTree(path.c_str()) && complete;
            } else {
                complete = false;
            }
        } while (FindNextFileW(find, &entry));
        FindClose(find);
    }
    return RemoveDirectoryW(base.c_str()) && complete;
}

LONGLONG CSysInfo::FileTimeDiff(const FILETIME* a, const FILETIME* b, LONGLONG unitMs) {
    if (a == nullptr || b == nullptr || unitMs == 0) {
        return 0;
    }
    return (Ticks(*a) - Ticks(*b)) / kTicksPerMs / unitMs;
}

LONGLONG CSysInfo::SystemTimeDiff(const SYSTEMTIME* a, const SYSTEMTIME* b, LONGLONG unitMs) {
    FILETIME fa;
    FILETIME fb;
    if (a == nullptr || b == nullptr || !SystemTimeToFileTime(a, &fa) || !SystemTimeToFileTime(b, &fb)) {
        return 0;
    }
    return FileTimeDiff(&fa, &fb, unitMs);
}

bool CSysInfo::AddToFileTime(FILETIME* time, LONGLONG milliseconds) {
    if (time == nullptr) {
        return false;
    }
    *time = FromTicks(Ticks(*time) + milliseconds * kTicksPerMs);
    return true;
}

bool CSysInfo::AddToSystemTime(SYSTEMTIME* time, LONGLONG milliseconds) {
    FILETIME file;
    if (time == nullptr || !SystemTimeToFileTime(time, &file)) {
        return false;
    }
    AddToFileTime(&file, milliseconds);
    return FileTimeToSystemTime(&file, time) != FALSE;
}

bool CSysInfo::ParseTime(LPCWSTR text, LPCWSTR picture, SYSTEMTIME* time) {
    if (text == nullptr || picture == nullptr || time == nullptr) {
        return false;
    }
    *time = SYSTEMTIME{};
    if (lstrcmpW(picture, u"h:m tt") != 0) {
        return false;
    }
    LPCWSTR colon = text;
    while (*colon != 0 && *colon != u':') {
        ++colon;
    }
    LPCWSTR blank = colon;
    while (*blank != 0 && *blank != u' ') {
        ++blank;
    }
    if (*colon == 0 || *blank == 0) {
        return false;
    }
    const int hour = _wtoi(text) % 12;
    const bool afternoon = _wcsnicmp(blank + 1, u"pm", 2) == 0;
    time->wHour = static_cast<WORD>(hour + (afternoon ? 12 : 0));
    time->wMinute = static_cast<WORD>(_wtoi(colon + 1));
    return true;
}

bool CSysInfo::IsWordBreakChar(WCHAR c) {
    struct Range {
        WCHAR first;
        WCHAR last;
    };
    static constexpr Range kBreaks[] = {
        {0, 47},       {58, 64},      {91, 96},      {123, 191},    {8204, 8207},  {8211, 8222},
        {8224, 8226},  {8230, 8230},  {8240, 8240},  {8242, 8243},  {8249, 8254},  {8260, 8260},
        {12288, 12319},
    };
    for (const Range& range : kBreaks) {
        if (c >= range.first && c <= range.last) {
            return true;
        }
    }
    return false;
}

LPCWSTR CSysInfo::FindWordBreak(LPCWSTR text) {
    if (text == nullptr) {
        return nullptr;
    }
    for (; *text != 0; ++text) {
        if (IsWordBreakChar(*text)) {
            return text;
        }
    }
    return nullptr;
}

LPCWSTR CSysInfo::FindNoCase(LPCWSTR text, LPCWSTR part) {
    if (text == nullptr || part == nullptr || *text == 0 || *part == 0) {
        return nullptr;
    }
    const int partLength = lstrlenW(part);
    for (; *text != 0; ++text) {
        int i = 0;
        while (i < partLength && text[i] != 0 && towlowerW(text[i]) == towlowerW(part[i])) {
            ++i;
        }
        if (i == partLength) {
            return text;
        }
    }
    return nullptr;
}
