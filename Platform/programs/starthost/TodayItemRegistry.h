// The Today items registered on the device: HKEY_LOCAL_MACHINE "Software\Microsoft\Today\Items\<name>".
#pragma once

#include <string>
#include <vector>

#include "ce/shell.h"

struct TodayItemEntry {
    std::u16string name;
    std::u16string dll;
    DWORD type = 0;
    DWORD order = 0;
    bool enabled = false;
    bool options = false;
    DWORD selectability = 0;  // 0 none, 1 the screen selects it, 2 the item takes part in selection
};

class TodayItemRegistry {
public:
    // The enabled custom items (type tlitCustom with a library), by their order and then their name.
    static std::vector<TodayItemEntry> ReadEnabledCustomItems();
};
