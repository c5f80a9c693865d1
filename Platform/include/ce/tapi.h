// Telephony: the device's line devices and the cellular line's registration status. A device has one
// line, "Cellular Line"; its registration comes from the device profile: [device] registration=home,
// roaming, denied, unregistered, attempting or none (no cellular line), or else roaming=0|1.
#pragma once

#include "ce/kernel.h"

typedef DWORD HLINEAPP, *LPHLINEAPP;
typedef DWORD HLINE, *LPHLINE;

typedef void(CALLBACK* LINECALLBACK)(DWORD device, DWORD message, DWORD_PTR instance, DWORD_PTR param1,
                                     DWORD_PTR param2, DWORD_PTR param3);

#define LINEINITIALIZEEXOPTION_USEHIDDENWINDOW 0x00000001
#define LINEINITIALIZEEXOPTION_USEEVENT 0x00000002
#define LINEINITIALIZEEXOPTION_USECOMPLETIONPORT 0x00000003

typedef struct lineinitializeexparams_tag {
    DWORD dwTotalSize;
    DWORD dwNeededSize;
    DWORD dwUsedSize;
    DWORD dwOptions;
    union {
        HANDLE hEvent;
        HANDLE hCompletionPort;
    } Handles;
    DWORD dwCompletionKey;
} LINEINITIALIZEEXPARAMS, *LPLINEINITIALIZEEXPARAMS;

typedef struct lineextensionid_tag {
    DWORD dwExtensionID0;
    DWORD dwExtensionID1;
    DWORD dwExtensionID2;
    DWORD dwExtensionID3;
} LINEEXTENSIONID, *LPLINEEXTENSIONID;

typedef struct linecallparams_tag LINECALLPARAMS, *LPLINECALLPARAMS;  // never used; pass null

#define STRINGFORMAT_ASCII 0x00000001
#define STRINGFORMAT_DBCS 0x00000002
#define STRINGFORMAT_UNICODE 0x00000003
#define STRINGFORMAT_BINARY 0x00000004

// The leading, fixed part of the line's capabilities; variable parts (the line name) follow it in the
// caller's buffer at the offsets given, within dwTotalSize.
typedef struct linedevcaps_tag {
    DWORD dwTotalSize;
    DWORD dwNeededSize;
    DWORD dwUsedSize;
    DWORD dwProviderInfoSize;
    DWORD dwProviderInfoOffset;
    DWORD dwSwitchInfoSize;
    DWORD dwSwitchInfoOffset;
    DWORD dwPermanentLineID;
    DWORD dwLineNameSize;    // bytes, with the terminator
    DWORD dwLineNameOffset;  // from the start of the structure
    DWORD dwStringFormat;    // STRINGFORMAT_UNICODE
    DWORD dwAddressModes;
    DWORD dwNumAddresses;
    DWORD dwBearerModes;
    DWORD dwMaxRate;
    DWORD dwMediaModes;
} LINEDEVCAPS, *LPLINEDEVCAPS;

#define LINECALLPRIVILEGE_NONE 0x00000001
#define LINECALLPRIVILEGE_MONITOR 0x00000002
#define LINECALLPRIVILEGE_OWNER 0x00000004
#define LINEMEDIAMODE_INTERACTIVEVOICE 0x00000004
#define LINEMEDIAMODE_DATAMODEM 0x00000010

// Results: 0 is success, errors are negative.
#define LINEERR_BADDEVICEID ((LONG)0x80000002)
#define LINEERR_INCOMPATIBLEAPIVERSION ((LONG)0x8000000C)
#define LINEERR_INVALAPPHANDLE ((LONG)0x80000014)
#define LINEERR_INVALLINEHANDLE ((LONG)0x8000002B)
#define LINEERR_INVALPOINTER ((LONG)0x80000035)
#define LINEERR_OPERATIONFAILED ((LONG)0x80000048)
#define LINEERR_STRUCTURETOOSMALL ((LONG)0x8000004D)

// The API versions the layer speaks.
#define TAPI_CURRENT_VERSION 0x00020000

// Registration status of the cellular line (lineGetRegisterStatus).
#define LINEREGSTATUS_UNKNOWN 0x00000001
#define LINEREGSTATUS_DENIED 0x00000002
#define LINEREGSTATUS_UNREGISTERED 0x00000003
#define LINEREGSTATUS_ATTEMPTING 0x00000004
#define LINEREGSTATUS_HOME 0x00000005
#define LINEREGSTATUS_ROAM 0x00000006
#define LINEREGSTATUS_DIGITAL 0x00000007
#define LINEREGSTATUS_ANALOG 0x00000008

extern "C" {
// apiVersion: in, the highest version the caller knows; out, the version the layer will use.
CE_API LONG lineInitializeEx(LPHLINEAPP lineApp, HINSTANCE instance, LINECALLBACK callback, LPCWSTR appName,
                             LPDWORD deviceCount, LPDWORD apiVersion, LPLINEINITIALIZEEXPARAMS params);
CE_API LONG lineShutdown(HLINEAPP lineApp);
CE_API LONG lineNegotiateAPIVersion(HLINEAPP lineApp, DWORD deviceId, DWORD lowVersion, DWORD highVersion,
                                    LPDWORD apiVersion, LPLINEEXTENSIONID extensionId);
// Fills what fits in dwTotalSize; dwNeededSize tells what a whole answer takes.
CE_API LONG lineGetDevCaps(HLINEAPP lineApp, DWORD deviceId, DWORD apiVersion, DWORD extVersion,
                           LPLINEDEVCAPS caps);
CE_API LONG lineOpen(HLINEAPP lineApp, DWORD deviceId, LPHLINE line, DWORD apiVersion, DWORD extVersion,
                     DWORD_PTR callbackInstance, DWORD privileges, DWORD mediaModes, LPLINECALLPARAMS params);
CE_API LONG lineClose(HLINE line);
// The cellular extension: one of LINEREGSTATUS_*.
CE_API HRESULT lineGetRegisterStatus(HLINE line, LPDWORD status);
}
