#include "strings/WideFormatter.h"

#include <cstdint>
#include <cstdio>
#include <vector>

#include "ce/types.h"

namespace ce::detail {
namespace {

bool IsDigit(char16_t c) {
    return c >= u'0' && c <= u'9';
}

int ReadNumber(std::u16string_view format, size_t& pos) {
    int value = 0;
    while (pos < format.size() && IsDigit(format[pos])) {
        value = std::min(value * 10 + (format[pos++] - u'0'), 100000);  // keeps hostile widths finite
    }
    return value;
}

std::u16string Digits(uint64_t value, unsigned base, bool upper) {
    const char* symbols = upper ? "0123456789ABCDEF" : "0123456789abcdef";
    std::u16string digits;
    do {
        digits.insert(digits.begin(), static_cast<char16_t>(symbols[value % base]));
        value /= base;
    } while (value > 0);
    return digits;
}

// The conversions that take an argument; any other is copied as it stands.
bool TakesArgument(char16_t type) {
    return type != 0 && std::u16string_view(u"sScCdiuxXof").find(type) != std::u16string_view::npos;
}

bool IsLong64(std::u16string_view length) {
    return length == u"ll" || length == u"I64";
}

}  // namespace

bool WideFormatter::ParseSpec(std::u16string_view format, size_t& pos, Spec& spec) {
    spec = Spec{};
    for (; pos < format.size(); ++pos) {
        char16_t c = format[pos];
        if (c == u'-') {
            spec.left = true;
        } else if (c == u'0') {
            spec.zero = true;
        } else if (c == u'+') {
            spec.plus = true;
        } else if (c == u' ') {
            spec.space = true;
        } else if (c == u'#') {
            spec.alternate = true;
        } else {
            break;
        }
    }
    if (pos < format.size() && format[pos] == u'*') {
        spec.widthFromArgument = true;
        ++pos;
    } else {
        spec.width = ReadNumber(format, pos);
    }
    if (pos < format.size() && format[pos] == u'.') {
        ++pos;
        if (pos < format.size() && format[pos] == u'*') {
            spec.precisionFromArgument = true;
            ++pos;
        } else {
            spec.precision = ReadNumber(format, pos);
        }
    }
    size_t lengthStart = pos;
    if (format.substr(pos, 3) == u"I64") {
        pos += 3;
    } else if (format.substr(pos, 2) == u"ll") {
        pos += 2;
    } else if (pos < format.size() && (format[pos] == u'l' || format[pos] == u'h')) {
        ++pos;
    }
    spec.length = format.substr(lengthStart, pos - lengthStart);
    if (pos >= format.size()) {
        return false;
    }
    spec.type = format[pos++];
    return true;
}

// The arguments are read through a pointer to a local copy, so that every helper advances the same list
// on any ABI (va_list is an array on some and a plain value on others).
std::u16string WideFormatter::Format(std::u16string_view format, va_list arguments) {
    va_list list;
    va_copy(list, arguments);
    va_list* args = &list;
    std::u16string out;
    size_t pos = 0;
    while (pos < format.size()) {
        size_t percent = format.find(u'%', pos);
        out += format.substr(pos, percent == std::u16string_view::npos ? percent : percent - pos);
        if (percent == std::u16string_view::npos) {
            break;
        }
        pos = percent + 1;
        Spec spec;
        if (!ParseSpec(format, pos, spec)) {
            out += format.substr(percent);  // a format that ends inside a conversion keeps that text
            break;
        }
        if (spec.type == u'%') {
            out += u'%';
            continue;
        }
        if (!TakesArgument(spec.type)) {
            out += format.substr(percent, pos - percent);  // copied as it stands, its '*' taking nothing
            continue;
        }
        if (spec.widthFromArgument) {
            spec.width = va_arg(*args, int);
            if (spec.width < 0) {
                spec.left = true;
                spec.width = spec.width == INT32_MIN ? 0 : -spec.width;
            }
            spec.width = std::min(spec.width, 100000);
        }
        if (spec.precisionFromArgument) {
            spec.precision = va_arg(*args, int);
            spec.precision = spec.precision < 0 ? -1 : std::min(spec.precision, 100000);
        }
        out += Convert(spec, args);
    }
    va_end(list);
    return out;
}

std::u16string WideFormatter::Convert(Spec spec, va_list* args) {
    switch (spec.type) {
        case u's':
        case u'S': {
            bool narrow = spec.type == u'S' ? spec.length != u"l" : spec.length == u"h";
            std::u16string text;
            if (narrow) {
                const char* value = va_arg(*args, const char*);
                text = value ? FromUtf8(value) : u"(null)";
            } else {
                const char16_t* value = va_arg(*args, const char16_t*);
                text = value ? value : u"(null)";
            }
            if (spec.precision >= 0 && text.size() > static_cast<size_t>(spec.precision)) {
                text.resize(static_cast<size_t>(spec.precision));
            }
            spec.zero = false;
            return Pad(spec, text, {});
        }
        case u'c':
        case u'C': {
            int value = va_arg(*args, int);  // char and WCHAR arrive promoted to int
            spec.zero = false;
            return Pad(spec, std::u16string(1, static_cast<char16_t>(value)), {});
        }
        case u'd':
        case u'i':
        case u'u':
        case u'x':
        case u'X':
        case u'o':
            return Integer(spec, args);
        case u'f':
            return Floating(spec, va_arg(*args, double));
        default:
            return {};
    }
}

std::u16string WideFormatter::Integer(const Spec& spec, va_list* args) {
    bool isSigned = spec.type == u'd' || spec.type == u'i';
    uint64_t magnitude = 0;
    bool negative = false;
    if (isSigned) {
        int64_t value = IsLong64(spec.length) ? va_arg(*args, long long) : va_arg(*args, int);
        if (spec.length == u"h") {
            value = static_cast<int16_t>(value);
        }
        negative = value < 0;
        magnitude = negative ? 0 - static_cast<uint64_t>(value) : static_cast<uint64_t>(value);
    } else {
        magnitude = IsLong64(spec.length) ? va_arg(*args, unsigned long long) : va_arg(*args, unsigned int);
        if (spec.length == u"h") {
            magnitude = static_cast<uint16_t>(magnitude);
        }
    }
    unsigned base = spec.type == u'x' || spec.type == u'X' ? 16 : spec.type == u'o' ? 8 : 10;
    std::u16string body =
        spec.precision == 0 && magnitude == 0 ? u"" : Digits(magnitude, base, spec.type == u'X');
    if (spec.precision > 0 && body.size() < static_cast<size_t>(spec.precision)) {
        body.insert(0, static_cast<size_t>(spec.precision) - body.size(), u'0');
    }
    std::u16string_view sign = negative                   ? u"-"
                               : (isSigned && spec.plus)  ? u"+"
                               : (isSigned && spec.space) ? u" "
                                                          : u"";
    if (spec.alternate && magnitude != 0 && base == 16) {
        sign = spec.type == u'X' ? u"0X" : u"0x";
    }
    Spec padding = spec;
    padding.zero = spec.zero && spec.precision < 0;
    return Pad(padding, body, sign);
}

std::u16string WideFormatter::Floating(const Spec& spec, double value) {
    char format[32];
    std::snprintf(format, sizeof format, "%%%s%s%s%s.%df", spec.plus ? "+" : "", spec.space ? " " : "",
                  spec.alternate ? "#" : "", "", spec.precision < 0 ? 6 : spec.precision);
    int length = std::snprintf(nullptr, 0, format, value);
    std::vector<char> text(static_cast<size_t>(length < 0 ? 0 : length) + 1);
    std::snprintf(text.data(), text.size(), format, value);
    std::u16string body = FromUtf8(text.data());
    std::u16string_view sign;
    if (!body.empty() && (body[0] == u'-' || body[0] == u'+' || body[0] == u' ')) {
        sign = body[0] == u'-' ? u"-" : body[0] == u'+' ? u"+" : u" ";
        body.erase(0, 1);
    }
    Spec padding = spec;
    padding.zero = spec.zero && body.find_first_not_of(u"0123456789.") == std::u16string::npos;
    return Pad(padding, body, sign);
}

// Zeros go between the sign and the digits; blanks go before the sign, or after all when left-aligned.
std::u16string WideFormatter::Pad(const Spec& spec, std::u16string body, std::u16string_view sign) {
    size_t used = body.size() + sign.size();
    size_t fill =
        spec.width > 0 && static_cast<size_t>(spec.width) > used ? static_cast<size_t>(spec.width) - used : 0;
    if (spec.left) {
        return std::u16string(sign) + body + std::u16string(fill, u' ');
    }
    if (spec.zero) {
        return std::u16string(sign) + std::u16string(fill, u'0') + body;
    }
    return std::u16string(fill, u' ') + std::u16string(sign) + body;
}

}  // namespace ce::detail
