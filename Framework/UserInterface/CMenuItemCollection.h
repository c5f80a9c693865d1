// The entries of one popup menu, in order; the collection owns copies of what it is given.
#pragma once

#include <vector>

#include "UserInterface/CMenuItem.h"

namespace UserInterface {

class CMenuItemCollection {
public:
    CMenuItemCollection() = default;
    CMenuItemCollection(const CMenuItemCollection& other) = default;
    CMenuItemCollection& operator=(const CMenuItemCollection& other) = default;
    virtual ~CMenuItemCollection() = default;

    // A copy at the end; false for null.
    bool Append(const CMenuItem* item);
    // The first item with the command id; null when none.
    const CMenuItem* FindItem(int id) const;
    void RemoveAll() { m_items.clear(); }
    void Assign(const CMenuItemCollection& other) { m_items = other.m_items; }

    int GetCount() const { return static_cast<int>(m_items.size()); }
    const CMenuItem& GetAt(int index) const { return m_items[static_cast<size_t>(index)]; }

private:
    std::vector<CMenuItem> m_items;
};

}  // namespace UserInterface
