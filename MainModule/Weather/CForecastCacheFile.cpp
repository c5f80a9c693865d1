#include "Weather/CForecastCacheFile.h"

#include <cstring>

#include "CFSFile.h"
#include "CSysInfo.h"
#include "Weather/CAtomicFileWriter.h"
#include "Weather/CCity.h"

bool CForecastCacheFile::GetFolder(LPWSTR folder, int size) {
    return CSysInfo::ExpandPath(u"%INSTALL_DIR%\\Cache\\", folder, size);
}

bool CForecastCacheFile::GetPath(LPCWSTR locationId, LPWSTR path, int size) {
    WCHAR folder[MAX_PATH];
    if (!CCity::IsWellFormedLocationId(locationId) || !GetFolder(folder, MAX_PATH)) {
        return false;
    }
    return _snwprintf(path, static_cast<size_t>(size), u"%s%s.xml", folder, locationId) >= 0;
}

bool CForecastCacheFile::Read(LPCWSTR locationId, CByteBuffer& text) {
    text.Clear();
    WCHAR path[MAX_PATH];
    CFSFile file;
    // Delete sharing lets the updater replace the file while a plug-in is still reading the old one.
    if (!GetPath(locationId, path, MAX_PATH) ||
        !file.Open(path, OPEN_EXISTING, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE)) {
        return false;
    }
    DWORD sizeHigh = 0;
    DWORD size = file.GetSize(&sizeHigh);
    if (size == 0 || size == INVALID_FILE_SIZE || sizeHigh != 0 || !text.SetLength(size + 1)) {
        return false;
    }
    DWORD read = 0;
    if (!file.Read(text.GetPointer(0), size, &read) || read != size) {
        text.Clear();
        return false;
    }
    *text.GetPointer(size) = 0;
    return true;
}

bool CForecastCacheFile::Write(LPCWSTR locationId, const char* text) {
    WCHAR path[MAX_PATH];
    WCHAR folder[MAX_PATH];
    const char* start = text != nullptr ? std::strchr(text, '<') : nullptr;
    if (start == nullptr || !GetPath(locationId, path, MAX_PATH) || !GetFolder(folder, MAX_PATH)) {
        return false;
    }
    int length = lstrlenW(folder);
    if (length > 0 && folder[length - 1] == u'\\') {
        folder[length - 1] = 0;
    }
    if (!CreateDirectoryW(folder, nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
        return false;
    }
    return CAtomicFileWriter::Replace(path, start, static_cast<DWORD>(std::strlen(start) + 1));
}
