#include "Weather/Base64.h"

namespace {

int SextetOf(char c) {
    if (c >= 'A' && c <= 'Z') return c - 'A';
    if (c >= 'a' && c <= 'z') return c - 'a' + 26;
    if (c >= '0' && c <= '9') return c - '0' + 52;
    if (c == '+') return 62;
    if (c == '/') return 63;
    return -1;
}

}  // namespace

uint32_t DecodeBase64Block(const char* text, size_t length, uint8_t* out, size_t* outLength) {
    *outLength = 0;
    if (length % 4 != 0 || (length > 0 && text == nullptr)) {
        return kBase64Invalid;
    }
    size_t written = 0;
    for (size_t group = 0; group < length; group += 4) {
        bool last = group + 4 == length;
        int values[4];
        int padding = 0;
        for (int k = 0; k < 4; ++k) {
            char c = text[group + k];
            if (c == '=') {
                // Only the third and fourth places of the last group, and a third only with a fourth.
                bool allowed = last && (k == 3 || (k == 2 && text[group + 3] == '='));
                if (!allowed) {
                    return kBase64Invalid;
                }
                ++padding;
                values[k] = 0;
                continue;
            }
            if (padding > 0 || (values[k] = SextetOf(c)) < 0) {
                return kBase64Invalid;
            }
        }
        uint32_t bits = (values[0] << 18) | (values[1] << 12) | (values[2] << 6) | values[3];
        out[written++] = static_cast<uint8_t>(bits >> 16);
        if (padding < 2) out[written++] = static_cast<uint8_t>(bits >> 8);
        if (padding < 1) out[written++] = static_cast<uint8_t>(bits);
    }
    *outLength = written;
    return 0;
}
