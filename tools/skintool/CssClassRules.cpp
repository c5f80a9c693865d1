#include "CssClassRules.h"

#include <cctype>

namespace {

std::string_view Trim(std::string_view s)
{
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.front()))) s.remove_prefix(1);
    while (!s.empty() && std::isspace(static_cast<unsigned char>(s.back()))) s.remove_suffix(1);
    return s;
}

std::string WithoutComments(std::string_view text)
{
    std::string out;
    size_t at = 0;
    while (at < text.size()) {
        size_t open = text.find("/*", at);
        if (open == std::string_view::npos) break;
        out.append(text.substr(at, open - at));
        size_t close = text.find("*/", open + 2);
        at = close == std::string_view::npos ? text.size() : close + 2;
    }
    if (at < text.size()) out.append(text.substr(at));
    return out;
}

bool IsClassName(std::string_view s)
{
    if (s.empty()) return false;
    for (char c : s)
        if (!std::isalnum(static_cast<unsigned char>(c)) && c != '-' && c != '_') return false;
    return true;
}

std::vector<std::string_view> Split(std::string_view s, char separator)
{
    std::vector<std::string_view> parts;
    size_t at = 0;
    while (at <= s.size()) {
        size_t end = s.find(separator, at);
        if (end == std::string_view::npos) end = s.size();
        parts.push_back(s.substr(at, end - at));
        at = end + 1;
    }
    return parts;
}

// The brace that closes the block opened at open, over nested blocks.
size_t MatchingBrace(std::string_view s, size_t open)
{
    int depth = 0;
    for (size_t i = open; i < s.size(); ++i) {
        if (s[i] == '{') ++depth;
        if (s[i] == '}' && --depth == 0) return i;
    }
    return std::string_view::npos;
}

}  // namespace

std::vector<CssClassRules::Declaration> CssClassRules::ParseDeclarations(std::string_view text)
{
    std::vector<Declaration> declarations;
    for (std::string_view piece : Split(text, ';')) {
        size_t colon = piece.find(':');
        if (colon == std::string_view::npos) continue;
        std::string_view name = Trim(piece.substr(0, colon));
        std::string_view value = Trim(piece.substr(colon + 1));
        if (size_t bang = value.find("!important"); bang != std::string_view::npos) value = Trim(value.substr(0, bang));
        if (name.empty() || value.empty()) continue;
        declarations.emplace_back(std::string(name), std::string(value));
    }
    return declarations;
}

void CssClassRules::AddStyleSheet(std::string_view text)
{
    std::string sheet = WithoutComments(text);
    std::string_view rest = sheet;
    while (true) {
        size_t open = rest.find('{');
        if (open == std::string_view::npos) return;
        std::string_view selectors = Trim(rest.substr(0, open));
        if (selectors.starts_with('@')) {  // at-rules (keyframes, media) bring nothing a still picture can hold
            ++m_skipped;
            size_t end = MatchingBrace(rest, open);
            if (end == std::string_view::npos) return;
            rest.remove_prefix(end + 1);
            continue;
        }
        size_t close = rest.find('}', open);
        if (close == std::string_view::npos) return;
        std::vector<Declaration> declarations = ParseDeclarations(rest.substr(open + 1, close - open - 1));
        rest.remove_prefix(close + 1);
        for (std::string_view selector : Split(selectors, ',')) {
            selector = Trim(selector);
            if (selector.starts_with('.') && IsClassName(selector.substr(1)))
                m_rules.push_back(Rule{std::string(selector.substr(1)), declarations});
            else
                ++m_skipped;
        }
    }
}

std::vector<CssClassRules::Declaration> CssClassRules::For(std::string_view classList) const
{
    std::vector<std::string_view> classes;
    for (std::string_view name : Split(classList, ' '))
        if (!Trim(name).empty()) classes.push_back(Trim(name));
    std::vector<Declaration> result;
    for (const Rule& rule : m_rules) {
        for (std::string_view name : classes) {
            if (name != rule.className) continue;
            result.insert(result.end(), rule.declarations.begin(), rule.declarations.end());
            break;
        }
    }
    return result;
}
