#include "UserInterface/CMenuItem.h"

#include "CLocalization.h"
#include "UserInterface/CMenuItemCollection.h"

namespace UserInterface {

CMenuItem::CMenuItem() = default;

CMenuItem::CMenuItem(const CMenuItem& other) { *this = other; }

CMenuItem& CMenuItem::operator=(const CMenuItem& other) {
    if (this == &other) {
        return *this;
    }
    m_command = other.m_command;
    lstrcpynW(m_caption, other.m_caption, kCaptionLength);
    SetSubItems(other.m_subItems.get());
    m_state = other.m_state;
    m_unchecked = other.m_unchecked;
    m_separator = other.m_separator;
    return *this;
}

CMenuItem::~CMenuItem() = default;

void CMenuItem::Clear() {
    m_command = 0;
    m_caption[0] = 0;
    m_subItems.reset();
    m_state = kNormal;
    m_unchecked = 1;
    m_separator = 0;
}

bool CMenuItem::SetCaption(const char* key) {
    m_caption[0] = 0;
    return key != nullptr && CLocalization::Global().GetString(key, m_caption, kCaptionLength);
}

void CMenuItem::SetSubItems(const CMenuItemCollection* items) {
    m_subItems = items != nullptr ? std::make_unique<CMenuItemCollection>(*items) : nullptr;
}

}  // namespace UserInterface
