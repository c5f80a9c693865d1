// The cursor's display count, beside the cursor calls of user.h: a cursor is seen while the count is 0
// or more. The device has no mouse, so the count starts at -1; the screen draws the wait cursor while
// it is set and seen.
#pragma once

#include "ce/types.h"

extern "C" {

// Raises the count when show is TRUE, else lowers it; the new count.
CE_API int ShowCursor(BOOL show);
}
