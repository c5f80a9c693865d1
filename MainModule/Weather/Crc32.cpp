#include "Weather/Crc32.h"

#include <array>

namespace {

constexpr size_t kSlices = 8;
using CrcTables = std::array<std::array<uint32_t, 256>, kSlices>;

// Table 0 is the classic byte-at-a-time table of the reflected polynomial; table k advances a byte's
// contribution by k more zero bytes, so that eight bytes are folded in with eight independent look-ups
// (slicing by eight) instead of eight dependent ones.
constexpr CrcTables MakeTables() {
    CrcTables tables{};
    for (uint32_t n = 0; n < 256; ++n) {
        uint32_t c = n;
        for (int k = 0; k < 8; ++k) {
            c = (c & 1) ? 0xEDB88320u ^ (c >> 1) : c >> 1;
        }
        tables[0][n] = c;
    }
    for (uint32_t n = 0; n < 256; ++n) {
        for (size_t slice = 1; slice < kSlices; ++slice) {
            const uint32_t previous = tables[slice - 1][n];
            tables[slice][n] = tables[0][previous & 0xFF] ^ (previous >> 8);
        }
    }
    return tables;
}

constexpr CrcTables kTables = MakeTables();

uint32_t LoadLittleEndian(const uint8_t* bytes) {
    return static_cast<uint32_t>(bytes[0]) | (static_cast<uint32_t>(bytes[1]) << 8) |
           (static_cast<uint32_t>(bytes[2]) << 16) | (static_cast<uint32_t>(bytes[3]) << 24);
}

}  // namespace

uint32_t ComputeCrc32(uint32_t previous, const uint8_t* bytes, size_t length) {
    if (bytes == nullptr) {
        return 0;
    }
    uint32_t crc = ~previous;
    size_t i = 0;
    for (; i + kSlices <= length; i += kSlices) {
        const uint32_t low = LoadLittleEndian(bytes + i) ^ crc;
        const uint32_t high = LoadLittleEndian(bytes + i + 4);
        crc = kTables[7][low & 0xFF] ^ kTables[6][(low >> 8) & 0xFF] ^ kTables[5][(low >> 16) & 0xFF] ^
              kTables[4][low >> 24] ^ kTables[3][high & 0xFF] ^ kTables[2][(high >> 8) & 0xFF] ^
              kTables[1][(high >> 16) & 0xFF] ^ kTables[0][high >> 24];
    }
    for (; i < length; ++i) {
        crc = kTables[0][(crc ^ bytes[i]) & 0xFF] ^ (crc >> 8);
    }
    return ~crc;
}
