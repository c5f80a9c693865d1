// Lines one pixel wide, drawn pixel by pixel the way the device does (Bresenham, last point left out),
// so that frames and rules land exactly; dashes run on across the segments of one figure.
#pragma once

#include "gdi/DeviceContext.h"

namespace ce::gdi {

class LinePlotter {
public:
    explicit LinePlotter(const DeviceContext& dc);

    // Draws from (x0, y0) up to but not including (x1, y1), in the DC's coordinates.
    void Segment(int x0, int y0, int x1, int y1);
    // Draws the single point (x, y) (closing a figure, or a line's last point where wanted).
    void Point(int x, int y);

private:
    void Plot(int x, int y);

    const DeviceContext& dc_;
    Region clip_;
    uint32_t color_;
    uint32_t background_;
    bool dashed_;
    bool fillGaps_;
    int dashStep_ = 0;
};

}  // namespace ce::gdi
