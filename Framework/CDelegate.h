// The one callback type of the system: a function with a context word, called with five arguments.
#pragma once

#include "ce/types.h"

// Arguments and context are pointer-sized: they often carry objects.
typedef int (*DelegateFunction)(INT_PTR a1, INT_PTR a2, INT_PTR a3, INT_PTR a4, INT_PTR a5, INT_PTR context);

class CDelegate {
public:
    CDelegate() = default;
    CDelegate(DelegateFunction function, INT_PTR context) : m_function(function), m_context(context) {}
    CDelegate(const CDelegate&) = default;
    CDelegate& operator=(const CDelegate&) = default;
    virtual ~CDelegate() = default;

    // A null function is refused (0) and leaves the delegate unchanged.
    int Set(DelegateFunction function, INT_PTR context);
    void Clear();
    bool IsSet() const { return m_function != nullptr; }
    // Calls the function on the caller's thread; 0 without a call when none is set.
    int Invoke(INT_PTR a1 = 0, INT_PTR a2 = 0, INT_PTR a3 = 0, INT_PTR a4 = 0, INT_PTR a5 = 0) const;

    DelegateFunction GetFunction() const { return m_function; }
    INT_PTR GetContext() const { return m_context; }
    // Same function and same context: the same listener.
    bool IsSameListener(const CDelegate& other) const;

private:
    DelegateFunction m_function = nullptr;
    INT_PTR m_context = 0;
};
