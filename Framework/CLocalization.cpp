#include "CLocalization.h"

#include <algorithm>
#include <mutex>
#include <vector>

#include "CByteBuffer.h"
#include "CFSFile.h"
#include "CSOMutex.h"
#include "CSysInfo.h"
#include "LocalizationKeys.h"

namespace {

constexpr LPCWSTR kLocFolderPattern = u"%INSTALL_DIR%\\Loc\\";
constexpr size_t kLinePiece = 4095;  // a line buffer of 4096 characters
constexpr int kSharedBufferSize = 1024;

bool IsKeyChar(WCHAR c) {
    return (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'_';
}

WCHAR Unescaped(WCHAR c) {
    switch (c) {
        case u'n':
            return u'\n';
        case u'r':
            return u'\r';
        case u't':
            return u'\t';
        default:
            return c;
    }
}

std::u16string UnescapeValue(std::u16string_view value) {
    std::u16string text;
    text.reserve(value.size());
    size_t i = 0;
    while (i < value.size()) {
        // The plain run up to the next backslash goes over in one piece.
        const size_t backslash = std::min(value.find(u'\\', i), value.size());
        text.append(value.substr(i, backslash - i));
        if (backslash + 1 >= value.size()) {
            break;  // a backslash at the very end ends the value
        }
        text += Unescaped(value[backslash + 1]);
        i = backslash + 2;
    }
    return text;
}

// One line, up to its first carriage return or line feed.
void ParseLine(std::u16string_view line, std::map<std::string, std::u16string>* texts) {
    if (!line.empty() && line.front() == u'\uFEFF') {
        line.remove_prefix(1);
    }
    if (line.empty() || line.front() == u'#') {
        return;
    }
    size_t keyEnd = 0;
    while (keyEnd < line.size() && IsKeyChar(line[keyEnd])) {
        ++keyEnd;
    }
    const size_t tab = line.find(u'\t', keyEnd);
    if (keyEnd == 0 || tab == std::u16string_view::npos) {
        return;
    }
    const size_t valueStart = std::min(line.find_first_not_of(u'\t', tab), line.size());
    const size_t valueEnd = std::min(line.find(u'\t', valueStart), line.size());
    texts->insert_or_assign(std::string(line.begin(), line.begin() + static_cast<std::ptrdiff_t>(keyEnd)),
                            UnescapeValue(line.substr(valueStart, valueEnd - valueStart)));
}

std::u16string DecodeUtf16Le(const CByteBuffer& bytes) {
    std::u16string text(bytes.GetLength() / 2, u'\0');
    const BYTE* data = bytes.GetPointer(0);
    for (size_t i = 0; i < text.size(); ++i) {
        text[i] = static_cast<char16_t>(data[2 * i] | (data[2 * i + 1] << 8));
    }
    return text;
}

}  // namespace

bool CLocalization::TemplateFits(const char* key, std::u16string_view text) {
    // Surplus arguments are ignored by the formatter; a missing or different one is not.
    const char* passed = TemplateConversions(key);
    if (passed == nullptr) {
        return false;
    }
    const std::string used = ce::FormatConversions(text);
    return std::string_view(passed).substr(0, used.size()) == used;
}

CLocalization& CLocalization::Global() {
    static CLocalization localization;
    return localization;
}

void CLocalization::ParseFile(std::u16string_view content, std::map<std::string, std::u16string>* texts) {
    size_t pos = 0;
    while (pos < content.size()) {
        // A line ends after its line feed, or where its piece is full; its text ends at the first
        // carriage return or line feed. One scan finds both in the usual line.
        const size_t limit = std::min(pos + kLinePiece, content.size());
        size_t textEnd = pos;
        while (textEnd < limit && content[textEnd] != u'\n' && content[textEnd] != u'\r') {
            ++textEnd;
        }
        const size_t newline = content.substr(0, limit).find(u'\n', textEnd);  // not beyond the piece
        const size_t end = newline < limit ? newline + 1 : limit;
        ParseLine(content.substr(pos, textEnd - pos), texts);
        pos = end;
    }
}

bool CLocalization::ReadTextFile(LPCWSTR path, TextMap* texts) {
    CFSFile file;
    CByteBuffer bytes;
    if (!file.Open(path, OPEN_EXISTING, GENERIC_READ, FILE_SHARE_READ) || !file.ReadAll(&bytes)) {
        return false;
    }
    ParseFile(DecodeUtf16Le(bytes), texts);
    return true;
}

bool CLocalization::LocFolder(LPWSTR folder, int size) {
    return CSysInfo::ExpandPath(kLocFolderPattern, folder, size);
}

bool CLocalization::DiscoverLanguages() {
    std::set<DWORD> languages;
    WCHAR pattern[MAX_PATH];
    if (LocFolder(pattern, MAX_PATH) && lstrlenW(pattern) + 12 < MAX_PATH) {
        lstrcatW(pattern, u"loc.????.txt");
        WIN32_FIND_DATAW found;
        HANDLE find = FindFirstFileW(pattern, &found);
        if (find != INVALID_HANDLE_VALUE) {
            do {
                const DWORD language = static_cast<DWORD>(wcstoulW(found.cFileName + 4, nullptr, 16));
                if (language != 0) {
                    languages.insert(language);
                }
            } while (FindNextFileW(find, &found));
            FindClose(find);
        }
    }
    std::unique_lock guard(m_lock);
    m_languages = std::move(languages);
    return !m_languages.empty();
}

bool CLocalization::LoadOverrides() {
    TextMap overrides;
    bool read = false;
    WCHAR path[MAX_PATH];
    if (LocFolder(path, MAX_PATH) && lstrlenW(path) + 7 < MAX_PATH) {
        lstrcatW(path, u"loc.txt");
        CSOMutex fileLock(TRUE, u"Skyvane_LocalizationMutex_Rebranding", TRUE);
        read = ReadTextFile(path, &overrides);
    }
    std::unique_lock guard(m_lock);
    m_overrides = std::move(overrides);
    return read;
}

bool CLocalization::LoadLanguage(LANGID language) {
    WCHAR folder[MAX_PATH];
    {
        std::shared_lock guard(m_lock);
        if (m_languages.count(language) == 0) {
            return false;
        }
    }
    if (!LocFolder(folder, MAX_PATH)) {
        return false;
    }
    WCHAR path[MAX_PATH + 16];
    WCHAR mutexName[64];
    _snwprintf(path, MAX_PATH + 16, u"%sloc.%04X.txt", folder, language);
    _snwprintf(mutexName, 64, u"Skyvane_LocalizationMutex_Loc%04X", language);
    TextMap read;
    {
        CSOMutex fileLock(TRUE, mutexName, TRUE);
        if (!ReadTextFile(path, &read)) {
            return false;
        }
    }
    std::unique_lock guard(m_lock);
    // English texts are copied, since they are kept below as the fallback too; others are moved.
    if (m_texts.empty()) {
        // The first file read after a change of language: its texts are all there is.
        m_texts = language == kEnglish ? read : std::move(read);
    } else {
        for (auto& [key, text] : read) {
            m_texts.insert_or_assign(key, language == kEnglish ? text : std::move(text));
        }
    }
    if (language == kEnglish) {
        m_english = std::move(read);
    }
    return !m_texts.empty();
}

bool CLocalization::SetLanguage(LANGID language) {
    {
        // Texts of the previous language must not survive where the new one has none.
        std::unique_lock guard(m_lock);
        m_language = language;
        m_texts.clear();
    }
    if (language != kEnglish) {
        LoadLanguage(kEnglish);
    }
    return LoadLanguage(language);
}

bool CLocalization::Load(LANGID settingLanguage) {
    if (!DiscoverLanguages()) {
        return false;
    }
    LoadOverrides();
    if (SetLanguage(settingLanguage)) {
        return true;
    }
    return SetLanguage(kEnglish);
}

LANGID CLocalization::GetLanguage() const {
    std::shared_lock guard(m_lock);
    return m_language == 0 ? kEnglish : m_language;
}

std::set<DWORD> CLocalization::GetLanguages() const {
    std::shared_lock guard(m_lock);
    return m_languages;
}

const std::u16string* CLocalization::Find(const TextMap& map, const char* key) {
    auto found = map.find(key);
    return found == map.end() ? nullptr : &found->second;
}

bool CLocalization::CopyText(const TextMap& map, const char* key, LPWSTR buffer, int size) {
    const std::u16string* text = Find(map, key);
    if (text == nullptr) {
        return false;
    }
    lstrcpynW(buffer, text->c_str(), size);
    return true;
}

bool CLocalization::GetString(const char* key, LPWSTR buffer, int size) const {
    if (key == nullptr || buffer == nullptr || size <= 0) {
        return false;
    }
    buffer[0] = 0;
    std::shared_lock guard(m_lock);
    return CopyText(m_overrides, key, buffer, size) || CopyText(m_texts, key, buffer, size);
}

bool CLocalization::GetTemplate(const char* key, LPWSTR buffer, int size) const {
    if (TemplateConversions(key) == nullptr || buffer == nullptr || size <= 0) {
        return false;
    }
    buffer[0] = 0;
    // A template cut by the buffer could end in half a conversion: it has to fit whole.
    auto usable = [&](const std::u16string* text) {
        return text != nullptr && text->size() < static_cast<size_t>(size) && TemplateFits(key, *text);
    };
    std::shared_lock guard(m_lock);
    const std::u16string* text = Find(m_overrides, key);
    if (text == nullptr) {
        text = Find(m_texts, key);
    }
    if (!usable(text)) {
        text = Find(m_english, key);
    }
    if (!usable(text)) {
        return false;
    }
    lstrcpynW(buffer, text->c_str(), size);
    return true;
}

LPCWSTR LoadLocalizedString(const char* key) {
    // One buffer per thread: the user-interface thread's text is not overwritten by a worker.
    thread_local WCHAR buffer[kSharedBufferSize];
    return CLocalization::Global().GetString(key, buffer, kSharedBufferSize) ? buffer : nullptr;
}
