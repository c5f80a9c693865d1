// The start screen of the device: the Today screen on a Pocket PC, the Home screen on a Smartphone.
// It runs until its window is closed.
#include <memory>

#include "HomeScreen.h"
#include "TodayScreen.h"
#include "ce/device.h"

extern "C" int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPWSTR, int) {
    if (FAILED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))) {
        return 1;
    }
    std::unique_ptr<StartScreen> screen;
    if (ce::GetDeviceKind() == ce::DeviceKind::Smartphone) {
        screen = std::make_unique<HomeScreen>(instance);
    } else {
        screen = std::make_unique<TodayScreen>(instance);
    }
    if (!screen->Create()) {
        CoUninitialize();
        return 1;
    }
    MSG message;
    while (GetMessageW(&message, nullptr, 0, 0)) {
        TranslateMessage(&message);
        DispatchMessageW(&message);
    }
    screen.reset();
    CoUninitialize();
    return static_cast<int>(message.wParam);
}
