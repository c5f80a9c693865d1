// The exports of the Home plug-in library: its class object, the unload test, and its registration as
// the COM class that the Home screen creates.
#include <new>

#include "CHomePlugin.h"
#include "CHomePluginFactory.h"
#include "LanternetModule.h"
#include "ce/module.h"
#include "ce/registry.h"

namespace {

constexpr LPCWSTR kClassKey = u"CLSID\\{6D2E8A41-0C7B-4E59-A3F6-91B4C8D27E05}";
constexpr LPCWSTR kServerKey = u"CLSID\\{6D2E8A41-0C7B-4E59-A3F6-91B4C8D27E05}\\InprocServer32";

bool SetDefaultText(HKEY key, LPCWSTR text) {
    auto bytes = static_cast<DWORD>((lstrlenW(text) + 1) * sizeof(WCHAR));
    return RegSetValueExW(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(text), bytes) == ERROR_SUCCESS;
}

// A key with a default text; the key is closed in every case.
bool WriteKey(LPCWSTR path, LPCWSTR text) {
    HKEY key = nullptr;
    if (RegCreateKeyExW(HKEY_CLASSES_ROOT, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS) {
        return false;
    }
    bool written = SetDefaultText(key, text);
    RegCloseKey(key);
    return written;
}

}  // namespace

extern "C" {

CE_EXPORT BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID) {
    if (reason == DLL_PROCESS_ATTACH) {
        lanternet::SetLibraryInstance(instance);
    } else if (reason == DLL_PROCESS_DETACH) {
        // A host that frees the library with objects of the set-up still made loses nothing to a leak.
        lanternet::ReleaseLibrary();
    }
    return TRUE;
}

// The library-wide objects are set up before the class is looked at: a host that asks for another class
// still finds them made.
CE_EXPORT HRESULT STDMETHODCALLTYPE DllGetClassObject(REFCLSID clsid, REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    HRESULT ready = lanternet::SetUpLibrary();
    if (FAILED(ready)) {
        return ready;
    }
    if (clsid != CHomePlugin::kClassId) {
        return CLASS_E_CLASSNOTAVAILABLE;
    }
    CHomePluginFactory* factory = new (std::nothrow) CHomePluginFactory();
    if (factory == nullptr) {
        return E_OUTOFMEMORY;
    }
    HRESULT result = factory->QueryInterface(iid, object);
    factory->Release();
    return SUCCEEDED(result) ? S_OK : E_NOINTERFACE;
}

CE_EXPORT HRESULT STDMETHODCALLTYPE DllCanUnloadNow() {
    return lanternet::ModuleCount() == 0 && lanternet::FactoryCount() == 0 ? S_OK : S_FALSE;
}

CE_EXPORT HRESULT STDMETHODCALLTYPE DllRegisterServer() {
    WCHAR module[MAX_PATH] = {};
    if (GetModuleFileNameW(reinterpret_cast<HMODULE>(lanternet::LibraryInstance()), module, MAX_PATH) == 0) {
        return E_FAIL;
    }
    return WriteKey(kClassKey, u"CHomePlugin") && WriteKey(kServerKey, module) ? S_OK : E_FAIL;
}

CE_EXPORT HRESULT STDMETHODCALLTYPE DllUnregisterServer() {
    bool server = RegDeleteKeyW(HKEY_CLASSES_ROOT, kServerKey) == ERROR_SUCCESS;
    bool classKey = RegDeleteKeyW(HKEY_CLASSES_ROOT, kClassKey) == ERROR_SUCCESS;
    return server && classKey ? S_OK : E_FAIL;
}

}  // extern "C"
