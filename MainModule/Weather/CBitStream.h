// Reads bit fields from a byte buffer: the bits of each byte from the least significant up; a field's
// first bit is its most significant one.
#pragma once

#include <cstddef>
#include <cstdint>
#include <vector>

struct CBitCode {
    uint32_t bits = 0;
    uint32_t length = 0;
};

class CBitStream {
public:
    // A stream over a zero-filled copy of the bytes.
    CBitStream(const uint8_t* bytes, size_t size);

    // Reads count bits (at most 32) into code; false when the stream ends first.
    bool ReadBits(uint32_t count, CBitCode& code);
    // Reads one more bit onto the least significant end of code.
    bool AppendBits(CBitCode& code);
    bool AtEnd() const { return byteIndex_ >= buffer_.size(); }

private:
    bool NextBit(uint32_t& bit);

    std::vector<uint8_t> buffer_;
    size_t byteIndex_ = 0;
    uint32_t bitIndex_ = 0;
};
