// MultiByteToWideChar / WideCharToMultiByte for the device's code page 1252 and UTF-8. The device has
// one code page: CP_ACP and CP_OEMCP are both 1252.
#include <array>
#include <string>

#include "ce/kernel.h"

namespace {

constexpr UINT kSystemCodePage = 1252;

// 0x80-0x9F of 1252; the five bytes that 1252 leaves open map to the C1 controls of the same value.
constexpr std::array<char16_t, 32> kHigh1252 = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178};

// 0 for a code page this device does not have.
UINT ResolveCodePage(UINT codePage) {
    switch (codePage) {
        case CP_ACP:
        case CP_OEMCP:
        case kSystemCodePage:
            return kSystemCodePage;
        case CP_UTF8:
            return CP_UTF8;
        default:
            return 0;
    }
}

char16_t From1252(unsigned char byte) {
    return byte >= 0x80 && byte < 0xA0 ? kHigh1252[byte - 0x80] : byte;
}

// -1 when the character has no byte in 1252.
int To1252(char16_t c) {
    if (c < 0x80 || (c >= 0xA0 && c <= 0xFF)) {
        return c;
    }
    for (size_t i = 0; i < kHigh1252.size(); ++i) {
        if (kHigh1252[i] == c) {
            return static_cast<int>(0x80 + i);
        }
    }
    return -1;
}

// Copies a converted text out under the sizing rules of both calls: size 0 asks for the length.
template <class Char>
int CopyConverted(const std::basic_string<Char>& text, Char* out, int size) {
    if (size == 0) {
        return static_cast<int>(text.size());
    }
    if (out == nullptr || size < static_cast<int>(text.size())) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    std::char_traits<Char>::copy(out, text.data(), text.size());
    return static_cast<int>(text.size());
}

int FailInvalid() {
    SetLastError(ERROR_INVALID_PARAMETER);
    return 0;
}

}  // namespace

extern "C" {

CE_API UINT GetACP(void) {
    return kSystemCodePage;
}
CE_API UINT GetOEMCP(void) {
    return kSystemCodePage;
}

// A length of -1 converts up to and with the terminator.
CE_API int MultiByteToWideChar(UINT codePage, DWORD, LPCSTR text, int length, LPWSTR out, int size) {
    UINT resolved = ResolveCodePage(codePage);
    if (resolved == 0 || text == nullptr || length < -1 || length == 0 || size < 0) {
        return FailInvalid();
    }
    std::string_view input = length == -1 ? std::string_view(text, std::char_traits<char>::length(text) + 1)
                                          : std::string_view(text, static_cast<size_t>(length));
    if (resolved == CP_UTF8) {
        return CopyConverted(ce::FromUtf8(input), out, size);
    }
    // One byte is one character in 1252: the length is known without converting, and the characters
    // go straight into the caller's buffer (the forecast text passes through here twice per city).
    const int count = static_cast<int>(input.size());
    if (size == 0) {
        return count;
    }
    if (out == nullptr || size < count) {
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return 0;
    }
    for (int i = 0; i < count; ++i) {
        out[i] = From1252(static_cast<unsigned char>(input[static_cast<size_t>(i)]));
    }
    return count;
}

// Characters without a byte in 1252 become defaultChar (or '?') and set *usedDefault; UTF-8 takes
// neither argument, as on the device.
CE_API int WideCharToMultiByte(UINT codePage, DWORD, LPCWSTR text, int length, LPSTR out, int size,
                               LPCSTR defaultChar, LPBOOL usedDefault) {
    UINT resolved = ResolveCodePage(codePage);
    if (resolved == 0 || text == nullptr || length < -1 || length == 0 || size < 0 ||
        (resolved == CP_UTF8 && (defaultChar != nullptr || usedDefault != nullptr))) {
        return FailInvalid();
    }
    std::u16string_view input = length == -1
                                    ? std::u16string_view(text, std::char_traits<char16_t>::length(text) + 1)
                                    : std::u16string_view(text, static_cast<size_t>(length));
    std::string narrow;
    if (resolved == CP_UTF8) {
        narrow = ce::ToUtf8(input);
    } else {
        bool defaulted = false;
        narrow.reserve(input.size());
        for (size_t i = 0; i < input.size(); ++i) {
            char16_t c = input[i];
            if (c >= 0xD800 && c <= 0xDBFF && i + 1 < input.size() && input[i + 1] >= 0xDC00 &&
                input[i + 1] <= 0xDFFF) {
                ++i;  // a pair is one character, and none of 1252
            }
            int byte = To1252(c);
            defaulted |= byte < 0;
            narrow += byte >= 0 ? static_cast<char>(byte) : (defaultChar ? *defaultChar : '?');
        }
        if (usedDefault) {
            *usedDefault = defaulted ? TRUE : FALSE;
        }
    }
    return CopyConverted(narrow, out, size);
}

}  // extern "C"
