// Little-endian words of the file formats.
#pragma once

#include <cstdint>
#include <vector>

inline uint32_t ReadLe32(const uint8_t* bytes) {
    return uint32_t(bytes[0]) | uint32_t(bytes[1]) << 8 | uint32_t(bytes[2]) << 16 | uint32_t(bytes[3]) << 24;
}
inline uint16_t ReadLe16(const uint8_t* bytes) {
    return uint16_t(bytes[0] | bytes[1] << 8);
}

inline void AppendLe32(std::vector<uint8_t>& out, uint32_t value) {
    for (int i = 0; i < 4; ++i) out.push_back(uint8_t(value >> (8 * i)));
}
inline void AppendLe16(std::vector<uint8_t>& out, uint16_t value) {
    out.push_back(uint8_t(value));
    out.push_back(uint8_t(value >> 8));
}
