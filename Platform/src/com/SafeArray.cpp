// One-dimensional arrays of plain numbers: the form in which bytes travel inside a VARIANT.
#include <cstdlib>

#include "ce/com.h"

namespace {

ULONG ElementSize(VARTYPE type) {
    switch (type) {
        case VT_UI1:
            return 1;
        case VT_I2:
            return 2;
        case VT_I4:
        case VT_UI4:
        case VT_R4:
            return 4;
        case VT_R8:
            return 8;
        default:
            return 0;
    }
}

}  // namespace

extern "C" {

CE_API SAFEARRAY* SafeArrayCreateVector(VARTYPE type, LONG lowerBound, ULONG count) {
    const ULONG elementSize = ElementSize(type);
    if (elementSize == 0) {
        return nullptr;
    }
    auto* array = static_cast<SAFEARRAY*>(std::calloc(1, sizeof(SAFEARRAY)));
    if (array == nullptr) {
        return nullptr;
    }
    // One byte more than asked, so that an empty array still has data to point at.
    array->pvData = std::calloc(static_cast<size_t>(count) + 1, elementSize);
    if (array->pvData == nullptr) {
        std::free(array);
        return nullptr;
    }
    array->cDims = 1;
    array->cbElements = elementSize;
    array->rgsabound[0].cElements = count;
    array->rgsabound[0].lLbound = lowerBound;
    return array;
}

CE_API HRESULT SafeArrayAccessData(SAFEARRAY* array, void** data) {
    if (array == nullptr || data == nullptr) {
        return E_INVALIDARG;
    }
    ++array->cLocks;
    *data = array->pvData;
    return S_OK;
}

CE_API HRESULT SafeArrayUnaccessData(SAFEARRAY* array) {
    if (array == nullptr) {
        return E_INVALIDARG;
    }
    if (array->cLocks == 0) {
        return E_UNEXPECTED;
    }
    --array->cLocks;
    return S_OK;
}

CE_API HRESULT SafeArrayDestroy(SAFEARRAY* array) {
    if (array == nullptr) {
        return S_OK;
    }
    if (array->cLocks != 0) {
        return DISP_E_ARRAYISLOCKED;
    }
    std::free(array->pvData);
    std::free(array);
    return S_OK;
}

}  // extern "C"
