// The message stores of the device: one per messaging account of the device profile.
#include <algorithm>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "com/ComObject.h"
#include "ce/device.h"
#include "ce/mapi.h"

namespace {

thread_local int t_initialized = 0;

std::vector<std::u16string> AccountNames() {
    std::vector<std::u16string> names;
    std::string list = ce::ProfileString("mail", "accounts");
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find(';', start);
        if (end == std::string::npos) {
            end = list.size();
        }
        std::string name = list.substr(start, end - start);
        size_t first = name.find_first_not_of(" \t");
        if (first != std::string::npos) {
            names.push_back(ce::FromUtf8(name.substr(first, name.find_last_not_of(" \t") + 1 - first)));
        }
        start = end + 1;
    }
    return names;
}

// One block for a row's values and the texts they point at, freed with MAPIFreeBuffer.
LPSPropValue MakeRowValues(const std::vector<ULONG>& columns, const std::u16string& name) {
    size_t valuesSize = columns.size() * sizeof(SPropValue);
    size_t textSize = (name.size() + 1) * sizeof(WCHAR);
    auto* block = static_cast<BYTE*>(std::calloc(1, valuesSize + textSize));
    if (block == nullptr) {
        return nullptr;
    }
    auto* values = reinterpret_cast<LPSPropValue>(block);
    auto* text = reinterpret_cast<LPWSTR>(block + valuesSize);
    std::memcpy(text, name.c_str(), textSize);
    for (size_t i = 0; i < columns.size(); ++i) {
        if (columns[i] == PR_DISPLAY_NAME) {
            values[i].ulPropTag = PR_DISPLAY_NAME;
            values[i].Value.lpszW = text;
        } else {
            values[i].ulPropTag = PROP_TAG(PT_ERROR, PROP_ID(columns[i]));
            values[i].Value.err = MAPI_E_NOT_FOUND;
        }
    }
    return values;
}

// The stores' objects answer only for IUnknown: nobody asks them for more.
template <class Interface>
class UnknownOnly : public ce::detail::ComObject<Interface> {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        *object = nullptr;
        if (!IsEqualIID(iid, IID_IUnknown)) {
            return E_NOINTERFACE;
        }
        this->AddRef();
        *object = static_cast<IUnknown*>(this);
        return S_OK;
    }
};

class StoresTable : public UnknownOnly<IMAPITable> {
public:
    explicit StoresTable(std::vector<std::u16string> names) : names_(std::move(names)) {}

    HRESULT STDMETHODCALLTYPE SetColumns(LPSPropTagArray columns, ULONG) override {
        if (columns == nullptr || columns->cValues == 0) {
            return MAPI_E_INVALID_PARAMETER;
        }
        columns_.assign(columns->aulPropTag, columns->aulPropTag + columns->cValues);
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE QueryRows(LONG count, ULONG, LPSRowSet* rows) override {
        if (rows == nullptr || count < 0) {
            return MAPI_E_INVALID_PARAMETER;
        }
        *rows = nullptr;
        size_t take = std::min<size_t>(static_cast<size_t>(count), names_.size() - cursor_);
        // SRowSet holds one row itself; room for at least that one.
        auto* set = static_cast<LPSRowSet>(std::calloc(1, sizeof(SRowSet) + std::max<size_t>(take, 1) * sizeof(SRow)));
        if (set == nullptr) {
            return MAPI_E_NOT_ENOUGH_MEMORY;
        }
        for (size_t i = 0; i < take; ++i) {
            LPSPropValue values = MakeRowValues(columns_, names_[cursor_ + i]);
            if (values == nullptr) {
                FreeProws(set);
                return MAPI_E_NOT_ENOUGH_MEMORY;
            }
            set->aRow[i].cValues = static_cast<ULONG>(columns_.size());
            set->aRow[i].lpProps = values;
            set->cRows = static_cast<ULONG>(i + 1);
        }
        cursor_ += take;
        *rows = set;
        return S_OK;
    }

    HRESULT STDMETHODCALLTYPE GetRowCount(ULONG, ULONG* count) override {
        if (count == nullptr) {
            return MAPI_E_INVALID_PARAMETER;
        }
        *count = static_cast<ULONG>(names_.size());
        return S_OK;
    }

private:
    std::vector<std::u16string> names_;
    std::vector<ULONG> columns_{PR_DISPLAY_NAME};
    size_t cursor_ = 0;
};

class Session : public UnknownOnly<IMAPISession> {
public:
    HRESULT STDMETHODCALLTYPE GetMsgStoresTable(ULONG, LPMAPITABLE* table) override {
        if (table == nullptr) {
            return MAPI_E_INVALID_PARAMETER;
        }
        *table = loggedOff_ ? nullptr : new StoresTable(AccountNames());
        return loggedOff_ ? MAPI_E_CALL_FAILED : S_OK;
    }

    HRESULT STDMETHODCALLTYPE Logoff(ULONG_PTR, ULONG, ULONG) override {
        loggedOff_ = true;
        return S_OK;
    }

private:
    bool loggedOff_ = false;
};

}  // namespace

extern "C" {

CE_API HRESULT MAPIInitialize(LPVOID) {
    ++t_initialized;
    return S_OK;
}

CE_API void MAPIUninitialize(void) {
    if (t_initialized > 0) {
        --t_initialized;
    }
}

CE_API HRESULT MAPILogonEx(ULONG_PTR, LPWSTR, LPWSTR, ULONG, LPMAPISESSION* session) {
    if (session == nullptr) {
        return MAPI_E_INVALID_PARAMETER;
    }
    *session = nullptr;
    if (t_initialized == 0) {
        return MAPI_E_NOT_INITIALIZED;
    }
    *session = new Session();
    return S_OK;
}

CE_API ULONG MAPIFreeBuffer(LPVOID buffer) {
    std::free(buffer);
    return 0;
}

CE_API void FreeProws(LPSRowSet rows) {
    if (rows == nullptr) {
        return;
    }
    for (ULONG i = 0; i < rows->cRows; ++i) {
        MAPIFreeBuffer(rows->aRow[i].lpProps);
    }
    MAPIFreeBuffer(rows);
}

}  // extern "C"
