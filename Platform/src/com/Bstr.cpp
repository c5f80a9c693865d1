// BSTR and VARIANT. A BSTR is allocated with its byte length in the 4 bytes before the text and a
// terminator after it, so it can be read as an ordinary terminated text too.
#include <sanitizer/asan_interface.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "ce/com.h"

namespace {

constexpr size_t kPrefix = sizeof(uint32_t);

// Short BSTRs (names, attribute values, numbers) all take blocks of one size, which each thread keeps
// a few of when they are freed and hands out again: a document reader allocates and frees one for
// every value it reads. The size of a block follows from the length in its prefix, so a block freed
// on another thread than the one that allocated it goes to that thread's blocks just the same.
constexpr size_t kSmallBlock = 64;
constexpr size_t kSmallBytes = kSmallBlock - kPrefix - sizeof(OLECHAR);
constexpr int kKeptBlocks = 32;

// Trivially destructible, so that it can still be used while the thread's other objects are
// destroyed; the guard below empties it and closes it then.
struct KeptBlock {
    KeptBlock* next;
};
struct ThreadBlocks {
    KeptBlock* first;
    int count;
    bool closed;
};
// Initial-exec: the platform library is loaded with the program, and its blocks are reached without a
// call to look up the thread's storage.
__attribute__((tls_model("initial-exec"))) thread_local ThreadBlocks threadBlocks;

void FreeKeptBlocks() {
    while (KeptBlock* block = threadBlocks.first) {
        ASAN_UNPOISON_MEMORY_REGION(block, kSmallBlock);
        threadBlocks.first = block->next;
        std::free(block);
    }
    threadBlocks.count = 0;
}

struct ThreadBlocksGuard {
    ~ThreadBlocksGuard() {
        FreeKeptBlocks();
        threadBlocks.closed = true;
    }
};

void* TakeSmallBlock() {
    KeptBlock* block = threadBlocks.first;
    if (block == nullptr) {
        return std::malloc(kSmallBlock);
    }
    ASAN_UNPOISON_MEMORY_REGION(block, kSmallBlock);
    threadBlocks.first = block->next;
    --threadBlocks.count;
    return block;
}

void KeepSmallBlock(void* memory) {
    ASAN_UNPOISON_MEMORY_REGION(memory, kSmallBlock);
    if (threadBlocks.closed || threadBlocks.count == kKeptBlocks) {
        std::free(memory);
        return;
    }
    if (threadBlocks.count == 0) {
        // Made with the thread's first kept block: frees what is kept when the thread ends.
        thread_local ThreadBlocksGuard guard;
        (void)guard;
    }
    auto* block = static_cast<KeptBlock*>(memory);
    block->next = threadBlocks.first;
    threadBlocks.first = block;
    ++threadBlocks.count;
    // A kept block is nobody's: the address sanitizer reports a use of a freed BSTR, or freeing it again
    // (its length is read), as it would with free.
    ASAN_POISON_MEMORY_REGION(block, kSmallBlock);
}

}  // namespace

extern "C" {

CE_API BSTR SysAllocStringLen(const OLECHAR* text, UINT length) {
    if (length > (UINT32_MAX - kPrefix - sizeof(OLECHAR)) / sizeof(OLECHAR)) {
        return nullptr;
    }
    size_t bytes = static_cast<size_t>(length) * sizeof(OLECHAR);
    void* memory = bytes <= kSmallBytes ? TakeSmallBlock() : std::malloc(kPrefix + bytes + sizeof(OLECHAR));
    if (memory == nullptr) {
        return nullptr;
    }
    auto* block = static_cast<unsigned char*>(memory);
    auto byteLength = static_cast<uint32_t>(bytes);
    std::memcpy(block, &byteLength, kPrefix);
    auto* result = reinterpret_cast<BSTR>(block + kPrefix);
    if (text != nullptr) {
        std::memcpy(result, text, bytes);
    } else {
        std::memset(result, 0, bytes);
    }
    result[length] = 0;
    if (bytes <= kSmallBytes) {
        // What the text does not use of its block is out of bounds for the sanitizer, as it is beyond a
        // block of its own size.
        const size_t used = kPrefix + bytes + sizeof(OLECHAR);
        ASAN_POISON_MEMORY_REGION(block + used, kSmallBlock - used);
    }
    return result;
}

CE_API BSTR SysAllocString(const OLECHAR* text) {
    if (text == nullptr) {
        return nullptr;
    }
    return SysAllocStringLen(text, static_cast<UINT>(std::char_traits<OLECHAR>::length(text)));
}

CE_API void SysFreeString(BSTR text) {
    if (text == nullptr) {
        return;
    }
    void* block = reinterpret_cast<unsigned char*>(text) - kPrefix;
    uint32_t byteLength = 0;
    std::memcpy(&byteLength, block, kPrefix);
    if (byteLength <= kSmallBytes) {
        KeepSmallBlock(block);
    } else {
        std::free(block);
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
