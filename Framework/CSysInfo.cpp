#include "CSysInfo.h"

#include <algorithm>
#include <cmath>
#include <mutex>
#include <optional>
#include <string>

#include "RectHelpers.h"
#include "ce/device.h"
#include "ce/gdi.h"
#include "ce/registry.h"
#include "ce/shell.h"
#include "ce/user.h"

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

bool SpecialFolder(int csidl, LPWSTR folder, int size) {
    WCHAR path[MAX_PATH] = {};
    if (!SHGetSpecialFolderPath(nullptr, path, csidl, FALSE) || path[0] == 0 || lstrlenW(path) >= size) {
        return false;
    }
    lstrcpynW(folder, path, size);
    return true;
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

bool ReadRecordedInstallDir(LPWSTR folder, int size) {
    // The installer writes the key with a leading backslash; a registry that keeps it literally
    // is read both ways.
    return ReadInstallDir(u"SOFTWARE\\Apps\\Quillon Software Skyvane", folder, size) ||
           ReadInstallDir(u"\\SOFTWARE\\Apps\\Quillon Software Skyvane", folder, size);
}

// The install folder, read from the registry once the device information object exists and kept while
// it lives: the installer records the folder before the program or a plug-in starts, and it does not
// change under them, while every path of theirs expands it (each expansion would otherwise be a registry
// read). Before the object exists, and when the folder could not be read at its creation, every
// expansion reads the registry.
class InstallDirMemory {
public:
    static InstallDirMemory& Instance() {
        // An object, not a block never freed: a plug-in library that compiles this in is unloaded.
        static InstallDirMemory memory;
        return memory;
    }
    void Remember(LPCWSTR folder) {
        std::lock_guard guard(m_lock);
        m_folder = folder;
    }
    void Forget() {
        std::lock_guard guard(m_lock);
        m_folder.reset();
    }
    std::optional<std::u16string> Recall() {
        std::lock_guard guard(m_lock);
        return m_folder;
    }

private:
    std::mutex m_lock;
    std::optional<std::u16string> m_folder;
};

bool IsFolder(const WIN32_FIND_DATAW& entry) {
    return (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
}

// ---- the theme colour table -------------------------------------------------------------------
// Entries 0-255 are near-greys, 256-511 run once round the colour circle at about 67 per cent
// saturation and 52 per cent lightness. Every entry is a colour of the 5-6-5 screen, so that the
// theme colour draws exactly as it is given. The rows below are fixed; the others lie between them.

struct GreyRow {
    int index;
    BYTE level;  // red and blue
    BYTE green;
};
constexpr GreyRow kGreyRows[] = {{0, 99, 101}, {32, 173, 174}, {160, 74, 73}, {255, 115, 113}};

struct HueRow {
    int index;
    double hue;  // degrees
    COLORREF color;
};
constexpr HueRow kHueRows[] = {
    {256, 1.09, RGB(214, 52, 49)},
    {300, 64.81, RGB(198, 211, 49)},
    {384, 191.64, RGB(49, 182, 214)},
    {511, 321.48, RGB(214, 52, 156)},
};

BYTE Expand5(int v) {
    return static_cast<BYTE>((v << 3) | (v >> 2));
}

BYTE Expand6(int v) {
    return static_cast<BYTE>((v << 2) | (v >> 4));
}

COLORREF To565(double r, double g, double b) {
    auto five = [](double v) { return Expand5(static_cast<int>(std::lround(std::clamp(v, 0.0, 255.0) * 31 / 255))); };
    auto six = [](double v) { return Expand6(static_cast<int>(std::lround(std::clamp(v, 0.0, 255.0) * 63 / 255))); };
    return RGB(five(r), six(g), five(b));
}

COLORREF HslColor(double hue, double saturation, double lightness) {
    const double chroma = (1 - std::fabs(2 * lightness - 1)) * saturation;
    const double h = std::fmod(hue, 360.0) / 60;
    const double x = chroma * (1 - std::fabs(std::fmod(h, 2.0) - 1));
    double r = 0, g = 0, b = 0;
    if (h < 1) {
        r = chroma, g = x;
    } else if (h < 2) {
        r = x, g = chroma;
    } else if (h < 3) {
        g = chroma, b = x;
    } else if (h < 4) {
        g = x, b = chroma;
    } else if (h < 5) {
        r = x, b = chroma;
    } else {
        r = chroma, b = x;
    }
    const double m = lightness - chroma / 2;
    return To565((r + m) * 255, (g + m) * 255, (b + m) * 255);
}

template <typename Row, size_t N, typename Value>
double Between(const Row (&rows)[N], int index, Value value) {
    for (size_t i = 0; i + 1 < N; ++i) {
        if (index <= rows[i + 1].index) {
            const double t = double(index - rows[i].index) / (rows[i + 1].index - rows[i].index);
            return value(rows[i]) + t * (value(rows[i + 1]) - value(rows[i]));
        }
    }
    return value(rows[N - 1]);
}

// One entry of the table, worked out alone: a program asks for one or two, not all 512.
COLORREF ThemeColorOf(int index) {
    for (const GreyRow& row : kGreyRows) {
        if (row.index == index) {
            return RGB(row.level, row.green, row.level);
        }
    }
    for (const HueRow& row : kHueRows) {
        if (row.index == index) {
            return row.color;
        }
    }
    if (index < 256) {
        // Green has one bit more than red and blue: it is taken from the quantized red, so that the
        // grey stays neutral.
        const double level = Between(kGreyRows, index, [](const GreyRow& row) { return double(row.level); });
        const BYTE red = GetRValue(To565(level, level, level));
        return To565(red, red, red);
    }
    return HslColor(Between(kHueRows, index, [](const HueRow& row) { return row.hue; }), 0.67, 0.52);
}

bool ReadBaseHue(DWORD* hue) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, u"Software\\Microsoft\\Color", 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return false;
    }
    DWORD value = 0;
    DWORD size = sizeof value;
    const LONG result = RegQueryValueExW(key, u"BaseHue", nullptr, nullptr, reinterpret_cast<LPBYTE>(&value), &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS || size != sizeof value) {
        return false;
    }
    *hue = value > 511 ? (value & 255) + 256 : value;
    return true;
}

int ScreenClassOf(int width, int height) {
    const int shorter = std::min(width, height);
    switch (shorter) {
        case 176:
            return 176;
        case 320:
            return width == height ? 320 : 240;
        case 480:
            return 480;
        default:
            return 240;
    }
}

int BaseFontSizeOf(int screenClass, bool smartphone) {
    switch (screenClass) {
        case 176:
            return 22;
        case 240:
            return smartphone ? 27 : 26;
        case 320:
            return 35;
        case 480:
            return 52;
        default:
            return 26;
    }
}

// A string value of HKEY_LOCAL_MACHINE, empty when the key or value is missing.
std::u16string MachineString(LPCWSTR path, LPCWSTR name) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) != ERROR_SUCCESS) {
        return {};
    }
    WCHAR value[MAX_PATH + 1] = {};
    DWORD bytes = MAX_PATH * sizeof(WCHAR);
    const LONG result = RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<LPBYTE>(value), &bytes);
    RegCloseKey(key);
    return result == ERROR_SUCCESS ? std::u16string(value) : std::u16string();
}

std::u16string BrowserAgent() {
    constexpr LPCWSTR kKey = u"Security\\Internet Explorer\\User Agent";
    std::u16string agent = MachineString(kKey, u"CustomBase");
    if (agent.empty()) {
        agent = MachineString(kKey, u"Custom");
    }
    return agent.substr(0, agent.find(u'/'));
}

std::u16string DeviceName() {
    std::u16string name = MachineString(u"Ident", u"OrigName");
    return _wcsicmp(name.c_str(), u"Pocket_PC") == 0 ? std::u16string() : name;
}

}  // namespace

COLORREF CSysInfo::ThemeColorAt(DWORD index) {
    return ThemeColorOf(index < static_cast<DWORD>(kThemeColorCount) ? static_cast<int>(index) : 0);
}

CSysInfo::CSysInfo(HINSTANCE instance) : m_instance(instance) {
    m_smartphone = (GetFileAttributesW(u"\\windows\\home.cpl.xml") != INVALID_FILE_ATTRIBUTES ||
                    ce::GetDeviceKind() == ce::DeviceKind::Smartphone)
                       ? 1
                       : 0;
    if (HDC screen = CreateCompatibleDC(nullptr)) {
        m_pixelsPerInch = GetDeviceCaps(screen, LOGPIXELSX);
        DeleteDC(screen);
    }
    UpdateScreenSize();
    m_screenClass = ScreenClassOf(m_screenWidth, m_screenHeight);
    m_baseFontSize = BaseFontSizeOf(m_screenClass, IsSmartphone());
    ReadThemeColor();
    WCHAR folder[MAX_PATH + 1] = {};
    if (ReadRecordedInstallDir(folder, MAX_PATH + 1)) {
        InstallDirMemory::Instance().Remember(folder);
    }
}

CSysInfo::~CSysInfo() { InstallDirMemory::Instance().Forget(); }

bool CSysInfo::IsTallAspect() const {
    if (IsSquareScreen() || m_screenClass == 176) {
        return false;
    }
    const int longer = std::max(m_screenWidth, m_screenHeight);
    const int shorter = std::min(m_screenWidth, m_screenHeight);
    return longer * 100 > shorter * 134;
}

CSysInfo* g_pSysInfo = nullptr;

int CSysInfo::Scale(int length) { return g_pSysInfo != nullptr ? g_pSysInfo->ScaleToScreen(length) : length; }

int CSysInfo::ScaleToScreen(int length) const {
    switch (m_screenClass) {
        case 320:
            return length * 4 / 3;
        case 480:
            return length * 2;
        default:
            return length;
    }
}

DWORD CSysInfo::GetColor(int index) const {
    switch (index) {
        case kThemeColor:
            return m_themeColor;
        case kBaseHue:
            return m_baseHue;
        default:
            return 0;
    }
}

bool CSysInfo::UpdateScreenSize() {
    const bool wasLandscape = IsLandscape();
    const bool first = m_screenWidth == 0 && m_screenHeight == 0;
    m_screenWidth = GetSystemMetrics(SM_CXSCREEN);
    m_screenHeight = GetSystemMetrics(SM_CYSCREEN);
    if (first || wasLandscape == IsLandscape()) {
        return false;
    }
    if (m_listener != nullptr) {
        m_listener->OnOrientationChanged();
    }
    return true;
}

void CSysInfo::ReadThemeColor() {
    // The device's colour scheme names its base hue; without one the table's first entry, a grey.
    DWORD hue = 0;
    ReadBaseHue(&hue);
    m_baseHue = hue;
    m_themeColor = ThemeColorAt(hue);
}

bool CSysInfo::GetDataFileName(LPCWSTR name, LPWSTR output, int size, bool withClass, bool withOrientation) const {
    if (name == nullptr || output == nullptr || size <= 0 || !ExpandPath(u"%INSTALL_DIR%\\Data\\", output, size)) {
        return false;
    }
    std::u16string file(name);
    if (withClass || withOrientation) {
        if (file.size() < 4) {
            output[0] = 0;
            return false;
        }
        // "icons.pak" becomes "icons" + inserts + ".pak".
        const std::u16string extension = file.substr(file.size() - 4);
        file.resize(file.size() - 4);
        if (withClass) {
            file += u"." + ce::FromUtf8(std::to_string(m_screenClass));
        }
        if (withOrientation) {
            file += IsSquareScreen() ? u".sqr" : IsLandscape() ? u".lan" : u".por";
        }
        file += extension;
    }
    if (lstrlenW(output) + static_cast<int>(file.size()) >= size) {
        output[0] = 0;
        return false;
    }
    lstrcatW(output, file.c_str());
    return true;
}

bool CSysInfo::GetDeviceString(LPWSTR output, int size) const {
    if (output == nullptr || size <= 0) {
        return false;
    }
    output[0] = 0;
    OSVERSIONINFOW version{};
    version.dwOSVersionInfoSize = sizeof version;
    GetVersionExW(&version);
    WCHAR numbers[64];
    _snwprintf(numbers, 64, u"%u.%u.%u;", version.dwMajorVersion, version.dwMinorVersion, version.dwBuildNumber);
    WCHAR locale[32];
    _snwprintf(locale, 32, u"%04X+%04X;", GetUserDefaultLCID(), GetUserDefaultUILanguage());
    const std::u16string text = std::u16string(IsSmartphone() ? u"SPH;" : u"PPC;") + numbers + BrowserAgent() + u";" +
                                DeviceName() + u";" + MachineString(u"System\\Platform", u"OEMString") + u";" +
                                locale;
    if (text.size() >= static_cast<size_t>(size)) {
        return false;
    }
    lstrcpynW(output, text.c_str(), size);
    return true;
}

bool CSysInfo::GetInstallDir(LPWSTR folder, int size) {
    if (folder == nullptr || size <= 0) {
        return false;
    }
    folder[0] = 0;
    if (std::optional<std::u16string> remembered = InstallDirMemory::Instance().Recall()) {
        if (remembered->size() >= static_cast<size_t>(size)) {
            return false;
        }
        lstrcpynW(folder, remembered->c_str(), size);
        return true;
    }
    return ReadRecordedInstallDir(folder, size);
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

namespace {

bool RemoveFolderOrLink(const std::u16string& path);

// Deletes the files of a folder and removes its folders; false when anything stayed.
bool RemoveFolderContent(const std::u16string& folder) {
    bool complete = true;
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW((folder + u"\\*").c_str(), &entry);
    if (find == INVALID_HANDLE_VALUE) {
        return true;
    }
    do {
        const std::u16string path = folder + u"\\" + entry.cFileName;
        if (IsFolder(entry)) {
            complete = RemoveFolderOrLink(path) && complete;
        } else {
            complete = DeleteFileW(path.c_str()) && complete;
        }
    } while (FindNextFileW(find, &entry));
    FindClose(find);
    return complete;
}

// A link to a folder is listed as a folder; removing it as a folder tells them apart (a link is not
// one), so that a link is deleted and never followed.
bool RemoveFolderOrLink(const std::u16string& path) {
    if (RemoveDirectoryW(path.c_str())) {
        return true;
    }
    const DWORD error = GetLastError();
    if (error == ERROR_DIRECTORY) {
        return DeleteFileW(path.c_str()) != FALSE;
    }
    if (error != ERROR_DIR_NOT_EMPTY) {
        return false;
    }
    const bool complete = RemoveFolderContent(path);
    return RemoveDirectoryW(path.c_str()) && complete;
}

}  // namespace

// The folder itself may be a link too (the cache folder, say): then the link goes and its target stays.
bool CSysInfo::RemoveDirectoryTree(LPCWSTR folder) {
    if (folder == nullptr || folder[0] == 0) {
        return false;
    }
    std::u16string base(folder);
    if (base.back() == u'\\') {
        base.pop_back();
    }
    const DWORD attributes = GetFileAttributesW(base.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES || (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        return false;
    }
    return RemoveFolderOrLink(base);
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

bool CSysInfo::FitTextEllipsis(LPCWSTR text, LPWSTR output, int size, HDC hdc, const RECT* rect) {
    static constexpr WCHAR kDots[] = u"...";
    if (output == nullptr || size <= 0) {
        return false;
    }
    output[0] = 0;
    if (text == nullptr || hdc == nullptr || rect == nullptr) {
        return false;
    }
    const int length = lstrlenW(text);
    const int width = RectWidth(*rect);
    int fit = 0;
    SIZE extent{};
    if (!GetTextExtentExPointW(hdc, text, length, width, &fit, nullptr, &extent)) {
        return false;
    }
    if (fit >= length && length < size) {
        lstrcpynW(output, text, size);
        return true;
    }
    if (size <= 3) {
        return false;
    }
    SIZE dots{};
    GetTextExtentPoint32W(hdc, kDots, 3, &dots);
    // Narrower than "..." itself: no character at all, never a negative count.
    int count = 0;
    if (width > dots.cx && !GetTextExtentExPointW(hdc, text, length, width - dots.cx, &count, nullptr, &extent)) {
        return false;
    }
    count = std::clamp(count, 0, size - 4);
    lstrcpynW(output, text, count + 1);
    lstrcatW(output, kDots);
    return true;
}

HFONT CSysInfo::CreateBoldFont(HFONT font) {
    LOGFONTW description{};
    HGDIOBJ source = font != nullptr ? static_cast<HGDIOBJ>(font) : GetStockObject(SYSTEM_FONT);
    if (GetObjectW(source, sizeof description, &description) == 0) {
        return nullptr;
    }
    description.lfWeight = FW_BOLD;
    return CreateFontIndirectW(&description);
}

bool CSysInfo::OpenUrl(LPCWSTR url) {
    if (url == nullptr) {
        return false;
    }
    SHELLEXECUTEINFO info{};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS;
    info.lpFile = u"iexplore.exe";
    info.lpParameters = url;
    info.lpDirectory = u"\\Windows";
    info.nShow = SW_SHOW;
    if (!ShellExecuteEx(&info)) {
        return false;
    }
    // Nobody waits for the browser: its handle is not kept.
    if (info.hProcess != nullptr) {
        CloseHandle(info.hProcess);
    }
    return true;
}

int CSysInfo::GetDlgItemWidth(HWND window, int id) {
    RECT rect{};
    HWND item = window != nullptr ? GetDlgItem(window, id) : nullptr;
    return item != nullptr && GetWindowRect(item, &rect) ? RectWidth(rect) : 0;
}

int CSysInfo::GetDlgItemHeight(HWND window, int id) {
    RECT rect{};
    HWND item = window != nullptr ? GetDlgItem(window, id) : nullptr;
    return item != nullptr && GetWindowRect(item, &rect) ? RectHeight(rect) : 0;
}

bool CSysInfo::SetSoftKeyButton(int index, HWND menuBar, bool enabled, LPCWSTR text, int command) {
    TBBUTTON button{};
    if (menuBar == nullptr || (index != 0 && index != 1) ||
        !SendMessageW(menuBar, TB_GETBUTTON, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&button))) {
        return false;
    }
    TBBUTTONINFO info{};
    info.cbSize = sizeof info;
    info.dwMask = TBIF_STATE;
    info.fsState = enabled ? TBSTATE_ENABLED : TBSTATE_INDETERMINATE;
    if (text != nullptr) {
        info.dwMask |= TBIF_TEXT;
        info.pszText = const_cast<LPWSTR>(text);
    }
    if (command != 0) {
        info.dwMask |= TBIF_COMMAND;
        info.idCommand = command;
    }
    return SendMessageW(menuBar, TB_SETBUTTONINFO, static_cast<WPARAM>(button.idCommand),
                        reinterpret_cast<LPARAM>(&info)) != 0;
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
