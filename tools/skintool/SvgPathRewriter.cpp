#include "SvgPathRewriter.h"

#include <cctype>

namespace {

bool IsDigit(std::string_view s, size_t at) { return at < s.size() && std::isdigit(static_cast<unsigned char>(s[at])); }

// The length of the number that starts at at (sign, digits, point, exponent), 0 when none does.
size_t NumberLength(std::string_view s, size_t at)
{
    size_t i = at;
    if (i < s.size() && (s[i] == '+' || s[i] == '-')) ++i;
    bool digits = false;
    while (IsDigit(s, i)) ++i, digits = true;
    if (i < s.size() && s[i] == '.') {
        ++i;
        while (IsDigit(s, i)) ++i, digits = true;
    }
    if (!digits) return 0;
    if (i < s.size() && (s[i] == 'e' || s[i] == 'E')) {
        size_t exponent = i + 1;
        if (exponent < s.size() && (s[exponent] == '+' || s[exponent] == '-')) ++exponent;
        if (IsDigit(s, exponent)) {
            i = exponent;
            while (IsDigit(s, i)) ++i;
        }
    }
    return i - at;
}

bool IsSeparator(char c) { return c == ',' || std::isspace(static_cast<unsigned char>(c)); }

}  // namespace

std::string SvgPathRewriter::MakeLinesExplicit(std::string_view d)
{
    std::string out;
    out.reserve(d.size() + 8);
    size_t i = 0;
    while (i < d.size()) {
        char command = d[i++];
        out += command;
        if (command != 'M' && command != 'm') continue;
        for (int count = 0;; ++count) {
            size_t start = i;
            while (i < d.size() && IsSeparator(d[i])) ++i;
            size_t length = NumberLength(d, i);
            if (length == 0) {
                i = start;
                break;
            }
            // SVG allows only blanks between a letter and its number, so the separator before the
            // third number, which may be a comma, gives way to the line letter.
            if (count == 2) out += command == 'M' ? " L " : " l ";
            else out.append(d.substr(start, i - start));
            out.append(d.substr(i, length));
            i += length;
        }
    }
    return out;
}
