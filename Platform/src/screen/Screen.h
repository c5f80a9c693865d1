// The device screen of this process: one 5-6-5 surface of the profile's screen size, on which the
// window manager composes the top-level windows, the task bar and the soft-key bar, and which the
// display back end shows and captures read.
#pragma once

#include <functional>
#include <memory>
#include <mutex>
#include <string>

#include "ce/gdi.h"
#include "screen/DisplayBackend.h"

namespace ce::screen {

class CE_API Screen {
public:
    static Screen& Instance();

    // The surface, made anew (black) when the screen's size changed. Never null.
    HBITMAP Surface();
    // A DC over the whole screen; the caller ends it with DeleteDC.
    HDC CreateDC();
    // Called before the screen is read (captures), so that it shows the windows as they are now.
    void SetComposer(std::function<void()> composer);
    // The screen's picture changed: the back end shows it.
    void Present();
    bool Capture(const std::string& path);
    std::string BackendName();
    void CopyPixels(const FrameVisitor& visitor);

private:
    Screen();
    ~Screen();
    friend struct ScreenHolder;

    std::mutex lock_;
    std::function<void()> composer_;
    HBITMAP surface_ = nullptr;
    std::unique_ptr<DisplayBackend> backend_;
    std::once_flag backendStarted_;
    DisplayBackend& Backend();
};

}  // namespace ce::screen
