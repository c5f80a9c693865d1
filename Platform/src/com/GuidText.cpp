// GUIDs as text: "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}".
#include <string>

#include "ce/com.h"

namespace {

constexpr int kGuidTextLength = 38;

int HexValue(OLECHAR c) {
    if (c >= u'0' && c <= u'9') {
        return c - u'0';
    }
    if (c >= u'a' && c <= u'f') {
        return c - u'a' + 10;
    }
    if (c >= u'A' && c <= u'F') {
        return c - u'A' + 10;
    }
    return -1;
}

// Reads count hex digits at text[at]; false on anything else.
bool ReadHex(LPCOLESTR text, int at, int count, uint32_t& value) {
    value = 0;
    for (int i = 0; i < count; ++i) {
        int digit = HexValue(text[at + i]);
        if (digit < 0) {
            return false;
        }
        value = (value << 4) | static_cast<uint32_t>(digit);
    }
    return true;
}

void WriteHex(LPOLESTR out, int& at, uint32_t value, int digits) {
    static constexpr char16_t kDigits[] = u"0123456789ABCDEF";
    for (int shift = (digits - 1) * 4; shift >= 0; shift -= 4) {
        out[at++] = kDigits[(value >> shift) & 0xF];
    }
}

HRESULT ParseGuid(LPCOLESTR text, GUID* guid) {
    if (text == nullptr || guid == nullptr) {
        return E_INVALIDARG;
    }
    if (std::char_traits<OLECHAR>::length(text) != kGuidTextLength || text[0] != u'{' || text[9] != u'-' || text[14] != u'-' ||
        text[19] != u'-' || text[24] != u'-' || text[37] != u'}') {
        return CO_E_CLASSSTRING;
    }
    GUID parsed{};
    uint32_t value = 0;
    if (!ReadHex(text, 1, 8, value)) {
        return CO_E_CLASSSTRING;
    }
    parsed.Data1 = value;
    if (!ReadHex(text, 10, 4, value)) {
        return CO_E_CLASSSTRING;
    }
    parsed.Data2 = static_cast<WORD>(value);
    if (!ReadHex(text, 15, 4, value)) {
        return CO_E_CLASSSTRING;
    }
    parsed.Data3 = static_cast<WORD>(value);
    static constexpr int kByteAt[8] = {20, 22, 25, 27, 29, 31, 33, 35};
    for (int i = 0; i < 8; ++i) {
        if (!ReadHex(text, kByteAt[i], 2, value)) {
            return CO_E_CLASSSTRING;
        }
        parsed.Data4[i] = static_cast<BYTE>(value);
    }
    *guid = parsed;
    return S_OK;
}

}  // namespace

extern "C" {

CE_API int StringFromGUID2(REFGUID guid, LPOLESTR out, int size) {
    if (out == nullptr || size < kGuidTextLength + 1) {
        return 0;
    }
    int at = 0;
    out[at++] = u'{';
    WriteHex(out, at, guid.Data1, 8);
    out[at++] = u'-';
    WriteHex(out, at, guid.Data2, 4);
    out[at++] = u'-';
    WriteHex(out, at, guid.Data3, 4);
    out[at++] = u'-';
    for (int i = 0; i < 8; ++i) {
        if (i == 2) {
            out[at++] = u'-';
        }
        WriteHex(out, at, guid.Data4[i], 2);
    }
    out[at++] = u'}';
    out[at] = 0;
    return kGuidTextLength + 1;
}

CE_API HRESULT CLSIDFromString(LPCOLESTR text, LPCLSID clsid) { return ParseGuid(text, clsid); }

CE_API HRESULT IIDFromString(LPCOLESTR text, LPIID iid) { return ParseGuid(text, iid); }

}  // extern "C"
