// The input panel stand-in: a small keyboard above the soft-key bar. It draws its keys with their
// characters, and a tap on a key types that key into the focused field of the foreground program.
#pragma once

#include "ce/user.h"

namespace ce::detail {

class InputPanel {
public:
    // What a key types: a character, or (for the backspace key) the virtual key VK_BACK.
    struct Key {
        char16_t character = 0;
        UINT virtualKey = 0;
    };

    static void Draw(HDC screen);
    // Whether the panel is up and the screen point lies on it.
    static bool Covers(POINT screen);
    // The key under a screen point on the panel; false between keys.
    static bool KeyAt(POINT screen, Key* key);

private:
    static RECT KeyRect(int row, int column);
    static Key KeyOf(int row, int column);
};

}  // namespace ce::detail
