// Menus and their items; menu templates.
#include <cstring>
#include <map>
#include <mutex>

#include "ce/kernel.h"
#include "user/Menu.h"

using namespace ce::detail;

namespace ce::detail {
namespace {

std::map<HMENU, std::shared_ptr<Menu>>& Menus() {
    static auto* menus = new std::map<HMENU, std::shared_ptr<Menu>>;
    return *menus;
}

uintptr_t& NextMenu() {
    static uintptr_t next = 0x2000;
    return next;
}

}  // namespace

MenuTable& MenuTable::Instance() {
    static auto* table = new MenuTable;
    return *table;
}

HMENU MenuTable::Create(bool popup) {
    std::lock_guard guard(lock_);
    auto menu = std::make_shared<Menu>();
    menu->popup = popup;
    HMENU handle = reinterpret_cast<HMENU>(NextMenu());
    NextMenu() += 4;
    Menus()[handle] = menu;
    return handle;
}

std::shared_ptr<Menu> MenuTable::Find(HMENU menu) {
    auto it = Menus().find(menu);
    return it == Menus().end() ? nullptr : it->second;
}

bool MenuTable::Get(HMENU menu, Menu* out) {
    std::lock_guard guard(lock_);
    auto found = Find(menu);
    if (!found) {
        return false;
    }
    *out = *found;
    return true;
}

bool MenuTable::Destroy(HMENU menu) {
    std::vector<HMENU> subMenus;
    {
        std::lock_guard guard(lock_);
        auto it = Menus().find(menu);
        if (it == Menus().end()) {
            return false;
        }
        for (const MenuItem& item : it->second->items) {
            if (item.subMenu) {
                subMenus.push_back(item.subMenu);
            }
        }
        Menus().erase(it);
    }
    for (HMENU sub : subMenus) {
        Destroy(sub);
    }
    return true;
}

bool MenuTable::Locate(HMENU menu, UINT item, UINT flags, Place* out) {
    auto found = Find(menu);
    if (!found) {
        return false;
    }
    if (flags & MF_BYPOSITION) {
        if (item >= found->items.size()) {
            return false;
        }
        *out = Place{found, item};
        return true;
    }
    for (size_t i = 0; i < found->items.size(); ++i) {
        const MenuItem& each = found->items[i];
        if (!(each.flags & MF_POPUP) && each.id == item) {
            *out = Place{found, i};
            return true;
        }
        if (each.subMenu && Locate(each.subMenu, item, flags, out)) {
            return true;
        }
    }
    return false;
}

// A menu template: a header (version, offset), then items, each a WORD of flags (MF_POPUP, MF_END on
// the last of a level), a WORD id unless it opens a sub-menu, and a terminated text.
namespace {

bool ReadLevel(const BYTE*& p, const BYTE* end, HMENU into, int depth) {
    if (depth > 8) {
        return false;
    }
    for (;;) {
        if (p + 2 > end) {
            return false;
        }
        WORD flags;
        std::memcpy(&flags, p, 2);
        p += 2;
        WORD id = 0;
        if (!(flags & MF_POPUP)) {
            if (p + 2 > end) {
                return false;
            }
            std::memcpy(&id, p, 2);
            p += 2;
        }
        std::u16string text;
        for (;;) {
            if (p + 2 > end) {
                return false;
            }
            WORD c;
            std::memcpy(&c, p, 2);
            p += 2;
            if (c == 0) {
                break;
            }
            text.push_back(static_cast<char16_t>(c));
        }
        UINT itemFlags = flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED);
        if (flags & MF_POPUP) {
            HMENU sub = CreatePopupMenu();
            if (!ReadLevel(p, end, sub, depth + 1)) {
                DestroyMenu(sub);
                return false;
            }
            AppendMenuW(into, itemFlags | MF_POPUP, reinterpret_cast<UINT_PTR>(sub), text.c_str());
        } else if (id == 0 && text.empty()) {
            AppendMenuW(into, MF_SEPARATOR, 0, nullptr);
        } else {
            AppendMenuW(into, itemFlags, id, text.c_str());
        }
        if (flags & MF_END) {
            return true;
        }
    }
}

}  // namespace

bool MenuTable::Reaches(HMENU menu, HMENU target) {
    if (menu == target) {
        return true;
    }
    auto found = Find(menu);
    if (!found) {
        return false;
    }
    for (const MenuItem& item : found->items) {
        if (item.subMenu && Reaches(item.subMenu, target)) {
            return true;
        }
    }
    return false;
}

HMENU MenuFromTemplate(const void* data, size_t size) {
    if (data == nullptr || size < 4) {
        return nullptr;
    }
    const BYTE* base = static_cast<const BYTE*>(data);
    WORD offset;
    std::memcpy(&offset, base + 2, 2);
    const BYTE* p = base + 4 + offset;
    HMENU menu = CreateMenu();
    if (!ReadLevel(p, base + size, menu, 0)) {
        DestroyMenu(menu);
        return nullptr;
    }
    return menu;
}

}  // namespace ce::detail

extern "C" {

CE_API HMENU CreateMenu(void) { return MenuTable::Instance().Create(false); }
CE_API HMENU CreatePopupMenu(void) { return MenuTable::Instance().Create(true); }

CE_API BOOL DestroyMenu(HMENU menu) {
    if (!MenuTable::Instance().Destroy(menu)) {
        SetLastError(ERROR_INVALID_MENU_HANDLE);
        return FALSE;
    }
    return TRUE;
}

CE_API BOOL IsMenu(HMENU menu) {
    std::lock_guard guard(MenuTable::Instance().Lock());
    return MenuTable::Instance().Find(menu) ? TRUE : FALSE;
}

CE_API BOOL InsertMenuW(HMENU menu, UINT position, UINT flags, UINT_PTR idOrPopup, LPCWSTR text) {
    MenuTable& table = MenuTable::Instance();
    std::lock_guard guard(table.Lock());
    auto found = table.Find(menu);
    if (!found) {
        SetLastError(ERROR_INVALID_MENU_HANDLE);
        return FALSE;
    }
    MenuItem item;
    item.flags = flags & (MF_GRAYED | MF_DISABLED | MF_CHECKED | MF_POPUP | MF_SEPARATOR);
    if (flags & MF_POPUP) {
        item.subMenu = reinterpret_cast<HMENU>(idOrPopup);
        if (!table.Find(item.subMenu)) {
            SetLastError(ERROR_INVALID_MENU_HANDLE);
            return FALSE;
        }
        // A menu inside itself would make every search through its sub-menus endless.
        if (table.Reaches(item.subMenu, menu)) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
    } else {
        item.id = static_cast<UINT>(idOrPopup);
    }
    if (text && !(flags & MF_SEPARATOR)) {
        item.text = text;
    }
    size_t index = found->items.size();
    if (position != static_cast<UINT>(-1)) {
        if (flags & MF_BYPOSITION) {
            index = std::min<size_t>(position, found->items.size());
        } else {
            for (size_t i = 0; i < found->items.size(); ++i) {
                if (found->items[i].id == position && !(found->items[i].flags & MF_POPUP)) {
                    index = i;
                    break;
                }
            }
        }
    }
    found->items.insert(found->items.begin() + static_cast<long>(index), item);
    return TRUE;
}

CE_API BOOL AppendMenuW(HMENU menu, UINT flags, UINT_PTR idOrPopup, LPCWSTR text) {
    return InsertMenuW(menu, static_cast<UINT>(-1), flags | MF_BYPOSITION, idOrPopup, text);
}

CE_API BOOL RemoveMenu(HMENU menu, UINT position, UINT flags) {
    MenuTable& table = MenuTable::Instance();
    std::lock_guard guard(table.Lock());
    MenuTable::Place place;
    if (!table.Locate(menu, position, flags, &place)) {
        return FALSE;
    }
    place.menu->items.erase(place.menu->items.begin() + static_cast<long>(place.index));
    return TRUE;
}

CE_API BOOL DeleteMenu(HMENU menu, UINT position, UINT flags) {
    HMENU sub = nullptr;
    {
        MenuTable& table = MenuTable::Instance();
        std::lock_guard guard(table.Lock());
        MenuTable::Place place;
        if (!table.Locate(menu, position, flags, &place)) {
            return FALSE;
        }
        sub = place.menu->items[place.index].subMenu;
        place.menu->items.erase(place.menu->items.begin() + static_cast<long>(place.index));
    }
    if (sub) {
        DestroyMenu(sub);
    }
    return TRUE;
}

CE_API int GetMenuItemCount(HMENU menu) {
    std::lock_guard guard(MenuTable::Instance().Lock());
    auto found = MenuTable::Instance().Find(menu);
    return found ? static_cast<int>(found->items.size()) : -1;
}

CE_API UINT GetMenuItemID(HMENU menu, int position) {
    std::lock_guard guard(MenuTable::Instance().Lock());
    auto found = MenuTable::Instance().Find(menu);
    if (!found || position < 0 || static_cast<size_t>(position) >= found->items.size() ||
        found->items[static_cast<size_t>(position)].subMenu) {
        return static_cast<UINT>(-1);
    }
    return found->items[static_cast<size_t>(position)].id;
}

CE_API UINT GetMenuState(HMENU menu, UINT item, UINT flags) {
    MenuTable& table = MenuTable::Instance();
    std::lock_guard guard(table.Lock());
    MenuTable::Place place;
    if (!table.Locate(menu, item, flags, &place)) {
        return static_cast<UINT>(-1);
    }
    return place.menu->items[place.index].flags;
}

CE_API int GetMenuStringW(HMENU menu, UINT item, LPWSTR buffer, int size, UINT flags) {
    MenuTable& table = MenuTable::Instance();
    std::lock_guard guard(table.Lock());
    MenuTable::Place place;
    if (!table.Locate(menu, item, flags, &place)) {
        return 0;
    }
    const std::u16string& text = place.menu->items[place.index].text;
    if (buffer == nullptr || size <= 0) {
        return static_cast<int>(text.size());
    }
    lstrcpynW(buffer, text.c_str(), size);
    return lstrlenW(buffer);
}

CE_API HMENU GetSubMenu(HMENU menu, int position) {
    std::lock_guard guard(MenuTable::Instance().Lock());
    auto found = MenuTable::Instance().Find(menu);
    if (!found || position < 0 || static_cast<size_t>(position) >= found->items.size()) {
        return nullptr;
    }
    return found->items[static_cast<size_t>(position)].subMenu;
}

CE_API DWORD CheckMenuItem(HMENU menu, UINT item, UINT check) {
    MenuTable& table = MenuTable::Instance();
    std::lock_guard guard(table.Lock());
    MenuTable::Place place;
    if (!table.Locate(menu, item, check, &place)) {
        return static_cast<DWORD>(-1);
    }
    UINT& flags = place.menu->items[place.index].flags;
    DWORD old = flags & MF_CHECKED;
    flags = (flags & ~MF_CHECKED) | (check & MF_CHECKED);
    return old;
}

CE_API BOOL EnableMenuItem(HMENU menu, UINT item, UINT enable) {
    MenuTable& table = MenuTable::Instance();
    std::lock_guard guard(table.Lock());
    MenuTable::Place place;
    if (!table.Locate(menu, item, enable, &place)) {
        return -1;
    }
    UINT& flags = place.menu->items[place.index].flags;
    BOOL old = static_cast<BOOL>(flags & (MF_GRAYED | MF_DISABLED));
    flags = (flags & ~(MF_GRAYED | MF_DISABLED)) | (enable & (MF_GRAYED | MF_DISABLED));
    return old;
}

CE_API HMENU LoadMenuW(HINSTANCE instance, LPCWSTR name) {
    HRSRC resource = FindResourceW(instance, name, RT_MENU);
    if (!resource) {
        return nullptr;
    }
    HGLOBAL data = LoadResource(instance, resource);
    return MenuFromTemplate(LockResource(data), SizeofResource(instance, resource));
}

}  // extern "C"
