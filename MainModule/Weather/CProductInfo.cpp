#include "Weather/CProductInfo.h"

bool CProductInfo::NoCaseLess::operator()(const std::u16string& a, const std::u16string& b) const {
    return _wcsicmp(a.c_str(), b.c_str()) < 0;
}

LPCWSTR CProductInfo::GetText(TextKind kind, LPCWSTR locale) const {
    if (locale == nullptr || kind < 0 || kind >= kTextKinds) {
        return nullptr;
    }
    auto found = m_texts.find(locale);
    return found == m_texts.end() ? nullptr : found->second.text[kind].c_str();
}

bool CProductInfo::SetText(TextKind kind, LPCWSTR locale, LPCWSTR text) {
    if (locale == nullptr || text == nullptr || kind < 0 || kind >= kTextKinds) {
        return false;
    }
    m_texts[locale].text[kind] = text;
    return true;
}

LPCWSTR CProductInfo::GetDisplayText(TextKind kind, LPCWSTR locale) const {
    LPCWSTR text = GetText(kind, locale);
    if (text == nullptr || text[0] == 0) {
        text = GetText(kind, kEnglish);
    }
    return text != nullptr ? text : u"";
}

LPCWSTR CProductInfo::LocaleOfLanguage(LANGID language) {
    switch (PRIMARYLANGID(language)) {
    case 0x07: return u"German";
    case 0x0A: return u"Spanish";
    case 0x0C: return u"French";
    case 0x10: return u"Italian";
    case 0x19: return u"Russian";
    default: return kEnglish;
    }
}
