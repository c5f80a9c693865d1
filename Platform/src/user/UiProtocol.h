// The window manager's socket: each process with top-level windows answers on
// <root>/run/ui-<pid>.sock, one request a connection, in the device server's frames (devserver/Message.h):
// the reply carries the request's kind and a status first (0, or a platform error code).
#pragma once

#include <cstdint>
#include <string>

namespace ce::detail {

enum class UiRequest : uint32_t {
    PostToWindow = 1,   // window, message, wParam, lParam -> status
    SetForeground = 2,  // window (bit 0: its last active popup) -> status
    Screenshot = 3,     // host path of a PNG file to write -> status
    Tap = 4,            // x, y -> status
    Key = 5,            // key name -> status (ERROR_INVALID_PARAMETER for an unknown name)
    Text = 6,           // UTF-8 text -> status
    Drag = 7,           // from x, from y, to x, to y -> status
    Stylus = 8,         // action (0 down, 1 move, 2 up), x, y -> status
};

inline std::string UiSocketName(int64_t pid) { return "ui-" + std::to_string(pid) + ".sock"; }

}  // namespace ce::detail
