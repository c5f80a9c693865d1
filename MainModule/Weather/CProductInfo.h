// One program update that the update server offers: its version, where its package lies, how large it
// is, whether it costs, and its texts per locale (an English language name such as "German").
#pragma once

#include <map>
#include <string>

#include "ce/types.h"

class CProductInfo {
public:
    enum TextKind { kName = 0, kDescription = 1, kChanges = 2, kConditions = 3, kTextKinds = 4 };
    static constexpr LPCWSTR kEnglish = u"English";

    CProductInfo() = default;
    CProductInfo(const CProductInfo&) = default;
    CProductInfo& operator=(const CProductInfo&) = default;
    virtual ~CProductInfo() = default;

    LPCWSTR GetVersion() const { return m_version.c_str(); }
    LPCWSTR GetUrl() const { return m_url.c_str(); }
    DWORD GetSize() const { return m_size; }
    bool IsPaid() const { return m_paid; }
    void SetVersion(LPCWSTR version) { m_version = version != nullptr ? version : u""; }
    void SetUrl(LPCWSTR url) { m_url = url != nullptr ? url : u""; }
    void SetSize(DWORD size) { m_size = size; }
    void SetPaid(bool paid) { m_paid = paid; }

    // The locale's text, or null when the locale is absent.
    LPCWSTR GetText(TextKind kind, LPCWSTR locale) const;
    LPCWSTR GetName(LPCWSTR locale) const { return GetText(kName, locale); }
    LPCWSTR GetDescription(LPCWSTR locale) const { return GetText(kDescription, locale); }
    LPCWSTR GetChanges(LPCWSTR locale) const { return GetText(kChanges, locale); }
    LPCWSTR GetConditions(LPCWSTR locale) const { return GetText(kConditions, locale); }
    // Creates the locale's entry with empty texts when it is missing, then sets the one text; false for
    // a null argument.
    bool SetText(TextKind kind, LPCWSTR locale, LPCWSTR text);
    bool SetName(LPCWSTR locale, LPCWSTR text) { return SetText(kName, locale, text); }
    bool SetDescription(LPCWSTR locale, LPCWSTR text) { return SetText(kDescription, locale, text); }
    bool SetChanges(LPCWSTR locale, LPCWSTR text) { return SetText(kChanges, locale, text); }
    bool SetConditions(LPCWSTR locale, LPCWSTR text) { return SetText(kConditions, locale, text); }
    int GetLocaleCount() const { return static_cast<int>(m_texts.size()); }

    // What the screens show: the text of the locale, else the English one, else empty; never null.
    LPCWSTR GetDisplayText(TextKind kind, LPCWSTR locale) const;
    // The locale key of an interface language: German, Spanish, French, Italian, Russian or English.
    static LPCWSTR LocaleOfLanguage(LANGID language);

private:
    struct NoCaseLess {
        bool operator()(const std::u16string& a, const std::u16string& b) const;
    };
    struct Texts {
        std::u16string text[kTextKinds];
    };

    std::u16string m_version;
    std::u16string m_url;
    DWORD m_size = 0;
    bool m_paid = false;
    std::map<std::u16string, Texts, NoCaseLess> m_texts;
};
