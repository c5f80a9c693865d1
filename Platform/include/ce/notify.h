// User notifications: the device keeps them (across its restarts) and, at a notification's time, starts
// the named program with the notification's arguments as its command line, then forgets the notification.
// The layer supports timed notifications (CNT_TIME) that start a program; it shows no dialogs and plays
// no sounds, so a CE_USER_NOTIFICATION is accepted but not kept.
#pragma once

#include "ce/kernel.h"

// Trigger kinds.
#define CNT_EVENT 1
#define CNT_TIME 2
#define CNT_PERIOD 3
#define CNT_CLASSICTIME 4

#define NOTIFICATION_EVENT_NONE 0

typedef struct UserNotificationType {
    DWORD ActionFlags;
    WCHAR* pwszDialogTitle;
    WCHAR* pwszDialogText;
    WCHAR* pwszSound;
    DWORD nMaxSound;
    DWORD dwReserved;
} CE_USER_NOTIFICATION, *PCE_USER_NOTIFICATION;

typedef struct UserNotificationTrigger {
    DWORD dwSize;
    DWORD dwType;   // CNT_TIME
    DWORD dwEvent;  // NOTIFICATION_EVENT_NONE for a timed notification
    WCHAR* lpszApplication;
    WCHAR* lpszArguments;
    SYSTEMTIME stStartTime;  // local time: when the program starts
    SYSTEMTIME stEndTime;
} CE_NOTIFICATION_TRIGGER, *PCE_NOTIFICATION_TRIGGER;

// What CeGetUserNotification writes at the start of its buffer; the trigger and its strings follow in the
// same buffer. pceun is null (no user notification is kept).
typedef struct UserNotificationInfoHeader {
    HANDLE hNotification;
    DWORD dwStatus;  // 0: waiting for its time
    CE_NOTIFICATION_TRIGGER* pcent;
    CE_USER_NOTIFICATION* pceun;
} CE_NOTIFICATION_INFO_HEADER, *PCE_NOTIFICATION_INFO_HEADER;

extern "C" {
// Registers a notification, or with a handle replaces the one it names; its handle, or null
// (ERROR_INVALID_PARAMETER for a missing trigger or application or an invalid time, ERROR_NOT_SUPPORTED for
// other trigger kinds, ERROR_INVALID_HANDLE for an unknown handle, ERROR_BUSY without a device server).
CE_API HANDLE CeSetUserNotificationEx(HANDLE notification, CE_NOTIFICATION_TRIGGER* trigger,
                                      CE_USER_NOTIFICATION* userNotification);
CE_API BOOL CeClearUserNotification(HANDLE notification);
// The handles of the pending notifications. needed receives their count; with fewer places than that
// (and more than none) the call fails with ERROR_INSUFFICIENT_BUFFER.
CE_API BOOL CeGetUserNotificationHandles(HANDLE* handles, DWORD count, LPDWORD needed);
// One notification as a CE_NOTIFICATION_INFO_HEADER followed by its trigger and strings. needed receives
// the size; a buffer smaller than that fails with ERROR_INSUFFICIENT_BUFFER.
CE_API BOOL CeGetUserNotification(HANDLE notification, DWORD size, LPDWORD needed, LPBYTE buffer);
}
