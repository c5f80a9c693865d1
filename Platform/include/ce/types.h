// Base types, handles, error codes and wide-string helpers of the device platform.
#pragma once

#include <cstdarg>
#include <cstddef>
#include <cstdint>
#include <string>
#include <string_view>

#if defined(CE_PLATFORM_BUILD)
#define CE_API __attribute__((visibility("default")))
#else
#define CE_API
#endif
#define CE_EXPORT __attribute__((visibility("default")))

#define WINAPI
#define APIENTRY
#define CALLBACK
#define STDAPI extern "C" HRESULT
#define STDMETHODCALLTYPE

// ---- scalar types -------------------------------------------------------------------------------
typedef int BOOL;
typedef uint8_t BYTE;
typedef uint8_t BOOLEAN;
typedef uint16_t WORD;
typedef uint32_t DWORD;
typedef int32_t LONG;
typedef uint32_t ULONG;
typedef int16_t SHORT;
typedef uint16_t USHORT;
typedef int INT;
typedef unsigned int UINT;
typedef char CHAR;
typedef unsigned char UCHAR;
typedef char16_t WCHAR;
typedef WCHAR TCHAR;
typedef int64_t LONGLONG;
typedef uint64_t ULONGLONG;
typedef uint64_t DWORD64;
typedef float FLOAT;
typedef double DOUBLE;

// Values that carry pointers are pointer-sized.
typedef intptr_t INT_PTR;
typedef uintptr_t UINT_PTR;
typedef intptr_t LONG_PTR;
typedef uintptr_t ULONG_PTR;
typedef uintptr_t DWORD_PTR;
typedef size_t SIZE_T;
typedef UINT_PTR WPARAM;
typedef LONG_PTR LPARAM;
typedef LONG_PTR LRESULT;
typedef LONG HRESULT;
typedef DWORD COLORREF;
typedef DWORD LCID;
typedef WORD LANGID;
typedef DWORD LCTYPE;
typedef WORD ATOM;

typedef void* PVOID;
typedef void* LPVOID;
typedef const void* LPCVOID;
typedef BYTE* LPBYTE;
typedef BYTE* PBYTE;
typedef BOOL* LPBOOL;
typedef BOOL* PBOOL;
typedef WORD* LPWORD;
typedef DWORD* LPDWORD;
typedef DWORD* PDWORD;
typedef LONG* LPLONG;
typedef LONG* PLONG;
typedef ULONG* PULONG;
typedef int* LPINT;
typedef UINT* PUINT;
typedef CHAR* LPSTR;
typedef const CHAR* LPCSTR;
typedef WCHAR* LPWSTR;
typedef WCHAR* PWSTR;
typedef const WCHAR* LPCWSTR;
typedef const WCHAR* PCWSTR;
typedef WCHAR* LPTSTR;
typedef const WCHAR* LPCTSTR;
typedef COLORREF* LPCOLORREF;

typedef union _LARGE_INTEGER {
    struct {
        DWORD LowPart;
        LONG HighPart;
    };
    LONGLONG QuadPart;
} LARGE_INTEGER, *PLARGE_INTEGER;

typedef union _ULARGE_INTEGER {
    struct {
        DWORD LowPart;
        DWORD HighPart;
    };
    ULONGLONG QuadPart;
} ULARGE_INTEGER, *PULARGE_INTEGER;

#ifndef TRUE
#define TRUE 1
#endif
#ifndef FALSE
#define FALSE 0
#endif
#define MAX_PATH 260

#define TEXT(s) u##s
#define _T(s) u##s

#define LOBYTE(w) ((BYTE)(((DWORD_PTR)(w)) & 0xff))
#define HIBYTE(w) ((BYTE)((((DWORD_PTR)(w)) >> 8) & 0xff))
#define LOWORD(l) ((WORD)(((DWORD_PTR)(l)) & 0xffff))
#define HIWORD(l) ((WORD)((((DWORD_PTR)(l)) >> 16) & 0xffff))
#define MAKEWORD(a, b) ((WORD)(((BYTE)(a)) | ((WORD)((BYTE)(b))) << 8))
#define MAKELONG(a, b) ((LONG)(((WORD)(a)) | ((DWORD)((WORD)(b))) << 16))
#define MAKELPARAM(l, h) ((LPARAM)(DWORD)MAKELONG(l, h))
#define MAKEWPARAM(l, h) ((WPARAM)(DWORD)MAKELONG(l, h))
#define MAKELRESULT(l, h) ((LRESULT)(DWORD)MAKELONG(l, h))
#define MAKELANGID(p, s) ((((WORD)(s)) << 10) | (WORD)(p))
#define PRIMARYLANGID(lgid) ((WORD)(lgid) & 0x3ff)
#define SUBLANGID(lgid) ((WORD)(lgid) >> 10)
#define MAKELCID(lgid, srtid) ((DWORD)((((DWORD)((WORD)(srtid))) << 16) | ((DWORD)((WORD)(lgid)))))
#define LANGIDFROMLCID(lcid) ((WORD)(lcid))
#define RGB(r, g, b) ((COLORREF)(((BYTE)(r) | ((WORD)((BYTE)(g)) << 8)) | (((DWORD)(BYTE)(b)) << 16)))
#define GetRValue(rgb) (LOBYTE(rgb))
#define GetGValue(rgb) (LOBYTE(((WORD)(rgb)) >> 8))
#define GetBValue(rgb) (LOBYTE((rgb) >> 16))

// ---- handles ------------------------------------------------------------------------------------
typedef void* HANDLE;
typedef HANDLE* PHANDLE;
typedef HANDLE* LPHANDLE;
#define CE_DECLARE_HANDLE(name) \
    struct name##__ {           \
        int unused;             \
    };                          \
    typedef struct name##__* name
CE_DECLARE_HANDLE(HINSTANCE);
typedef HINSTANCE HMODULE;
CE_DECLARE_HANDLE(HWND);
CE_DECLARE_HANDLE(HKEY);
CE_DECLARE_HANDLE(HDC);
typedef void* HGDIOBJ;
CE_DECLARE_HANDLE(HBITMAP);
CE_DECLARE_HANDLE(HBRUSH);
CE_DECLARE_HANDLE(HPEN);
CE_DECLARE_HANDLE(HFONT);
CE_DECLARE_HANDLE(HRGN);
CE_DECLARE_HANDLE(HPALETTE);
CE_DECLARE_HANDLE(HMENU);
CE_DECLARE_HANDLE(HICON);
typedef HICON HCURSOR;
CE_DECLARE_HANDLE(HRSRC);
typedef HANDLE HGLOBAL;
typedef HANDLE HLOCAL;
typedef HKEY* PHKEY;
// The generic procedure type: callers cast it to the real signature without a cast-type warning.
typedef void (*FARPROC)(void);

#define INVALID_HANDLE_VALUE ((HANDLE)(LONG_PTR)-1)

// ---- error codes --------------------------------------------------------------------------------
#define ERROR_SUCCESS 0L
#define NO_ERROR 0L
#define ERROR_INVALID_FUNCTION 1L
#define ERROR_FILE_NOT_FOUND 2L
#define ERROR_PATH_NOT_FOUND 3L
#define ERROR_TOO_MANY_OPEN_FILES 4L
#define ERROR_ACCESS_DENIED 5L
#define ERROR_INVALID_HANDLE 6L
#define ERROR_NOT_ENOUGH_MEMORY 8L
#define ERROR_BAD_FORMAT 11L
#define ERROR_INVALID_DATA 13L
#define ERROR_OUTOFMEMORY 14L
#define ERROR_NO_MORE_FILES 18L
#define ERROR_WRITE_FAULT 29L
#define ERROR_READ_FAULT 30L
#define ERROR_SHARING_VIOLATION 32L
#define ERROR_HANDLE_EOF 38L
#define ERROR_NOT_SUPPORTED 50L
#define ERROR_FILE_EXISTS 80L
#define ERROR_INVALID_PARAMETER 87L
#define ERROR_BROKEN_PIPE 109L
#define ERROR_DISK_FULL 112L
#define ERROR_CALL_NOT_IMPLEMENTED 120L
#define ERROR_INSUFFICIENT_BUFFER 122L
#define ERROR_INVALID_NAME 123L
#define ERROR_MOD_NOT_FOUND 126L
#define ERROR_PROC_NOT_FOUND 127L
#define ERROR_DIR_NOT_EMPTY 145L
#define ERROR_BAD_PATHNAME 161L
#define ERROR_BUSY 170L
#define ERROR_ALREADY_EXISTS 183L
#define ERROR_ENVVAR_NOT_FOUND 203L
#define ERROR_MORE_DATA 234L
#define WAIT_TIMEOUT 258L
#define ERROR_NO_MORE_ITEMS 259L
#define ERROR_DIRECTORY 267L
#define ERROR_NOT_OWNER 288L
#define ERROR_INVALID_ADDRESS 487L
#define ERROR_ARITHMETIC_OVERFLOW 534L
#define ERROR_NOACCESS 998L
#define ERROR_CANTOPEN 1011L
#define ERROR_CANTREAD 1012L
#define ERROR_CANTWRITE 1013L
#define ERROR_REGISTRY_CORRUPT 1015L
#define ERROR_KEY_DELETED 1018L
#define ERROR_INVALID_WINDOW_HANDLE 1400L
#define ERROR_INVALID_MENU_HANDLE 1401L
#define ERROR_CLASS_ALREADY_EXISTS 1410L
#define ERROR_CLASS_DOES_NOT_EXIST 1411L
#define ERROR_TIMEOUT 1460L
#define ERROR_NOT_FOUND 1168L
#define ERROR_CANCELLED 1223L
#define ERROR_RESOURCE_DATA_NOT_FOUND 1812L
#define ERROR_RESOURCE_TYPE_NOT_FOUND 1813L
#define ERROR_RESOURCE_NAME_NOT_FOUND 1814L
#define ERROR_INTERNET_TIMEOUT 12002L
#define ERROR_INTERNET_NAME_NOT_RESOLVED 12007L
#define ERROR_INTERNET_OPERATION_CANCELLED 12017L
#define ERROR_INTERNET_INCORRECT_HANDLE_TYPE 12018L
#define ERROR_INTERNET_CANNOT_CONNECT 12029L
#define ERROR_INTERNET_CONNECTION_ABORTED 12030L
#define ERROR_HTTP_HEADER_NOT_FOUND 12150L

extern "C" {
CE_API DWORD GetLastError(void);
CE_API void SetLastError(DWORD error);

// ---- wide-string helpers (UTF-16; never the C library's wchar_t functions) ------------------------
CE_API int lstrlenW(LPCWSTR s);
CE_API int lstrcmpW(LPCWSTR a, LPCWSTR b);
CE_API int lstrcmpiW(LPCWSTR a, LPCWSTR b);
CE_API LPWSTR lstrcpyW(LPWSTR dst, LPCWSTR src);
// Copies at most max - 1 characters and always terminates (max > 0).
CE_API LPWSTR lstrcpynW(LPWSTR dst, LPCWSTR src, int max);
CE_API LPWSTR lstrcatW(LPWSTR dst, LPCWSTR src);
// Compares at most n characters, ignoring case (0 when equal).
CE_API int _wcsnicmp(LPCWSTR a, LPCWSTR b, size_t n);
CE_API int _wcsicmp(LPCWSTR a, LPCWSTR b);
CE_API LPWSTR CharLowerW(LPWSTR s);
CE_API LPWSTR CharUpperW(LPWSTR s);
CE_API WCHAR towlowerW(WCHAR c);
CE_API WCHAR towupperW(WCHAR c);
// Number parsing as the C runtime does it: leading blanks, sign, digits; stops at the first other character.
CE_API int _wtoi(LPCWSTR s);
CE_API long _wtol(LPCWSTR s);
CE_API double _wtof(LPCWSTR s);
CE_API long wcstolW(LPCWSTR s, LPWSTR* end, int base);
CE_API unsigned long wcstoulW(LPCWSTR s, LPWSTR* end, int base);
CE_API double wcstodW(LPCWSTR s, LPWSTR* end);

// The formatter: %s (wide), %hs (narrow), %c, %d/%i, %u, %x/%X, %ld, %lu, %lx, %f (with precision),
// %%, flags '-', '0', '+', ' ', and widths (also '*'). The result is always terminated.
CE_API int wsprintfW(LPWSTR out, LPCWSTR format, ...);
CE_API int wvsprintfW(LPWSTR out, LPCWSTR format, va_list args);
// Bounded variant: writes at most count characters including the terminator; -1 when cut.
CE_API int _snwprintf(LPWSTR out, size_t count, LPCWSTR format, ...);
CE_API int _vsnwprintf(LPWSTR out, size_t count, LPCWSTR format, va_list args);
}

// ---- Linux-side helpers ---------------------------------------------------------------------------
namespace ce {
CE_API std::string ToUtf8(std::u16string_view text);
CE_API std::u16string FromUtf8(std::string_view text);
// The conversions of a format template in order, e.g. u"%d of %s" gives "ds" (flags and widths ignored,
// %% skipped, 'l'/'h' kept: "%ld" gives "ld", "%hs" gives "hs"). Used to check localized templates.
CE_API std::string FormatConversions(std::u16string_view format);
}  // namespace ce
