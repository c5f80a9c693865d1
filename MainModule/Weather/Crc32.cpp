#include "Weather/Crc32.h"

#include <array>

#if defined(__x86_64__)
#include <immintrin.h>
#endif

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

// The register run over bytes, one table look-up each, then sixteen at a time: the register is kept
// as it runs (not inverted).
uint32_t RunTables(uint32_t crc, const uint8_t* bytes, size_t length) {
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
    return crc;
}

#if defined(__x86_64__)

// Carry-less multiplication folds the text 64 bytes at a time: four 16-byte lanes, each multiplied
// by x to the power of the distance it moves (taken mod the polynomial, bit-reversed as the CRC is)
// and added to the lane that distance further on. What is left, one lane, is a shorter text of the
// same remainder, which the tables finish. The register enters as the text's first four bytes are
// added to it.
constexpr size_t kFoldFrom = 128;
constexpr uint64_t kFourLanesLow = 0x154442bd4;   // x^(512+32) mod P, reversed
constexpr uint64_t kFourLanesHigh = 0x1c6e41596;  // x^(512-32) mod P, reversed
constexpr uint64_t kOneLaneLow = 0x1751997d0;     // x^(128+32) mod P, reversed
constexpr uint64_t kOneLaneHigh = 0x0ccaa009e;    // x^(128-32) mod P, reversed

__attribute__((target("pclmul,sse2"))) __m128i Fold(__m128i lane, __m128i constants, __m128i next) {
    const __m128i low = _mm_clmulepi64_si128(lane, constants, 0x00);
    const __m128i high = _mm_clmulepi64_si128(lane, constants, 0x11);
    return _mm_xor_si128(_mm_xor_si128(low, high), next);
}

__attribute__((target("pclmul,sse2"))) uint32_t RunCarryLess(uint32_t crc, const uint8_t* bytes, size_t length) {
    auto load = [bytes](size_t at) { return _mm_loadu_si128(reinterpret_cast<const __m128i*>(bytes + at)); };
    __m128i lanes[4] = {_mm_xor_si128(load(0), _mm_cvtsi32_si128(static_cast<int>(crc))), load(16), load(32),
                        load(48)};
    const __m128i fourLanes = _mm_set_epi64x(static_cast<long long>(kFourLanesHigh),
                                             static_cast<long long>(kFourLanesLow));
    size_t at = 64;
    for (; at + 64 <= length; at += 64) {
        for (size_t lane = 0; lane < 4; ++lane) {
            lanes[lane] = Fold(lanes[lane], fourLanes, load(at + 16 * lane));
        }
    }
    const __m128i oneLane =
        _mm_set_epi64x(static_cast<long long>(kOneLaneHigh), static_cast<long long>(kOneLaneLow));
    __m128i folded = lanes[0];
    for (size_t lane = 1; lane < 4; ++lane) {
        folded = Fold(folded, oneLane, lanes[lane]);
    }
    for (; at + 16 <= length; at += 16) {
        folded = Fold(folded, oneLane, load(at));
    }
    alignas(16) uint8_t rest[16];
    _mm_store_si128(reinterpret_cast<__m128i*>(rest), folded);
    return RunTables(RunTables(0, rest, sizeof rest), bytes + at, length - at);
}

bool HasCarryLessMultiply() {
    static const bool has = __builtin_cpu_supports("pclmul") && __builtin_cpu_supports("sse2");
    return has;
}

#endif

}  // namespace

uint32_t ComputeCrc32(uint32_t previous, const uint8_t* bytes, size_t length) {
    if (bytes == nullptr) {
        return 0;
    }
#if defined(__x86_64__)
    if (length >= kFoldFrom && HasCarryLessMultiply()) {
        return ~RunCarryLess(~previous, bytes, length);
    }
#endif
    return ~RunTables(~previous, bytes, length);
}
