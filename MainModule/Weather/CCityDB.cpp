#include "Weather/CCityDB.h"

#include <cmath>
#include <cstdlib>
#include <map>

#include "CFSFile.h"
#include "ce/kernel.h"

namespace {

constexpr size_t kIndexTextCapacity = 256;
constexpr size_t kRecordCodedCapacity = 1024;
constexpr size_t kRecordTextCapacity = 100;
constexpr size_t kFieldCapacity = 100;
constexpr size_t kIdLength = 8;
constexpr int kUnknownDistanceKm = 40075;

void CopyField(WCHAR* target, const std::u16string& text) {
    lstrcpynW(target, text.c_str(), static_cast<int>(kFieldCapacity));
}

// Latitude and longitude in degrees, as every record and position must be.
bool IsPosition(double latitude, double longitude) {
    return std::isfinite(latitude) && std::isfinite(longitude) && std::fabs(latitude) <= 90 &&
           std::fabs(longitude) <= 180;
}

}  // namespace

CCityDB::CCityDB() = default;
CCityDB::~CCityDB() = default;

std::u16string CCityDB::ToWide(const char* text) const {
    int length = MultiByteToWideChar(codePage_, 0, text, -1, nullptr, 0);
    if (length <= 0) {
        return {};
    }
    std::u16string wide(static_cast<size_t>(length), u'\0');
    MultiByteToWideChar(codePage_, 0, text, -1, wide.data(), length);
    wide.resize(static_cast<size_t>(length - 1));
    return wide;
}

bool CCityDB::Open(LPCWSTR path) {
    entries_.clear();
    decoder_.reset();
    if (path == nullptr) {
        return false;
    }
    path_ = path;
    CFSFile file;
    if (!file.Open(path, OPEN_EXISTING, GENERIC_READ, 0)) {
        return false;
    }
    if (!ReadIndex(file)) {
        entries_.clear();
        decoder_.reset();
        return false;
    }
    return true;
}

bool CCityDB::ReadIndex(CFSFile& file) {
    WORD tableSize = 0;
    if (!file.ReadU16(codePage_) || !file.ReadU16(tableSize)) {
        return false;
    }
    std::vector<uint8_t> table(tableSize);
    if (!file.ReadExact(table.data(), tableSize)) {
        return false;
    }
    CBitStream tableStream(table.data(), table.size());
    decoder_ = std::make_unique<CPrefixCodeDecoder>();
    WORD entryCount = 0;
    if (!decoder_->LoadTable(tableStream) || !file.ReadU16(entryCount) || entryCount == 0) {
        return false;
    }
    entries_.resize(entryCount);
    for (Entry& entry : entries_) {
        if (!ReadEntry(file, entry)) {
            return false;
        }
    }
    return true;
}

bool CCityDB::ReadEntry(CFSFile& file, Entry& entry) const {
    uint8_t codedLength = 0;
    uint8_t coded[255];
    if (!file.ReadExact(&codedLength, 1) || !file.ReadExact(coded, codedLength) || !file.ReadU32(entry.offset) ||
        !file.ReadU16(entry.count)) {
        return false;
    }
    char text[kIndexTextCapacity];
    CBitStream stream(coded, codedLength);
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
    std::vector<uint8_t> bytes;
    return ReadAllBytes(&bytes) && ParseEntryCities(entries_[index], bytes, out);
}

bool CCityDB::ReadAllBytes(std::vector<uint8_t>* bytes) const {
    CFSFile file;
    if (!file.Open(path_.c_str(), OPEN_EXISTING, GENERIC_READ, 0)) {
        return false;
    }
    DWORD high = 0;
    const DWORD size = file.GetSize(&high);
    if (size == INVALID_FILE_SIZE || high != 0) {
        return false;
    }
    bytes->resize(size);
    return size == 0 || file.ReadExact(bytes->data(), size);
}

bool CCityDB::ParseEntryCities(const Entry& entry, const std::vector<uint8_t>& bytes,
                               std::vector<CityDBRecord>* out) const {
    out->clear();
    size_t position = entry.offset;
    std::u16string previous;
    for (WORD i = 0; i < entry.count; ++i) {
        if (position > bytes.size() || bytes.size() - position < 2) {
            return false;
        }
        const WORD header = static_cast<WORD>(bytes[position] | (bytes[position + 1] << 8));
        position += 2;
        size_t codedLength = header & 0x7FF;
        size_t shared = header >> 11;
        // The shared part must come from a previous text that has that many characters.
        if (codedLength > kRecordCodedCapacity || shared > previous.size() || (i == 0 && shared > 0) ||
            bytes.size() - position < codedLength) {
            return false;
        }
        const uint8_t* coded = bytes.data() + position;
        position += codedLength;
        char rest[kRecordTextCapacity];
        CBitStream stream(coded, codedLength);
        if (!decoder_->DecodeText(stream, rest, sizeof rest)) {
            return false;
        }
        std::u16string text = previous.substr(0, shared) + ToWide(rest);
        previous = text;

        size_t first = text.find(u';', kIdLength);
        size_t second = first == std::u16string::npos ? first : text.find(u';', first + 1);
        if (text.size() < kIdLength || second == std::u16string::npos) {
            return false;
        }
        CityDBRecord record;
        CopyField(record.locationId, text.substr(0, kIdLength));
        CopyField(record.name, text.substr(kIdLength, first - kIdLength));
        record.first = std::strtod(ce::ToUtf8(text.substr(first + 1, second - first - 1)).c_str(), nullptr);
        record.second = std::strtod(ce::ToUtf8(text.substr(second + 1)).c_str(), nullptr);
        if (!IsPosition(record.first, record.second)) {
            continue;  // a damaged record is left out; the ones after it still share its text
        }
        CopyField(record.state, entry.state);
        CopyField(record.country, entry.country);
        out->push_back(record);
    }
    return true;
}

int CCityDB::GetDistanceKm(double first1, double second1, double first2, double second2) {
    constexpr double kEarthRadiusKm = 6371.0;
    constexpr double kRadians = 3.14159265358979323846 / 180.0;
    double dLatitude = (first2 - first1) * kRadians;
    double dLongitude = (second2 - second1) * kRadians;
    double a = std::sin(dLatitude / 2) * std::sin(dLatitude / 2) +
               std::cos(first1 * kRadians) * std::cos(first2 * kRadians) * std::sin(dLongitude / 2) *
                   std::sin(dLongitude / 2);
    double distance = 2 * kEarthRadiusKm * std::atan2(std::sqrt(a), std::sqrt(std::max(0.0, 1 - a)));
    // Farther than any two places on the earth when a position is no position at all.
    return std::isfinite(distance) ? static_cast<int>(distance) : kUnknownDistanceKm;
}

// Cities farther than this from the position are not kept: 100 km while the nearest is that close,
// else 10 per cent beyond the nearest.
int CCityDB::AdmissionLimit(int nearest) { return nearest <= 100 ? 100 : static_cast<int>(nearest * 1.1); }

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
    std::vector<CityDBRecord> cities;
    for (const Entry& entry : entries_) {
        if (!ParseEntryCities(entry, bytes, &cities)) {
            return false;
        }
        for (const CityDBRecord& city : cities) {
            int distance = GetDistanceKm(first, second, city.first, city.second);
            if (kept.empty() || distance <= AdmissionLimit(kept.begin()->first)) {
                kept.emplace(distance, city);
                // A nearer city tightens the limit: what lies beyond it can go now.
                kept.erase(kept.upper_bound(AdmissionLimit(kept.begin()->first)), kept.end());
            }
        }
    }
    if (kept.empty()) {
        return true;
    }
    int limit = AdmissionLimit(kept.begin()->first);
    for (const auto& [distance, city] : kept) {
        if (distance > limit) {
            break;
        }
        out->push_back({city, distance});
    }
    return true;
}
