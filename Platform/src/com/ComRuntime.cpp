// COM start-up and object creation.
#include <atomic>
#include <cstdlib>

#include "ce/com.h"
#include "ce/registry.h"
#include "com/BuiltinClasses.h"

namespace {

// One apartment per process: creation works while any thread holds an initialisation.
std::atomic<long> initialisations{0};

// The registered in-process server's path: the default value of HKCR\CLSID\{...}\InprocServer32.
bool FindInprocServer(REFCLSID clsid, WCHAR (&path)[MAX_PATH]) {
    WCHAR key[64] = u"CLSID\\";
    int prefix = 6;
    if (StringFromGUID2(clsid, key + prefix, 64 - prefix) == 0) {
        return false;
    }
    WCHAR* end = key + prefix + 38;
    const char16_t suffix[] = u"\\InprocServer32";
    for (size_t i = 0; i < sizeof(suffix) / sizeof(suffix[0]); ++i) {
        end[i] = suffix[i];
    }
    HKEY server = nullptr;
    if (RegOpenKeyExW(HKEY_CLASSES_ROOT, key, 0, KEY_QUERY_VALUE, &server) != ERROR_SUCCESS) {
        return false;
    }
    DWORD type = 0;
    DWORD size = sizeof(path) - sizeof(WCHAR);
    LONG result = RegQueryValueExW(server, u"", nullptr, &type, reinterpret_cast<LPBYTE>(path), &size);
    RegCloseKey(server);
    if (result != ERROR_SUCCESS || (type != REG_SZ && type != REG_EXPAND_SZ)) {
        return false;
    }
    path[size / sizeof(WCHAR)] = 0;
    return path[0] != 0;
}

// Loads the server (it stays loaded for the process) and asks its DllGetClassObject.
HRESULT GetServerClassObject(REFCLSID clsid, REFIID iid, LPVOID* object) {
    WCHAR path[MAX_PATH] = {};
    if (!FindInprocServer(clsid, path)) {
        return REGDB_E_CLASSNOTREG;
    }
    HMODULE module = LoadLibraryW(path);
    if (module == nullptr) {
        return CO_E_DLLNOTFOUND;
    }
    auto getClassObject = reinterpret_cast<LPFNGETCLASSOBJECT>(GetProcAddressW(module, u"DllGetClassObject"));
    if (getClassObject == nullptr) {
        FreeLibrary(module);
        return CO_E_ERRORINDLL;
    }
    return getClassObject(clsid, iid, object);
}

}  // namespace

extern "C" {

CE_API HRESULT CoInitializeEx(LPVOID /*reserved*/, DWORD flags) {
    if (flags != COINIT_MULTITHREADED && flags != COINIT_APARTMENTTHREADED) {
        return E_INVALIDARG;
    }
    // The XML parser is initialised with its library, when the first document needs it.
    return initialisations.fetch_add(1) == 0 ? S_OK : S_FALSE;
}

CE_API void CoUninitialize(void) {
    long before = initialisations.load();
    while (before > 0 && !initialisations.compare_exchange_weak(before, before - 1)) {
    }
}

CE_API HRESULT CoGetClassObject(REFCLSID clsid, DWORD context, LPVOID /*reserved*/, REFIID iid, LPVOID* object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    if (initialisations.load() <= 0) {
        return CO_E_NOTINITIALIZED;
    }
    if ((context & CLSCTX_INPROC_SERVER) == 0) {
        return REGDB_E_CLASSNOTREG;
    }
    IClassFactory* factory = ce::detail::CreateBuiltinClassFactory(clsid);
    if (factory == nullptr) {
        return GetServerClassObject(clsid, iid, object);
    }
    HRESULT result = factory->QueryInterface(iid, object);
    factory->Release();
    return result;
}

CE_API HRESULT CoCreateInstance(REFCLSID clsid, LPUNKNOWN outer, DWORD context, REFIID iid, LPVOID* object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    IClassFactory* factory = nullptr;
    HRESULT result = CoGetClassObject(clsid, context, nullptr, IID_IClassFactory, reinterpret_cast<void**>(&factory));
    if (FAILED(result)) {
        return result;
    }
    result = factory->CreateInstance(outer, iid, object);
    factory->Release();
    return result;
}

CE_API LPVOID CoTaskMemAlloc(SIZE_T size) { return std::malloc(size == 0 ? 1 : size); }

CE_API void CoTaskMemFree(LPVOID block) { std::free(block); }

}  // extern "C"
