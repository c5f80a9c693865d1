// Reads bit fields from a byte buffer: the bits of each byte from the least significant up; a field's
// first bit is its most significant one.
#pragma once

#include <cstddef>
#include <cstdint>

struct CBitCode {
    uint32_t bits = 0;
    uint32_t length = 0;
};

class CBitStream {
public:
    // A stream over the bytes, which the caller keeps for the stream's life (a record's few bytes are
    // read where they lie, not copied).
    CBitStream(const uint8_t* bytes, size_t size) : bytes_(bytes), size_(size) {}

    // Reads count bits (at most 32) into code; false when the stream ends first.
    bool ReadBits(uint32_t count, CBitCode& code);
    // Reads one more bit onto the least significant end of code.
    bool AppendBits(CBitCode& code);
    bool AtEnd() const { return byteIndex_ >= size_; }
    // The next count bits (at most 24) as a number, first bit most significant, without reading them;
    // false when fewer are left.
    bool PeekBits(uint32_t count, uint32_t& bits) const;
    // Passes over count bits, which PeekBits has shown to be there.
    void Skip(uint32_t count);

private:
    bool NextBit(uint32_t& bit);

    const uint8_t* bytes_;
    size_t size_;
    size_t byteIndex_ = 0;
    uint32_t bitIndex_ = 0;
};
