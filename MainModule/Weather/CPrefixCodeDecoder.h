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
    // text (with its terminator) would not fit capacity. Bytes of out after the terminator, within
    // capacity, may be overwritten.
    bool DecodeText(CBitStream& stream, char* out, size_t capacity) const;
    // The same, with the text's length (without its terminator) to length.
    bool DecodeText(CBitStream& stream, char* out, size_t capacity, size_t& length) const;
    // Two texts, each as DecodeText decodes it, side by side: the look-ups of one overlap with those of
    // the other, where each waits on its own previous look-up. decoded[k] is DecodeText's answer.
    void DecodeTwoTexts(CBitStream* const (&streams)[2], char* const (&outs)[2], size_t capacity,
                        size_t (&lengths)[2], bool (&decoded)[2]) const;
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
    // The stream's bits in stream order, the next bit lowest: codes are looked up by their bits as the
    // stream holds them, so that a refill is a plain load of bytes.
    class BitWindow;
    // The shortest code longer than the first table's bits that the next 32 stream bits begin with,
    // found length by length and no longer than the bits available: its length << 8 | its symbol, or 0.
    uint32_t FindLongCode(uint32_t streamBits, uint32_t available) const;
    // For each value of the next fastBits_ bits in stream order: the shortest code that they begin
    // with (the first of the table among equal ones), or length 0 where every such code is longer.
    struct FirstCode {
        uint8_t symbol = 0;
        uint8_t length = 0;
    };
    void BuildFirstCodes();

    Entry entries_[256];
    size_t count_ = 0;
    std::vector<Entry> byLength_;
    // byLength_[lengthStart_[n] .. lengthStart_[n + 1]) holds the codes of n bits.
    std::array<uint16_t, 34> lengthStart_{};
    // For each value of the next fastBits_ bits in stream order: the symbols that they decode to, up to
    // kRun of them, and the bits they use; count 0 where the first code is longer.
    static constexpr size_t kRun = 3;
    // Eight bytes, so that the table is indexed by a shift; the symbols and the count are stored as one word.
    struct alignas(8) FastEntry {
        uint8_t symbols[kRun] = {};
        uint8_t count = 0;
        uint8_t bits = 0;
        uint8_t stops = 0;  // no run follows it: it ends the text, or it has no run at all
    };
    // Look-ups made from one load of the stream: eight bytes hold at least 57 of its bits from the position.
    static constexpr size_t kLookUpsPerLoad = 4;
    // Whole runs while the buffer has room for them and the position is within the stream and the
    // readable bytes; true when the text has ended (maybe past the stream's end: the caller checks).
    // Inline: the window's position stays in a register between the runs and the steps after them.
    [[gnu::always_inline]] inline bool DecodeRuns(BitWindow& window, char* out, size_t capacity,
                                                  size_t& written) const;
    // The text's symbols from the window's position on, to the terminator (true) or a failure.
    bool DecodeRest(BitWindow& window, char* out, size_t capacity, size_t& written) const;
    // The rest of a text of which written characters are out (ended: its terminator among them), the
    // stream moved past what the text took of it; true and the length without the terminator when the
    // text ends within the stream and the buffer.
    bool FinishText(BitWindow& window, CBitStream& stream, char* out, size_t capacity, size_t written, bool ended,
                    size_t& length) const;
    // The position up to which whole loads of runs may start; false when none may.
    bool RunLimit(const BitWindow& window, size_t capacity, size_t written, size_t& limit) const;
    // The runs of one load at the position of the window's bytes, written at out + at; true when a run
    // without a successor (the text's end, or none at all) stopped them, which entry then points at.
    // The table and the bytes come as arguments: kept in registers, not read back after each store.
    [[gnu::always_inline]] static inline bool RunsOfOneLoad(const FastEntry* table, uint32_t mask,
                                                            const uint8_t* bytes, size_t& position, char* out,
                                                            size_t& at, const FastEntry*& entry);
    // One symbol, checked against the bits left and the room left; false when there is none.
    bool DecodeSymbol(BitWindow& window, char* out, size_t capacity, size_t& written, bool& done) const;
    static constexpr uint32_t kMaxFastBits = 12;
    static_assert(kLookUpsPerLoad * kMaxFastBits <= 57, "the look-ups of one load stay within its bits");
    // The codes longer than fastBits_: for each value of the first fastBits_ bits that begins one, a
    // block of the shortest code for each value of the next longBits_ bits (longBits_ up to
    // kMaxLongBits; longer codes are searched for length by length).
    static constexpr uint32_t kMaxLongBits = 10;
    void BuildLongCodes();
    uint32_t longBits_ = 0;
    std::vector<uint16_t> longBlockOf_;  // block number + 1, or 0 where no code begins so
    std::vector<FirstCode> longCodes_;   // length: the code's whole length
    uint32_t fastBits_ = 0;
    uint32_t shortest_ = 1;  // the shortest code's bits: no symbol takes fewer
    std::vector<FirstCode> first_;  // what a step of one symbol looks up
    std::vector<FastEntry> fast_;
};
