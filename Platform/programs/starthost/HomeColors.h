// The Home screen's named colours, as its plug-ins and its scheme ask for them.
#pragma once

#include <string_view>

#include "ce/gdi.h"

class HomeColors {
public:
    // A colour name of the Home screen ("COLOR_HOMETEXT") or "#RRGGBB"; false for anything else.
    static bool Find(std::u16string_view name, COLORREF* color);
    // The screen's background when the scheme names none or names one that is not known.
    static COLORREF DefaultBackground();
};
