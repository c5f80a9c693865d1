// A city's forecast cache: "%INSTALL_DIR%\Cache\<location id>.xml", the forecast XML exactly as the
// server sent it (from its first "<") and one 0 byte. The program's forecast updater writes it after a
// successful parse; the program and both plug-ins read it at start.
#pragma once

#include "CByteBuffer.h"
#include "ce/types.h"

class CForecastCacheFile {
public:
    // The folder with its final backslash; false when the install folder is unknown.
    static bool GetFolder(LPWSTR folder, int size);
    // False for an id that is not 8 letters or digits.
    static bool GetPath(LPCWSTR locationId, LPWSTR path, int size);

    // The file's bytes followed by a 0 byte; false when it is missing, empty or unreadable.
    static bool Read(LPCWSTR locationId, CByteBuffer& text);
    // Replaces the file with the text from its first "<" through its terminator, creating the folder.
    static bool Write(LPCWSTR locationId, const char* text);
};
