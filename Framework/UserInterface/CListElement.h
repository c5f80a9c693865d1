// One row of a list control: its text, the pictures beside it, the caller's data word, its state
// flags and colours, and the height the list measured for it.
#pragma once

#include <cstdint>
#include <memory>

#include "ce/gdi.h"

class CListElement {
public:
    // Flag bits of a row.
    static constexpr DWORD kDisabled = 0x1;
    static constexpr DWORD kBold = 0x2;

    std::unique_ptr<WCHAR[]> text;
    int leftImage = -1;
    int rightImage = -1;
    intptr_t data = 0;
    DWORD flags = 0;
    COLORREF textColor = 0;
    COLORREF secondColor = 0xFFFFFF;
    int height = 0;
};
