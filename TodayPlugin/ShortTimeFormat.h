// The user's time picture without seconds, for the time of a city's last update.
#pragma once

#include <string>

#include "ce/types.h"

class ShortTimeFormat {
public:
    // LOCALE_STIMEFORMAT with every "s" removed, and every separator that stood directly before one.
    static std::u16string GetShortTimeFormat();
    // The same rule on a given picture ("h:mm:ss tt" gives "h:mm tt").
    static std::u16string WithoutSeconds(const std::u16string& picture);
    // A picture without its AM/PM marker and the spaces between it and the time ("h:mm tt" gives
    // "h:mm"); a picture without one stays as it is.
    static std::u16string WithoutMarker(const std::u16string& picture);
};
