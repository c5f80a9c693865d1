// The formatter behind wsprintfW and _snwprintf: %s (wide), %hs and %S (narrow), %c, %d/%i, %u,
// %x/%X, %o, %f, %%, flags '-', '0', '+', ' ', '#', widths and precisions (also '*'). Lengths: 'h',
// 'l' (the device's 32-bit long), 'll' and 'I64' (64 bits). An unknown conversion is copied as it
// stands and takes no argument.
#pragma once

#include <cstdarg>
#include <string>
#include <string_view>

namespace ce::detail {

class WideFormatter {
public:
    // One conversion as written: flags, width, precision, length and type.
    struct Spec {
        bool left = false;
        bool zero = false;
        bool plus = false;
        bool space = false;
        bool alternate = false;
        int width = 0;
        int precision = -1;
        bool widthFromArgument = false;
        bool precisionFromArgument = false;
        std::u16string_view length;
        char16_t type = 0;
    };

    // Reads the conversion that starts after the '%' at format[pos]; pos ends after it. False when the
    // format ends inside it.
    static bool ParseSpec(std::u16string_view format, size_t& pos, Spec& spec);

    static std::u16string Format(std::u16string_view format, va_list args);

private:
    static std::u16string Convert(Spec spec, va_list* args);
    static std::u16string Integer(const Spec& spec, va_list* args);
    static std::u16string Floating(const Spec& spec, double value);
    static std::u16string Pad(const Spec& spec, std::u16string body, std::u16string_view sign);
};

}  // namespace ce::detail
