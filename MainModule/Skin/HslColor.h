// The colour arithmetic of the skin and the screens that shade with the device's theme: RGB to hue,
// saturation and lightness and back, each part from 0 to 1.
#pragma once

#include "ce/gdi.h"

struct HslColor {
    double hue = 0;
    double saturation = 0;
    double lightness = 0;
};

HslColor RgbToHsl(COLORREF color);
// Each channel truncated to a byte.
COLORREF HslToRgb(const HslColor& color);
// The same with the three parts given as bytes (0-255), as the skin's colour tables give them.
COLORREF HslBytesToRgb(BYTE hue, BYTE saturation, BYTE lightness);
// A part from 0 to 1 as a byte, truncated.
BYTE HslPartToByte(double part);
