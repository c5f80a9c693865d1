// A control's own copy of a text: null until set, replaced whole, handed out with a bound.
#pragma once

#include <memory>

#include "ce/types.h"

namespace UserInterface {

class CDlgString {
public:
    CDlgString() = default;
    CDlgString(const CDlgString&) = delete;
    CDlgString& operator=(const CDlgString&) = delete;

    // Replaces the text with a copy; null clears it. False, and no text, when the copy cannot be
    // allocated: the old text is gone either way.
    bool Set(LPCWSTR text);
    // The text, or null when there is none.
    LPCWSTR Get() const { return m_text.get(); }
    bool IsEmpty() const { return m_text == nullptr || m_text[0] == 0; }
    int GetLength() const { return m_text != nullptr ? lstrlenW(m_text.get()) : 0; }
    // Copies at most length - 1 characters and always ends the buffer with a terminator; an absent
    // text gives an empty string. 0 for a null buffer or a length below 1 (nothing written), else 1.
    int CopyTo(LPWSTR buffer, int length) const;

private:
    std::unique_ptr<WCHAR[]> m_text;
};

}  // namespace UserInterface
