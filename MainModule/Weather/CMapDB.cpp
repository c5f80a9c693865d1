#include "Weather/CMapDB.h"

#include "CFSFile.h"
#include "ce/kernel.h"

namespace {

// A u8 length and that many UTF-16 code units.
bool ReadText(CFSFile& file, std::u16string& text) {
    uint8_t length = 0;
    if (!file.ReadExact(&length, 1)) {
        return false;
    }
    text.resize(length);
    for (auto& unit : text) {
        WORD value = 0;
        if (!file.ReadU16(value)) {
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
    DWORD recordCount = 0;
    WORD languageCount = 0;
    if (!file.ReadU32(recordCount) || !file.ReadU16(languageCount)) {
        return true;  // an empty or cut file holds no records
    }
    std::vector<uint32_t> languages(languageCount);
    for (auto& language : languages) {
        if (!file.ReadU32(language)) {
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
    if (!ReadText(file, record.id_) || !ReadText(file, parentId) || !file.ReadExact(&mapType, 1)) {
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
