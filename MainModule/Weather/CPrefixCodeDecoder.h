// The prefix code of the city database's texts: a table of bit codes, one per 8-bit symbol, ordered by
// code length, and the decoding of a text up to its terminating symbol 0.
#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <vector>

#include "Weather/CBitStream.h"

class CPrefixCodeDecoder {
public:
    static constexpr size_t kMaxEntries = 255;

    // Reads the table: a 16-bit count, then symbol, length and code of each entry. Refuses a count of
    // 256 or more, an empty table, codes of 0 or more than 32 bits and entries out of length order.
    bool LoadTable(CBitStream& stream);
    // Decodes up to and including the symbol 0; false when the stream ends, a code is unknown, or the
    // text (with its terminator) would not fit capacity.
    bool DecodeText(CBitStream& stream, char* out, size_t capacity) const;
    bool FindSymbol(const CBitCode& code, uint8_t& symbol) const;
    size_t EntryCount() const { return count_; }

private:
    struct Entry {
        CBitCode code;
        uint8_t symbol = 0;
    };
    // The codes of each length sorted by their bits, equal codes in table order, so that a look-up
    // is a binary search among the codes of one length and finds what a scan of the table would.
    void BuildLookup();
    // The symbol of the code at the window's position, read through the table of the first bits, or
    // code length by code length past them.
    class BitWindow;
    bool ReadSymbol(BitWindow& window, uint8_t& symbol) const;

    Entry entries_[256];
    size_t count_ = 0;
    std::vector<Entry> byLength_;
    // byLength_[lengthStart_[n] .. lengthStart_[n + 1]) holds the codes of n bits.
    std::array<uint16_t, 34> lengthStart_{};
    // For each value of the next fastBits_ bits: the symbol of the shortest code they begin with and
    // its length, or length 0 where every code they could begin is longer.
    struct FastEntry {
        uint8_t symbol = 0;
        uint8_t length = 0;
    };
    static constexpr uint32_t kMaxFastBits = 12;
    uint32_t fastBits_ = 0;
    std::vector<FastEntry> fast_;
};
