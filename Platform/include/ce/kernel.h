// Kernel services of the device platform: files, time and locale, code pages, threads and
// synchronisation, modules and resources, processes.
#pragma once

#include "ce/types.h"

typedef struct _SECURITY_ATTRIBUTES {
    DWORD nLength;
    LPVOID lpSecurityDescriptor;
    BOOL bInheritHandle;
} SECURITY_ATTRIBUTES, *PSECURITY_ATTRIBUTES, *LPSECURITY_ATTRIBUTES;

typedef struct _OVERLAPPED OVERLAPPED, *LPOVERLAPPED;  // never used; always pass null

// ---- time -----------------------------------------------------------------------------------------
typedef struct _FILETIME {
    DWORD dwLowDateTime;
    DWORD dwHighDateTime;
} FILETIME, *PFILETIME, *LPFILETIME;

typedef struct _SYSTEMTIME {
    WORD wYear;
    WORD wMonth;
    WORD wDayOfWeek;
    WORD wDay;
    WORD wHour;
    WORD wMinute;
    WORD wSecond;
    WORD wMilliseconds;
} SYSTEMTIME, *PSYSTEMTIME, *LPSYSTEMTIME;

typedef struct _TIME_ZONE_INFORMATION {
    LONG Bias;
    WCHAR StandardName[32];
    SYSTEMTIME StandardDate;
    LONG StandardBias;
    WCHAR DaylightName[32];
    SYSTEMTIME DaylightDate;
    LONG DaylightBias;
} TIME_ZONE_INFORMATION, *PTIME_ZONE_INFORMATION, *LPTIME_ZONE_INFORMATION;

#define TIME_ZONE_ID_INVALID ((DWORD)0xFFFFFFFF)
#define TIME_ZONE_ID_UNKNOWN 0
#define TIME_ZONE_ID_STANDARD 1
#define TIME_ZONE_ID_DAYLIGHT 2

// ---- locale ---------------------------------------------------------------------------------------
#define LOCALE_SYSTEM_DEFAULT 0x0800
#define LOCALE_USER_DEFAULT 0x0400
#define LOCALE_NEUTRAL 0x0000

#define DATE_SHORTDATE 0x00000001
#define DATE_LONGDATE 0x00000002
#define TIME_NOMINUTESORSECONDS 0x00000001
#define TIME_NOSECONDS 0x00000002
#define TIME_NOTIMEMARKER 0x00000004
#define TIME_FORCE24HOURFORMAT 0x00000008

#define LOCALE_SLANGUAGE 0x00000002
#define LOCALE_SABBREVLANGNAME 0x00000003
#define LOCALE_SNATIVELANGNAME 0x00000004
#define LOCALE_ICOUNTRY 0x00000005
#define LOCALE_SCOUNTRY 0x00000006
#define LOCALE_IMEASURE 0x0000000D
#define LOCALE_SDECIMAL 0x0000000E
#define LOCALE_STHOUSAND 0x0000000F
#define LOCALE_SSHORTDATE 0x0000001F
#define LOCALE_SLONGDATE 0x00000020
#define LOCALE_ITIME 0x00000023
#define LOCALE_S1159 0x00000028
#define LOCALE_S2359 0x00000029
#define LOCALE_SENGLANGUAGE 0x00001001
#define LOCALE_SENGCOUNTRY 0x00001002
#define LOCALE_STIMEFORMAT 0x00001003
#define LOCALE_IDEFAULTANSICODEPAGE 0x00001004

#define CP_ACP 0
#define CP_OEMCP 1
#define CP_UTF8 65001

// ---- files ----------------------------------------------------------------------------------------
#define GENERIC_READ 0x80000000
#define GENERIC_WRITE 0x40000000
#define GENERIC_EXECUTE 0x20000000
#define GENERIC_ALL 0x10000000

#define FILE_SHARE_READ 0x00000001
#define FILE_SHARE_WRITE 0x00000002
#define FILE_SHARE_DELETE 0x00000004

#define CREATE_NEW 1
#define CREATE_ALWAYS 2
#define OPEN_EXISTING 3
#define OPEN_ALWAYS 4
#define TRUNCATE_EXISTING 5

#define MOVEFILE_REPLACE_EXISTING 0x00000001

#define FILE_ATTRIBUTE_READONLY 0x00000001
#define FILE_ATTRIBUTE_HIDDEN 0x00000002
#define FILE_ATTRIBUTE_SYSTEM 0x00000004
#define FILE_ATTRIBUTE_DIRECTORY 0x00000010
#define FILE_ATTRIBUTE_ARCHIVE 0x00000020
#define FILE_ATTRIBUTE_NORMAL 0x00000080
#define FILE_ATTRIBUTE_TEMPORARY 0x00000100
#define INVALID_FILE_ATTRIBUTES ((DWORD)-1)
#define INVALID_FILE_SIZE ((DWORD)0xFFFFFFFF)
#define INVALID_SET_FILE_POINTER ((DWORD)-1)

#define FILE_BEGIN 0
#define FILE_CURRENT 1
#define FILE_END 2

typedef struct _WIN32_FIND_DATAW {
    DWORD dwFileAttributes;
    FILETIME ftCreationTime;
    FILETIME ftLastAccessTime;
    FILETIME ftLastWriteTime;
    DWORD nFileSizeHigh;
    DWORD nFileSizeLow;
    DWORD dwOID;
    WCHAR cFileName[MAX_PATH];
} WIN32_FIND_DATAW, *PWIN32_FIND_DATAW, *LPWIN32_FIND_DATAW;
typedef WIN32_FIND_DATAW WIN32_FIND_DATA;

// Serial ports: CreateFileW("COM1:") opens the host device that the profile's [serial] section names
// for "COM1" (also "GPD0:" and the like).
typedef struct _COMMTIMEOUTS {
    DWORD ReadIntervalTimeout;
    DWORD ReadTotalTimeoutMultiplier;
    DWORD ReadTotalTimeoutConstant;
    DWORD WriteTotalTimeoutMultiplier;
    DWORD WriteTotalTimeoutConstant;
} COMMTIMEOUTS, *LPCOMMTIMEOUTS;

#define MAXDWORD 0xFFFFFFFF
#define EV_RXCHAR 0x0001
#define PURGE_TXABORT 0x0001
#define PURGE_RXABORT 0x0002
#define PURGE_TXCLEAR 0x0004
#define PURGE_RXCLEAR 0x0008

// ---- threads, synchronisation ---------------------------------------------------------------------
#define INFINITE 0xFFFFFFFF
#define WAIT_OBJECT_0 0x00000000L
#define WAIT_ABANDONED 0x00000080L
#define WAIT_ABANDONED_0 0x00000080L
#define WAIT_FAILED ((DWORD)0xFFFFFFFF)
#define STILL_ACTIVE 259
#define MAXIMUM_WAIT_OBJECTS 64

#define CREATE_SUSPENDED 0x00000004
#define STACK_SIZE_PARAM_IS_A_RESERVATION 0x00010000

#define THREAD_PRIORITY_TIME_CRITICAL 0
#define THREAD_PRIORITY_HIGHEST 1
#define THREAD_PRIORITY_ABOVE_NORMAL 2
#define THREAD_PRIORITY_NORMAL 3
#define THREAD_PRIORITY_BELOW_NORMAL 4
#define THREAD_PRIORITY_LOWEST 5
#define THREAD_PRIORITY_ABOVE_IDLE 6
#define THREAD_PRIORITY_IDLE 7

typedef DWORD(WINAPI* PTHREAD_START_ROUTINE)(LPVOID parameter);
typedef PTHREAD_START_ROUTINE LPTHREAD_START_ROUTINE;

// Recursive per thread, as on the device. The storage is the layer's own.
typedef struct _CRITICAL_SECTION {
    alignas(16) unsigned char opaque[64];
} CRITICAL_SECTION, *LPCRITICAL_SECTION;

// ---- modules and processes ------------------------------------------------------------------------
#define DLL_PROCESS_DETACH 0
#define DLL_PROCESS_ATTACH 1
#define DLL_THREAD_ATTACH 2
#define DLL_THREAD_DETACH 3
#define ERROR_DLL_INIT_FAILED 1114L

#define IS_INTRESOURCE(r) ((((ULONG_PTR)(r)) >> 16) == 0)
#define MAKEINTRESOURCEW(i) ((LPWSTR)((ULONG_PTR)((WORD)(i))))
#define MAKEINTRESOURCE MAKEINTRESOURCEW
#define RT_CURSOR MAKEINTRESOURCEW(1)
#define RT_BITMAP MAKEINTRESOURCEW(2)
#define RT_ICON MAKEINTRESOURCEW(3)
#define RT_MENU MAKEINTRESOURCEW(4)
#define RT_DIALOG MAKEINTRESOURCEW(5)
#define RT_STRING MAKEINTRESOURCEW(6)
#define RT_RCDATA MAKEINTRESOURCEW(10)
#define RT_GROUP_ICON MAKEINTRESOURCEW(14)

typedef struct _STARTUPINFOW {
    DWORD cb;
    DWORD reserved[16];
} STARTUPINFOW, *LPSTARTUPINFOW;

typedef struct _PROCESS_INFORMATION {
    HANDLE hProcess;
    HANDLE hThread;
    DWORD dwProcessId;
    DWORD dwThreadId;
} PROCESS_INFORMATION, *PPROCESS_INFORMATION, *LPPROCESS_INFORMATION;

#define PROCESS_TERMINATE 0x0001
#define PROCESS_QUERY_INFORMATION 0x0400
#define SYNCHRONIZE 0x00100000L
#define PROCESS_ALL_ACCESS 0x001F0FFF

#define STARTF_USESHOWWINDOW 0x00000001

extern "C" {
// ---- handles --------------------------------------------------------------------------------------
CE_API BOOL CloseHandle(HANDLE handle);

// ---- files (device paths: backslashes, letter case ignored) ---------------------------------------
CE_API HANDLE CreateFileW(LPCWSTR path, DWORD access, DWORD shareMode, LPSECURITY_ATTRIBUTES security,
                          DWORD disposition, DWORD flagsAndAttributes, HANDLE templateFile);
CE_API BOOL ReadFile(HANDLE file, LPVOID buffer, DWORD toRead, LPDWORD read, LPOVERLAPPED overlapped);
CE_API BOOL WriteFile(HANDLE file, LPCVOID buffer, DWORD toWrite, LPDWORD written, LPOVERLAPPED overlapped);
CE_API DWORD SetFilePointer(HANDLE file, LONG distance, PLONG distanceHigh, DWORD method);
CE_API BOOL SetEndOfFile(HANDLE file);
CE_API DWORD GetFileSize(HANDLE file, LPDWORD sizeHigh);
CE_API BOOL GetFileTime(HANDLE file, LPFILETIME creation, LPFILETIME lastAccess, LPFILETIME lastWrite);
CE_API BOOL SetFileTime(HANDLE file, const FILETIME* creation, const FILETIME* lastAccess,
                        const FILETIME* lastWrite);
CE_API BOOL FlushFileBuffers(HANDLE file);
CE_API BOOL DeleteFileW(LPCWSTR path);
CE_API BOOL MoveFileW(LPCWSTR existing, LPCWSTR target);
CE_API BOOL MoveFileExW(LPCWSTR existing, LPCWSTR target, DWORD flags);
CE_API BOOL CopyFileW(LPCWSTR existing, LPCWSTR target, BOOL failIfExists);
CE_API DWORD GetFileAttributesW(LPCWSTR path);
CE_API BOOL SetFileAttributesW(LPCWSTR path, DWORD attributes);
CE_API BOOL CreateDirectoryW(LPCWSTR path, LPSECURITY_ATTRIBUTES security);
CE_API BOOL RemoveDirectoryW(LPCWSTR path);
CE_API HANDLE FindFirstFileW(LPCWSTR pattern, LPWIN32_FIND_DATAW data);
CE_API BOOL FindNextFileW(HANDLE find, LPWIN32_FIND_DATAW data);
CE_API BOOL FindClose(HANDLE find);
CE_API DWORD GetTempPathW(DWORD size, LPWSTR buffer);
CE_API BOOL SetCommTimeouts(HANDLE port, LPCOMMTIMEOUTS timeouts);
CE_API BOOL GetCommTimeouts(HANDLE port, LPCOMMTIMEOUTS timeouts);
CE_API BOOL PurgeComm(HANDLE port, DWORD flags);
CE_API BOOL SetCommMask(HANDLE port, DWORD mask);
CE_API BOOL GetCommMask(HANDLE port, LPDWORD mask);
CE_API BOOL GetDiskFreeSpaceExW(LPCWSTR directory, PULARGE_INTEGER freeToCaller, PULARGE_INTEGER total,
                                PULARGE_INTEGER totalFree);

// ---- time (every clock runs on the layer's clock, real or virtual) --------------------------------
CE_API void GetLocalTime(LPSYSTEMTIME time);
CE_API void GetSystemTime(LPSYSTEMTIME time);
CE_API BOOL SetLocalTime(const SYSTEMTIME* time);
CE_API BOOL SetSystemTime(const SYSTEMTIME* time);
CE_API BOOL SystemTimeToFileTime(const SYSTEMTIME* system, LPFILETIME file);
CE_API BOOL FileTimeToSystemTime(const FILETIME* file, LPSYSTEMTIME system);
CE_API BOOL FileTimeToLocalFileTime(const FILETIME* utc, LPFILETIME local);
CE_API BOOL LocalFileTimeToFileTime(const FILETIME* local, LPFILETIME utc);
CE_API LONG CompareFileTime(const FILETIME* a, const FILETIME* b);
CE_API DWORD GetTickCount(void);
// The performance counter counts the layer's milliseconds (frequency 1000).
CE_API BOOL QueryPerformanceCounter(LARGE_INTEGER* count);
CE_API BOOL QueryPerformanceFrequency(LARGE_INTEGER* frequency);
CE_API void Sleep(DWORD milliseconds);
CE_API DWORD GetTimeZoneInformation(LPTIME_ZONE_INFORMATION info);

// ---- power, idle timer, device identifier, storage cards ------------------------------------------
// What the device does with them is recorded in the device log "power"; the identifier, the storage
// cards ([storage] cards=Storage Card;... naming folders of the device's root) and the free space come
// from the device profile.
#define POWER_STATE_ON 0x00010000
#define POWER_STATE_OFF 0x00020000
#define POWER_STATE_IDLE 0x00100000
#define POWER_STATE_SUSPEND 0x00200000
#define POWER_STATE_RESET 0x00800000
#define POWER_FORCE 0x00001000

#define GETDEVICEUNIQUEID_V1 1
#define GETDEVICEUNIQUEID_V1_OUTPUT 20

typedef struct STORE_INFORMATION {
    DWORD dwStoreSize;
    DWORD dwFreeSize;
} STORE_INFORMATION, *LPSTORE_INFORMATION;

CE_API DWORD SetSystemPowerState(LPCWSTR state, DWORD stateFlags, DWORD options);
CE_API void SystemIdleTimerReset(void);
// 20 bytes that stay the same for one device and one application's data (at least 8 bytes), and differ
// between applications. An output smaller than that gives the needed size in outputSize and
// HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER).
CE_API HRESULT GetDeviceUniqueID(LPBYTE applicationData, DWORD applicationDataSize, DWORD version,
                                 LPBYTE output, DWORD* outputSize);
// The storage cards in name order; the handle is closed with FindClose.
CE_API HANDLE FindFirstFlashCard(LPWIN32_FIND_DATAW data);
CE_API BOOL FindNextFlashCard(HANDLE find, LPWIN32_FIND_DATAW data);
// The sizes of the device's own store (its root folder).
CE_API BOOL GetStoreInformation(LPSTORE_INFORMATION info);

// ---- locale and code pages ------------------------------------------------------------------------
CE_API LCID GetUserDefaultLCID(void);
CE_API LCID GetSystemDefaultLCID(void);
CE_API LANGID GetUserDefaultLangID(void);
CE_API LANGID GetSystemDefaultLangID(void);
CE_API LANGID GetUserDefaultUILanguage(void);
CE_API LANGID GetSystemDefaultUILanguage(void);
CE_API int GetLocaleInfoW(LCID locale, LCTYPE type, LPWSTR data, int size);
CE_API int GetDateFormatW(LCID locale, DWORD flags, const SYSTEMTIME* date, LPCWSTR format, LPWSTR out,
                          int size);
CE_API int GetTimeFormatW(LCID locale, DWORD flags, const SYSTEMTIME* time, LPCWSTR format, LPWSTR out,
                          int size);
CE_API UINT GetACP(void);
CE_API UINT GetOEMCP(void);
CE_API int MultiByteToWideChar(UINT codePage, DWORD flags, LPCSTR text, int length, LPWSTR out, int size);
CE_API int WideCharToMultiByte(UINT codePage, DWORD flags, LPCWSTR text, int length, LPSTR out, int size,
                               LPCSTR defaultChar, LPBOOL usedDefault);

// ---- threads --------------------------------------------------------------------------------------
CE_API HANDLE CreateThread(LPSECURITY_ATTRIBUTES security, DWORD stackSize, LPTHREAD_START_ROUTINE start,
                           LPVOID parameter, DWORD flags, LPDWORD threadId);
CE_API DWORD ResumeThread(HANDLE thread);
CE_API BOOL GetExitCodeThread(HANDLE thread, LPDWORD exitCode);
CE_API BOOL SetThreadPriority(HANDLE thread, int priority);
CE_API int GetThreadPriority(HANDLE thread);
CE_API HANDLE GetCurrentThread(void);
CE_API DWORD GetCurrentThreadId(void);
CE_API HANDLE GetCurrentProcess(void);
CE_API DWORD GetCurrentProcessId(void);

// ---- critical sections, events, mutexes, waits ----------------------------------------------------
CE_API void InitializeCriticalSection(LPCRITICAL_SECTION section);
CE_API void DeleteCriticalSection(LPCRITICAL_SECTION section);
CE_API void EnterCriticalSection(LPCRITICAL_SECTION section);
CE_API void LeaveCriticalSection(LPCRITICAL_SECTION section);
CE_API BOOL TryEnterCriticalSection(LPCRITICAL_SECTION section);

// Named events and mutexes are shared by every process of the device; an existing name gives a handle
// to the same object and sets ERROR_ALREADY_EXISTS.
CE_API HANDLE CreateEventW(LPSECURITY_ATTRIBUTES security, BOOL manualReset, BOOL initialState, LPCWSTR name);
CE_API HANDLE OpenEventW(DWORD access, BOOL inherit, LPCWSTR name);
CE_API BOOL SetEvent(HANDLE event);
CE_API BOOL ResetEvent(HANDLE event);
CE_API BOOL PulseEvent(HANDLE event);
CE_API BOOL SetEventData(HANDLE event, DWORD data);
CE_API DWORD GetEventData(HANDLE event);
CE_API HANDLE CreateMutexW(LPSECURITY_ATTRIBUTES security, BOOL initialOwner, LPCWSTR name);
CE_API BOOL ReleaseMutex(HANDLE mutex);
CE_API DWORD WaitForSingleObject(HANDLE handle, DWORD milliseconds);
CE_API DWORD WaitForMultipleObjects(DWORD count, const HANDLE* handles, BOOL waitAll, DWORD milliseconds);

CE_API LONG InterlockedIncrement(LONG volatile* value);
CE_API LONG InterlockedDecrement(LONG volatile* value);
CE_API LONG InterlockedExchange(LONG volatile* target, LONG value);
CE_API LONG InterlockedCompareExchange(LONG volatile* target, LONG exchange, LONG comparand);

// ---- modules and resources ------------------------------------------------------------------------
CE_API HMODULE LoadLibraryW(LPCWSTR path);
CE_API BOOL FreeLibrary(HMODULE module);
// By name, or by ordinal with MAKEINTRESOURCEW(ordinal).
CE_API FARPROC GetProcAddressW(HMODULE module, LPCWSTR name);
CE_API HMODULE GetModuleHandleW(LPCWSTR name);
CE_API DWORD GetModuleFileNameW(HMODULE module, LPWSTR buffer, DWORD size);
CE_API HRSRC FindResourceW(HMODULE module, LPCWSTR name, LPCWSTR type);
CE_API HGLOBAL LoadResource(HMODULE module, HRSRC resource);
CE_API LPVOID LockResource(HGLOBAL data);
CE_API DWORD SizeofResource(HMODULE module, HRSRC resource);
CE_API int LoadStringW(HINSTANCE instance, UINT id, LPWSTR buffer, int size);

// ---- processes ------------------------------------------------------------------------------------
CE_API BOOL CreateProcessW(LPCWSTR application, LPWSTR commandLine, LPSECURITY_ATTRIBUTES processSecurity,
                           LPSECURITY_ATTRIBUTES threadSecurity, BOOL inheritHandles, DWORD flags,
                           LPVOID environment, LPCWSTR currentDirectory, LPSTARTUPINFOW startup,
                           LPPROCESS_INFORMATION info);
CE_API HANDLE OpenProcess(DWORD access, BOOL inherit, DWORD processId);
CE_API BOOL GetExitCodeProcess(HANDLE process, LPDWORD exitCode);
CE_API BOOL TerminateProcess(HANDLE process, UINT exitCode);
CE_API LPWSTR GetCommandLineW(void);
[[noreturn]] CE_API void ExitProcess(UINT exitCode);
}

#define GetProcAddress GetProcAddressW

// ---- system version (device information) ----------------------------------------------------------
typedef struct _OSVERSIONINFOW {
    DWORD dwOSVersionInfoSize;
    DWORD dwMajorVersion;
    DWORD dwMinorVersion;
    DWORD dwBuildNumber;
    DWORD dwPlatformId;
    WCHAR szCSDVersion[128];
} OSVERSIONINFOW, *POSVERSIONINFOW, *LPOSVERSIONINFOW;
typedef OSVERSIONINFOW OSVERSIONINFO;

#define VER_PLATFORM_WIN32_CE 3

extern "C" {
// Fails (ERROR_INVALID_PARAMETER) unless dwOSVersionInfoSize is the structure's size.
CE_API BOOL GetVersionExW(LPOSVERSIONINFOW info);
}
