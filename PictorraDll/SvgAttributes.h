// The attributes of one element as the XML parser hands them over: name and value pairs.
#pragma once

#include <cstring>
#include <optional>
#include <string_view>

class SvgAttributes {
public:
    // pairs: name, value, name, value, ..., null (the SAX layout); null for no attributes.
    explicit SvgAttributes(const char* const* pairs) : m_pairs(pairs) {}

    // The first attribute of that name.
    std::optional<std::string_view> Find(std::string_view name) const {
        for (const char* const* p = m_pairs; p && p[0]; p += 2) {
            // Compared in place: most names differ in their first character, which is checked before
            // the call, and no length is taken.
            if ((name.empty() || p[0][0] == name.front()) &&
                std::strncmp(p[0], name.data(), name.size()) == 0 && p[0][name.size()] == '\0')
                return Value(p);
        }
        return std::nullopt;
    }

    // visit(name, value) for every attribute in document order.
    template <class Visit>
    void ForEach(Visit visit) const {
        for (const char* const* p = m_pairs; p && p[0]; p += 2) visit(std::string_view(p[0]), *Value(p));
    }

private:
    static std::optional<std::string_view> Value(const char* const* pair) {
        return std::string_view(pair[1] ? pair[1] : "");
    }

    const char* const* m_pairs;
};
