// The objects that a control's timers drive, by timer id; the map owns them.
#pragma once

#include <map>
#include <memory>

#include "ce/types.h"

namespace UserInterface {

class CDlgTimerMap {
public:
    // What a timer drives; deleted through this base.
    class CTimerObject {
    public:
        virtual ~CTimerObject() = default;
    };

    CDlgTimerMap() = default;
    CDlgTimerMap(const CDlgTimerMap&) = delete;
    CDlgTimerMap& operator=(const CDlgTimerMap&) = delete;
    virtual ~CDlgTimerMap();

    // Takes the object; one already kept for the id is deleted. False for a null object.
    bool Set(UINT_PTR id, CTimerObject* object);
    // Null when the id has none.
    CTimerObject* Get(UINT_PTR id) const;
    // Deletes the id's object; false when there is none.
    bool Remove(UINT_PTR id);
    void RemoveAll();
    size_t GetCount() const { return m_objects.size(); }

private:
    std::map<UINT_PTR, std::unique_ptr<CTimerObject>> m_objects;
};

}  // namespace UserInterface
