// Input for the window manager: stylus and key events from the display back end or from injection
// (device.h), queued in arrival order. The window manager reads the queue; the listener tells it that
// something arrived.
#pragma once

#include <functional>

#include "ce/types.h"

namespace ce::screen {

// Keys that type characters arrive as Char events only; the device's own keys (arrows, action, back,
// soft keys, call keys, backspace) as KeyDown and KeyUp. Close: the desktop window was closed.
enum class InputKind { StylusDown, StylusMove, StylusUp, KeyDown, KeyUp, Char, Close };

struct InputEvent {
    InputKind kind = InputKind::StylusDown;
    int x = 0;          // stylus events: device screen pixels
    int y = 0;
    UINT key = 0;       // key events: the platform's virtual-key code (VK_LEFT, VK_RETURN, VK_F1 ...)
    char16_t ch = 0;    // Char events: one typed UTF-16 unit
};

CE_API void PushInput(const InputEvent& event);
// Takes the oldest event; false when the queue is empty.
CE_API bool PopInput(InputEvent* event);
// Called on the pushing thread after every push (null to stop); the window manager wakes its loop here.
CE_API void SetInputListener(std::function<void()> listener);

}  // namespace ce::screen
