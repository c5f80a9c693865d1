#include "Weather/CPrefixCodeDecoder.h"

bool CPrefixCodeDecoder::LoadTable(CBitStream& stream) {
    count_ = 0;
    CBitCode count;
    if (!stream.ReadBits(16, count) || count.bits == 0 || count.bits > kMaxEntries) {
        return false;
    }
    for (uint32_t i = 0; i < count.bits; ++i) {
        CBitCode symbol, length, code;
        if (!stream.ReadBits(8, symbol) || !stream.ReadBits(8, length) || length.bits == 0 || length.bits > 32 ||
            !stream.ReadBits(length.bits, code)) {
            count_ = 0;
            return false;
        }
        if (i > 0 && length.bits < entries_[i - 1].code.length) {
            count_ = 0;
            return false;
        }
        entries_[i].code = code;
        entries_[i].symbol = static_cast<uint8_t>(symbol.bits);
    }
    count_ = count.bits;
    return true;
}

bool CPrefixCodeDecoder::FindSymbol(const CBitCode& code, uint8_t& symbol) const {
    for (size_t i = 0; i < count_; ++i) {
        const CBitCode& candidate = entries_[i].code;
        if (candidate.length < code.length) {
            continue;
        }
        if (candidate.length > code.length) {
            return false;
        }
        if (candidate.bits == code.bits) {
            symbol = entries_[i].symbol;
            return true;
        }
    }
    return false;
}

bool CPrefixCodeDecoder::DecodeText(CBitStream& stream, char* out, size_t capacity) const {
    if (count_ == 0) {
        return false;
    }
    uint32_t shortest = entries_[0].code.length;
    uint32_t longest = entries_[count_ - 1].code.length;
    for (size_t written = 0; written < capacity; ++written) {
        CBitCode code;
        if (!stream.ReadBits(shortest, code)) {
            return false;
        }
        uint8_t symbol = 0;
        while (!FindSymbol(code, symbol)) {
            if (code.length >= longest || !stream.AppendBits(code)) {
                return false;
            }
        }
        out[written] = static_cast<char>(symbol);
        if (symbol == 0) {
            return true;
        }
    }
    return false;  // no terminator within the buffer
}
