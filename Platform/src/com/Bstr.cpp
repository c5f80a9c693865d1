// BSTR and VARIANT. A BSTR is allocated with its byte length in the 4 bytes before the text and a
// terminator after it, so it can be read as an ordinary terminated text too.
#include <cstdlib>
#include <cstring>
#include <string>

#include "ce/com.h"

namespace {

constexpr size_t kPrefix = sizeof(uint32_t);

}  // namespace

extern "C" {

CE_API BSTR SysAllocStringLen(const OLECHAR* text, UINT length) {
    if (length > (UINT32_MAX - kPrefix - sizeof(OLECHAR)) / sizeof(OLECHAR)) {
        return nullptr;
    }
    size_t bytes = static_cast<size_t>(length) * sizeof(OLECHAR);
    auto* block = static_cast<unsigned char*>(std::malloc(kPrefix + bytes + sizeof(OLECHAR)));
    if (block == nullptr) {
        return nullptr;
    }
    auto byteLength = static_cast<uint32_t>(bytes);
    std::memcpy(block, &byteLength, kPrefix);
    auto* result = reinterpret_cast<BSTR>(block + kPrefix);
    if (text != nullptr) {
        std::memcpy(result, text, bytes);
    } else {
        std::memset(result, 0, bytes);
    }
    result[length] = 0;
    return result;
}

CE_API BSTR SysAllocString(const OLECHAR* text) {
    if (text == nullptr) {
        return nullptr;
    }
    return SysAllocStringLen(text, static_cast<UINT>(std::char_traits<OLECHAR>::length(text)));
}

CE_API void SysFreeString(BSTR text) {
    if (text != nullptr) {
        std::free(reinterpret_cast<unsigned char*>(text) - kPrefix);
    }
}

CE_API UINT SysStringLen(BSTR text) {
    if (text == nullptr) {
        return 0;
    }
    uint32_t byteLength = 0;
    std::memcpy(&byteLength, reinterpret_cast<unsigned char*>(text) - kPrefix, kPrefix);
    return byteLength / sizeof(OLECHAR);
}

CE_API void VariantInit(VARIANTARG* value) {
    if (value != nullptr) {
        std::memset(value, 0, sizeof(*value));
        value->vt = VT_EMPTY;
    }
}

CE_API HRESULT VariantClear(VARIANTARG* value) {
    if (value == nullptr) {
        return E_INVALIDARG;
    }
    if ((value->vt & VT_ARRAY) != 0) {
        HRESULT destroyed = SafeArrayDestroy(value->parray);
        if (FAILED(destroyed)) {
            return destroyed;  // a locked array stays with its value
        }
    } else if (value->vt == VT_BSTR) {
        SysFreeString(value->bstrVal);
    } else if (value->vt == VT_UNKNOWN && value->punkVal != nullptr) {
        value->punkVal->Release();
    }
    VariantInit(value);
    return S_OK;
}

}  // extern "C"
