#include "UserInterface/CMenuItemCollection.h"

namespace UserInterface {

bool CMenuItemCollection::Append(const CMenuItem* item) {
    if (item == nullptr) {
        return false;
    }
    m_items.push_back(*item);
    return true;
}

const CMenuItem* CMenuItemCollection::FindItem(int id) const {
    for (const CMenuItem& item : m_items) {
        if (item.GetCommand() == id) {
            return &item;
        }
    }
    return nullptr;
}

}  // namespace UserInterface
