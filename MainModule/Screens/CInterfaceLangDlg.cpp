#include "Screens/CInterfaceLangDlg.h"

#include "CLocalization.h"
#include "CSysInfo.h"
#include "UserInterface/CDlgComboBox.h"
#include "Weather/GlobalServices.h"

namespace {

constexpr int kNameLength = 260;
constexpr LANGID kChineseTraditional = 0x0404;
constexpr LANGID kChineseSimplified = 0x0804;
constexpr LPCWSTR kLocFolder = u"%INSTALL_DIR%\\Loc\\";
constexpr LPCWSTR kLocPattern = u"loc.????.txt";
constexpr LPCWSTR kLocPrefix = u"loc.";

}  // namespace

LANGID CInterfaceLangDlg::LanguageOfFileName(LPCWSTR name) {
    const int prefix = lstrlenW(kLocPrefix);
    if (name == nullptr || _wcsnicmp(name, kLocPrefix, prefix) != 0) {
        return 0;
    }
    LPCWSTR digits = name + prefix;
    LPWSTR end = nullptr;
    const unsigned long value = wcstoulW(digits, &end, 16);
    return end != digits && value <= 0xFFFF ? static_cast<LANGID>(value) : 0;
}

std::u16string CInterfaceLangDlg::NameOfLanguage(LANGID language) {
    WCHAR name[kNameLength] = {};
    if (GetLocaleInfoW(MAKELCID(language, 0), LOCALE_SLANGUAGE, name, kNameLength) <= 0 || name[0] == 0) {
        if (language == kChineseTraditional) {
            lstrcpynW(name, u"Chinese Traditional", kNameLength);
        } else if (language == kChineseSimplified) {
            lstrcpynW(name, u"Chinese Simplified", kNameLength);
        } else {
            _snwprintf(name, kNameLength, u"Language %04X", static_cast<unsigned>(language));
        }
    }
    name[0] = towupperW(name[0]);
    return name;
}

BOOL CInterfaceLangDlg::OnInitControls() {
    const bool made = AddLabel(kLabelId, "IDS_LABEL_INTERFACE_LANGUAGE") != nullptr &&
                      AddField(kFieldId, "IDS_LABEL_INTERFACE_LANGUAGE", kSortedFieldStyle) != nullptr;
    return made && CSettingsDialog::OnInitControls();
}

BOOL CInterfaceLangDlg::Refresh(DWORD mask) {
    return (mask & kRefreshField) == 0 || FillLanguages();
}

bool CInterfaceLangDlg::FillLanguages() {
    UserInterface::CDlgComboBox* field = FieldOf(kFieldId);
    field->ResetContent(UserInterface::kNoRedraw);
    WCHAR folder[MAX_PATH];
    if (!CSysInfo::ExpandPath(kLocFolder, folder, MAX_PATH)) {
        return false;
    }
    std::u16string pattern = std::u16string(folder) + kLocPattern;
    WIN32_FIND_DATAW found{};
    HANDLE search = FindFirstFileW(pattern.c_str(), &found);
    bool added = true;
    for (bool more = search != INVALID_HANDLE_VALUE; more && added; more = FindNextFileW(search, &found) != FALSE) {
        // A file whose name carries no language number is no language file.
        const LANGID language = LanguageOfFileName(found.cFileName);
        if (language != 0) {
            added =
                field->AddItem(NameOfLanguage(language).c_str(), language, UserInterface::kNoRedraw) != FALSE;
        }
    }
    if (search != INVALID_HANDLE_VALUE) {
        FindClose(search);
    }
    SelectByData(field, CLocalization::Global().GetLanguage());
    return added;
}

// The texts change first: a language that cannot be loaded leaves texts and settings as they were.
bool CInterfaceLangDlg::Apply() {
    intptr_t chosen = 0;
    if (!GetSelectedData(FieldOf(kFieldId), &chosen)) {
        return false;
    }
    CSettings& settings = GetSettings();
    const auto language = static_cast<LANGID>(chosen);
    if (language == settings.language && settings.IsLanguageStored(g_pRegistry)) {
        return true;
    }
    CLocalization& texts = CLocalization::Global();
    const LANGID shown = texts.GetLanguage();
    if (!texts.SetLanguage(language)) {
        texts.SetLanguage(shown);
        return false;
    }
    const CSettings before = settings;
    settings.language = language;
    if (!SaveSettings(before)) {
        texts.SetLanguage(shown);
        return false;
    }
    return true;
}
