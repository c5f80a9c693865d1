// HTTP through the device's internet functions. The device reaches only the hosts of its profile's
// [hosts] map (and loopback addresses given literally); a proxy comes from InternetOpenW.
#pragma once

#include "ce/kernel.h"

typedef void* HINTERNET;
typedef HINTERNET* LPHINTERNET;
typedef WORD INTERNET_PORT;

#define INTERNET_OPEN_TYPE_PRECONFIG 0
#define INTERNET_OPEN_TYPE_DIRECT 1
#define INTERNET_OPEN_TYPE_PROXY 3

#define INTERNET_DEFAULT_HTTP_PORT 80
#define INTERNET_SERVICE_HTTP 3

#define INTERNET_OPTION_CONNECT_TIMEOUT 2
#define INTERNET_OPTION_RECEIVE_TIMEOUT 6
#define INTERNET_OPTION_SEND_TIMEOUT 5
#define INTERNET_OPTION_RESET_URLCACHE_SESSION 60
#define INTERNET_OPTION_FROM_CACHE_TIMEOUT 63
#define INTERNET_OPTION_BYPASS_EDITED_ENTRY 64

#define INTERNET_FLAG_RELOAD 0x80000000
#define INTERNET_FLAG_NO_CACHE_WRITE 0x04000000
#define INTERNET_FLAG_PRAGMA_NOCACHE 0x00000100

#define HTTP_QUERY_CONTENT_LENGTH 5
#define HTTP_QUERY_STATUS_CODE 19
#define HTTP_QUERY_FLAG_NUMBER 0x20000000

extern "C" {
CE_API HINTERNET InternetOpenW(LPCWSTR agent, DWORD accessType, LPCWSTR proxy, LPCWSTR proxyBypass, DWORD flags);
CE_API BOOL InternetSetOptionW(HINTERNET handle, DWORD option, LPVOID buffer, DWORD length);
CE_API HINTERNET InternetConnectW(HINTERNET internet, LPCWSTR server, INTERNET_PORT port, LPCWSTR user,
                                  LPCWSTR password, DWORD service, DWORD flags, DWORD_PTR context);
CE_API HINTERNET HttpOpenRequestW(HINTERNET connection, LPCWSTR verb, LPCWSTR objectName, LPCWSTR version,
                                  LPCWSTR referrer, LPCWSTR* acceptTypes, DWORD flags, DWORD_PTR context);
// Sends the request and returns once the reply's headers have arrived (FALSE when none came).
CE_API BOOL HttpSendRequestW(HINTERNET request, LPCWSTR headers, DWORD headersLength, LPVOID optional,
                             DWORD optionalLength);
CE_API BOOL HttpQueryInfoW(HINTERNET request, DWORD infoLevel, LPVOID buffer, LPDWORD bufferLength, LPDWORD index);
// Blocks until data, the end of the reply (TRUE, 0 bytes), a failure, or the closing of the handle
// from another thread (FALSE).
CE_API BOOL InternetReadFile(HINTERNET file, LPVOID buffer, DWORD toRead, LPDWORD read);
// Closing a handle also closes the handles opened from it.
CE_API BOOL InternetCloseHandle(HINTERNET handle);
}

namespace ce {
// Starts loading the HTTP library on a thread of its own, for a program that will go online soon after
// its start: the rest of its start-up runs beside the load. A session opened meanwhile waits for the
// load; the process's exit waits for it too. Calls after the first do nothing.
CE_API void PrepareInternet();
}  // namespace ce
