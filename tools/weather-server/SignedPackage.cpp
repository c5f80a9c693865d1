#include "SignedPackage.h"

#include <zlib.h>

namespace {

void PutWord(std::string& bytes, size_t offset, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        bytes[offset + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

}  // namespace

uint32_t SignedPackage::Crc32(const std::string& bytes, size_t offset, size_t length) {
    return static_cast<uint32_t>(
        crc32(0, reinterpret_cast<const Bytef*>(bytes.data() + offset), static_cast<uInt>(length)));
}

std::string SignedPackage::WithHeader(const std::string& body, uint32_t first, uint32_t second) {
    std::string bytes(kHeaderSize, '\0');
    bytes += body;
    PutWord(bytes, 4, static_cast<uint32_t>(bytes.size()));
    PutWord(bytes, 8, first);
    PutWord(bytes, 12, second);
    PutWord(bytes, 16, Crc32(bytes, kHeaderSize, body.size()));
    PutWord(bytes, 0, Crc32(bytes, 4, kHeaderSize - 4));
    return bytes;
}

std::string SignedPackage::Inner(const std::string& content, const std::string& signature) {
    return WithHeader(content + signature, static_cast<uint32_t>(content.size()),
                      static_cast<uint32_t>(signature.size()));
}

std::string SignedPackage::Outer(const std::string& inner) {
    uLongf length = compressBound(static_cast<uLong>(inner.size()));
    std::string compressed(length, '\0');
    if (compress2(reinterpret_cast<Bytef*>(compressed.data()), &length,
                  reinterpret_cast<const Bytef*>(inner.data()), static_cast<uLong>(inner.size()),
                  Z_BEST_COMPRESSION) != Z_OK) {
        return {};
    }
    compressed.resize(length);
    return WithHeader(compressed, static_cast<uint32_t>(compressed.size()), static_cast<uint32_t>(inner.size()));
}
