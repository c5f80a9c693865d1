// wsprintfW, _snwprintf and their va_list forms, and the conversion list of a template.
#include <algorithm>

#include "ce/types.h"
#include "strings/WideFormatter.h"

using ce::detail::WideFormatter;

namespace {

// The device's wsprintfW writes at most 1024 characters with the terminator; so does this one.
constexpr size_t kUnboundedLimit = 1024;

int CopyBounded(const std::u16string& text, LPWSTR out, size_t count) {
    if (out == nullptr || count == 0) {
        return -1;
    }
    size_t length = std::min(text.size(), count - 1);
    std::char_traits<char16_t>::copy(out, text.data(), length);
    out[length] = 0;
    return length == text.size() ? static_cast<int>(length) : -1;
}

}  // namespace

extern "C" {

CE_API int wvsprintfW(LPWSTR out, LPCWSTR format, va_list args) {
    if (out == nullptr || format == nullptr) {
        return 0;
    }
    std::u16string text = WideFormatter::Format(format, args);
    int written = CopyBounded(text, out, kUnboundedLimit);
    return written < 0 ? static_cast<int>(kUnboundedLimit - 1) : written;
}

CE_API int wsprintfW(LPWSTR out, LPCWSTR format, ...) {
    va_list args;
    va_start(args, format);
    int written = wvsprintfW(out, format, args);
    va_end(args);
    return written;
}

CE_API int _vsnwprintf(LPWSTR out, size_t count, LPCWSTR format, va_list args) {
    if (format == nullptr) {
        return -1;
    }
    return CopyBounded(WideFormatter::Format(format, args), out, count);
}

CE_API int _snwprintf(LPWSTR out, size_t count, LPCWSTR format, ...) {
    va_list args;
    va_start(args, format);
    int written = _vsnwprintf(out, count, format, args);
    va_end(args);
    return written;
}

}  // extern "C"

namespace ce {

// A width or precision taken from an argument shows as '*' and ".*" ("%*.*d" gives "*.*d"): the callers
// must pass that argument too, so a check against what they pass refuses it.
std::string FormatConversions(std::u16string_view format) {
    std::string conversions;
    size_t pos = 0;
    while ((pos = format.find(u'%', pos)) != std::u16string_view::npos) {
        ++pos;
        WideFormatter::Spec spec;
        if (!WideFormatter::ParseSpec(format, pos, spec)) {
            break;
        }
        if (spec.type == u'%') {
            continue;
        }
        // An argument for the width or the precision is one more that the callers must pass.
        if (spec.widthFromArgument) {
            conversions += '*';
        }
        if (spec.precisionFromArgument) {
            conversions += ".*";
        }
        conversions += ToUtf8(spec.length);
        conversions += static_cast<char>(spec.type < 0x80 ? spec.type : '?');
    }
    return conversions;
}

}  // namespace ce
