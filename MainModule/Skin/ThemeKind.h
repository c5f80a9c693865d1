// Whether the device's theme is a coloured one: entries 0 to 255 of the theme table are the greys
// (255 the last of them), 256 and up the colours. The skin's tint and background and the graph's
// series colours all follow this one rule.
#pragma once

#include "ce/types.h"

constexpr DWORD kFirstColouredBaseHue = 256;

bool IsColouredTheme();
