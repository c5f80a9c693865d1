// The two soft keys of a screen (command, localized caption, enabled state, an optional popup) and the
// system menu bar made from them.
#pragma once

#include <memory>

#include "ce/user.h"
#include "UserInterface/CMenuItemCollection.h"

namespace UserInterface {

// The soft keys by index.
inline constexpr int kLeftSoftKey = 0;
inline constexpr int kRightSoftKey = 1;

class CMenuInfo {
public:
    static constexpr int kCaptionLength = 128;
    static constexpr int kKeyCount = 2;
    // Input-panel modes: no panel button on the bar; a button; the panel raised with the dialog.
    static constexpr DWORD kNoInputPanel = 0;
    static constexpr DWORD kInputPanelRaised = 1;

    CMenuInfo();
    CMenuInfo(const CMenuInfo& other);
    CMenuInfo& operator=(const CMenuInfo& other);
    virtual ~CMenuInfo();

    // Both keys absent and enabled, without captions and popups; mode 0.
    void Clear();
    void SetCommand(int key, int id);
    int GetCommand(int key) const;
    bool HasKey(int key) const { return GetCommand(key) != -1; }
    // The text of a localization key; false (and an empty caption) when the key has none.
    bool SetCaption(int key, const char* locKey);
    LPCWSTR GetCaption(int key) const;
    void SetEnabled(int key, bool enabled);
    bool IsEnabled(int key) const;
    // Keeps a deep copy; null removes the popup.
    bool SetPopup(int key, const CMenuItemCollection* popup);
    const CMenuItemCollection* GetPopup(int key) const;
    void SetFlags(DWORD mode) { m_inputPanelMode = mode; }
    DWORD GetFlags() const { return m_inputPanelMode; }
    bool Assign(const CMenuInfo& other);

    // The common key sets; false when a caption has no text.
    bool SetDone(DWORD mode);
    bool SetDoneCancel(DWORD mode);
    bool SetYesNo(DWORD mode);

    // The bar of a window for the keys; null when the keys allow none or it cannot be made (then no
    // bar is left behind).
    static HWND CreateMenuBar(HWND window, const CMenuInfo& info);
    // Writes both keys into an existing bar.
    static bool UpdateMenuBar(HWND bar, const CMenuInfo& info);
    // UpdateMenuBar, then the popups into the bar's sub-menus.
    static bool ApplyMenus(HWND bar, const CMenuInfo& info);
    // A new popup menu of the items; null when it cannot be made.
    static HMENU BuildPopupMenu(const CMenuItemCollection* items);
    // Replaces the entries of a menu that the caller owns; on failure the menu stays the caller's.
    static bool FillPopupMenu(HMENU menu, const CMenuItemCollection* items);

private:
    struct SoftKey {
        int command = -1;
        bool enabled = true;
        WCHAR caption[kCaptionLength] = {};
        std::unique_ptr<CMenuItemCollection> popup;
    };

    static bool ValidKey(int key) { return key == 0 || key == 1; }
    static UINT BarResourceFor(const CMenuInfo& info);
    static bool AppendItem(HMENU menu, const CMenuItem& item);
    bool SetKey(int key, int command, const char* locKey);

    SoftKey m_keys[kKeyCount];
    DWORD m_inputPanelMode = kNoInputPanel;
};

}  // namespace UserInterface
