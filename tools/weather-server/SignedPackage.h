// The two-level signed package of a forecast reply: a 20-byte header of five little-endian words
// (CRC-32 of header bytes 4-19, total length, first length, second length, CRC-32 of the bytes after
// the header), at the outer level followed by a zlib stream of the inner level, at the inner level
// followed by the content and its signature text.
#pragma once

#include <cstdint>
#include <string>

class SignedPackage {
public:
    static constexpr size_t kHeaderSize = 20;

    static std::string Inner(const std::string& content, const std::string& signature);
    // Empty when compression fails.
    static std::string Outer(const std::string& inner);
    static uint32_t Crc32(const std::string& bytes, size_t offset, size_t length);

private:
    static std::string WithHeader(const std::string& body, uint32_t first, uint32_t second);
};
