// Reads bit fields from a byte buffer: the bits of each byte from the least significant up; a field's
// first bit is its most significant one.
#pragma once

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>

namespace bit_stream {

// Each byte with its bits in the opposite order: the stream reads a byte from its least significant
// bit, so reversed bytes put the stream's order from the most significant bit down.
constexpr std::array<uint8_t, 256> MakeReversedBytes() {
    std::array<uint8_t, 256> table{};
    for (int value = 0; value < 256; ++value) {
        uint8_t reversed = 0;
        for (int bit = 0; bit < 8; ++bit) {
            reversed = static_cast<uint8_t>(reversed | (((value >> bit) & 1) << (7 - bit)));
        }
        table[static_cast<size_t>(value)] = reversed;
    }
    return table;
}
inline constexpr std::array<uint8_t, 256> kReversedBytes = MakeReversedBytes();

}  // namespace bit_stream

struct CBitCode {
    uint32_t bits = 0;
    uint32_t length = 0;
};

class CBitStream {
public:
    // A stream over the bytes, which the caller keeps for the stream's life (a record's few bytes are
    // read where they lie, not copied).
    CBitStream(const uint8_t* bytes, size_t size) : bytes_(bytes), size_(size) {}
    // A stream of the first size bytes, where readableAfter more bytes follow in the same buffer: a
    // reader may load them with the stream's own bytes, and takes no bit of them.
    CBitStream(const uint8_t* bytes, size_t size, size_t readableAfter)
        : bytes_(bytes), size_(size), readableAfter_(readableAfter) {}

    // Reads count bits (at most 32) into code; false when the stream ends first.
    bool ReadBits(uint32_t count, CBitCode& code);
    // Reads one more bit onto the least significant end of code.
    bool AppendBits(CBitCode& code);
    bool AtEnd() const { return byteIndex_ >= size_; }
    // Passes over count bits, which the caller has seen to be there (inline: a record's text is
    // decoded and passed over for each of the database's cities).
    void Skip(uint32_t count) {
        const uint32_t position = bitIndex_ + count;
        byteIndex_ += position / 8;
        bitIndex_ = position % 8;
    }
    // The bytes from the current byte on, and the bits of the current byte already read, for a reader
    // that takes many fields at once and then Skips over them.
    const uint8_t* Rest() const { return bytes_ + std::min(byteIndex_, size_); }
    size_t RestSize() const { return size_ - std::min(byteIndex_, size_); }
    uint32_t BitIndex() const { return bitIndex_; }
    size_t ReadableAfter() const { return readableAfter_; }

private:
    bool NextBit(uint32_t& bit);

    const uint8_t* bytes_;
    size_t size_;
    size_t readableAfter_ = 0;
    size_t byteIndex_ = 0;
    uint32_t bitIndex_ = 0;
};
