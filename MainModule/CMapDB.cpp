#include "CMapDB.h"

#include "CFSFile.h"
#include "ce/kernel.h"

namespace {

bool ReadExact(CFSFile& file, void* buffer, DWORD size) {
    DWORD read = 0;
    return file.Read(buffer, size, &read) && read == size;
}

bool ReadU8(CFSFile& file, uint8_t& value) { return ReadExact(file, &value, 1); }

bool ReadU16(CFSFile& file, uint16_t& value) {
    uint8_t bytes[2];
    if (!ReadExact(file, bytes, 2)) {
        return false;
    }
    value = static_cast<uint16_t>(bytes[0] | (bytes[1] << 8));
    return true;
}

bool ReadU32(CFSFile& file, uint32_t& value) {
    uint16_t low = 0, high = 0;
    if (!ReadU16(file, low) || !ReadU16(file, high)) {
        return false;
    }
    value = low | (static_cast<uint32_t>(high) << 16);
    return true;
}

// A u8 length and that many UTF-16 code units.
bool ReadText(CFSFile& file, std::u16string& text) {
    uint8_t length = 0;
    if (!ReadU8(file, length)) {
        return false;
    }
    text.resize(length);
    for (auto& unit : text) {
        uint16_t value = 0;
        if (!ReadU16(file, value)) {
            return false;
        }
        unit = static_cast<char16_t>(value);
    }
    return true;
}

}  // namespace

bool CMapDB::Load(LPCWSTR path) {
    regions_.clear();
    CFSFile file;
    if (path == nullptr || !file.Open(path, OPEN_EXISTING, GENERIC_READ, 0)) {
        return false;
    }
    uint32_t recordCount = 0;
    uint16_t languageCount = 0;
    if (!ReadU32(file, recordCount) || !ReadU16(file, languageCount)) {
        return true;  // an empty or cut file holds no records
    }
    std::vector<uint32_t> languages(languageCount);
    for (auto& language : languages) {
        if (!ReadU32(file, language)) {
            return true;
        }
    }
    // The count is not trusted: the records end at the first one that is cut short.
    for (uint32_t i = 0; i < recordCount; ++i) {
        CMapDBRecord record;
        std::u16string parentId;
        if (!ReadRecord(file, languages, record, parentId)) {
            break;
        }
        AddRecord(std::move(record), parentId);
    }
    return true;
}

bool CMapDB::ReadRecord(CFSFile& file, const std::vector<uint32_t>& languages, CMapDBRecord& record,
                        std::u16string& parentId) {
    uint8_t mapType = 0;
    if (!ReadText(file, record.id_) || !ReadText(file, parentId) || !ReadU8(file, mapType)) {
        return false;
    }
    record.mapType_ = mapType;
    for (uint32_t language : languages) {
        std::u16string name;
        if (!ReadText(file, name)) {
            return false;
        }
        record.names_[language] = std::move(name);
    }
    return true;
}

void CMapDB::AddRecord(CMapDBRecord record, const std::u16string& parentId) {
    if (parentId.empty()) {
        auto [it, added] = regions_.try_emplace(record.id_, record);
        if (!added) {
            // A region met before through its maps (or twice) takes this record's type and names.
            it->second.mapType_ = record.mapType_;
            it->second.names_ = std::move(record.names_);
        }
        return;
    }
    auto [region, added] = regions_.try_emplace(parentId);
    if (added) {
        region->second.id_ = parentId;
    }
    region->second.children_.try_emplace(record.id_, std::move(record));
}

template <class Visit>
bool CMapDB::Walk(const std::map<std::u16string, CMapDBRecord>& records, const CMapDBRecord* parent, Visit& visit) {
    for (const auto& [id, record] : records) {
        if (visit(record, parent) || Walk(record.children_, &record, visit)) {
            return true;
        }
    }
    return false;
}

bool CMapDB::FindRecord(LPCWSTR id, CMapDBRecord* out) const {
    if (id == nullptr || out == nullptr) {
        return false;
    }
    auto visit = [&](const CMapDBRecord& record, const CMapDBRecord*) {
        if (record.id_ != id) {
            return false;
        }
        *out = record;
        return true;
    };
    return Walk(regions_, nullptr, visit);
}

bool CMapDB::FindParentRecord(LPCWSTR id, CMapDBRecord* out) const {
    if (id == nullptr || out == nullptr) {
        return false;
    }
    bool found = false;
    auto visit = [&](const CMapDBRecord& record, const CMapDBRecord* parent) {
        if (record.id_ != id) {
            return false;
        }
        if (parent != nullptr) {
            *out = *parent;
            found = true;
        }
        return true;
    };
    Walk(regions_, nullptr, visit);
    return found;
}

bool CMapDB::GetRegion(int index, CMapDBRecord* out) const {
    if (out == nullptr || index < 0 || index >= static_cast<int>(regions_.size())) {
        return false;
    }
    *out = std::next(regions_.begin(), index)->second;
    return true;
}

bool CMapDB::GetRegions(std::vector<CMapDBRecord>* out) const {
    if (out == nullptr) {
        return false;
    }
    out->clear();
    for (const auto& [id, region] : regions_) {
        out->push_back(region);
    }
    return true;
}

bool CMapDB::FindRecordByName(LPCWSTR name, uint32_t languageId, uint32_t mapType, CMapDBRecord* out) const {
    if (name == nullptr || out == nullptr) {
        return false;
    }
    auto visit = [&](const CMapDBRecord& record, const CMapDBRecord*) {
        LPCWSTR localized = record.GetLocalizedName(languageId);
        if (record.mapType_ != mapType || localized == nullptr || std::u16string_view(localized) != name) {
            return false;
        }
        *out = record;
        return true;
    };
    return Walk(regions_, nullptr, visit);
}
