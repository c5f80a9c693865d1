#include "CHomePluginFactory.h"

#include <new>

#include "CHomePlugin.h"
#include "LanternetModule.h"

CHomePluginFactory::CHomePluginFactory() { lanternet::AddFactory(); }

CHomePluginFactory::~CHomePluginFactory() { lanternet::ReleaseFactory(); }

HRESULT STDMETHODCALLTYPE CHomePluginFactory::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (iid != IID_IUnknown && iid != IID_IClassFactory) {
        *object = nullptr;
        return E_NOINTERFACE;
    }
    *object = static_cast<IClassFactory*>(this);
    AddRef();
    return S_OK;
}

ULONG STDMETHODCALLTYPE CHomePluginFactory::AddRef() { return static_cast<ULONG>(InterlockedIncrement(&m_references)); }

ULONG STDMETHODCALLTYPE CHomePluginFactory::Release() {
    LONG left = InterlockedDecrement(&m_references);
    if (left == 0) {
        delete this;
    }
    return static_cast<ULONG>(left);
}

// The library-wide objects went with the last plug-in object; a factory that the host kept makes them
// again before it makes the next one.
HRESULT STDMETHODCALLTYPE CHomePluginFactory::CreateInstance(IUnknown* outer, REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    if (outer != nullptr) {
        return CLASS_E_NOAGGREGATION;
    }
    HRESULT ready = lanternet::SetUpLibrary();
    if (FAILED(ready)) {
        return ready;
    }
    CHomePlugin* plugin = new (std::nothrow) CHomePlugin();
    if (plugin == nullptr) {
        return E_OUTOFMEMORY;
    }
    HRESULT result = plugin->QueryInterface(iid, object);
    plugin->Release();
    return result;
}

HRESULT STDMETHODCALLTYPE CHomePluginFactory::LockServer(BOOL lock) {
    if (lock) {
        lanternet::AddModuleReference();
    } else {
        lanternet::ReleaseModuleReference();
    }
    return S_OK;
}
