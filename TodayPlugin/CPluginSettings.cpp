#include "CPluginSettings.h"

#include "CRegistryStore.h"

CPluginSettings::CPluginSettings(LPCWSTR modeValueName)
    : language(GetSystemDefaultLangID()), degreeType(0), mode(0), m_modeValueName(modeValueName) {}

bool CPluginSettings::Load(CRegistryStore* store) {
    if (store == nullptr) {
        return false;
    }
    struct Value {
        LPCWSTR name;
        DWORD* field;
    };
    const Value values[] = {{u"Language", &language}, {u"DegreeType", &degreeType}, {m_modeValueName, &mode}};
    for (const Value& value : values) {
        DWORD read = 0;
        if (store->GetDWORD(value.name, &read)) {
            *value.field = read;
        }
    }
    return true;
}

bool CPluginSettings::Save(CRegistryStore* store) const {
    return store != nullptr && store->SetDWORD(u"Language", language) && store->SetDWORD(u"DegreeType", degreeType) &&
           store->SetDWORD(m_modeValueName, mode);
}
