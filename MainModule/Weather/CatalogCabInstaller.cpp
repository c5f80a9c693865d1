#include "Weather/CatalogCabInstaller.h"

#include <string>

#include "CLocalization.h"
#include "CSysInfo.h"
#include "Weather/DeviceUtilities.h"
#include "ce/kernel.h"
#include "ce/registry.h"
#include "ce/shell.h"

namespace CatalogCabInstaller {
namespace {

constexpr LPCWSTR kInstaller = u"wceload.exe";
constexpr DWORD kCabinetSizeOffset = 8;
constexpr int kOldestUncutMajorVersion = 5;
constexpr WORD kPageCodePage = 1252;
constexpr DWORD kMaxPageSize = 4u << 20;

bool IsInstalled() {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, kInstalledKey, 0, 0, &key) != ERROR_SUCCESS) {
        return false;
    }
    DWORD value = 0;
    DWORD type = 0;
    DWORD size = sizeof value;
    bool installed = RegQueryValueExW(key, u"Instl", nullptr, &type, reinterpret_cast<BYTE*>(&value), &size) ==
                         ERROR_SUCCESS &&
                     type == REG_DWORD && value != 0;
    RegCloseKey(key);
    return installed;
}

bool IsOldSystem() {
    OSVERSIONINFOW version = {};
    version.dwOSVersionInfoSize = sizeof version;
    return GetVersionExW(&version) && version.dwMajorVersion < static_cast<DWORD>(kOldestUncutMajorVersion);
}

void WaitForProcess(DWORD id) {
    HANDLE process = id != 0 ? OpenProcess(0, FALSE, id) : nullptr;
    if (process != nullptr) {
        WaitForSingleObject(process, INFINITE);
        CloseHandle(process);
    }
}

std::u16string PageFolder() {
    WCHAR programFiles[MAX_PATH] = {};
    if (!SHGetSpecialFolderPath(nullptr, programFiles, CSIDL_PROGRAM_FILES, FALSE) || programFiles[0] == 0) {
        lstrcpynW(programFiles, u"\\Program Files", MAX_PATH);
    }
    return std::u16string(programFiles) + u"\\QuillonUtilities\\";
}

bool ReadWholeFile(LPCWSTR path, std::string* bytes) {
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD size = GetFileSize(file, nullptr);
    bool ok = size != INVALID_FILE_SIZE && size <= kMaxPageSize;
    if (ok) {
        bytes->resize(size);
    }
    DWORD done = 0;
    while (ok && done < size) {
        DWORD read = 0;
        ok = ReadFile(file, bytes->data() + done, size - done, &read, nullptr) && read > 0;
        done += read;
    }
    CloseHandle(file);
    return ok;
}

// Writes the copy whole and closes it, then renames it over the page; on any failure only the copy goes.
bool ReplaceFile(LPCWSTR path, LPCWSTR temporary, const std::string& bytes) {
    HANDLE file = CreateFileW(temporary, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    DWORD written = 0;
    bool ok = bytes.empty() ||
              (WriteFile(file, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr) &&
               written == bytes.size());
    ok = CloseHandle(file) && ok && MoveFileExW(temporary, path, MOVEFILE_REPLACE_EXISTING);
    if (!ok) {
        DeleteFileW(temporary);
    }
    return ok;
}

std::string ToPageText(LPCWSTR url) {
    int length = WideCharToMultiByte(kPageCodePage, 0, url, -1, nullptr, 0, nullptr, nullptr);
    if (length <= 1) {
        return {};
    }
    std::string text(static_cast<size_t>(length), '\0');
    WideCharToMultiByte(kPageCodePage, 0, url, -1, text.data(), length, nullptr, nullptr);
    text.resize(static_cast<size_t>(length - 1));
    return text;
}

// Each line's first mention of the maker's site becomes the link.
std::string ReplaceSiteLinks(const std::string& page, const std::string& link) {
    const std::string prefix = kSitePrefix;
    std::string result;
    result.reserve(page.size());
    size_t start = 0;
    while (start < page.size()) {
        size_t end = page.find('\n', start);
        end = end == std::string::npos ? page.size() : end + 1;
        std::string line = page.substr(start, end - start);
        size_t found = line.find(prefix);
        if (found != std::string::npos) {
            line.replace(found, prefix.size(), link);
        }
        result += line;
        start = end;
    }
    return result;
}

}  // namespace

bool CutToCabinetSize(LPCWSTR path) {
    SetFileAttributesW(path, FILE_ATTRIBUTE_NORMAL);
    HANDLE file = CreateFileW(path, GENERIC_READ | GENERIC_WRITE, 0, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    BYTE size[4] = {};
    DWORD read = 0;
    DWORD fileSize = GetFileSize(file, nullptr);
    bool ok = SetFilePointer(file, kCabinetSizeOffset, nullptr, FILE_BEGIN) == kCabinetSizeOffset &&
              ReadFile(file, size, sizeof size, &read, nullptr) && read == sizeof size;
    DWORD cabinet = static_cast<DWORD>(size[0] | size[1] << 8 | size[2] << 16 | static_cast<DWORD>(size[3]) << 24);
    // A recorded size beyond the file would grow it with zeros: that file is damaged, not padded.
    ok = ok && fileSize != INVALID_FILE_SIZE && cabinet >= kCabinetSizeOffset + sizeof size && cabinet <= fileSize;
    ok = ok && SetFilePointer(file, static_cast<LONG>(cabinet), nullptr, FILE_BEGIN) == cabinet && SetEndOfFile(file);
    CloseHandle(file);
    return ok;
}

bool InstallCabPackage(LPCWSTR path) {
    if (path == nullptr) {
        return false;
    }
    if (IsInstalled()) {
        DeleteFileW(path);
        return false;
    }
    if (IsOldSystem() && !CutToCabinetSize(path)) {
        return false;
    }
    WaitForProcess(FindRunningProcess(kInstaller));
    std::u16string parameters = std::u16string(u" /noui \"") + path + u"\" ";
    SHELLEXECUTEINFO info = {};
    info.cbSize = sizeof info;
    info.fMask = SEE_MASK_NOCLOSEPROCESS;
    info.lpFile = kInstaller;
    info.lpParameters = parameters.c_str();
    info.nShow = SW_SHOW;
    if (!ShellExecuteEx(&info)) {
        return false;
    }
    if (info.hProcess == nullptr) {
        WaitForProcess(FindRunningProcess(kInstaller));
        return true;
    }
    // A package the installer refused is not installed: its exit code says so.
    WaitForSingleObject(info.hProcess, INFINITE);
    DWORD exitCode = 0;
    const bool installed = GetExitCodeProcess(info.hProcess, &exitCode) && exitCode == 0;
    CloseHandle(info.hProcess);
    return installed;
}

bool SetUtilitiesCatalogLink(LPCWSTR url) {
    const std::u16string folder = PageFolder();
    const std::u16string page = folder + u"index.html";
    const std::u16string temporary = folder + u"index.tmp";
    if (url == nullptr || GetFileAttributesW(page.c_str()) == INVALID_FILE_ATTRIBUTES) {
        return url != nullptr;
    }
    std::string link = ToPageText(url);
    std::string text;
    if (link.empty() || !ReadWholeFile(page.c_str(), &text)) {
        return false;
    }
    return ReplaceFile(page.c_str(), temporary.c_str(), ReplaceSiteLinks(text, link));
}

void GetCatalogLink(LPWSTR link, int size) {
    bool smartphone = g_pSysInfo != nullptr && g_pSysInfo->IsSmartphone();
    if (!CLocalization::Global().GetString(smartphone ? "IDS_SP_CATALOG_LINK" : "IDS_PPC_CATALOG_LINK", link,
                                           size)) {
        lstrcpynW(link, kDefaultCatalogLink, size);
    }
}

int InstallUtilitiesCatalog() {
    WCHAR path[MAX_PATH];
    wsprintfW(path, u"\\Temp\\%s", kPackageName);
    if (GetFileAttributesW(path) == INVALID_FILE_ATTRIBUTES || !InstallCabPackage(path)) {
        return 0;
    }
    WCHAR link[MAX_PATH];
    GetCatalogLink(link, MAX_PATH);
    SetUtilitiesCatalogLink(link);
    return 1;
}

}  // namespace CatalogCabInstaller
