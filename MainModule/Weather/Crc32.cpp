#include "Weather/Crc32.h"

#include <array>

namespace {

constexpr size_t kSlices = 16;
using CrcTables = std::array<std::array<uint32_t, 256>, kSlices>;

// Table 0 is the classic byte-at-a-time table of the reflected polynomial; table k advances a byte's
// contribution by k more zero bytes, so that sixteen bytes are folded in with sixteen independent
// look-ups (slicing by sixteen) instead of sixteen dependent ones.
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
        uint32_t folded = 0;
        for (size_t word = 0; word < kSlices / 4; ++word) {
            uint32_t value = LoadLittleEndian(bytes + i + 4 * word);
            if (word == 0) {
                value ^= crc;
            }
            for (size_t byte = 0; byte < 4; ++byte) {
                folded ^= kTables[kSlices - 1 - (4 * word + byte)][(value >> (8 * byte)) & 0xFF];
            }
        }
        crc = folded;
    }
    for (; i < length; ++i) {
        crc = kTables[0][(crc ^ bytes[i]) & 0xFF] ^ (crc >> 8);
    }
    return ~crc;
}
