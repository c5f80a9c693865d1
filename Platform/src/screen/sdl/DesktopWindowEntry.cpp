// The one entry of the desktop window module, looked up by name once the layer has loaded it.
#include "screen/sdl/SdlBackend.h"

extern "C" CE_API ce::screen::DisplayBackend* CeOpenDesktopWindow(ce::screen::FrameSource* frames) {
    auto window = std::make_unique<ce::screen::SdlBackend>(std::move(*frames));
    return window->Started() ? window.release() : nullptr;
}
