// The demo program: one window; the left soft key opens a dialog, the right one a menu with Quit.
#include "DemoWindow.h"
#include "ce/user.h"

extern "C" int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    DemoWindow window(instance);
    if (!window.Create()) {
        return 1;
    }
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    return static_cast<int>(message.wParam);
}
