#include "screen/sdl/SdlBackend.h"

#include <SDL.h>

#include <chrono>

#include "ce/types.h"
#include "screen/InputEvent.h"
#include "screen/ScreenGeometry.h"
#include "screen/WindowPlacement.h"

namespace ce::screen {
namespace {

// The platform's virtual-key codes of the keys the window maps.
UINT VirtualKeyOf(SDL_Keycode key) {
    switch (key) {
    case SDLK_LEFT: return 0x25;
    case SDLK_UP: return 0x26;
    case SDLK_RIGHT: return 0x27;
    case SDLK_DOWN: return 0x28;
    case SDLK_RETURN:
    case SDLK_KP_ENTER: return 0x0D;  // action
    case SDLK_ESCAPE: return 0x1B;    // Back
    case SDLK_F1: return 0x70;        // left soft key
    case SDLK_F2: return 0x71;        // right soft key
    case SDLK_F3: return 0x72;        // talk
    case SDLK_F4: return 0x73;        // end
    case SDLK_BACKSPACE: return 0x08;
    case SDLK_DELETE: return 0x2E;
    case SDLK_HOME: return 0x24;
    case SDLK_END: return 0x23;
    case SDLK_TAB: return 0x09;
    default: return 0;
    }
}

// The first display's area that windows may use (without panels and docks); empty when unknown.
DesktopRect UsableDesktop() {
    SDL_Rect area{};
    if (SDL_GetDisplayUsableBounds(0, &area) != 0) {
        return DesktopRect{0, 0, 0, 0};
    }
    return DesktopRect{area.x, area.y, area.w, area.h};
}

constexpr auto kStartTimeout = std::chrono::seconds(10);
constexpr int kFrameWaitMs = 15;

}  // namespace

SdlBackend::SdlBackend(FrameSource frames, int scale) : frames_(std::move(frames)), scale_(scale) {
    thread_ = std::thread([this] { Run(); });
}

SdlBackend::~SdlBackend() {
    {
        std::lock_guard guard(lock_);
        stop_ = true;
    }
    stopped_.notify_all();
    // The process may end from this thread (a library calling exit); a thread never joins itself.
    if (thread_.get_id() == std::this_thread::get_id()) {
        thread_.detach();
    } else {
        thread_.join();
    }
}

bool SdlBackend::Started() {
    std::unique_lock guard(lock_);
    ready_.wait_for(guard, kStartTimeout, [this] { return state_ != State::Starting; });
    return state_ == State::Running;
}

unsigned SdlBackend::WindowId() {
    return Started() ? windowId_ : 0;
}

void SdlBackend::Present() { dirty_ = true; }

void SdlBackend::Run() {
    SDL_SetHint(SDL_HINT_NO_SIGNAL_HANDLERS, "1");
    // The window shows plain X11 pictures: no GL driver is loaded, whose clean-up at the process's end
    // would wait for the display of a window that was lost.
    SDL_SetHint(SDL_HINT_FRAMEBUFFER_ACCELERATION, "0");
    SDL_Window* window = nullptr;
    SDL_Renderer* renderer = nullptr;
    ScreenSize size = CurrentScreenSize();
    if (SDL_InitSubSystem(SDL_INIT_VIDEO) == 0) {
        DesktopRect place = PlaceWindow(size, UsableDesktop(), scale_);
        window = SDL_CreateWindow("Device screen", place.x, place.y, place.width, place.height, SDL_WINDOW_RESIZABLE);
        if (window) {
            renderer = SDL_CreateRenderer(window, -1, SDL_RENDERER_SOFTWARE);
        }
    }
    {
        std::lock_guard guard(lock_);
        state_ = renderer ? State::Running : State::Failed;
        windowId_ = window ? SDL_GetWindowID(window) : 0;
    }
    ready_.notify_all();
    if (window) {
        watch_.Start(window, [this] { OnWindowLost(); });
    }
    if (renderer) {
        // Mouse positions arrive in device pixels, whatever the window's size.
        SDL_RenderSetLogicalSize(renderer, size.width, size.height);
        SDL_StartTextInput();
        void* texture = nullptr;
        int textureWidth = 0, textureHeight = 0;
        while (!stop_ && !watch_.Lost()) {
            SDL_Event event;
            if (SDL_WaitEventTimeout(&event, kFrameWaitMs)) {
                do {
                    HandleEvent(event);
                } while (SDL_PollEvent(&event));
            }
            if (!watch_.Lost() && dirty_.exchange(false)) {
                ShowScreen(renderer, &texture, &textureWidth, &textureHeight);
            }
        }
        if (watch_.Lost()) {
            WaitForStop();
            return;  // what SDL holds goes with the process
        }
        if (texture) {
            SDL_DestroyTexture(static_cast<SDL_Texture*>(texture));
        }
        SDL_DestroyRenderer(renderer);
    }
    if (window) {
        SDL_DestroyWindow(window);
    }
    // SDL stays initialised: its quit unloads the X extension libraries that it opened, and what they
    // keep for the display would then be memory that nothing points to. The process ends next.
}

void SdlBackend::OnWindowLost() {
    InputEvent close;
    close.kind = InputKind::Close;
    PushInput(close);
}

void SdlBackend::WaitForStop() {
    std::unique_lock guard(lock_);
    stopped_.wait(guard, [this] { return stop_.load(); });
}

void SdlBackend::HandleEvent(const SDL_Event& event) {
    InputEvent input;
    switch (event.type) {
    case SDL_SYSWMEVENT:
        watch_.Notice(*event.syswm.msg);
        return;
    case SDL_MOUSEBUTTONDOWN:
    case SDL_MOUSEBUTTONUP:
        if (event.button.button != SDL_BUTTON_LEFT) {
            return;
        }
        stylusDown_ = event.type == SDL_MOUSEBUTTONDOWN;
        input.kind = stylusDown_ ? InputKind::StylusDown : InputKind::StylusUp;
        input.x = event.button.x, input.y = event.button.y;
        break;
    case SDL_MOUSEMOTION:
        if (!stylusDown_) {
            return;  // a stylus hovers nowhere
        }
        input.kind = InputKind::StylusMove;
        input.x = event.motion.x, input.y = event.motion.y;
        break;
    case SDL_KEYDOWN:
    case SDL_KEYUP:
        input.key = VirtualKeyOf(event.key.keysym.sym);
        if (input.key == 0) {
            return;
        }
        input.kind = event.type == SDL_KEYDOWN ? InputKind::KeyDown : InputKind::KeyUp;
        break;
    case SDL_TEXTINPUT:
        for (char16_t unit : FromUtf8(event.text.text)) {
            InputEvent typed;
            typed.kind = InputKind::Char;
            typed.ch = unit;
            PushInput(typed);
        }
        return;
    case SDL_WINDOWEVENT:
        dirty_ = true;  // exposed, resized: draw again
        return;
    case SDL_QUIT:
        input.kind = InputKind::Close;
        break;
    default: return;
    }
    PushInput(input);
}

void SdlBackend::ShowScreen(void* rendererHandle, void** textureHandle, int* textureWidth, int* textureHeight) {
    auto* renderer = static_cast<SDL_Renderer*>(rendererHandle);
    auto* texture = static_cast<SDL_Texture*>(*textureHandle);
    frames_([&](const uint8_t* pixels, int width, int height, int stride) {
        if (!texture || width != *textureWidth || height != *textureHeight) {
            if (texture) {
                SDL_DestroyTexture(texture);
            }
            texture = SDL_CreateTexture(renderer, SDL_PIXELFORMAT_RGB565, SDL_TEXTUREACCESS_STREAMING, width, height);
            *textureWidth = width, *textureHeight = height;
            SDL_RenderSetLogicalSize(renderer, width, height);
        }
        if (texture) {
            SDL_UpdateTexture(texture, nullptr, pixels, stride);
        }
    });
    *textureHandle = texture;
    SDL_RenderClear(renderer);
    if (texture) {
        SDL_RenderCopy(renderer, texture, nullptr, nullptr);
    }
    SDL_RenderPresent(renderer);
}

}  // namespace ce::screen
