#include "Weather/CCityDB.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <limits>
#include <map>
#include <string_view>
#include <type_traits>

#include "CFSFile.h"
#include "ce/kernel.h"

namespace {

constexpr size_t kIndexTextCapacity = 256;
constexpr uint32_t kIndexProbeBytes = 64 * 1024;
constexpr size_t kRecordCodedCapacity = 1024;
constexpr size_t kRecordTextCapacity = 100;
constexpr size_t kMaxSharedCharacters = 31;  // five bits of the record header
constexpr size_t kFieldCapacity = 100;
constexpr size_t kIdLength = 8;
constexpr int kUnknownDistanceKm = 40075;
constexpr double kEarthRadiusKm = 6371.0;
constexpr double kRadians = 3.14159265358979323846 / 180.0;


// Latitude and longitude in degrees, as every record and position must be.
bool IsPosition(double latitude, double longitude) {
    return std::isfinite(latitude) && std::isfinite(longitude) && std::fabs(latitude) <= 90 &&
           std::fabs(longitude) <= 180;
}

// The great-circle distance from one position, whose cosine is taken once for all the cities it is
// measured against.
class DistanceFrom {
public:
    DistanceFrom(double first, double second)
        : first_(first), second_(second), cosFirst_(std::cos(first * kRadians)) {}

    int Km(double first, double second) const {
        double dLatitude = (first - first_) * kRadians;
        double dLongitude = (second - second_) * kRadians;
        double a =
            std::sin(dLatitude / 2) * std::sin(dLatitude / 2) +
            cosFirst_ * std::cos(first * kRadians) * std::sin(dLongitude / 2) * std::sin(dLongitude / 2);
        double distance = 2 * kEarthRadiusKm * std::atan2(std::sqrt(a), std::sqrt(std::max(0.0, 1 - a)));
        // Farther than any two places on the earth when a position is no position at all.
        return std::isfinite(distance) ? static_cast<int>(distance) : kUnknownDistanceKm;
    }

    // No place on that latitude is nearer: the distance along the meridian.
    double LowerBoundKm(double first) const { return std::fabs(first - first_) * kRadians * kEarthRadiusKm; }
    // The whole degrees d whose latitudes [d, d + 1] are not all at least limitKm away along the
    // meridian: from low to high. The bound grows with the distance from the position's latitude,
    // rounding included, so the nearer end of a band decides, and the bands beyond one too far are too.
    void DegreesWithin(double limitKm, int& low, int& high) const {
        low = -kAnyDegree;
        high = kAnyDegree;
        if (!std::isfinite(limitKm)) {
            return;
        }
        const int own = static_cast<int>(std::floor(first_));
        for (high = own; high < kAnyDegree && !BandBeyond(high + 1, limitKm); ++high) {
        }
        for (low = own; low > -kAnyDegree && !BandBeyond(low - 1, limitKm); --low) {
        }
    }

private:
    static constexpr int kAnyDegree = 1000;  // beyond any whole degree of three digits
    bool BandBeyond(int degree, double limitKm) const {
        const double low = degree;
        const double high = degree + 1.0;
        return (first_ < low || first_ > high) && LowerBoundKm(low) >= limitKm && LowerBoundKm(high) >= limitKm;
    }

    double first_;
    double second_;
    double cosFirst_;
};

// Powers of ten that a double holds exactly.
constexpr double kExactPowersOfTen[] = {1e0,  1e1,  1e2,  1e3,  1e4,  1e5,  1e6,  1e7,
                                        1e8,  1e9,  1e10, 1e11, 1e12, 1e13, 1e14, 1e15,
                                        1e16, 1e17, 1e18, 1e19, 1e20, 1e21, 1e22};

// A plain decimal ("-12.345") whose digits a double holds exactly is that number divided by an exact
// power of ten: one correctly rounded division, the same double that strtod gives. Anything else
// (exponents, hexadecimal, blanks, "inf", long numbers) is left to strtod.
template <class Char>
bool ReadPlainDecimal(std::basic_string_view<Char> text, double& value) {
    const bool negative = !text.empty() && text[0] == '-';
    size_t i = negative ? 1 : 0;
    uint64_t digits = 0;
    int digitCount = 0;
    int digitsBeforePoint = -1;
    for (; i < text.size(); ++i) {
        const uint32_t digit = static_cast<uint32_t>(static_cast<std::make_unsigned_t<Char>>(text[i])) - '0';
        if (digit < 10) {
            digits = digits * 10 + digit;  // wraps only past 19 digits, which are refused below
            ++digitCount;
        } else if (text[i] == '.' && digitsBeforePoint < 0) {
            digitsBeforePoint = digitCount;
        } else {
            break;
        }
    }
    // A letter after the number makes it an exponent, a hexadecimal number or a word: strtod's own forms.
    const bool letterFollows =
        i < text.size() && ((text[i] >= 'a' && text[i] <= 'z') || (text[i] >= 'A' && text[i] <= 'Z'));
    if (digitCount == 0 || digitCount > 15 || letterFollows) {
        return false;
    }
    const int fractionDigits = digitsBeforePoint < 0 ? 0 : digitCount - digitsBeforePoint;
    const double magnitude = static_cast<double>(digits) / kExactPowersOfTen[fractionDigits];
    value = negative ? -magnitude : magnitude;
    return true;
}

template <class Char>
bool IsDigit(Char c) {
    return static_cast<uint32_t>(static_cast<std::make_unsigned_t<Char>>(c)) - '0' < 10;
}

// The whole degree below a number of up to three digits before its point: the number lies in
// [degree, degree + 1]. Only where the number reads as a plain decimal: not when an exponent ends its
// digits, with which strtod reads another number; other letters end it as any character does.
template <class Char>
bool ReadDegreeBand(std::basic_string_view<Char> text, int& degree) {
    const Char* at = text.data();
    const Char* const end = at + text.size();
    const bool negative = at != end && *at == '-';
    at += negative ? 1 : 0;
    const Char* const digits = at;
    int whole = 0;
    for (; at != end && at != digits + 3 && IsDigit(*at); ++at) {
        whole = whole * 10 + static_cast<int>(*at - '0');
    }
    if (at == digits || at == end || *at != '.') {
        return false;
    }
    for (++at; at != end && IsDigit(*at); ++at) {
    }
    if (at != end && (*at == 'e' || *at == 'E')) {
        return false;
    }
    degree = negative ? -(whole + 1) : whole;
    return true;
}

}  // namespace

// Little-endian fields of the file read from memory; every read fails once the bytes are used up.
class CCityDB::ByteReader {
public:
    explicit ByteReader(const std::vector<uint8_t>& bytes) : bytes_(bytes) {}

    bool ReadU8(uint8_t& value) {
        const uint8_t* field = Take(1);
        value = field != nullptr ? field[0] : 0;
        return field != nullptr;
    }
    bool ReadU16(uint16_t& value) {
        const uint8_t* field = Take(2);
        value = field != nullptr ? static_cast<uint16_t>(field[0] | (field[1] << 8)) : 0;
        return field != nullptr;
    }
    bool ReadU32(uint32_t& value) {
        const uint8_t* field = Take(4);
        value = field != nullptr ? static_cast<uint32_t>(field[0] | (field[1] << 8) | (field[2] << 16)) |
                                       (static_cast<uint32_t>(field[3]) << 24)
                                 : 0;
        return field != nullptr;
    }
    size_t Left() const { return bytes_.size() - position_; }
    // The next count bytes where they lie, or null when fewer are left.
    const uint8_t* Take(size_t count) {
        if (bytes_.size() - position_ < count) {
            return nullptr;
        }
        const uint8_t* field = bytes_.data() + position_;
        position_ += count;
        return field;
    }

private:
    const std::vector<uint8_t>& bytes_;
    size_t position_ = 0;
};

CCityDB::CCityDB() = default;
CCityDB::~CCityDB() = default;

std::u16string CCityDB::ToWide(const char* text) const {
    if (!byteToWide_.empty()) {
        std::u16string wide(std::char_traits<char>::length(text), u'\0');
        for (size_t i = 0; i < wide.size(); ++i) {
            wide[i] = byteToWide_[static_cast<unsigned char>(text[i])];
        }
        return wide;
    }
    int length = MultiByteToWideChar(codePage_, 0, text, -1, nullptr, 0);
    if (length <= 0) {
        return {};
    }
    std::u16string wide(static_cast<size_t>(length), u'\0');
    MultiByteToWideChar(codePage_, 0, text, -1, wide.data(), length);
    wide.resize(static_cast<size_t>(length - 1));
    return wide;
}

// A code page of one character a byte converts through a table made once; UTF-8 and code pages the
// device does not know go through the conversion call for each text.
void CCityDB::BuildByteTable() {
    byteToWide_.clear();
    recordsInBytes_ = false;
    if (codePage_ == CP_UTF8) {
        return;
    }
    std::vector<char16_t> table(256, u'\0');
    for (int byte = 1; byte < 256; ++byte) {
        const char text = static_cast<char>(byte);
        WCHAR wide[2] = {};
        if (MultiByteToWideChar(codePage_, 0, &text, 1, wide, 2) != 1) {
            return;
        }
        table[static_cast<size_t>(byte)] = wide[0];
    }
    // Where ASCII stays ASCII and no other byte becomes ASCII, the semicolons and digits of a record
    // can be found in its bytes.
    recordsInBytes_ = true;
    for (int byte = 1; byte < 256; ++byte) {
        const char16_t wide = table[static_cast<size_t>(byte)];
        recordsInBytes_ = recordsInBytes_ && (byte < 0x80 ? wide == byte : wide >= 0x80);
    }
    byteToWide_ = std::move(table);
}

int CCityDB::AppendWide(const char* text, char16_t* out, size_t capacity) const {
    if (byteToWide_.empty()) {
        const std::u16string wide = ToWide(text);
        if (wide.size() > capacity) {
            return -1;
        }
        wide.copy(out, wide.size());
        return static_cast<int>(wide.size());
    }
    size_t count = 0;
    for (; text[count] != 0; ++count) {
        if (count == capacity) {
            return -1;
        }
        out[count] = byteToWide_[static_cast<unsigned char>(text[count])];
    }
    return static_cast<int>(count);
}

bool CCityDB::Open(LPCWSTR path) {
    entries_.clear();
    decoder_.reset();
    if (path == nullptr) {
        return false;
    }
    path_ = path;
    // The index lies at the start of the file, ahead of the records: its first bytes mostly hold it
    // whole. When they do not, the index is read again from the whole file.
    std::vector<uint8_t> bytes;
    uint32_t fileSize = 0;
    bool read = ReadRange(0, kIndexProbeBytes, &bytes, &fileSize) && ReadIndexFrom(bytes);
    if (!read && fileSize > bytes.size()) {
        read = ReadAllBytes(&bytes) && ReadIndexFrom(bytes);
    }
    if (!read) {
        entries_.clear();
        decoder_.reset();
        return false;
    }
    FindEntryEnds(fileSize);
    return true;
}

bool CCityDB::ReadIndexFrom(const std::vector<uint8_t>& bytes) {
    entries_.clear();
    ByteReader reader(bytes);
    return ReadIndex(reader);
}

void CCityDB::FindEntryEnds(size_t fileSize) {
    std::vector<uint32_t> starts;
    starts.reserve(entries_.size());
    for (const Entry& entry : entries_) {
        starts.push_back(entry.offset);
    }
    std::sort(starts.begin(), starts.end());
    for (Entry& entry : entries_) {
        auto next = std::upper_bound(starts.begin(), starts.end(), entry.offset);
        entry.end = next == starts.end() ? static_cast<uint32_t>(fileSize) : *next;
    }
}

bool CCityDB::ReadIndex(ByteReader& reader) {
    uint16_t tableSize = 0;
    if (!reader.ReadU16(codePage_) || !reader.ReadU16(tableSize)) {
        return false;
    }
    BuildByteTable();
    const uint8_t* table = reader.Take(tableSize);
    if (table == nullptr) {
        return false;
    }
    CBitStream tableStream(table, tableSize);
    decoder_ = std::make_unique<CPrefixCodeDecoder>();
    uint16_t entryCount = 0;
    if (!decoder_->LoadTable(tableStream) || !reader.ReadU16(entryCount) || entryCount == 0) {
        return false;
    }
    entries_.resize(entryCount);
    for (Entry& entry : entries_) {
        if (!ReadEntry(reader, entry)) {
            return false;
        }
    }
    return true;
}

bool CCityDB::ReadEntry(ByteReader& reader, Entry& entry) const {
    uint8_t codedLength = 0;
    const uint8_t* coded = nullptr;
    if (!reader.ReadU8(codedLength) || (coded = reader.Take(codedLength)) == nullptr) {
        return false;
    }
    // The bytes after the text may be loaded with it: the decoder takes none of their bits.
    CBitStream stream(coded, codedLength, reader.Left());
    if (!reader.ReadU32(entry.offset) || !reader.ReadU16(entry.count)) {
        return false;
    }
    char text[kIndexTextCapacity];
    if (!decoder_->DecodeText(stream, text, sizeof text)) {
        return false;
    }
    std::u16string wide = ToWide(text);
    size_t hash = wide.find(u'#');
    entry.hasState = hash != std::u16string::npos;
    entry.country = wide.substr(0, hash);
    entry.state = entry.hasState ? wide.substr(hash + 1) : std::u16string();
    return true;
}

LPCWSTR CCityDB::GetEntryName(int index) const {
    return index < 0 || index >= GetEntryCount() ? nullptr : entries_[index].country.c_str();
}

LPCWSTR CCityDB::GetEntrySubName(int index) const {
    if (index < 0 || index >= GetEntryCount() || !entries_[index].hasState) {
        return nullptr;
    }
    return entries_[index].state.c_str();
}

bool CCityDB::ReadEntryCities(int index, std::vector<CityDBRecord>* out) const {
    if (out == nullptr || index < 0 || index >= GetEntryCount()) {
        return false;
    }
    out->clear();
    // Only the entry's own bytes: a screen lists one entry's cities after another.
    const Entry& entry = entries_[static_cast<size_t>(index)];
    std::vector<uint8_t> bytes;
    if (!ReadRange(entry.offset, entry.end, &bytes)) {
        return false;
    }
    return ForEachRecord(entry, bytes, entry.offset, [&](const auto& record) {
        CityDBRecord city = MakeRecord(record, entry);
        if (IsPosition(city.first, city.second)) {
            out->push_back(city);  // a damaged record is left out; the ones after it still share its text
        }
    });
}

bool CCityDB::ReadAllBytes(std::vector<uint8_t>* bytes) const {
    return ReadRange(0, UINT32_MAX, bytes);
}

bool CCityDB::ReadRange(uint32_t offset, uint32_t end, std::vector<uint8_t>* bytes, uint32_t* fileSize) const {
    CFSFile file;
    if (!file.Open(path_.c_str(), OPEN_EXISTING, GENERIC_READ, 0)) {
        return false;
    }
    DWORD high = 0;
    const DWORD size = file.GetSize(&high);
    if (size == INVALID_FILE_SIZE || high != 0) {
        return false;
    }
    if (fileSize != nullptr) {
        *fileSize = size;
    }
    end = std::min<uint32_t>(end, size);
    bytes->resize(end > offset ? end - offset : 0);
    if (bytes->empty()) {
        return true;  // nothing there: the entry's first record is found damaged
    }
    return file.Seek(static_cast<LONG>(offset), FILE_BEGIN) &&
           file.ReadExact(bytes->data(), static_cast<DWORD>(bytes->size()));
}

template <class Visit>
bool CCityDB::ForEachRecord(const Entry& entry, const std::vector<uint8_t>& bytes, uint32_t base,
                            Visit visit) const {
    return recordsInBytes_ ? ForEachRecordAs<char>(entry, bytes, base, visit)
                           : ForEachRecordAs<char16_t>(entry, bytes, base, visit);
}

bool CCityDB::ReadCodedRecord(const std::vector<uint8_t>& bytes, size_t& position, CodedRecord& record) {
    if (position > bytes.size() || bytes.size() - position < 2) {
        return false;
    }
    const WORD header = static_cast<WORD>(bytes[position] | (bytes[position + 1] << 8));
    record.shared = header >> 11;
    record.codedLength = header & 0x7FF;
    record.codedAt = position + 2;
    if (record.codedLength > kRecordCodedCapacity || bytes.size() - record.codedAt < record.codedLength) {
        return false;
    }
    position = record.codedAt + record.codedLength;
    return true;
}

// The shared part must come from a previous text that has that many characters.
bool CCityDB::SharesWithPrevious(const CodedRecord& record, size_t index, size_t previousLength) {
    return record.shared <= previousLength && (index > 0 || record.shared == 0);
}

// The bytes after the record may be loaded with its own: the decoder takes none of their bits.
CBitStream CCityDB::StreamOf(const std::vector<uint8_t>& bytes, const CodedRecord& record) {
    return CBitStream(bytes.data() + record.codedAt, record.codedLength,
                      bytes.size() - record.codedAt - record.codedLength);
}

template <class Char, class Visit>
bool CCityDB::VisitText(std::basic_string_view<Char> full, Visit& visit) {
    const size_t first = full.find(Char{';'}, kIdLength);
    const size_t second = first == full.npos ? first : full.find(Char{';'}, first + 1);
    if (full.size() < kIdLength || second == full.npos) {
        return false;
    }
    visit(RecordText<Char>{full, first, second});
    return true;
}

template <class Char, class Visit>
bool CCityDB::ForEachRecordAs(const Entry& entry, const std::vector<uint8_t>& bytes, uint32_t base,
                              Visit visit) const {
    // The previous record's text stays in place; a record writes its own characters after the shared ones.
    Char text[kMaxSharedCharacters + kRecordTextCapacity];
    size_t previousLength = 0;
    size_t position = entry.offset - base;
    for (WORD i = 0; i < entry.count;) {
        CodedRecord record;
        if (!ReadCodedRecord(bytes, position, record) || !SharesWithPrevious(record, i, previousLength)) {
            return false;
        }
        if constexpr (std::is_same_v<Char, char>) {
            // Two records at once where a second one follows whole: its text is decoded beside the
            // first one's and put after its shared characters once the first has been visited.
            CodedRecord next;
            size_t afterNext = position;
            if (i + 1 < entry.count && ReadCodedRecord(bytes, afterNext, next)) {
                char nextRest[kRecordTextCapacity];
                CBitStream streams[2] = {StreamOf(bytes, record), StreamOf(bytes, next)};
                size_t lengths[2] = {};
                bool decoded[2] = {};
                decoder_->DecodeTwoTexts({&streams[0], &streams[1]}, {text + record.shared, nextRest},
                                         kRecordTextCapacity, lengths, decoded);
                previousLength = record.shared + lengths[0];
                if (!decoded[0] || !VisitText(std::string_view(text, previousLength), visit) ||
                    !SharesWithPrevious(next, i + 1, previousLength) || !decoded[1]) {
                    return false;
                }
                std::memcpy(text + next.shared, nextRest, lengths[1]);
                previousLength = next.shared + lengths[1];
                if (!VisitText(std::string_view(text, previousLength), visit)) {
                    return false;
                }
                position = afterNext;
                i += 2;
                continue;
            }
        }
        CBitStream stream = StreamOf(bytes, record);
        const int restLength = DecodeRest(stream, text + record.shared);
        if (restLength < 0) {
            return false;
        }
        previousLength = record.shared + static_cast<size_t>(restLength);
        if (!VisitText(std::basic_string_view<Char>(text, previousLength), visit)) {
            return false;
        }
        ++i;
    }
    return true;
}

int CCityDB::DecodeRest(CBitStream& stream, char* out) const {
    size_t length = 0;
    return decoder_->DecodeText(stream, out, kRecordTextCapacity, length) ? static_cast<int>(length) : -1;
}

int CCityDB::DecodeRest(CBitStream& stream, char16_t* out) const {
    char rest[kRecordTextCapacity];
    if (!decoder_->DecodeText(stream, rest, sizeof rest)) {
        return -1;
    }
    return AppendWide(rest, out, kRecordTextCapacity);
}

template <class Char>
double CCityDB::ReadCoordinate(std::basic_string_view<Char> text) {
    double value = 0;
    return ReadPlainDecimal(text, value) ? value : ReadOtherNumber(text);
}

// strtod reads as far as the number goes; a character outside ASCII ends it like any other.
template <class Char>
double CCityDB::ReadOtherNumber(std::basic_string_view<Char> text) {
    std::string narrow(text.size(), '\x80');
    for (size_t i = 0; i < text.size(); ++i) {
        if (static_cast<std::make_unsigned_t<Char>>(text[i]) < 0x80) {
            narrow[i] = static_cast<char>(text[i]);
        }
    }
    return std::strtod(narrow.c_str(), nullptr);
}

void CCityDB::CopyField(WCHAR* target, std::u16string_view text) const {
    const size_t count = std::min(text.size(), kFieldCapacity - 1);
    text.copy(target, count);
    target[count] = 0;
}

// Bytes of a code page of one character a byte, converted through its table.
void CCityDB::CopyField(WCHAR* target, std::string_view text) const {
    const size_t count = std::min(text.size(), kFieldCapacity - 1);
    for (size_t i = 0; i < count; ++i) {
        target[i] = byteToWide_[static_cast<unsigned char>(text[i])];
    }
    target[count] = 0;
}

template <class Char>
CityDBRecord CCityDB::MakeRecord(const RecordText<Char>& record, const Entry& entry) const {
    CityDBRecord city;
    CopyField(city.locationId, record.text.substr(0, kIdLength));
    CopyField(city.name, record.text.substr(kIdLength, record.firstSemicolon - kIdLength));
    city.first = ReadCoordinate(
        record.text.substr(record.firstSemicolon + 1, record.secondSemicolon - record.firstSemicolon - 1));
    city.second = ReadCoordinate(record.text.substr(record.secondSemicolon + 1));
    CopyField(city.state, std::u16string_view(entry.state));
    CopyField(city.country, std::u16string_view(entry.country));
    return city;
}

int CCityDB::GetDistanceKm(double first1, double second1, double first2, double second2) {
    return DistanceFrom(first1, second1).Km(first2, second2);
}

// Cities farther than this from the position are not kept: 100 km while the nearest is that close,
// else 10 per cent beyond the nearest.
int CCityDB::AdmissionLimit(int nearest) {
    return nearest <= 100 ? 100 : static_cast<int>(nearest * 1.1);
}

bool CCityDB::FindNearbyCities(double first, double second, std::vector<NearbyCity>* out) const {
    if (out == nullptr || entries_.empty() || !IsPosition(first, second)) {
        return false;
    }
    out->clear();
    std::multimap<int, CityDBRecord> kept;  // equal distances stay in reading order
    std::vector<uint8_t> bytes;
    if (!ReadAllBytes(&bytes)) {
        return false;
    }
    const DistanceFrom position(first, second);
    // The admission limit of the nearest city kept, and the distance along the meridian from which no
    // city can be admitted: two kilometres of margin keep rounding out of that decision.
    int limit = 0;
    double hopelessKm = std::numeric_limits<double>::infinity();
    int lowestDegree = 0;
    int highestDegree = 0;
    position.DegreesWithin(hopelessKm, lowestDegree, highestDegree);
    for (const Entry& entry : entries_) {
        const bool read = ForEachRecord(entry, bytes, 0, [&](const auto& record) {
            // Most cities lie too far north or south to be admitted: they are passed over on their
            // first coordinate, mostly on its whole degrees alone, and only the few admitted get a
            // record built.
            const size_t latitudeStart = record.firstSemicolon + 1;
            const auto latitudeText = record.text.substr(latitudeStart, record.secondSemicolon - latitudeStart);
            int degree = 0;
            if (ReadDegreeBand(latitudeText, degree) && (degree < lowestDegree || degree > highestDegree)) {
                return;
            }
            const double latitude = ReadCoordinate(latitudeText);
            if (position.LowerBoundKm(latitude) >= hopelessKm) {
                return;
            }
            const double longitude = ReadCoordinate(record.text.substr(record.secondSemicolon + 1));
            if (!IsPosition(latitude, longitude)) {
                return;
            }
            const int distance = position.Km(latitude, longitude);
            if (kept.empty() || distance <= limit) {
                kept.emplace(distance, MakeRecord(record, entry));
                // A nearer city tightens the limit: what lies beyond it can go now.
                limit = AdmissionLimit(kept.begin()->first);
                hopelessKm = limit + 2.0;
                position.DegreesWithin(hopelessKm, lowestDegree, highestDegree);
                kept.erase(kept.upper_bound(limit), kept.end());
            }
        });
        if (!read) {
            out->clear();
            return false;
        }
    }
    for (const auto& [distance, city] : kept) {
        if (distance > limit) {
            break;
        }
        out->push_back({city, distance});
    }
    return true;
}
