// The device server's protocol. One Unix stream socket per device, <root>/run/devserver.sock; each
// process keeps one connection for its lifetime, and the server knows the process by it (its pid from the
// socket's peer credentials): when the connection closes, the process has ended and the server drops
// what it held (mutex ownership, its entry in the process table, its references to named objects).
//
// Every message is a frame (see Message.h): the kind of request, then its fields, each an integer or a
// UTF-8 text. A client sends one request and reads its reply before the next; the reply carries the
// same kind, its first field is the status (0, or the platform error code the caller should set), and
// the results follow. Fields a request leaves out read as 0 or empty, so a request may grow new
// trailing fields without breaking older peers.
//
// Adding a request: a value below (ranges are kept per area), one handler registered in the server's
// DeviceServer::RegisterHandlers, and a call from the layer's client code. Nothing else changes.
#pragma once

#include <cstdint>

namespace ce::devserver {

enum class Request : uint32_t {
    // ---- processes (1-9) -------------------------------------------------------------------------
    EnterProcess = 1,   // parent pid, image device path, image file name -> status
    ListProcesses = 2,  // -> status, count, then per process: pid, parent pid, image name, image path

    // ---- named mutexes and events (10-39) ---------------------------------------------------------
    // The server names, counts and frees the objects; their state lives in the shared object area
    // (SharedObjectArea.h), where each process takes, releases, sets and reads them itself. The slot
    // and the stamp of the area it belongs to follow the object id in every reply that opens one.
    CreateMutex = 10,   // name, thread id, initial owner -> status, object id, existed, slot, stamp
    CreateEvent = 20,   // name, manual reset, initially set -> status, object id, existed, slot, stamp
    OpenEvent = 21,     // name -> status, object id, existed, slot, stamp
    CloseObject = 33,  // object id -> status: drops one reference of this process

    // ---- top-level windows (40-59) ----------------------------------------------------------------
    // Windows are handles of their process (the pid is in the upper half); messages for them go to the
    // process's own socket, <root>/run/ui-<pid>.sock (see the window manager's UiSocket).
    PublishWindow = 40,   // window, class name, title -> status
    WithdrawWindow = 41,  // window -> status
    FindTopLevel = 42,    // has class, class name, has title, title -> status, window, pid (0: none)
    ListWindows = 43,     // -> status, count, then per window: window, pid, class name, title
    SetForeground = 44,   // window -> status
    GetForeground = 45,   // -> status, window, pid (0: no window)

    // ---- user notifications (60-79) ----------------------------------------------------------------
    // A notification: application (device path), arguments, event, start and end as local FILETIME
    // values, and its due time as UTC ms since 1970 on the device's clock. The server keeps them in
    // <root>/run/notifications and starts the application once the device's clock reaches the due time.
    SetNotification = 60,    // handle (0: new), the notification -> status, handle
    ClearNotification = 61,  // handle -> status
    ListNotifications = 62,  // -> status, count, then the handles
    GetNotification = 63,    // handle -> status, the notification
};

// The socket and the files of the server, below <root>/run.
inline constexpr const char* kSocketName = "devserver.sock";
inline constexpr const char* kStartLockName = "devserver.start";  // held by whoever starts or stops a server
inline constexpr const char* kServerLockName = "devserver.lock";  // held by the running server
inline constexpr const char* kLogName = "devserver.log";
inline constexpr const char* kNotificationsName = "notifications";  // the pending notifications

// How long the server stays without any connected process before it ends; CE_DEVSERVER_IDLE_MS
// overrides it.
inline constexpr int kDefaultIdleMs = 10000;

}  // namespace ce::devserver
