// Maps localization keys ("IDS_...") to the UTF-16 texts of the language files in
// "%INSTALL_DIR%\Loc\": "loc.txt" overrides, loc.XXXX.txt holds one language (XXXX its LANGID in
// hexadecimal). A missing key is no error: the caller gets no text.
#pragma once

#include <map>
#include <set>
#include <shared_mutex>
#include <string>
#include <string_view>

#include "ce/kernel.h"

class CLocalization {
public:
    static constexpr LANGID kEnglish = 0x0409;

    CLocalization() = default;
    CLocalization(const CLocalization&) = delete;
    CLocalization& operator=(const CLocalization&) = delete;
    virtual ~CLocalization() = default;

    // The one object of this module, behind LoadLocalizedString.
    static CLocalization& Global();

    // Start-up: discover, read the overrides, make the chosen language current; English when that
    // language has no file. False when no language file exists or English cannot be read.
    bool Load(LANGID settingLanguage);
    bool DiscoverLanguages();
    bool LoadOverrides();
    // Reads one language file over the language texts (keys it has replace the earlier ones).
    bool LoadLanguage(LANGID language);
    // Makes a language current: English first, then the language over it.
    bool SetLanguage(LANGID language);
    LANGID GetLanguage() const;
    std::set<DWORD> GetLanguages() const;

    // Copies the text of a key (cut to size - 1 characters); false with an empty buffer when absent.
    bool GetString(const char* key, LPWSTR buffer, int size) const;
    // Like GetString for a template key, but only a text whose conversions fit what the callers
    // pass is handed out: a text that does not fit falls back to the English text of the key.
    bool GetTemplate(const char* key, LPWSTR buffer, int size) const;

    // True when a template text fits what the callers of its key pass: it uses their arguments in
    // order (perhaps not all of them). False for a key that is no template.
    static bool TemplateFits(const char* key, std::u16string_view text);

    // Reads the lines of a language file into a map of texts (exposed for the file format's tests).
    static void ParseFile(std::u16string_view content, std::map<std::string, std::u16string>* texts);

private:
    using TextMap = std::map<std::string, std::u16string>;

    static bool ReadTextFile(LPCWSTR path, TextMap* texts);
    static bool LocFolder(LPWSTR folder, int size);
    static const std::u16string* Find(const TextMap& map, const char* key);
    static bool CopyText(const TextMap& map, const char* key, LPWSTR buffer, int size);

    // Loads replace the maps while worker threads may look texts up.
    mutable std::shared_mutex m_lock;
    LANGID m_language = 0;
    std::set<DWORD> m_languages;
    TextMap m_texts;
    TextMap m_overrides;
    TextMap m_english;
};

// The text of a key from the module's localization, in a buffer of 1024 characters that the next
// call on the same thread overwrites; null when the key has no text.
LPCWSTR LoadLocalizedString(const char* key);
