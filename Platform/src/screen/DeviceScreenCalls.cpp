// The screen's part of device.h: the back end's name, captures and injected input.
#include "ce/device.h"
#include "screen/InputEvent.h"
#include "screen/Screen.h"

namespace ce {
namespace {

void PushStylus(screen::InputKind kind, int x, int y) {
    screen::InputEvent event;
    event.kind = kind;
    event.x = x, event.y = y;
    screen::PushInput(event);
}

void PushKey(screen::InputKind kind, UINT key) {
    screen::InputEvent event;
    event.kind = kind;
    event.key = key;
    screen::PushInput(event);
}

}  // namespace

std::string DisplayBackendName() { return screen::Screen::Instance().BackendName(); }

bool CaptureScreen(const std::string& path) { return screen::Screen::Instance().Capture(path); }

void InjectStylusDown(int x, int y) { PushStylus(screen::InputKind::StylusDown, x, y); }
void InjectStylusMove(int x, int y) { PushStylus(screen::InputKind::StylusMove, x, y); }
void InjectStylusUp(int x, int y) { PushStylus(screen::InputKind::StylusUp, x, y); }

void InjectTap(int x, int y) {
    InjectStylusDown(x, y);
    InjectStylusUp(x, y);
}

void InjectDrag(int x0, int y0, int x1, int y1, int steps) {
    InjectStylusDown(x0, y0);
    for (int i = 1; i <= steps; ++i) {
        InjectStylusMove(x0 + (x1 - x0) * i / steps, y0 + (y1 - y0) * i / steps);
    }
    InjectStylusUp(x1, y1);
}

void InjectKey(UINT virtualKey) {
    PushKey(screen::InputKind::KeyDown, virtualKey);
    PushKey(screen::InputKind::KeyUp, virtualKey);
}

void InjectText(std::u16string_view text) {
    for (char16_t unit : text) {
        screen::InputEvent event;
        event.kind = screen::InputKind::Char;
        event.ch = unit;
        screen::PushInput(event);
    }
}

}  // namespace ce
