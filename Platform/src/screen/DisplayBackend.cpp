#include "screen/DisplayBackend.h"

#include <dlfcn.h>

#include <cstdlib>
#include <cstring>

#include "screen/HeadlessBackend.h"

namespace ce::screen {
namespace {

using OpenDesktopWindow = DisplayBackend* (*)(FrameSource* frames);

// The desktop window lives in a module of its own, so that only a process that shows one loads SDL
// and the X11 libraries. Loaded once and kept.
OpenDesktopWindow DesktopWindowModule() {
    static const OpenDesktopWindow open = []() -> OpenDesktopWindow {
        const char* path = std::getenv("CE_SDL_BACKEND");
        void* module = dlopen(path && *path ? path : CE_SDL_BACKEND_PATH, RTLD_NOW | RTLD_LOCAL);
        return module ? reinterpret_cast<OpenDesktopWindow>(dlsym(module, "CeOpenDesktopWindow")) : nullptr;
    }();
    return open;
}

}  // namespace

std::unique_ptr<DisplayBackend> ChooseDisplayBackend(FrameSource frames) {
    const char* asked = std::getenv("CE_DISPLAY");
    const char* display = std::getenv("DISPLAY");
    bool wantWindow = asked ? std::strcmp(asked, "sdl") == 0 : display && *display;
    if (wantWindow) {
        if (OpenDesktopWindow open = DesktopWindowModule()) {
            if (DisplayBackend* window = open(&frames)) {
                return std::unique_ptr<DisplayBackend>(window);
            }
        }
    }
    return std::make_unique<HeadlessBackend>();
}

}  // namespace ce::screen
