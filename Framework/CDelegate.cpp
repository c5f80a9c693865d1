#include "CDelegate.h"

int CDelegate::Set(DelegateFunction function, INT_PTR context) {
    if (function == nullptr) {
        return 0;
    }
    m_function = function;
    m_context = context;
    return 1;
}

void CDelegate::Clear() {
    m_function = nullptr;
    m_context = 0;
}

int CDelegate::Invoke(INT_PTR a1, INT_PTR a2, INT_PTR a3, INT_PTR a4, INT_PTR a5) const {
    if (m_function == nullptr) {
        return 0;
    }
    return m_function(a1, a2, a3, a4, a5, m_context);
}

bool CDelegate::IsSameListener(const CDelegate& other) const {
    return m_function == other.m_function && m_context == other.m_context;
}
