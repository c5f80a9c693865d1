// The version of the device's operating system: the stand-in reports the release that the
// program was made for.
#include "ce/kernel.h"

namespace {

constexpr DWORD kMajor = 5;
constexpr DWORD kMinor = 2;
constexpr DWORD kBuild = 20757;

}  // namespace

extern "C" CE_API BOOL GetVersionExW(LPOSVERSIONINFOW info) {
    if (info == nullptr || info->dwOSVersionInfoSize != sizeof(OSVERSIONINFOW)) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    info->dwMajorVersion = kMajor;
    info->dwMinorVersion = kMinor;
    info->dwBuildNumber = kBuild;
    info->dwPlatformId = VER_PLATFORM_WIN32_CE;
    info->szCSDVersion[0] = 0;
    return TRUE;
}
