// Puts the screen together: the visible top-level windows' backing surfaces in z-order, the task bar
// at the top, the soft-key bar of the foreground window at the bottom (an empty bar when it has none),
// the input panel when it is up, popup menus over them, and the wait cursor over everything while it
// is set and shown.
#pragma once

#include "ce/user.h"

namespace ce::detail {

class CE_API ScreenComposer {
public:
    static void Compose(HDC screen);
};

}  // namespace ce::detail
