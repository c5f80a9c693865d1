#include "Shell/CHomePlugin.h"

#include <string>
#include <string_view>

#include "CByteBuffer.h"
#include "CFSFile.h"
#include "CSysInfo.h"
#include "Weather/CAtomicFileWriter.h"
#include "ce/module.h"
#include "ce/registry.h"
#include "ce/user.h"

namespace {

// The Home screen re-reads its scheme only some time after the registry changed, and needs a while
// to rebuild itself after the broadcast.
constexpr DWORD kBeforeBroadcastMs = 1000;
constexpr DWORD kAfterBroadcastMs = 3000;
// The registry values of a scheme path hold up to 520 bytes.
constexpr DWORD kSchemeChars = 260;

constexpr std::string_view kDefaultEnd = "</default>";
constexpr std::string_view kBackgroundTag = "<background ";

typedef HRESULT(STDMETHODCALLTYPE* RegistrationExport)();
typedef HRESULT(STDMETHODCALLTYPE* PluginRefresh)(REFCLSID clsid);
constexpr WORD kShellRefreshOrdinal = 2008;

bool FileExists(LPCWSTR path) {
    DWORD attributes = GetFileAttributesW(path);
    return attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) == 0;
}

bool ReadText(HKEY key, LPCWSTR name, WCHAR (&text)[kSchemeChars]) {
    DWORD type = 0;
    DWORD bytes = sizeof text - sizeof(WCHAR);
    if (RegQueryValueExW(key, name, nullptr, &type, reinterpret_cast<BYTE*>(text), &bytes) != ERROR_SUCCESS ||
        type != REG_SZ) {
        return false;
    }
    text[bytes / sizeof(WCHAR)] = 0;
    return true;
}

bool WriteText(HKEY key, LPCWSTR name, LPCWSTR text) {
    auto bytes = static_cast<DWORD>((lstrlenW(text) + 1) * sizeof(WCHAR));
    return RegSetValueExW(key, name, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), bytes) == ERROR_SUCCESS;
}

// "%APPLICATION_DATA%\Home" and the scheme file in it.
bool SchemePaths(WCHAR (&folder)[MAX_PATH], WCHAR (&file)[MAX_PATH]) {
    if (!CSysInfo::ExpandPath(CHomePlugin::kSchemeFolder, folder, MAX_PATH)) {
        return false;
    }
    return wsprintfW(file, u"%s\\%s", folder, CHomePlugin::kSchemeName) > 0 &&
           lstrlenW(folder) + 1 + lstrlenW(CHomePlugin::kSchemeName) < MAX_PATH;
}

std::string BackgroundLine() {
    const char* rotated = FileExists(CHomePlugin::kLandscapePicture) ? "WindowsMobileLS.jpg" : "WindowsMobile.jpg";
    return std::string("<background bgimage=\"\\windows\\WindowsMobile.jpg\" bgimage-rotated=\"\\windows\\") +
           rotated + "\" valign=\"bottom\" bgcolor=\"COLOR_TRAYGRADLEFT\" />";
}

void TellHomeScreen() {
    Sleep(kBeforeBroadcastMs);
    PostMessageW(HWND_BROADCAST, WM_SETTINGCHANGE, 0, 0);
    Sleep(kAfterBroadcastMs);
}

}  // namespace

// The shell's refresh is taken by ordinal from its library, as the shell publishes it.
void CHomePlugin::Notify() {
    HMODULE shell = LoadLibraryW(u"aygshell");
    if (shell == nullptr) {
        return;
    }
    auto refresh = ce::ProcAs<PluginRefresh>(GetProcAddressW(shell, MAKEINTRESOURCEW(kShellRefreshOrdinal)));
    if (refresh != nullptr) {
        refresh(kClassId);
    }
    FreeLibrary(shell);
}

HRESULT CHomePlugin::CallLibraryExport(LPCWSTR exportName) {
    WCHAR path[MAX_PATH];
    HMODULE library = CSysInfo::ExpandPath(kLibraryPath, path, MAX_PATH) ? LoadLibraryW(path) : nullptr;
    if (library == nullptr) {
        return CO_E_DLLNOTFOUND;
    }
    auto call = ce::ProcAs<RegistrationExport>(GetProcAddressW(library, exportName));
    HRESULT result = call != nullptr ? call() : E_NOTIMPL;
    FreeLibrary(library);
    return result;
}

// A class that did not register cannot be created by the Home screen, so the install fails with it.
int CHomePlugin::Install() {
    if (FAILED(CallLibraryExport(u"DllRegisterServer"))) {
        return 0;
    }
    WCHAR folder[MAX_PATH];
    WCHAR target[MAX_PATH];
    if (!SchemePaths(folder, target)) {
        return 0;
    }
    CreateDirectoryW(folder, nullptr);
    if (!PlaceSchemeFile(target)) {
        return 0;
    }
    RewriteSchemeFile(target);
    ActivateScheme(target);
    TellHomeScreen();
    return 1;
}

// The template for this screen replaces an older scheme of ours; without one (the templates go after
// the first install) the scheme already in place stays.
bool CHomePlugin::PlaceSchemeFile(LPCWSTR target) {
    WCHAR source[MAX_PATH];
    if (g_pSysInfo == nullptr ||
        _snwprintf(source, MAX_PATH, u"%s\\Weather.home.%d.xml", kTemplateFolder, g_pSysInfo->GetScreenWidth()) < 0) {
        return false;
    }
    if (FileExists(source)) {
        MoveFileExW(source, target, MOVEFILE_REPLACE_EXISTING);
    }
    CSysInfo::RemoveDirectoryTree(kTemplateFolder);
    return FileExists(target);
}

// The scheme that was active before is kept to be restored at removal; when ours is active already (a
// second install), the one kept before stays, or the user's own scheme would be lost.
void CHomePlugin::ActivateScheme(LPCWSTR target) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CURRENT_USER, kHomeKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS) {
        return;
    }
    WCHAR active[kSchemeChars];
    if (ReadText(key, u"Scheme", active) && _wcsicmp(active, target) != 0) {
        WriteText(key, u"SchemeBak", active);
    }
    WriteText(key, u"Scheme", target);
    RegFlushKey(key);
    RegCloseKey(key);
}

int CHomePlugin::Remove() {
    WCHAR folder[MAX_PATH];
    WCHAR ours[MAX_PATH];
    if (!SchemePaths(folder, ours)) {
        return 0;
    }
    if (FileExists(ours)) {
        RestoreScheme(ours);
        DeleteFileW(ours);
    }
    return CallLibraryExport(u"DllUnregisterServer") == CO_E_DLLNOTFOUND ? 0 : 1;
}

// Only our own scheme is put back to the one before; a scheme the user chose since stays.
void CHomePlugin::RestoreScheme(LPCWSTR ours) {
    HKEY key = nullptr;
    if (RegOpenKeyExW(HKEY_CURRENT_USER, kHomeKey, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) {
        return;
    }
    WCHAR active[kSchemeChars];
    WCHAR before[kSchemeChars];
    if (ReadText(key, u"Scheme", active) && _wcsicmp(active, ours) == 0 && ReadText(key, u"SchemeBak", before)) {
        WriteText(key, u"Scheme", before);
    }
    RegFlushKey(key);
    RegCloseKey(key);
    PostMessageW(HWND_BROADCAST, WM_SETTINGCHANGE, 0, 0);
    Sleep(kAfterBroadcastMs);
}

bool CHomePlugin::RewriteSchemeFile(LPCWSTR path) {
    CFSFile file;
    CByteBuffer content;
    if (!file.Open(path, OPEN_EXISTING, GENERIC_READ, FILE_SHARE_READ) || !file.ReadAll(&content)) {
        return false;
    }
    file.Close();
    std::string_view text(reinterpret_cast<const char*>(content.GetPointer(0)), content.GetLength());
    if (text.find(kBackgroundTag) != std::string_view::npos) {
        return true;
    }
    const std::string background = BackgroundLine();
    std::string rewritten;
    rewritten.reserve(text.size() + background.size());
    while (!text.empty()) {
        size_t end = text.find('\n');
        std::string_view line = text.substr(0, end == std::string_view::npos ? text.size() : end + 1);
        rewritten.append(line);
        if (line.find(kDefaultEnd) != std::string_view::npos) {
            rewritten.append(background);
        }
        text.remove_prefix(line.size());
    }
    return CAtomicFileWriter::Replace(path, rewritten.data(), static_cast<DWORD>(rewritten.size()));
}
