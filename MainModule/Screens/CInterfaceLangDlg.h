// The language of the program's texts, chosen among the language files installed with it. Done stores
// it as the settings' language and makes it current at once; the caller rebuilds what shows texts.
#pragma once

#include <string>

#include "Screens/CSettingsDialog.h"

class CInterfaceLangDlg : public CSettingsDialog {
public:
    enum ControlId { kLabelId = 0, kFieldId = 1 };
    static constexpr DWORD kRefreshField = 0x10000;
    // The field's style keeps its items sorted.
    static constexpr DWORD kSortedFieldStyle = 0xA1813;

    CInterfaceLangDlg() : CInterfaceLangDlg(Keys::kDoneCancel) {}
    ~CInterfaceLangDlg() override = default;

    BOOL OnInitControls() override;
    BOOL Refresh(DWORD mask) override;

    // The LANGID in a language file's name "loc.XXXX.txt" (hexadecimal digits after "loc."); 0 when the
    // name has none.
    static LANGID LanguageOfFileName(LPCWSTR name);
    // The system's name of a language, first letter upper-cased; a fixed name for the two Chinese
    // languages and "Language XXXX" for one that the system cannot name.
    static std::u16string NameOfLanguage(LANGID language);

protected:
    explicit CInterfaceLangDlg(Keys keys) : CSettingsDialog(keys) {}
    bool Apply() override;

private:
    bool FillLanguages();
};
