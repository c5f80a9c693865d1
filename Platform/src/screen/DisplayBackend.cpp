#include "screen/DisplayBackend.h"

#include <cstdlib>
#include <cstring>

#include "screen/HeadlessBackend.h"
#include "screen/SdlBackend.h"

namespace ce::screen {

std::unique_ptr<DisplayBackend> ChooseDisplayBackend(FrameSource frames) {
    const char* asked = std::getenv("CE_DISPLAY");
    const char* display = std::getenv("DISPLAY");
    bool wantWindow = asked ? std::strcmp(asked, "sdl") == 0 : display && *display;
    if (wantWindow) {
        auto window = std::make_unique<SdlBackend>(std::move(frames));
        if (window->Started()) {
            return window;
        }
    }
    return std::make_unique<HeadlessBackend>();
}

}  // namespace ce::screen
