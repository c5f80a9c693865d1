// The device screen in an SDL2 desktop window, scaled. One thread of its own owns SDL: it opens the
// window, turns mouse and keys into device input (mouse = stylus; arrows, Enter = action, Escape =
// Back, F1/F2 = soft keys, F3/F4 = the call keys) and shows the screen whenever it was presented.
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <thread>

#include "ce/types.h"
#include "screen/DisplayBackend.h"
#include "screen/sdl/X11WindowWatch.h"

union SDL_Event;

namespace ce::screen {

class CE_API SdlBackend : public DisplayBackend {
public:
    // scale: window pixels per device pixel (0: the largest whole scale that fits the desktop).
    SdlBackend(FrameSource frames, int scale = 0);
    ~SdlBackend() override;
    SdlBackend(const SdlBackend&) = delete;
    SdlBackend& operator=(const SdlBackend&) = delete;

    // Whether the window opened (waits, bounded, for the thread to know).
    bool Started();
    // The window's id, for events pushed to it (0 when it did not open).
    unsigned WindowId();
    std::string Name() const override { return "sdl"; }
    void Present() override;

private:
    void Run();
    // The window went away under the program (see X11WindowWatch): the program is told as by a close,
    // and the thread waits for its stop without touching the dead window again.
    void OnWindowLost();
    void WaitForStop();
    void HandleEvent(const SDL_Event& event);
    void ShowScreen(void* renderer, void** texture, int* textureWidth, int* textureHeight);

    FrameSource frames_;
    int scale_;
    std::mutex lock_;
    std::condition_variable ready_;
    enum class State { Starting, Running, Failed } state_ = State::Starting;
    unsigned windowId_ = 0;
    std::condition_variable stopped_;
    std::atomic<bool> stop_{false};
    std::atomic<bool> dirty_{true};
    bool stylusDown_ = false;
    X11WindowWatch watch_;
    std::thread thread_;
};

}  // namespace ce::screen
