// One region or one map of the maps database: id, map type, names by language, and (for a region) its
// maps ordered by id.
#pragma once

#include <cstdint>
#include <map>
#include <string>

#include "ce/types.h"

class CMapDBRecord {
public:
    static constexpr uint32_t kEnglish = 1033;

    const std::u16string& GetId() const { return id_; }
    uint32_t GetMapType() const { return mapType_; }
    const std::map<std::u16string, CMapDBRecord>& GetChildren() const { return children_; }
    // The name in that language, else in English; null when neither exists.
    LPCWSTR GetLocalizedName(uint32_t languageId) const;

private:
    friend class CMapDB;

    std::u16string id_;
    uint32_t mapType_ = 0;
    std::map<uint32_t, std::u16string> names_;
    std::map<std::u16string, CMapDBRecord> children_;  // code unit order, as wide strcmp gives it
};
