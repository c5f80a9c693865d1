// The base of every object that an HGDIOBJ (or an HDC) names, and the process's table of them.
//
// Every GDI call runs under one process-wide recursive lock (GdiLock), so that worker threads may draw
// while the user-interface thread paints. A handle names a shared object; deleting the handle drops the
// table's reference, so an object still selected into a DC lives on there until it is replaced.
#pragma once

#include <cstring>
#include <memory>
#include <mutex>

#include "ce/gdi.h"

namespace ce::gdi {

class GdiObject {
public:
    virtual ~GdiObject() = default;
    virtual DWORD Type() const = 0;
    // Fills the object's description for GetObjectW; returns the bytes written (or needed when
    // buffer is null), 0 when size is too small.
    virtual int Describe(int size, void* buffer) const = 0;

    bool stock = false;  // stock objects are never deleted

protected:
    // GetObjectW's rule for a fixed-size description: its size when buffer is null, 0 when size is
    // too small, else the bytes copied.
    template <class Description>
    static int CopyOut(const Description& description, int size, void* buffer) {
        if (!buffer) {
            return sizeof description;
        }
        if (size < static_cast<int>(sizeof description)) {
            return 0;
        }
        std::memcpy(buffer, &description, sizeof description);
        return sizeof description;
    }
};

std::recursive_mutex& GdiLock();
using GdiGuard = std::lock_guard<std::recursive_mutex>;

HGDIOBJ InsertObject(std::shared_ptr<GdiObject> object);
std::shared_ptr<GdiObject> LookupObject(HGDIOBJ handle);
// Removes the handle; false when it was not in the table or names a stock object.
bool RemoveObject(HGDIOBJ handle);

template <class T>
std::shared_ptr<T> LookupObjectAs(HGDIOBJ handle) {
    return std::dynamic_pointer_cast<T>(LookupObject(handle));
}

}  // namespace ce::gdi
