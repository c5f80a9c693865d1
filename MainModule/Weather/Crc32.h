// CRC-32 of IEEE 802.3 in the form zlib computes it.
#pragma once

#include <cstddef>
#include <cstdint>

// Continues a running CRC; a null buffer returns 0, the start value.
uint32_t ComputeCrc32(uint32_t previous, const uint8_t* bytes, size_t length);
