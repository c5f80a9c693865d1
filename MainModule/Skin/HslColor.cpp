#include "Skin/HslColor.h"

#include <algorithm>

namespace {

// One channel of the inverse: t is the hue moved by a third, wrapped into 0..1.
double HueToChannel(double p, double q, double t) {
    if (t < 0) {
        t += 1;
    }
    if (t >= 1) {
        t -= 1;
    }
    if (t < 1.0 / 6) {
        return p + (q - p) * 6 * t;
    }
    if (t < 0.5) {
        return q;
    }
    if (t < 2.0 / 3) {
        return p + (q - p) * (2.0 / 3 - t) * 6;
    }
    return p;
}

BYTE ChannelToByte(double value) { return static_cast<BYTE>(std::clamp(value, 0.0, 1.0) * 255); }

}  // namespace

// Red is the low byte. The sextant rule keeps the hue of pure red at 1 (a full turn), not 0.
HslColor RgbToHsl(COLORREF color) {
    const double r = GetRValue(color) / 255.0;
    const double g = GetGValue(color) / 255.0;
    const double b = GetBValue(color) / 255.0;
    const double max = std::max({r, g, b});
    const double min = std::min({r, g, b});
    HslColor hsl;
    hsl.lightness = (max + min) / 2;
    const double delta = max - min;
    if (hsl.lightness <= 0 || delta <= 0) {
        return hsl;
    }
    hsl.saturation = hsl.lightness <= 0.5 ? delta / (max + min) : delta / (2 - max - min);
    const double rd = (max - r) / delta;
    const double gd = (max - g) / delta;
    const double bd = (max - b) / delta;
    double sextant;
    if (r == max) {
        sextant = g == min ? 5 + bd : 1 - gd;
    } else if (g == max) {
        sextant = b == min ? 1 + rd : 3 - bd;
    } else {
        sextant = r == min ? 3 + gd : 5 - rd;
    }
    hsl.hue = sextant / 6;
    return hsl;
}

COLORREF HslToRgb(const HslColor& color) {
    const double l = color.lightness;
    const double s = color.saturation;
    if (s <= 0) {
        const BYTE grey = ChannelToByte(l);
        return RGB(grey, grey, grey);
    }
    const double q = l <= 0.5 ? l * (1 + s) : l + s - l * s;
    const double p = 2 * l - q;
    const double h = color.hue - static_cast<int>(color.hue);  // a full turn is red again
    return RGB(ChannelToByte(HueToChannel(p, q, h + 1.0 / 3)), ChannelToByte(HueToChannel(p, q, h)),
               ChannelToByte(HueToChannel(p, q, h - 1.0 / 3)));
}

COLORREF HslBytesToRgb(BYTE hue, BYTE saturation, BYTE lightness) {
    return HslToRgb(HslColor{hue / 255.0, saturation / 255.0, lightness / 255.0});
}

BYTE HslPartToByte(double part) { return ChannelToByte(part); }
