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

// The language and the degree type are the program's to store: writing them back here could undo a
// change the program made meanwhile, or name a language before the user chose one on a first start.
bool CPluginSettings::Save(CRegistryStore* store) const {
    return store != nullptr && store->SetDWORD(m_modeValueName, mode);
}
