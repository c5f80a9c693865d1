// The prefix code of the city database's texts: a table of bit codes, one per 8-bit symbol, ordered by
// code length, and the decoding of a text up to its terminating symbol 0.
#pragma once

#include <cstddef>
#include <cstdint>

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
    Entry entries_[256];
    size_t count_ = 0;
};
