#include "InstallPackage.h"

#include <zlib.h>

#include <cstring>

namespace installpkg {
namespace {

void PutU32(std::string& out, uint32_t value) {
    for (int shift = 0; shift < 32; shift += 8) {
        out.push_back(static_cast<char>((value >> shift) & 0xFF));
    }
}

void PutU16(std::string& out, uint16_t value) {
    out.push_back(static_cast<char>(value & 0xFF));
    out.push_back(static_cast<char>(value >> 8));
}

void SetU32(std::string& out, size_t offset, uint32_t value) {
    for (int i = 0; i < 4; ++i) {
        out[offset + i] = static_cast<char>((value >> (8 * i)) & 0xFF);
    }
}

uint32_t Crc(std::string_view bytes) {
    return static_cast<uint32_t>(
        crc32(crc32(0L, Z_NULL, 0), reinterpret_cast<const Bytef*>(bytes.data()), static_cast<uInt>(bytes.size())));
}

bool IsKnownKind(uint8_t kind) {
    return kind >= static_cast<uint8_t>(RecordKind::Application) && kind <= static_cast<uint8_t>(RecordKind::Run);
}

// Reads the fields of the records one after the other, never past the end it was given.
class Cursor {
public:
    explicit Cursor(std::string_view bytes) : bytes_(bytes) {}

    bool U8(uint8_t* value) {
        if (Left() < 1) {
            return false;
        }
        *value = static_cast<uint8_t>(bytes_[at_++]);
        return true;
    }
    bool U16(uint16_t* value) {
        if (Left() < 2) {
            return false;
        }
        *value = static_cast<uint16_t>(Byte(0) | Byte(1) << 8);
        at_ += 2;
        return true;
    }
    bool U32(uint32_t* value) {
        if (Left() < 4) {
            return false;
        }
        *value = Byte(0) | Byte(1) << 8 | Byte(2) << 16 | Byte(3) << 24;
        at_ += 4;
        return true;
    }
    bool Text(size_t length, std::string* text) {
        if (Left() < length) {
            return false;
        }
        text->assign(bytes_.substr(at_, length));
        at_ += length;
        return true;
    }
    size_t Left() const { return bytes_.size() - at_; }

private:
    uint32_t Byte(size_t offset) const { return static_cast<uint8_t>(bytes_[at_ + offset]); }

    std::string_view bytes_;
    size_t at_ = 0;
};

bool Fail(std::string* error, const std::string& reason) {
    if (error != nullptr) {
        *error = reason;
    }
    return false;
}

bool ReadRecords(Cursor& cursor, uint32_t count, std::vector<Record>* records, std::string* error) {
    for (uint32_t index = 0; index < count; ++index) {
        uint8_t kind = 0;
        uint16_t nameLength = 0;
        uint32_t dataLength = 0;
        Record record;
        if (!cursor.U8(&kind) || !cursor.U16(&nameLength) || !cursor.Text(nameLength, &record.name) ||
            !cursor.U32(&dataLength) || !cursor.Text(dataLength, &record.data)) {
            return Fail(error, "record " + std::to_string(index + 1) + " runs past the end of the package");
        }
        if (!IsKnownKind(kind)) {
            return Fail(error, "record " + std::to_string(index + 1) + " is of unknown kind " + std::to_string(kind));
        }
        if (nameLength == 0 || nameLength > kMaxNameLength || record.name.find('\0') != std::string::npos) {
            return Fail(error, "record " + std::to_string(index + 1) + " has no usable name");
        }
        record.kind = static_cast<RecordKind>(kind);
        records->push_back(std::move(record));
    }
    if (cursor.Left() != 0) {
        return Fail(error, "bytes follow the last record within the package's size");
    }
    return true;
}

}  // namespace

std::string Write(const std::vector<Record>& records) {
    if (records.size() > kMaxRecords) {
        return {};
    }
    std::string out(kMagic, sizeof kMagic);
    PutU32(out, kVersion);
    PutU32(out, 0);
    PutU32(out, static_cast<uint32_t>(records.size()));
    PutU32(out, 0);
    for (const Record& record : records) {
        if (record.name.empty() || record.name.size() > kMaxNameLength ||
            record.data.size() > kMaxPackageSize || out.size() + record.data.size() > kMaxPackageSize) {
            return {};
        }
        out.push_back(static_cast<char>(record.kind));
        PutU16(out, static_cast<uint16_t>(record.name.size()));
        out += record.name;
        PutU32(out, static_cast<uint32_t>(record.data.size()));
        out += record.data;
    }
    if (out.size() > kMaxPackageSize) {
        return {};
    }
    SetU32(out, kTotalSizeOffset, static_cast<uint32_t>(out.size()));
    SetU32(out, 16, Crc(std::string_view(out).substr(kHeaderSize)));
    return out;
}

bool Read(std::string_view bytes, std::vector<Record>* records, std::string* error) {
    records->clear();
    Cursor header(bytes);
    std::string magic;
    uint32_t version = 0, total = 0, count = 0, crc = 0;
    if (!header.Text(sizeof kMagic, &magic) || !header.U32(&version) || !header.U32(&total) ||
        !header.U32(&count) || !header.U32(&crc)) {
        return Fail(error, "the package is shorter than its header");
    }
    if (std::memcmp(magic.data(), kMagic, sizeof kMagic) != 0) {
        return Fail(error, "not an install package");
    }
    if (version != kVersion) {
        return Fail(error, "package format version " + std::to_string(version) + " is not known");
    }
    if (total < kHeaderSize || total > kMaxPackageSize || count > kMaxRecords) {
        return Fail(error, "the package header is damaged");
    }
    if (total > bytes.size()) {
        return Fail(error, "the package is cut off: " + std::to_string(bytes.size()) + " of " +
                               std::to_string(total) + " bytes");
    }
    std::string_view body = bytes.substr(kHeaderSize, total - kHeaderSize);
    if (Crc(body) != crc) {
        return Fail(error, "the package is damaged (checksum mismatch)");
    }
    Cursor cursor(body);
    if (!ReadRecords(cursor, count, records, error)) {
        records->clear();
        return false;
    }
    return true;
}

}  // namespace installpkg
