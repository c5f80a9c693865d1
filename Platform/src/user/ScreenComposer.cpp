#include "user/ScreenComposer.h"

#include <algorithm>
#include <optional>
#include <vector>

#include "ce/device.h"
#include "screen/Screen.h"
#include "shell/ShellState.h"
#include "user/CursorState.h"
#include "user/InputPanel.h"
#include "user/ScreenLayout.h"
#include "user/TaskBar.h"
#include "user/UserInternal.h"

namespace ce::detail {
namespace {

struct Layer {
    HBITMAP surface;
    RECT rect;
};

void Blit(HDC screen, const Layer& layer) {
    HDC source = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(source, layer.surface);
    BitBlt(screen, layer.rect.left, layer.rect.top, layer.rect.right - layer.rect.left,
           layer.rect.bottom - layer.rect.top, source, 0, 0, SRCCOPY);
    SelectObject(source, old);
    DeleteDC(source);
}

void DrawEmptyBar(HDC screen) {
    RECT bar = ScreenLayout::MenuBar();
    COLORREF theme = static_cast<COLORREF>(ce::ProfileInt("device", "theme_color", 0x6B9ABD)) & 0xFFFFFF;
    HBRUSH brush = CreateSolidBrush(theme);
    FillRect(screen, &bar, brush);
    DeleteObject(brush);
}

}  // namespace

void ScreenComposer::Compose(HDC screen) {
    std::vector<Layer> windows, popups;
    std::optional<Layer> barLayer;
    HWND foreground = nullptr;
    HWND bar = nullptr;
    bool barAreaCovered = false;
    {
        WmLock guard(Wm().Lock());
        foreground = Wm().foreground;
        bar = foreground ? MenuBarOf(foreground) : nullptr;
        if (auto front = foreground ? Wm().Find(foreground) : nullptr; front && front->IsVisibleFlag()) {
            barAreaCovered = front->rect.bottom > ScreenLayout::MenuBar().top;
        }
        auto& order = Wm().TopLevels();
        for (auto it = order.rbegin(); it != order.rend(); ++it) {
            auto w = Wm().Find(*it);
            if (!w || !w->IsVisibleFlag() || w->destroying) {
                continue;
            }
            if (!w->surface) {
                EnsureSurface(*it);
            }
            if (!w->surface) {
                continue;
            }
            if (w->layer == WindowLayer::Normal) {
                windows.push_back(Layer{w->surface, w->rect});
            } else if (w->layer == WindowLayer::PopupMenu) {
                popups.push_back(Layer{w->surface, w->rect});
            } else if (*it == bar) {
                barLayer = Layer{w->surface, w->rect};
            }
        }
    }
    RECT full = ScreenLayout::FullScreen();
    FillRect(screen, &full, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    for (const Layer& layer : windows) {
        Blit(screen, layer);
    }
    if (TaskBar::Shown(foreground)) {
        TaskBar::Draw(screen, foreground);
    }
    // A foreground window that reaches over the bar's place (full screen, its bar hidden) is seen there.
    if (barLayer) {
        Blit(screen, *barLayer);
    } else if (!barAreaCovered) {
        DrawEmptyBar(screen);
    }
    if (ShellState::InputPanelUp()) {
        InputPanel::Draw(screen);
    }
    for (const Layer& layer : popups) {
        Blit(screen, layer);
    }
    CursorState::Draw(screen);
}

namespace {

void ComposeOntoScreen() {
    HDC dc = ce::screen::Screen::Instance().CreateDC();
    ScreenComposer::Compose(dc);
    DeleteDC(dc);
}

}  // namespace

// Captures compose the screen first; a back end that shows the screen gets it again after every change.
void StartScreen() {
    ce::screen::Screen& screen = ce::screen::Screen::Instance();
    screen.SetComposer(ComposeOntoScreen);
    if (screen.BackendName() != "headless") {
        Wm().SetScreenListener([] {
            ComposeOntoScreen();
            ce::screen::Screen::Instance().Present();
        });
        Wm().MarkScreenChanged();
    }
}

bool WriteScreenPng(const std::string& hostPath) { return ce::CaptureScreen(hostPath); }

}  // namespace ce::detail
