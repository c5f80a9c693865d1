// The device screen: captures, injected input, the choice of back end and the desktop window.
#include <gtest/gtest.h>
#include <png.h>
#include <SDL.h>
#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <thread>
#include <vector>

#include "Platform/TempDevice.h"
#include "Platform/Xvfb.h"
#include "ce/device.h"
#include "ce/gdi.h"
#include "screen/InputEvent.h"
#include "screen/Screen.h"
#include "screen/sdl/SdlBackend.h"
#include "screen/WindowPlacement.h"

extern char** environ;

namespace {

using ce::screen::InputEvent;
using ce::screen::InputKind;

struct Png {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;
    uint32_t At(int x, int y) const {
        const uint8_t* p = &rgba[(static_cast<size_t>(y) * width + x) * 4];
        return (p[0] << 16) | (p[1] << 8) | p[2];
    }
};

bool ReadPng(const std::string& path, Png* out) {
    png_image image{};
    image.version = PNG_IMAGE_VERSION;
    if (!png_image_begin_read_from_file(&image, path.c_str())) {
        return false;
    }
    image.format = PNG_FORMAT_RGBA;
    out->width = static_cast<int>(image.width), out->height = static_cast<int>(image.height);
    out->rgba.resize(PNG_IMAGE_SIZE(image));
    return png_image_finish_read(&image, nullptr, out->rgba.data(), 0, nullptr) != 0;
}

std::vector<InputEvent> DrainInput() {
    std::vector<InputEvent> events;
    InputEvent event;
    while (ce::screen::PopInput(&event)) events.push_back(event);
    return events;
}

TEST(ScreenTest, CaptureWritesWhatTheScreenShowsAtItsSize) {
    ce::test::TempDevice device;
    auto& screen = ce::screen::Screen::Instance();
    HDC dc = screen.CreateDC();
    RECT all{0, 0, 240, 320}, corner{200, 300, 240, 320};
    FillRect(dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    HBRUSH red = CreateSolidBrush(RGB(255, 0, 0));
    FillRect(dc, &corner, red);
    DeleteObject(red);
    DeleteDC(dc);
    int composed = 0;
    screen.SetComposer([&] { ++composed; });

    std::string path = device.Root() + "/screen.png";
    ASSERT_TRUE(ce::CaptureScreen(path));
    EXPECT_EQ(composed, 1) << "the windows are composed before the screen is read";
    screen.SetComposer(nullptr);
    Png png;
    ASSERT_TRUE(ReadPng(path, &png));
    EXPECT_EQ(png.width, 240);
    EXPECT_EQ(png.height, 320);
    EXPECT_EQ(png.At(0, 0), 0xFFFFFFu);
    EXPECT_EQ(png.At(239, 319), 0xFF0000u);
    EXPECT_FALSE(std::filesystem::exists(path + ".tmp"));

    EXPECT_FALSE(ce::CaptureScreen(device.Root() + "/missing-folder/screen.png"));
    EXPECT_FALSE(std::filesystem::exists(device.Root() + "/missing-folder"));
}

// The capture is written for speed (no filters, the fastest compression): every pixel must still read
// back as the screen holds it.
TEST(ScreenTest, CaptureHoldsEveryPixelOfTheScreen) {
    ce::test::TempDevice device;
    HDC dc = ce::screen::Screen::Instance().CreateDC();
    for (int y = 0; y < 320; ++y) {
        for (int x = 0; x < 240; ++x) {
            SetPixel(dc, x, y, RGB(x, (y * 7) & 0xFF, (x * y) & 0xFF));
        }
    }
    std::string path = device.Root() + "/pixels.png";
    ASSERT_TRUE(ce::CaptureScreen(path));
    Png png;
    ASSERT_TRUE(ReadPng(path, &png));
    ASSERT_EQ(png.width, 240);
    ASSERT_EQ(png.height, 320);
    int wrong = 0;
    for (int y = 0; y < 320; ++y) {
        for (int x = 0; x < 240; ++x) {
            COLORREF held = GetPixel(dc, x, y);
            uint32_t expected = (GetRValue(held) << 16) | (GetGValue(held) << 8) | GetBValue(held);
            wrong += png.At(x, y) != expected;
        }
    }
    DeleteDC(dc);
    EXPECT_EQ(wrong, 0);
}

TEST(ScreenTest, ScreenFollowsTheProfilesSizeAndOrientation) {
    ce::test::TempDevice device;
    ce::SetProfileString("device", "orientation", "landscape");
    ce::ReloadProfile();
    std::string path = device.Root() + "/landscape.png";
    ASSERT_TRUE(ce::CaptureScreen(path));
    Png png;
    ASSERT_TRUE(ReadPng(path, &png));
    EXPECT_EQ(png.width, 320);
    EXPECT_EQ(png.height, 240);
}

TEST(ScreenTest, InjectedInputArrivesInOrderAndWakesTheListener) {
    DrainInput();
    int wakes = 0;
    ce::screen::SetInputListener([&] { ++wakes; });
    ce::InjectDrag(10, 20, 30, 60, 2);
    ce::InjectKey(0x1B);
    ce::InjectText(u"Hi");
    ce::screen::SetInputListener(nullptr);
    std::vector<InputEvent> events = DrainInput();
    ASSERT_EQ(events.size(), 8u);
    EXPECT_EQ(wakes, 8);
    EXPECT_EQ(events[0].kind, InputKind::StylusDown);
    EXPECT_EQ(events[1].kind, InputKind::StylusMove);
    EXPECT_EQ(events[1].x, 20);
    EXPECT_EQ(events[1].y, 40);
    EXPECT_EQ(events[3].kind, InputKind::StylusUp);
    EXPECT_EQ(events[3].y, 60);
    EXPECT_EQ(events[4].kind, InputKind::KeyDown);
    EXPECT_EQ(events[5].kind, InputKind::KeyUp);
    EXPECT_EQ(events[5].key, 0x1Bu);
    EXPECT_EQ(events[6].ch, u'H');
    EXPECT_EQ(events[7].kind, InputKind::Char);
}

TEST(ScreenTest, DesktopWindowTakesTheLargestWholeScaleThatFitsAndStaysInside) {
    using ce::screen::DesktopRect;
    using ce::screen::PlaceWindow;
    auto same = [](DesktopRect a, DesktopRect b) {
        return a.x == b.x && a.y == b.y && a.width == b.width && a.height == b.height;
    };
    // 2 x 320 is more than 600: scale 1, centred in the area below a 30-pixel panel.
    EXPECT_TRUE(same(PlaceWindow({240, 320}, {0, 30, 800, 570}, 0), {280, 155, 240, 320}));
    EXPECT_TRUE(same(PlaceWindow({240, 320}, {0, 0, 1920, 1080}, 0), {600, 60, 720, 960}));
    EXPECT_TRUE(same(PlaceWindow({320, 240}, {0, 0, 1920, 1080}, 0), {320, 60, 1280, 960})) << "the height limits";
    // Even scale 1 does not fit: shrunk with the screen's proportions, all of it inside.
    EXPECT_TRUE(same(PlaceWindow({480, 640}, {0, 0, 800, 600}, 0), {175, 0, 450, 600}));
    // An asked scale is kept where it fits; an unknown desktop places at the origin.
    EXPECT_TRUE(same(PlaceWindow({240, 320}, {0, 0, 800, 800}, 2), {160, 80, 480, 640}));
    EXPECT_TRUE(same(PlaceWindow({240, 320}, {0, 0, 0, 0}, 0), {0, 0, 240, 320}));
}

// Sets an environment variable for one test and puts the old value back.
class ScopedEnv {
public:
    ScopedEnv(const char* name, const char* value) : name_(name) {
        const char* old = std::getenv(name);
        had_ = old != nullptr;
        if (had_) old_ = old;
        value ? setenv(name, value, 1) : unsetenv(name);
    }
    ~ScopedEnv() { had_ ? setenv(name_, old_.c_str(), 1) : unsetenv(name_); }

private:
    const char* name_;
    bool had_;
    std::string old_;
};

// Runs a check in a child process and gives its exit code: SDL's X and D-Bus libraries leave
// allocations behind at exit, which would fail the leak check of the test process.
template <class Check>
int InChildProcess(Check check) {
    pid_t child = fork();
    if (child == 0) {
        _exit(check());
    }
    int status = 0;
    if (child < 0 || waitpid(child, &status, 0) != child || !WIFEXITED(status)) {
        return -1;
    }
    return WEXITSTATUS(status);
}

TEST(ScreenTest, WindowBackEndFallsBackToHeadlessWithoutADisplay) {
    ScopedEnv display("DISPLAY", ":4242");
    ScopedEnv driver("SDL_VIDEODRIVER", "x11");
    {
        ScopedEnv choice("CE_DISPLAY", "headless");
        EXPECT_EQ(ce::screen::ChooseDisplayBackend([](const ce::screen::FrameVisitor&) {})->Name(), "headless");
    }
    ScopedEnv choice("CE_DISPLAY", "sdl");
    EXPECT_EQ(InChildProcess([] {
                  auto backend = ce::screen::ChooseDisplayBackend([](const ce::screen::FrameVisitor&) {});
                  return backend->Name() == "headless" ? 0 : 1;
              }),
              0);
}

template <class Condition>
bool WaitFor(Condition condition) {
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!condition()) {
        if (std::chrono::steady_clock::now() > deadline) return false;
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    return true;
}

// What the desktop window must do (checked in a child process).
enum WindowCheck { kWindowOk, kWindowDidNotOpen, kNoFirstFrame, kNoFrameAfterPresent, kNoInput, kWrongInput };

WindowCheck CheckWindowBackEnd() {
    std::atomic<int> frames{0};
    ce::screen::SdlBackend window(
        [&](const ce::screen::FrameVisitor& visitor) {
            std::vector<uint16_t> pixels(240 * 320, 0xF800);
            visitor(reinterpret_cast<const uint8_t*>(pixels.data()), 240, 320, 480);
            ++frames;
        },
        2);
    if (!window.Started()) return kWindowDidNotOpen;
    if (!WaitFor([&] { return frames > 0; })) return kNoFirstFrame;
    int before = frames;
    window.Present();
    if (!WaitFor([&] { return frames > before; })) return kNoFrameAfterPresent;

    DrainInput();
    SDL_Event press{};
    press.type = SDL_MOUSEBUTTONDOWN;
    press.button.windowID = window.WindowId();
    press.button.button = SDL_BUTTON_LEFT;
    press.button.state = SDL_PRESSED;
    press.button.x = 100, press.button.y = 60;  // window pixels: the window is twice the screen
    SDL_PushEvent(&press);
    SDL_Event key{};
    key.type = SDL_KEYDOWN;
    key.key.windowID = window.WindowId();
    key.key.keysym.sym = SDLK_F1;  // the left soft key
    SDL_PushEvent(&key);
    std::vector<InputEvent> events;
    bool arrived = WaitFor([&] {
        for (const InputEvent& e : DrainInput()) events.push_back(e);
        return events.size() >= 2;
    });
    if (!arrived) return kNoInput;
    bool right = events[0].kind == InputKind::StylusDown && events[0].x == 50 && events[0].y == 30 &&
                 events[1].kind == InputKind::KeyDown && events[1].key == 0x70u;
    return right ? kWindowOk : kWrongInput;
}

TEST(ScreenTest, WindowBackEndShowsTheScreenAndTurnsMouseAndKeysIntoInput) {
    ce::test::Xvfb server;
    if (!server.Ready()) {
        GTEST_SKIP() << "Xvfb is not installed";
    }
    ce::test::TempDevice device;
    ScopedEnv display("DISPLAY", server.Display().c_str());
    ScopedEnv driver("SDL_VIDEODRIVER", "x11");
    EXPECT_EQ(InChildProcess(CheckWindowBackEnd), kWindowOk);
}

}  // namespace
