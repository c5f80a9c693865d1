// Menus: the process's table of HMENU objects and their items.
#pragma once

#include <memory>
#include <mutex>
#include <string>
#include <vector>

#include "ce/user.h"

namespace ce::detail {

struct MenuItem {
    UINT flags = 0;  // MF_GRAYED, MF_DISABLED, MF_CHECKED, MF_POPUP, MF_SEPARATOR
    UINT id = 0;
    HMENU subMenu = nullptr;
    std::u16string text;

    bool Selectable() const { return !(flags & (MF_GRAYED | MF_DISABLED | MF_SEPARATOR)); }
};

struct Menu {
    bool popup = false;
    std::vector<MenuItem> items;
};

class MenuTable {
public:
    static MenuTable& Instance();

    HMENU Create(bool popup);
    // A copy of the menu, or nothing when the handle names no menu.
    bool Get(HMENU menu, Menu* out);
    std::shared_ptr<Menu> Find(HMENU menu);
    bool Destroy(HMENU menu);

    // The position of an item named by command (searching sub-menus) or by position.
    struct Place {
        std::shared_ptr<Menu> menu;
        size_t index = 0;
    };
    bool Locate(HMENU menu, UINT item, UINT flags, Place* out);
    // Whether target is the menu or lies among its sub-menus at any depth (the lock held).
    bool Reaches(HMENU menu, HMENU target);

    std::mutex& Lock() { return lock_; }

private:
    std::mutex lock_;
};

// Reads a menu template (RT_MENU) into a new menu; null when it is damaged.
HMENU MenuFromTemplate(const void* data, size_t size);

}  // namespace ce::detail
