// Scrolling the markup view on a Pocket PC window: a scroll of 5, 20 (one key press) and 60 pixels
// that slides over the strip the view paints once, beside one full repaint of the view. Repainting at
// every 5-pixel step costs one such repaint a step: 1, 4 and 12 of them for the three distances.
#include <benchmark/benchmark.h>

#include <string>

#include "Framework/ControlHostWindow.h"
#include "SideBySide.h"
#include "UserInterface/CDlgHTMLControl.h"

namespace {

using framework::test::ControlHostWindow;
using framework::test::WindowDevice;
using UserInterface::CDlgControl;
using UserInterface::CDlgHTMLControl;
using UserInterface::CDlgScrollable;

constexpr int kWidth = 240;
constexpr int kHeight = 268;

// Notes of a program update, many screens long.
std::u16string Notes() {
    std::u16string text;
    for (int i = 0; i < 40; ++i) {
        text += u"<b>Change</b> the forecast shows <i>more days</i>, and www.example.com has the details.\n";
    }
    return text;
}

struct MarkupScreen {
    bool Open() {
        if (!host.Open(kWidth, kHeight) ||
            !view.Create(Notes().c_str(), 1, CDlgControl::kVisible | CDlgControl::kBorder |
                                                 CDlgHTMLControl::kBlitScrolling, kWidth, kHeight)) {
            return false;
        }
        host.Add(&view);
        view.Move(0, 0, kWidth, kHeight, FALSE);
        host.Redraw(FALSE);
        WindowDevice::Pump();
        return view.GetContentHeight() > 2 * kHeight;
    }

    WindowDevice device;
    ControlHostWindow host;
    CDlgHTMLControl view;
};

void MarkupSlideBesideRepaint(benchmark::State& state) {
    MarkupScreen screen;
    if (!screen.Open()) {
        state.SkipWithError("the markup view did not open");
        return;
    }
    const int distance = static_cast<int>(state.range(0));
    bool down = true;
    bench::SideBySide(
        state,
        [&] {
            const int before = screen.view.GetScrollOffset();
            screen.view.OnScroll(down ? CDlgScrollable::kMoveUp : CDlgScrollable::kMoveDown, distance);
            down = !down;
            return screen.view.GetScrollOffset() != before;
        },
        [&] { return screen.view.Redraw(nullptr) != FALSE; });
}
BENCHMARK(MarkupSlideBesideRepaint)
    ->ArgName("pixels")
    ->Arg(5)
    ->Arg(20)
    ->Arg(60)
    ->UseManualTime()
    ->Unit(benchmark::kMicrosecond);

}  // namespace
