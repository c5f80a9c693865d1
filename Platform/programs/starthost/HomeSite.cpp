#include "HomeSite.h"

#include "HomeColors.h"

HomeSite* HomeSite::Create(Owner* owner) { return new HomeSite(owner); }

HRESULT STDMETHODCALLTYPE HomeSite::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (iid == IID_IUnknown || iid == IID_IHomePluginEnvironment) {
        *object = static_cast<IHomePluginEnvironment*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE HomeSite::AddRef() { return ++references_; }

ULONG STDMETHODCALLTYPE HomeSite::Release() {
    ULONG left = --references_;
    if (left == 0) {
        delete this;
    }
    return left;
}

HRESULT STDMETHODCALLTYPE HomeSite::InvalidatePlugin(DWORD handle, int /*part*/) {
    if (owner_ == nullptr) {
        return E_FAIL;
    }
    owner_->InvalidatePlugin(handle);
    return S_OK;
}

HRESULT STDMETHODCALLTYPE HomeSite::GetPluginFont(DWORD, BSTR, void*) { return E_NOTIMPL; }

HRESULT STDMETHODCALLTYPE HomeSite::GetNamedColor(DWORD, BSTR name, COLORREF* color) {
    if (name == nullptr || color == nullptr) {
        return E_POINTER;
    }
    return HomeColors::Find(std::u16string_view(name, SysStringLen(name)), color) ? S_OK : E_INVALIDARG;
}
