// An ordered list of listeners, called one after the other with the same arguments.
//
// Listeners come and go while workers invoke the list, so every operation holds one recursive lock:
// Remove returns only after an in-flight call has finished, and a listener may add or remove
// listeners (itself included) from inside a call. A listener removed during a run is not called
// later in that run; one added during a run is first called in the next.
#pragma once

#include <functional>
#include <mutex>
#include <vector>

#include "CDelegate.h"

class CDelegateArray {
public:
    CDelegateArray() = default;
    CDelegateArray(const CDelegateArray& other);
    CDelegateArray& operator=(const CDelegateArray& other);
    virtual ~CDelegateArray() = default;

    // Appends a copy; 0 for a null pointer.
    int Add(const CDelegate* delegate);
    // Removes the first element with the same function and context; 1 when one was removed.
    int Remove(const CDelegate* delegate);
    int GetCount() const;
    int InvokeAt(int index, INT_PTR a1 = 0, INT_PTR a2 = 0, INT_PTR a3 = 0, INT_PTR a4 = 0, INT_PTR a5 = 0) const;
    void InvokeAll(INT_PTR a1 = 0, INT_PTR a2 = 0, INT_PTR a3 = 0, INT_PTR a4 = 0, INT_PTR a5 = 0) const;
    // Like InvokeAll, with a fifth argument of 1 for the last listener called in the run and 0 for the
    // ones before it, however the list changes during the run.
    void InvokeAllMarkingLast(INT_PTR a1, INT_PTR a2, INT_PTR a3, INT_PTR a4) const;

private:
    // Position of one running InvokeAll: the next element to call and the end of the run.
    struct Cursor {
        size_t next;
        size_t end;
    };

    void Run(INT_PTR a1, INT_PTR a2, INT_PTR a3, INT_PTR a4, const std::function<INT_PTR(bool last)>& fifth) const;

    mutable std::recursive_mutex m_lock;
    std::vector<CDelegate> m_delegates;
    mutable std::vector<Cursor*> m_cursors;
};
