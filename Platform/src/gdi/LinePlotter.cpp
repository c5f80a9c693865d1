#include "gdi/LinePlotter.h"

#include <cstdlib>

namespace ce::gdi {
namespace {

constexpr int kDashOn = 6;
constexpr int kDashPeriod = 9;

}  // namespace

LinePlotter::LinePlotter(const DeviceContext& dc)
    : dc_(dc),
      clip_(dc.EffectiveClip()),
      color_(dc.bitmap->ToNative(dc.pen->color)),
      background_(dc.bitmap->ToNative(dc.bkColor)),
      dashed_(dc.pen->style == PS_DASH),
      fillGaps_(dc.bkMode == OPAQUE) {}

void LinePlotter::Plot(int x, int y) {
    int bx = dc_.ToBitmapX(x), by = dc_.ToBitmapY(y);
    bool on = !dashed_ || dashStep_ % kDashPeriod < kDashOn;
    ++dashStep_;
    if ((on || fillGaps_) && clip_.Contains(bx, by)) {
        dc_.bitmap->WriteRaw(bx, by, on ? color_ : background_);
    }
}

void LinePlotter::Segment(int x0, int y0, int x1, int y1) {
    int dx = std::abs(x1 - x0), dy = -std::abs(y1 - y0);
    int sx = x0 < x1 ? 1 : -1, sy = y0 < y1 ? 1 : -1;
    int error = dx + dy;
    while (x0 != x1 || y0 != y1) {
        Plot(x0, y0);
        int twice = 2 * error;
        if (twice >= dy) {
            error += dy, x0 += sx;
        }
        if (twice <= dx) {
            error += dx, y0 += sy;
        }
    }
}

void LinePlotter::Point(int x, int y) { Plot(x, y); }

}  // namespace ce::gdi
