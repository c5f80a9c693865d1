// The connection manager: destination networks and the connections made to them. The device
// profile's [connection] section says what exists: destinations, the state a new connection reaches
// and the proxy.
#pragma once

#include "ce/com.h"
#include "ce/kernel.h"

#define CONNMGR_PARAM_GUIDDESTNET 0x1
#define CONNMGR_FLAG_PROXY_HTTP 0x1
#define CONNMGR_PRIORITY_USERINTERACTIVE 0x2000

#define CONNMGR_STATUS_UNKNOWN 0x00
#define CONNMGR_STATUS_CONNECTED 0x10
#define CONNMGR_STATUS_SUSPENDED 0x11
#define CONNMGR_STATUS_DISCONNECTED 0x20
#define CONNMGR_STATUS_CONNECTIONFAILED 0x21
#define CONNMGR_STATUS_CONNECTIONCANCELED 0x22
#define CONNMGR_STATUS_CONNECTIONDISABLED 0x23
#define CONNMGR_STATUS_NOPATHTODESTINATION 0x24
#define CONNMGR_STATUS_WAITINGFORPATH 0x25
#define CONNMGR_STATUS_WAITINGCONNECTION 0x40
#define CONNMGR_STATUS_WAITINGFORNETWORK 0x42

#define CONNMGR_FLAGS_PROXY_HTTP 0x1

typedef struct _CONNMGR_CONNECTIONINFO {
    DWORD cbSize;
    DWORD dwParams;
    DWORD dwFlags;
    DWORD dwPriority;
    BOOL bExclusive;
    BOOL bDisabled;
    GUID guidDestNet;
    HWND hWnd;
    UINT uMsg;
    LPARAM lParam;
    ULONG ulMaxCost;
    ULONG ulMinRcvBw;
    ULONG ulMaxConnLatency;
} CONNMGR_CONNECTIONINFO;

typedef struct _CONNMGR_DESTINATION_INFO {
    GUID guid;
    WCHAR szDescription[128];
    BOOL fSecure;
} CONNMGR_DESTINATION_INFO;

typedef struct _PROXY_CONFIG {
    DWORD dwType;
    BOOL dwEnable;
    WCHAR szProxyServer[MAX_PATH];
    WCHAR szUsername[32];
    WCHAR szPassword[32];
    WCHAR szProxyOverride[MAX_PATH];
    WCHAR szExtraInfo[MAX_PATH];
} PROXY_CONFIG;

// The proxy extension of a connection, asked through ConnMgrProviderMessage.
inline constexpr GUID IID_ConnPrv_IProxyExtension = {
    0xAF96B0BD, 0xA481, 0x482C, {0xA0, 0x94, 0xA8, 0x44, 0x87, 0x67, 0xA0, 0xC0}};
// The destination "The Internet".
inline constexpr GUID IID_DestNetInternet = {
    0x436EF144, 0xB4FB, 0x4863, {0xA0, 0x41, 0x8F, 0x90, 0x5A, 0x62, 0xC5, 0x72}};

extern "C" {
// The connection handle is waitable: it is signalled once the connection's state is settled.
CE_API HRESULT ConnMgrEstablishConnection(CONNMGR_CONNECTIONINFO* info, HANDLE* connection);
CE_API HRESULT ConnMgrConnectionStatus(HANDLE connection, DWORD* status);
CE_API HRESULT ConnMgrReleaseConnection(HANDLE connection, LONG cache);
// With IID_ConnPrv_IProxyExtension: fills a PROXY_CONFIG, or E_NOINTERFACE without a proxy.
CE_API HRESULT ConnMgrProviderMessage(HANDLE connection, const GUID* provider, DWORD* index, DWORD message1,
                                      DWORD message2, PBYTE parameters, ULONG size);
// Destinations by index, from 0 until it fails.
CE_API HRESULT ConnMgrEnumDestinations(int index, CONNMGR_DESTINATION_INFO* info);
}
