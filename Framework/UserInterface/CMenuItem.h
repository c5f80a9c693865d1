// One entry of a soft-key popup menu: a command with a localized caption, a separator, or a sub-menu.
#pragma once

#include <memory>

#include "ce/types.h"

namespace UserInterface {

class CMenuItemCollection;

class CMenuItem {
public:
    static constexpr int kCaptionLength = 128;
    enum State : DWORD { kNormal = 0, kHidden = 1, kGrayed = 2 };

    CMenuItem();
    CMenuItem(const CMenuItem& other);
    CMenuItem& operator=(const CMenuItem& other);
    virtual ~CMenuItem();

    void Clear();
    void SetCommand(int id) { m_command = id; }
    int GetCommand() const { return m_command; }
    // The text of a localization key; false (and an empty caption) when the key has none.
    bool SetCaption(const char* key);
    LPCWSTR GetCaption() const { return m_caption; }
    // Keeps a deep copy; null removes the sub-items.
    void SetSubItems(const CMenuItemCollection* items);
    const CMenuItemCollection* GetSubItems() const { return m_subItems.get(); }
    void SetState(DWORD state) { m_state = state; }
    void SetChecked(bool checked) { m_unchecked = checked ? 0 : 1; }
    void SetSeparator(bool separator) { m_separator = separator ? 1 : 0; }

    bool IsHidden() const { return m_state == kHidden; }
    bool IsGrayed() const { return m_state == kGrayed; }
    bool IsChecked() const { return m_unchecked == 0; }
    bool IsSeparator() const { return m_separator != 0; }
    bool HasSubItems() const { return m_subItems != nullptr; }

private:
    int m_command = 0;
    WCHAR m_caption[kCaptionLength] = {};
    std::unique_ptr<CMenuItemCollection> m_subItems;
    DWORD m_state = kNormal;
    DWORD m_unchecked = 1;
    DWORD m_separator = 0;
};

}  // namespace UserInterface
