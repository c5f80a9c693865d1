#include "Weather/CBitStream.h"

#include <array>

namespace {

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
constexpr std::array<uint8_t, 256> kReversedBytes = MakeReversedBytes();

}  // namespace

bool CBitStream::NextBit(uint32_t& bit) {
    if (byteIndex_ >= size_) {
        return false;
    }
    bit = (bytes_[byteIndex_] >> bitIndex_) & 1;
    if (++bitIndex_ == 8) {
        bitIndex_ = 0;
        ++byteIndex_;
    }
    return true;
}

bool CBitStream::ReadBits(uint32_t count, CBitCode& code) {
    if (count > 32) {
        return false;
    }
    code = CBitCode{};
    for (uint32_t i = 0; i < count; ++i) {
        if (!AppendBits(code)) {
            return false;
        }
    }
    return true;
}

bool CBitStream::AppendBits(CBitCode& code) {
    uint32_t bit = 0;
    if (code.length >= 32 || !NextBit(bit)) {
        return false;
    }
    code.bits = (code.bits << 1) | bit;
    ++code.length;
    return true;
}

bool CBitStream::PeekBits(uint32_t count, uint32_t& bits) const {
    const size_t left = byteIndex_ < size_ ? (size_ - byteIndex_) * 8 - bitIndex_ : 0;
    if (count == 0 || count > 24 || left < count) {
        return false;
    }
    uint32_t window = 0;
    for (size_t k = 0; k < 4; ++k) {
        const size_t index = byteIndex_ + k;
        window = (window << 8) | (index < size_ ? kReversedBytes[bytes_[index]] : 0u);
    }
    bits = (window << bitIndex_) >> (32 - count);
    return true;
}

void CBitStream::Skip(uint32_t count) {
    const uint32_t position = bitIndex_ + count;
    byteIndex_ += position / 8;
    bitIndex_ = position % 8;
}
