// A byte count as the screens show it: a number and the localization key of its unit. Below 1024 bytes
// the count itself ("IDS_BYTE"), below 1048576 in kilobytes ("IDS_KBYTE"), else in megabytes
// ("IDS_MBYTE") counted from whole kilobytes.
#pragma once

#include <string>

#include "ce/types.h"

struct ByteSizeText {
    double value = 0;
    const char* unitKey = "IDS_BYTE";
};

ByteSizeText DescribeByteSize(ULONGLONG bytes);

// The number of a size as the language files' templates take it (a text): a byte count is whole,
// kilo- and megabytes keep `decimals` places.
std::u16string ByteSizeNumber(const ByteSizeText& size, int decimals);
