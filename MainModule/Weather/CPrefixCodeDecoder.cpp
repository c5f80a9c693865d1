#include "Weather/CPrefixCodeDecoder.h"

#include <algorithm>

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
    BuildLookup();
    return true;
}

void CPrefixCodeDecoder::BuildLookup() {
    byLength_.assign(entries_, entries_ + count_);
    std::stable_sort(byLength_.begin(), byLength_.end(), [](const Entry& a, const Entry& b) {
        return a.code.length != b.code.length ? a.code.length < b.code.length : a.code.bits < b.code.bits;
    });
    size_t next = 0;
    for (uint32_t length = 0; length < lengthStart_.size(); ++length) {
        while (next < byLength_.size() && byLength_[next].code.length < length) {
            ++next;
        }
        lengthStart_[length] = static_cast<uint16_t>(next);
    }
    const uint32_t shortest = entries_[0].code.length;
    fastBits_ = std::min(entries_[count_ - 1].code.length, kMaxFastBits);
    fast_.assign(size_t{1} << fastBits_, FastEntry{});
    for (uint32_t value = 0; value < fast_.size(); ++value) {
        for (uint32_t length = shortest; length <= fastBits_; ++length) {
            uint8_t symbol = 0;
            if (FindSymbol(CBitCode{value >> (fastBits_ - length), length}, symbol)) {
                fast_[value] = {symbol, static_cast<uint8_t>(length)};
                break;
            }
        }
    }
}

bool CPrefixCodeDecoder::ReadSymbol(CBitStream& stream, uint8_t& symbol) const {
    const uint32_t longest = entries_[count_ - 1].code.length;
    uint32_t window = 0;
    CBitCode code;
    if (stream.PeekBits(fastBits_, window)) {
        const FastEntry& entry = fast_[window];
        if (entry.length != 0) {
            stream.Skip(entry.length);
            symbol = entry.symbol;
            return true;
        }
        // No code of fastBits_ bits or fewer: the search goes on from there.
        stream.ReadBits(fastBits_, code);
    } else if (!stream.ReadBits(entries_[0].code.length, code)) {
        return false;
    }
    while (!FindSymbol(code, symbol)) {
        if (code.length >= longest || !stream.AppendBits(code)) {
            return false;
        }
    }
    return true;
}

bool CPrefixCodeDecoder::FindSymbol(const CBitCode& code, uint8_t& symbol) const {
    if (count_ == 0 || code.length > 32) {
        return false;
    }
    const auto first = byLength_.begin() + lengthStart_[code.length];
    const auto last = byLength_.begin() + lengthStart_[code.length + 1];
    const auto found = std::lower_bound(first, last, code.bits,
                                        [](const Entry& entry, uint32_t bits) { return entry.code.bits < bits; });
    if (found == last || found->code.bits != code.bits) {
        return false;
    }
    symbol = found->symbol;
    return true;
}

bool CPrefixCodeDecoder::DecodeText(CBitStream& stream, char* out, size_t capacity) const {
    if (count_ == 0) {
        return false;
    }
    for (size_t written = 0; written < capacity; ++written) {
        uint8_t symbol = 0;
        if (!ReadSymbol(stream, symbol)) {
            return false;
        }
        out[written] = static_cast<char>(symbol);
        if (symbol == 0) {
            return true;
        }
    }
    return false;  // no terminator within the buffer
}
