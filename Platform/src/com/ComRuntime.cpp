// COM start-up and object creation.
#include <atomic>
#include <cstdlib>

#include "ce/com.h"
#include "com/BuiltinClasses.h"

namespace {

// One apartment per process: creation works while any thread holds an initialisation.
std::atomic<long> initialisations{0};

}  // namespace

extern "C" {

CE_API HRESULT CoInitializeEx(LPVOID /*reserved*/, DWORD flags) {
    if (flags != COINIT_MULTITHREADED && flags != COINIT_APARTMENTTHREADED) {
        return E_INVALIDARG;
    }
    if (initialisations.fetch_add(1) == 0) {
        ce::detail::InitializeXmlParser();
        return S_OK;
    }
    return S_FALSE;
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
        return REGDB_E_CLASSNOTREG;
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
