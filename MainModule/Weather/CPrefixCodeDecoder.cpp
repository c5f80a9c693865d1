#include "Weather/CPrefixCodeDecoder.h"

#include <algorithm>
#include <bit>
#include <cstddef>
#include <cstring>

namespace {

// The code of length bits (1 to 32) that the stream holds first bit lowest: the code's first bit is its
// most significant one.
CBitCode CodeOf(uint32_t streamBits, uint32_t length) {
    using bit_stream::kReversedBytes;
    const uint32_t reversed = (static_cast<uint32_t>(kReversedBytes[streamBits & 0xFF]) << 24) |
                              (static_cast<uint32_t>(kReversedBytes[(streamBits >> 8) & 0xFF]) << 16) |
                              (static_cast<uint32_t>(kReversedBytes[(streamBits >> 16) & 0xFF]) << 8) |
                              kReversedBytes[streamBits >> 24];
    return CBitCode{reversed >> (32 - length), length};
}

}  // namespace

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
    fastBits_ = std::min(entries_[count_ - 1].code.length, kMaxFastBits);
    shortest_ = entries_[0].code.length;
    BuildFirstCodes();
    fast_.assign(first_.size(), FastEntry{});
    for (uint32_t value = 0; value < fast_.size(); ++value) {
        // The codes that follow the first one lie in the bits after it; a look-up of those bits (the
        // ones beyond the table read as zeros) finds the next code, which counts only when it ends
        // within the table's bits.
        FastEntry& entry = fast_[value];
        uint32_t used = 0;
        bool terminates = false;
        while (entry.count < kRun && !terminates) {
            const FirstCode& code = first_[value >> used];
            if (code.length == 0 || used + code.length > fastBits_) {
                break;
            }
            used += code.length;
            entry.symbols[entry.count++] = code.symbol;
            terminates = code.symbol == 0;  // the text ends: what follows belongs to no symbol of it
        }
        entry.bits = static_cast<uint8_t>(used);
        entry.stops = terminates || entry.count == 0;
    }
    BuildLongCodes();
}

// A long code fills, in the block of its first bits, the values whose next bits it is, unless a code
// before it in the table has: the shortest, found first, as in the first table.
void CPrefixCodeDecoder::BuildLongCodes() {
    longBlockOf_.clear();
    longCodes_.clear();
    const uint32_t longest = entries_[count_ - 1].code.length;
    longBits_ = longest > fastBits_ ? longest - fastBits_ : 0;
    if (longBits_ == 0 || longBits_ > kMaxLongBits) {
        return;
    }
    longBlockOf_.assign(fast_.size(), 0);
    const size_t blockSize = size_t{1} << longBits_;
    for (size_t i = 0; i < count_; ++i) {
        const CBitCode& code = entries_[i].code;
        if (code.length <= fastBits_) {
            continue;
        }
        const uint32_t streamBits = CodeOf(code.bits, code.length).bits;
        const uint32_t first = streamBits & ((1u << fastBits_) - 1);
        if (fast_[first].count != 0) {
            continue;  // a code of the first table's bits comes first there
        }
        if (longBlockOf_[first] == 0) {
            longCodes_.resize(longCodes_.size() + blockSize);
            longBlockOf_[first] = static_cast<uint16_t>(longCodes_.size() / blockSize);
        }
        FirstCode* block = longCodes_.data() + (longBlockOf_[first] - 1u) * blockSize;
        for (size_t next = streamBits >> fastBits_; next < blockSize; next += size_t{1} << (code.length - fastBits_)) {
            if (block[next].length == 0) {
                block[next] = {entries_[i].symbol, static_cast<uint8_t>(code.length)};
            }
        }
    }
}

// Each code fills the values whose first bits it is, unless a code before it in the table (shorter,
// or equal and earlier) has: the shortest code, found first, as the search length by length finds it.
void CPrefixCodeDecoder::BuildFirstCodes() {
    std::vector<FirstCode>& first = first_;
    first.assign(size_t{1} << fastBits_, FirstCode{});
    for (size_t i = 0; i < count_ && entries_[i].code.length <= fastBits_; ++i) {
        const CBitCode& code = entries_[i].code;
        const uint32_t streamBits = CodeOf(code.bits, code.length).bits;  // reversing reverses back
        for (size_t value = streamBits; value < first.size(); value += size_t{1} << code.length) {
            if (first[value].length == 0) {
                first[value] = {entries_[i].symbol, static_cast<uint8_t>(code.length)};
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

// The stream's bits from its position on in stream order, the next bit lowest: eight bytes loaded at
// the position's byte and shifted by its bit. Bytes readable after the stream may be loaded with it:
// the bits beyond the stream's are not zeros then, and a run may take them, but no text counts that
// ends past the stream. Past the readable bytes the bits read as zeros.
class CPrefixCodeDecoder::BitWindow {
public:
    explicit BitWindow(const CBitStream& stream)
        : bytes_(stream.Rest()),
          readable_(stream.RestSize() == 0 ? 0 : stream.RestSize() + stream.ReadableAfter()),
          start_(stream.RestSize() == 0 ? 0 : stream.BitIndex()),
          position_(start_),
          end_(stream.RestSize() * 8) {}

    // The next count bits (0 to 32) in stream order, the next bit lowest.
    uint32_t Peek(uint32_t count) const {
        return static_cast<uint32_t>((Load(position_ / 8) >> (position_ % 8)) & ((uint64_t{1} << count) - 1));
    }
    // The stream's bits not yet consumed; none once a run has gone past its end.
    size_t Available() const { return Overran() ? 0 : end_ - position_; }
    bool Overran() const { return position_ > end_; }
    void Consume(size_t count) { position_ += count; }
    // Bits taken since the stream's position, up to the stream's end.
    size_t ConsumedOfStream() const { return std::min(position_, end_) - std::min(start_, end_); }
    size_t End() const { return end_; }
    // Whether eight whole bytes are readable anywhere, and the last position with eight at its byte.
    bool HasWholeLoad() const { return readable_ >= 8; }
    size_t LastWholeLoad() const { return (readable_ - 8) * 8 + 7; }
    // The bits at a position at most LastWholeLoad(), of the bytes that Bytes() gives.
    static uint64_t LoadWhole(const uint8_t* bytes, size_t position) {
        return LoadEight(bytes, position / 8) >> (position % 8);
    }
    const uint8_t* Bytes() const { return bytes_; }
    size_t Position() const { return position_; }

private:
    uint64_t Load(size_t byte) const {
        if (byte + 8 <= readable_) {
            return LoadEight(bytes_, byte);
        }
        uint64_t word = 0;
        for (size_t i = 0; byte + i < readable_; ++i) {
            word |= static_cast<uint64_t>(bytes_[byte + i]) << (8 * i);
        }
        return word;
    }
    static uint64_t LoadEight(const uint8_t* bytes, size_t byte) {
        uint64_t word = 0;
        std::memcpy(&word, bytes + byte, sizeof word);
        if constexpr (std::endian::native == std::endian::big) {
            word = __builtin_bswap64(word);
        }
        return word;
    }

    const uint8_t* bytes_;
    size_t readable_;
    size_t start_;
    size_t position_;
    size_t end_;
};

// A code's symbols come from the table of the first bits, several at a time; a code longer than those
// bits is searched for length by length. Near the end of the stream, of the readable bytes or of the
// buffer, symbols are decoded one at a time, each checked against the bits and the room left.
bool CPrefixCodeDecoder::DecodeText(CBitStream& stream, char* out, size_t capacity) const {
    size_t length = 0;
    return DecodeText(stream, out, capacity, length);
}

bool CPrefixCodeDecoder::DecodeText(CBitStream& stream, char* out, size_t capacity, size_t& length) const {
    if (count_ == 0) {
        return false;
    }
    BitWindow window(stream);
    return FinishText(window, stream, out, capacity, 0, false, length);
}

// A run decodes the same symbols whatever bits follow them; a text whose end lies past the stream's is
// one that the stream cuts short.
bool CPrefixCodeDecoder::FinishText(BitWindow& window, CBitStream& stream, char* out, size_t capacity,
                                    size_t written, bool ended, size_t& length) const {
    const bool done = (ended || DecodeRest(window, out, capacity, written)) && !window.Overran();
    stream.Skip(static_cast<uint32_t>(window.ConsumedOfStream()));
    length = done ? written - 1 : 0;
    return done;  // false also when there is no terminator within the buffer
}

// The runs of both texts while both have whole loads left; then each on its own, as DecodeText goes on.
void CPrefixCodeDecoder::DecodeTwoTexts(CBitStream* const (&streams)[2], char* const (&outs)[2], size_t capacity,
                                        size_t (&lengths)[2], bool (&decoded)[2]) const {
    lengths[0] = lengths[1] = 0;
    decoded[0] = decoded[1] = false;
    if (count_ == 0) {
        return;
    }
    BitWindow windows[2] = {BitWindow(*streams[0]), BitWindow(*streams[1])};
    size_t written[2] = {0, 0};
    bool done[2] = {false, false};
    size_t limits[2] = {0, 0};
    if (RunLimit(windows[0], capacity, 0, limits[0]) && RunLimit(windows[1], capacity, 0, limits[1])) {
        const FastEntry* const table = fast_.data();
        const uint32_t mask = (1u << fastBits_) - 1;
        const uint8_t* const bytes[2] = {windows[0].Bytes(), windows[1].Bytes()};
        const size_t starts[2] = {windows[0].Position(), windows[1].Position()};
        size_t positions[2] = {starts[0], starts[1]};
        const FastEntry* entries[2] = {nullptr, nullptr};
        bool stopped[2] = {false, false};
        do {
            stopped[0] = RunsOfOneLoad(table, mask, bytes[0], positions[0], outs[0], written[0], entries[0]);
            stopped[1] = RunsOfOneLoad(table, mask, bytes[1], positions[1], outs[1], written[1], entries[1]);
        } while (!stopped[0] && !stopped[1] && positions[0] <= limits[0] && positions[1] <= limits[1]);
        for (size_t k = 0; k < 2; ++k) {
            windows[k].Consume(positions[k] - starts[k]);
            done[k] = stopped[k] && entries[k]->count != 0;
        }
    }
    for (size_t k = 0; k < 2; ++k) {
        decoded[k] = FinishText(windows[k], *streams[k], outs[k], capacity, written[k], done[k], lengths[k]);
    }
}

bool CPrefixCodeDecoder::DecodeRest(BitWindow& window, char* out, size_t capacity, size_t& written) const {
    bool done = false;
    bool failed = false;
    while (!done && !failed) {
        done = DecodeRuns(window, out, capacity, written);
        if (!done) {
            failed = !DecodeSymbol(window, out, capacity, written, done);
        }
    }
    return done;
}

// Each look-up's symbols are written at once, with the count byte after them (written over by the next
// run, or after the terminator). The stream is loaded once for kLookUpsPerLoad look-ups, which take
// their bits from that word: a look-up waits only for the one before it, not for a load. Every symbol
// takes at least shortest_ bits, so a position limit keeps the writes within the buffer too.
bool CPrefixCodeDecoder::RunLimit(const BitWindow& window, size_t capacity, size_t written, size_t& limit) const {
    // The room that the runs of one load may write: their symbols and the count byte after the last.
    constexpr size_t kRoomPerLoad = kLookUpsPerLoad * kRun + 1;
    if (capacity - written < kRoomPerLoad || !window.HasWholeLoad()) {
        return false;
    }
    const size_t start = window.Position();
    const size_t roomLimit = start + (capacity - kRoomPerLoad - written) * shortest_;
    const size_t endLimit = window.End() >= shortest_ ? window.End() - shortest_ : 0;
    limit = std::min({roomLimit, endLimit, window.LastWholeLoad()});
    return start <= limit;
}

bool CPrefixCodeDecoder::RunsOfOneLoad(const FastEntry* table, uint32_t mask, const uint8_t* bytes, size_t& position,
                                       char* out, size_t& at, const FastEntry*& entry) {
    static_assert(offsetof(FastEntry, count) == kRun, "the symbols and the count are stored as one word");
    static_assert(sizeof(FastEntry) == 8, "the table is indexed by a shift");
    uint64_t bits = BitWindow::LoadWhole(bytes, position);
    // One look-up: its run written and its bits taken; false when no run follows it.
    const auto lookUp = [&] {
        entry = &table[bits & mask];
        std::memcpy(out + at, entry, kRun + 1);
        at += entry->count;
        bits >>= entry->bits;
        position += entry->bits;
        return entry->stops == 0;
    };
    static_assert(kLookUpsPerLoad == 4, "one load serves four look-ups");
    return !(lookUp() && lookUp() && lookUp() && lookUp());
}

// The position stays in a local: a store through out may alias any object in memory, so state kept
// there would be read back after every run.
bool CPrefixCodeDecoder::DecodeRuns(BitWindow& window, char* out, size_t capacity, size_t& written) const {
    size_t limit = 0;
    if (!RunLimit(window, capacity, written, limit)) {
        return false;
    }
    const size_t start = window.Position();
    size_t position = start;
    size_t at = written;
    const FastEntry* const table = fast_.data();
    const uint32_t mask = (1u << fastBits_) - 1;
    const uint8_t* const bytes = window.Bytes();
    const FastEntry* entry = nullptr;
    bool stopped = false;
    do {
        stopped = RunsOfOneLoad(table, mask, bytes, position, out, at, entry);
    } while (!stopped && position <= limit);
    window.Consume(position - start);
    written = at;
    // An entry without a run takes no bits and writes nothing: the careful step finds its code.
    return stopped && entry->count != 0;
}

bool CPrefixCodeDecoder::DecodeSymbol(BitWindow& window, char* out, size_t capacity, size_t& written,
                                      bool& done) const {
    const auto available = static_cast<uint32_t>(std::min<size_t>(window.Available(), 32));
    const FirstCode& first = first_[window.Peek(fastBits_)];
    const uint32_t found =
        first.length != 0 ? uint32_t{first.length} << 8 | first.symbol : FindLongCode(window.Peek(32), available);
    if (found == 0 || (found >> 8) > available || written == capacity) {
        return false;
    }
    const auto symbol = static_cast<uint8_t>(found & 0xFF);
    window.Consume(found >> 8);
    out[written++] = static_cast<char>(symbol);
    done = symbol == 0;
    return true;
}

uint32_t CPrefixCodeDecoder::FindLongCode(uint32_t streamBits, uint32_t available) const {
    if (!longBlockOf_.empty()) {
        const uint32_t block = longBlockOf_[streamBits & ((1u << fastBits_) - 1)];
        if (block == 0) {
            return 0;
        }
        const size_t next = (streamBits >> fastBits_) & ((1u << longBits_) - 1);
        const FirstCode& code = longCodes_[((block - 1u) << longBits_) + next];
        return code.length != 0 && code.length <= available ? uint32_t{code.length} << 8 | code.symbol : 0;
    }
    const uint32_t longest = entries_[count_ - 1].code.length;
    for (uint32_t length = fastBits_ + 1; length <= longest && length <= available; ++length) {
        uint8_t symbol = 0;
        if (FindSymbol(CodeOf(streamBits, length), symbol)) {
            return length << 8 | symbol;
        }
    }
    return 0;
}
