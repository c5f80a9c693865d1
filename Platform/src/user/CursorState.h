// The process's cursor: the one set and the display count. The device has no mouse, so the count
// starts at -1 and a cursor is seen only once it is shown (count 0 or more). The screen draws the wait
// cursor over everything, in the middle of the screen, while it is set and shown.
#pragma once

#include "ce/user.h"

namespace ce::detail {

class CE_API CursorState {
public:
    // The cursor set before.
    static HCURSOR Set(HCURSOR cursor);
    static HCURSOR Current();
    // Raises or lowers the display count; the new count.
    static int Show(bool show);
    static bool WaitCursorSeen();
    // Draws the wait cursor onto the composed screen when it is seen.
    static void Draw(HDC screen);
};

}  // namespace ce::detail
