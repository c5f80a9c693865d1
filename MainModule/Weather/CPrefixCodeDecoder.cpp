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
        if (!stream.ReadBits(8, symbol) || !stream.ReadBits(8, length) || length.bits == 0 ||
            length.bits > 32 || !stream.ReadBits(length.bits, code)) {
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

bool CPrefixCodeDecoder::FindSymbol(const CBitCode& code, uint8_t& symbol) const {
    if (count_ == 0 || code.length > 32) {
        return false;
    }
    const auto first = byLength_.begin() + lengthStart_[code.length];
    const auto last = byLength_.begin() + lengthStart_[code.length + 1];
    const auto found = std::lower_bound(
        first, last, code.bits, [](const Entry& entry, uint32_t bits) { return entry.code.bits < bits; });
    if (found == last || found->code.bits != code.bits) {
        return false;
    }
    symbol = found->symbol;
    return true;
}

// The stream's bits from its position on, first bit at the top of a 64-bit window that is refilled
// byte by byte: a symbol costs one look-up in the table of first bits instead of a peek of its own.
class CPrefixCodeDecoder::BitWindow {
public:
    explicit BitWindow(const CBitStream& stream)
        : next_(stream.Rest()), end_(stream.Rest() + stream.RestSize()), skipped_(stream.BitIndex()) {
        Refill();
        Consume(skipped_);
    }
    // The next count bits (1 to 32) as a number, first bit most significant; zeros past the end.
    uint32_t Peek(uint32_t count) const { return static_cast<uint32_t>(bits_ >> (64 - count)); }
    uint32_t Available() const { return available_; }
    void Consume(uint32_t count) {
        bits_ <<= count;
        available_ -= count;
        consumed_ += count;
        if (available_ < 32) {
            Refill();
        }
    }
    // Bits taken since the stream's position.
    uint32_t Consumed() const { return consumed_ - skipped_; }

private:
    void Refill() {
        while (available_ <= 56 && next_ != end_) {
            bits_ |= static_cast<uint64_t>(bit_stream::kReversedBytes[*next_++]) << (56 - available_);
            available_ += 8;
        }
    }

    const uint8_t* next_;
    const uint8_t* end_;
    uint32_t skipped_;
    uint64_t bits_ = 0;
    uint32_t available_ = 0;
    uint32_t consumed_ = 0;
};

bool CPrefixCodeDecoder::DecodeText(CBitStream& stream, char* out, size_t capacity) const {
    if (count_ == 0) {
        return false;
    }
    BitWindow window(stream);
    bool done = false;
    for (size_t written = 0; written < capacity && !done; ++written) {
        uint8_t symbol = 0;
        if (!ReadSymbol(window, symbol)) {
            break;
        }
        out[written] = static_cast<char>(symbol);
        done = symbol == 0;
    }
    stream.Skip(window.Consumed());
    return done;  // false also when there is no terminator within the buffer
}

// The shortest code that the next bits begin with, as a search of the table code length by code length
// would find it; a code longer than the bits left is no match.
bool CPrefixCodeDecoder::ReadSymbol(BitWindow& window, uint8_t& symbol) const {
    const FastEntry& entry = fast_[window.Peek(fastBits_)];
    if (entry.length != 0) {
        if (entry.length > window.Available()) {
            return false;
        }
        window.Consume(entry.length);
        symbol = entry.symbol;
        return true;
    }
    const uint32_t longest = entries_[count_ - 1].code.length;
    for (uint32_t length = fastBits_ + 1; length <= longest && length <= window.Available(); ++length) {
        if (FindSymbol(CBitCode{window.Peek(length), length}, symbol)) {
            window.Consume(length);
            return true;
        }
    }
    return false;
}
