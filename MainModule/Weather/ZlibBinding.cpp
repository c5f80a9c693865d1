#include "Weather/ZlibBinding.h"

#include <cstdlib>
#include <mutex>

#include "ce/kernel.h"

namespace {

// zlib's uncompress(dest, destLen, source, sourceLen); uLong is unsigned long on this platform.
typedef int (*UncompressProc)(uint8_t* dest, unsigned long* destLength, const uint8_t* source,
                              unsigned long sourceLength);

// The library stays loaded for the rest of the process once found.
UncompressProc FindUncompress() {
    static std::once_flag once;
    static UncompressProc proc = nullptr;
    std::call_once(once, [] {
        HMODULE zlib = LoadLibraryW(u"zlib.dll");
        if (zlib != nullptr) {
            proc = reinterpret_cast<UncompressProc>(GetProcAddressW(zlib, u"uncompress"));
        }
    });
    return proc;
}

}  // namespace

uint8_t* UncompressWithZlib(const uint8_t* compressed, size_t compressedLength, size_t expectedLength) {
    if (compressed == nullptr || compressedLength == 0) {
        return nullptr;
    }
    UncompressProc uncompress = FindUncompress();
    if (uncompress == nullptr) {
        return nullptr;
    }
    auto* buffer = static_cast<uint8_t*>(std::malloc(expectedLength == 0 ? 1 : expectedLength));
    if (buffer == nullptr) {
        return nullptr;
    }
    unsigned long length = expectedLength;
    // A stream that inflates to another length than stated is as damaged as one that fails.
    if (uncompress(buffer, &length, compressed, compressedLength) < 0 || length != expectedLength) {
        std::free(buffer);
        return nullptr;
    }
    return buffer;
}
