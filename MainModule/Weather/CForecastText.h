// The localized texts of forecast values: looked up by key in the process's language texts, with
// the English text as the fallback where no language file has one.
#pragma once

#include "ce/types.h"

class CForecastText {
public:
    // false for a null buffer or a size below 1.
    static bool Get(const char* key, LPCWSTR english, LPWSTR buffer, int size);

    // Compass letters of a direction in whole degrees (taken modulo 360): within 20 degrees of a
    // cardinal point that point, within 21 to 60 past it the point between, beyond that the next point.
    // false when the buffer is null or has fewer than 3 characters, or the direction is -1.
    static bool WindFromDegrees(int degrees, LPWSTR buffer, int size);
    // N or S, then E or W, as the cardinal text (such as NNE) contains them.
    static bool WindFromCardinal(LPCWSTR cardinal, LPWSTR buffer, int size);
    // Low, moderate, high, very high or extreme; false for -1 or a null buffer.
    static bool UvIndexCategory(int uvIndex, LPWSTR buffer, int size);

private:
    static bool AppendLetter(const char* key, LPCWSTR english, LPWSTR buffer, int& length);
};
