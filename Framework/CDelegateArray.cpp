#include "CDelegateArray.h"

#include <algorithm>

CDelegateArray::CDelegateArray(const CDelegateArray& other) {
    std::lock_guard<std::recursive_mutex> guard(other.m_lock);
    m_delegates = other.m_delegates;
}

CDelegateArray& CDelegateArray::operator=(const CDelegateArray& other) {
    if (this != &other) {
        std::scoped_lock guard(m_lock, other.m_lock);
        m_delegates = other.m_delegates;
    }
    return *this;
}

int CDelegateArray::Add(const CDelegate* delegate) {
    if (delegate == nullptr) {
        return 0;
    }
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    m_delegates.push_back(*delegate);
    return 1;
}

int CDelegateArray::Remove(const CDelegate* delegate) {
    if (delegate == nullptr || !delegate->IsSet()) {
        return 0;
    }
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    auto found = std::find_if(m_delegates.begin(), m_delegates.end(),
                              [delegate](const CDelegate& d) { return d.IsSameListener(*delegate); });
    if (found == m_delegates.end()) {
        return 0;
    }
    const size_t removed = static_cast<size_t>(found - m_delegates.begin());
    m_delegates.erase(found);
    // Runs in progress on this thread skip past the gap.
    for (Cursor* cursor : m_cursors) {
        if (removed < cursor->end) {
            --cursor->end;
        }
        if (removed < cursor->next) {
            --cursor->next;
        }
    }
    return 1;
}

int CDelegateArray::GetCount() const {
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    return static_cast<int>(m_delegates.size());
}

int CDelegateArray::InvokeAt(int index, INT_PTR a1, INT_PTR a2, INT_PTR a3, INT_PTR a4, INT_PTR a5) const {
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    if (index < 0 || static_cast<size_t>(index) >= m_delegates.size()) {
        return 0;
    }
    // A copy: the listener may remove itself while it runs.
    const CDelegate delegate = m_delegates[static_cast<size_t>(index)];
    return delegate.Invoke(a1, a2, a3, a4, a5);
}

void CDelegateArray::InvokeAll(INT_PTR a1, INT_PTR a2, INT_PTR a3, INT_PTR a4, INT_PTR a5) const {
    Run(a1, a2, a3, a4, [a5](bool) { return a5; });
}

void CDelegateArray::InvokeAllMarkingLast(INT_PTR a1, INT_PTR a2, INT_PTR a3, INT_PTR a4) const {
    Run(a1, a2, a3, a4, [](bool last) -> INT_PTR { return last ? 1 : 0; });
}

void CDelegateArray::Run(INT_PTR a1, INT_PTR a2, INT_PTR a3, INT_PTR a4,
                         const std::function<INT_PTR(bool last)>& fifth) const {
    std::lock_guard<std::recursive_mutex> guard(m_lock);
    Cursor cursor{0, m_delegates.size()};
    m_cursors.push_back(&cursor);
    // Unregisters the cursor even when a listener throws.
    struct Unregister {
        std::vector<Cursor*>& cursors;
        Cursor* cursor;
        ~Unregister() { cursors.erase(std::find(cursors.begin(), cursors.end(), cursor)); }
    } unregister{m_cursors, &cursor};
    while (cursor.next < cursor.end) {
        const CDelegate delegate = m_delegates[cursor.next++];
        delegate.Invoke(a1, a2, a3, a4, fifth(cursor.next == cursor.end));
    }
}
