// The attributes of one element as the XML parser hands them over: name and value pairs.
#pragma once

#include <optional>
#include <string_view>

class SvgAttributes {
public:
    // pairs: name, value, name, value, ..., null (the SAX layout); null for no attributes.
    explicit SvgAttributes(const char* const* pairs) : m_pairs(pairs) {}

    // The first attribute of that name.
    std::optional<std::string_view> Find(std::string_view name) const
    {
        for (const char* const* p = m_pairs; p && p[0]; p += 2) {
            if (name == p[0]) return std::string_view(p[1] ? p[1] : "");
        }
        return std::nullopt;
    }

private:
    const char* const* m_pairs;
};
