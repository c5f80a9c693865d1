// Facts about the device (Smartphone or Pocket PC, screen class, theme colour, install folder) and
// the stateless helpers that every screen and service shares: path macros, file and folder
// deletion, time arithmetic and parsing, text search.
#pragma once

#include "ce/kernel.h"

class CSysInfo {
public:
    // Expands "%INSTALL_DIR%", "%WINDOWS%", "%PROGRAM_FILES%", "%MY_DOCUMENTS%", "%STARTUP%",
    // "%APPLICATION_DATA%" and "%WINDOWS_HELP%" (any letter case). Fails on an unknown or
    // unterminated macro, an empty install folder and a result that does not fit into size
    // characters; the output is then empty.
    static bool ExpandPath(LPCWSTR pattern, LPWSTR output, int size);
    // The folder the installer recorded; false (and empty) when there is none.
    static bool GetInstallDir(LPWSTR folder, int size);

    // Deletes the files matching a pattern (macros expanded); true when the pattern has a folder.
    static bool DeleteMatchingFiles(LPCWSTR pattern);
    // Deletes a folder with everything in it; false when anything could not be removed. A link is
    // removed, never followed.
    static bool RemoveDirectoryTree(LPCWSTR folder);

    // (a - b) in units of the given number of milliseconds; 0 for a null argument or unit 0.
    static LONGLONG FileTimeDiff(const FILETIME* a, const FILETIME* b, LONGLONG unitMs);
    static LONGLONG SystemTimeDiff(const SYSTEMTIME* a, const SYSTEMTIME* b, LONGLONG unitMs);
    static bool AddToFileTime(FILETIME* time, LONGLONG milliseconds);
    static bool AddToSystemTime(SYSTEMTIME* time, LONGLONG milliseconds);
    // A time of day from a 12-hour text such as "7:05 pm"; only the picture "h:m tt" is understood.
    static bool ParseTime(LPCWSTR text, LPCWSTR picture, SYSTEMTIME* time);

    static bool IsWordBreakChar(WCHAR c);
    static LPCWSTR FindWordBreak(LPCWSTR text);
    static LPCWSTR FindNoCase(LPCWSTR text, LPCWSTR part);
};
