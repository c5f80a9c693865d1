// The common look and keys of the settings dialogs: bold white labels over fields framed in the
// settings field colour, spacers between the groups, Done and Cancel (Done alone on a wizard page),
// and the Back key's release as Cancel.
#pragma once

#include <cstdint>

#include "Screens/CAppBasicDialog.h"
#include "UserInterface/CDlgStatic.h"
#include "Weather/CSettings.h"

namespace UserInterface {
class CDlgCheckBox;
class CDlgComboBox;
}  // namespace UserInterface

class CSettingsDialog : public CAppBasicDialog {
public:
    // A label is as high as its wrapped text: without the preferred height it would be placed 0 high.
    static constexpr DWORD kLabelStyle = UserInterface::CDlgControl::kVisible |
                                         UserInterface::CDlgControl::kHostBackground |
                                         UserInterface::CDlgControl::kFillWidth |
                                         UserInterface::CDlgControl::kPreferredHeight |
                                         UserInterface::CDlgStatic::kWordBreak;
    static constexpr DWORD kFieldStyle = 0x21813;
    static constexpr DWORD kSpacerStyle = 0x1012;
    static constexpr DWORD kCheckStyle = 0x11812;
    static constexpr DWORD kCheckHighlight = 0x20FFFFFF;
    static constexpr int kSpacerHeight = 10;
    // The lightness (of 255) of the settings field colour.
    static constexpr BYTE kFieldLightness = 100;

    // Which soft keys the dialog has: a wizard page can only go on.
    enum class Keys { kDoneCancel, kDoneOnly };

    explicit CSettingsDialog(Keys keys = Keys::kDoneCancel) : m_keys(keys) {}
    ~CSettingsDialog() override = default;

    // The theme colour with its lightness set to 100 of 255: the frame of every settings field.
    static COLORREF FieldColorOf(COLORREF themeColor);
    static COLORREF GetSettingsFieldColor();
    static COLORREF GetThemeColor();

    // The focus starts on the first field rather than on its label.
    BOOL OnInitDialog() override;
    BOOL OnCreateMenu(UserInterface::CMenuInfo* menu) override;
    // Released, the Back key cancels; a wizard page ignores it.
    BOOL OnBackKey(WPARAM wParam, LPARAM lParam) override;
    BOOL OnDialogCommand(int id, int code, HWND window) override;

protected:
    // Done: apply the choice; true when the dialog may end with 1.
    virtual bool Apply() = 0;

    UserInterface::CDlgStatic* AddLabel(int id, const char* key);
    UserInterface::CDlgComboBox* AddField(int id, const char* captionKey, DWORD style = kFieldStyle);
    UserInterface::CDlgSeparator* AddSpacer(int id, int height);
    UserInterface::CDlgCheckBox* AddCheck(int id, const char* key);
    UserInterface::CDlgComboBox* FieldOf(int id) const;

    // Adds an item with the text of a localization key (empty when the key has none).
    static bool AddItemOfKey(UserInterface::CDlgComboBox* field, const char* key, intptr_t data);
    // Selects the item whose data is the value, the first item when none is; repaints unless busy.
    void SelectByData(UserInterface::CDlgComboBox* field, intptr_t value);
    // The selected item's data; false without a selection.
    static bool GetSelectedData(UserInterface::CDlgComboBox* field, intptr_t* data);
    // Repaints a control unless the busy flag is set.
    void RedrawUnlessBusy(UserInterface::CDlgControl* control);

    // Saves the record; on failure the record in memory goes back to `before`, so that Cancel and the
    // other dialogs keep what is stored.
    static bool SaveSettings(const CSettings& before);
    bool IsWizardPage() const { return m_keys == Keys::kDoneOnly; }

private:
    Keys m_keys;
};
