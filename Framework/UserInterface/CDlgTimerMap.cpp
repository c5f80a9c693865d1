#include "UserInterface/CDlgTimerMap.h"

namespace UserInterface {

CDlgTimerMap::~CDlgTimerMap() { RemoveAll(); }

bool CDlgTimerMap::Set(UINT_PTR id, CTimerObject* object) {
    if (object == nullptr) {
        return false;
    }
    auto& slot = m_objects[id];
    if (slot.get() != object) {
        slot.reset(object);
    }
    return true;
}

CDlgTimerMap::CTimerObject* CDlgTimerMap::Get(UINT_PTR id) const {
    auto it = m_objects.find(id);
    return it != m_objects.end() ? it->second.get() : nullptr;
}

bool CDlgTimerMap::Remove(UINT_PTR id) { return m_objects.erase(id) != 0; }

void CDlgTimerMap::RemoveAll() { m_objects.clear(); }

}  // namespace UserInterface
