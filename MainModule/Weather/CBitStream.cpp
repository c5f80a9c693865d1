#include "Weather/CBitStream.h"

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
