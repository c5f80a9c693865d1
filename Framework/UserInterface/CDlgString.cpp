#include "UserInterface/CDlgString.h"

#include <new>

namespace UserInterface {

bool CDlgString::Set(LPCWSTR text) {
    m_text.reset();
    if (text == nullptr) {
        return true;
    }
    const int length = lstrlenW(text);
    m_text.reset(new (std::nothrow) WCHAR[static_cast<size_t>(length) + 1]);
    if (m_text == nullptr) {
        return false;
    }
    lstrcpynW(m_text.get(), text, length + 1);
    return true;
}

int CDlgString::CopyTo(LPWSTR buffer, int length) const {
    if (buffer == nullptr || length < 1) {
        return 0;
    }
    buffer[0] = 0;
    if (m_text != nullptr) {
        lstrcpynW(buffer, m_text.get(), length);
    }
    return 1;
}

}  // namespace UserInterface
