// Where the device screen is shown: nowhere (headless) or in a desktop window (sdl).
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>

#include "ce/types.h"

namespace ce::screen {

// Calls the visitor with the screen's pixels (5-6-5, rows top-down) while nothing draws on them.
using FrameVisitor = std::function<void(const uint8_t* pixels, int width, int height, int stride)>;
using FrameSource = std::function<void(const FrameVisitor& visitor)>;

class CE_API DisplayBackend {
public:
    virtual ~DisplayBackend() = default;
    virtual std::string Name() const = 0;
    // The screen's picture changed; the back end shows it when it can (never blocks on the window).
    virtual void Present() = 0;
};

// The back end that the environment asks for (see ce::DisplayBackendName), falling back to headless
// when a window cannot be opened.
CE_API std::unique_ptr<DisplayBackend> ChooseDisplayBackend(FrameSource frames);

}  // namespace ce::screen
