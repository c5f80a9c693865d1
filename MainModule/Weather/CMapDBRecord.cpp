#include "Weather/CMapDBRecord.h"

LPCWSTR CMapDBRecord::GetLocalizedName(uint32_t languageId) const {
    auto it = names_.find(languageId);
    if (it == names_.end()) {
        it = names_.find(kEnglish);
    }
    return it == names_.end() ? nullptr : it->second.c_str();
}
