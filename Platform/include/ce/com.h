// COM basics of the device platform: GUIDs, HRESULTs, IUnknown and the class factory, BSTR and VARIANT,
// and object creation (built-in classes first, then in-process servers registered under
// HKEY_CLASSES_ROOT\CLSID\{...}\InprocServer32).
#pragma once

#include "ce/types.h"

// ---- GUIDs ----------------------------------------------------------------------------------------
typedef struct _GUID {
    DWORD Data1;
    WORD Data2;
    WORD Data3;
    BYTE Data4[8];
} GUID;
typedef GUID IID;
typedef GUID CLSID;
typedef const GUID& REFGUID;
typedef const IID& REFIID;
typedef const CLSID& REFCLSID;
typedef GUID* LPGUID;
typedef IID* LPIID;
typedef CLSID* LPCLSID;

inline bool IsEqualGUID(REFGUID a, REFGUID b) {
    if (a.Data1 != b.Data1 || a.Data2 != b.Data2 || a.Data3 != b.Data3) {
        return false;
    }
    for (int i = 0; i < 8; ++i) {
        if (a.Data4[i] != b.Data4[i]) {
            return false;
        }
    }
    return true;
}
inline bool operator==(REFGUID a, REFGUID b) { return IsEqualGUID(a, b); }
#define IsEqualIID(a, b) IsEqualGUID(a, b)
#define IsEqualCLSID(a, b) IsEqualGUID(a, b)

inline constexpr GUID GUID_NULL = {0, 0, 0, {0, 0, 0, 0, 0, 0, 0, 0}};
inline constexpr IID IID_IUnknown = {0x00000000, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_IClassFactory = {0x00000001, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

// ---- HRESULT --------------------------------------------------------------------------------------
#define S_OK ((HRESULT)0L)
#define S_FALSE ((HRESULT)1L)
#define E_NOTIMPL ((HRESULT)0x80004001L)
#define E_NOINTERFACE ((HRESULT)0x80004002L)
#define E_POINTER ((HRESULT)0x80004003L)
#define E_ABORT ((HRESULT)0x80004004L)
#define E_FAIL ((HRESULT)0x80004005L)
#define E_UNEXPECTED ((HRESULT)0x8000FFFFL)
#define E_ACCESSDENIED ((HRESULT)0x80070005L)
#define E_HANDLE ((HRESULT)0x80070006L)
#define E_OUTOFMEMORY ((HRESULT)0x8007000EL)
#define E_INVALIDARG ((HRESULT)0x80070057L)
#define DISP_E_ARRAYISLOCKED ((HRESULT)0x8002000DL)
#define CLASS_E_NOAGGREGATION ((HRESULT)0x80040110L)
#define CLASS_E_CLASSNOTAVAILABLE ((HRESULT)0x80040111L)
#define REGDB_E_CLASSNOTREG ((HRESULT)0x80040154L)
#define CO_E_NOTINITIALIZED ((HRESULT)0x800401F0L)
#define CO_E_DLLNOTFOUND ((HRESULT)0x800401F8L)
#define CO_E_ERRORINDLL ((HRESULT)0x800401F9L)
#define CO_E_CLASSSTRING ((HRESULT)0x800401F3L)
#define RPC_E_CHANGED_MODE ((HRESULT)0x80010106L)

#define SUCCEEDED(hr) (((HRESULT)(hr)) >= 0)
#define FAILED(hr) (((HRESULT)(hr)) < 0)
#define HRESULT_FROM_WIN32(x) \
    ((HRESULT)(x) <= 0 ? ((HRESULT)(x)) : ((HRESULT)(((x) & 0x0000FFFF) | (7 << 16) | 0x80000000)))

// ---- interfaces -----------------------------------------------------------------------------------
#define STDMETHOD(method) virtual HRESULT STDMETHODCALLTYPE method
#define STDMETHOD_(type, method) virtual type STDMETHODCALLTYPE method
#define STDMETHODIMP HRESULT STDMETHODCALLTYPE
#define STDMETHODIMP_(type) type STDMETHODCALLTYPE

struct IUnknown {
    virtual HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** object) = 0;
    virtual ULONG STDMETHODCALLTYPE AddRef() = 0;
    virtual ULONG STDMETHODCALLTYPE Release() = 0;

protected:
    ~IUnknown() = default;
};
typedef IUnknown* LPUNKNOWN;

struct IClassFactory : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE CreateInstance(IUnknown* outer, REFIID iid, void** object) = 0;
    virtual HRESULT STDMETHODCALLTYPE LockServer(BOOL lock) = 0;

protected:
    ~IClassFactory() = default;
};

// An object that its host hands a site, and one that loads itself from a stream.
struct IObjectWithSite : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE SetSite(IUnknown* site) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetSite(REFIID iid, void** site) = 0;

protected:
    ~IObjectWithSite() = default;
};

struct ISequentialStream : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE Read(void* data, ULONG size, ULONG* read) = 0;
    virtual HRESULT STDMETHODCALLTYPE Write(const void* data, ULONG size, ULONG* written) = 0;

protected:
    ~ISequentialStream() = default;
};

#define STREAM_SEEK_SET 0
#define STREAM_SEEK_CUR 1
#define STREAM_SEEK_END 2

// The stream operations past Seek are declared for the table's shape; the layer's streams answer them
// with E_NOTIMPL.
struct IStream : ISequentialStream {
    virtual HRESULT STDMETHODCALLTYPE Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) = 0;
    virtual HRESULT STDMETHODCALLTYPE SetSize(ULARGE_INTEGER size) = 0;
    virtual HRESULT STDMETHODCALLTYPE CopyTo(IStream* target, ULARGE_INTEGER size, ULARGE_INTEGER* read,
                                             ULARGE_INTEGER* written) = 0;
    virtual HRESULT STDMETHODCALLTYPE Commit(DWORD flags) = 0;
    virtual HRESULT STDMETHODCALLTYPE Revert() = 0;
    virtual HRESULT STDMETHODCALLTYPE LockRegion(ULARGE_INTEGER offset, ULARGE_INTEGER size, DWORD type) = 0;
    virtual HRESULT STDMETHODCALLTYPE UnlockRegion(ULARGE_INTEGER offset, ULARGE_INTEGER size, DWORD type) = 0;
    virtual HRESULT STDMETHODCALLTYPE Stat(void* statistics, DWORD flags) = 0;
    virtual HRESULT STDMETHODCALLTYPE Clone(IStream** copy) = 0;

protected:
    ~IStream() = default;
};

struct IPersist : IUnknown {
    virtual HRESULT STDMETHODCALLTYPE GetClassID(CLSID* clsid) = 0;

protected:
    ~IPersist() = default;
};

struct IPersistStream : IPersist {
    virtual HRESULT STDMETHODCALLTYPE IsDirty() = 0;
    virtual HRESULT STDMETHODCALLTYPE Load(IStream* stream) = 0;
    virtual HRESULT STDMETHODCALLTYPE Save(IStream* stream, BOOL clearDirty) = 0;
    virtual HRESULT STDMETHODCALLTYPE GetSizeMax(ULARGE_INTEGER* size) = 0;

protected:
    ~IPersistStream() = default;
};

inline constexpr IID IID_IObjectWithSite = {
    0xFC4801A3, 0x2BA9, 0x11CF, {0xA2, 0x29, 0x00, 0xAA, 0x00, 0x3D, 0x73, 0x52}};
inline constexpr IID IID_IPersist = {0x0000010C, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_IPersistStream = {0x00000109, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};
inline constexpr IID IID_ISequentialStream = {0x0C733A30, 0x2A1C, 0x11CE, {0xAD, 0xE5, 0x00, 0xAA, 0x00, 0x44, 0x77, 0x3D}};
inline constexpr IID IID_IStream = {0x0000000C, 0x0000, 0x0000, {0xC0, 0, 0, 0, 0, 0, 0, 0x46}};

// The exports of an in-process server.
typedef HRESULT(STDMETHODCALLTYPE* LPFNGETCLASSOBJECT)(REFCLSID clsid, REFIID iid, void** object);
typedef HRESULT(STDMETHODCALLTYPE* LPFNCANUNLOADNOW)();

// ---- BSTR and VARIANT -----------------------------------------------------------------------------
// A BSTR points at the text; its length in bytes is stored in the 4 bytes before it.
typedef WCHAR OLECHAR;
typedef OLECHAR* BSTR;
typedef const OLECHAR* LPCOLESTR;
typedef OLECHAR* LPOLESTR;

typedef SHORT VARIANT_BOOL;
#define VARIANT_TRUE ((VARIANT_BOOL)-1)
#define VARIANT_FALSE ((VARIANT_BOOL)0)

typedef WORD VARTYPE;
enum VARENUM : VARTYPE {
    VT_EMPTY = 0,
    VT_NULL = 1,
    VT_I2 = 2,
    VT_I4 = 3,
    VT_R4 = 4,
    VT_R8 = 5,
    VT_BSTR = 8,
    VT_BOOL = 11,
    VT_UNKNOWN = 13,
    VT_UI1 = 17,
    VT_UI4 = 19,
    VT_ARRAY = 0x2000,
};

// A one-dimensional array as the layer makes them (SafeArrayCreateVector); VariantClear destroys the
// array of a VT_ARRAY value.
typedef struct tagSAFEARRAYBOUND {
    ULONG cElements;
    LONG lLbound;
} SAFEARRAYBOUND, *LPSAFEARRAYBOUND;

typedef struct tagSAFEARRAY {
    USHORT cDims;
    USHORT fFeatures;
    ULONG cbElements;
    ULONG cLocks;
    PVOID pvData;
    SAFEARRAYBOUND rgsabound[1];
} SAFEARRAY, *LPSAFEARRAY;

typedef struct tagVARIANT {
    VARTYPE vt;
    WORD wReserved1;
    WORD wReserved2;
    WORD wReserved3;
    union {
        LONG lVal;
        ULONG ulVal;
        SHORT iVal;
        FLOAT fltVal;
        DOUBLE dblVal;
        VARIANT_BOOL boolVal;
        BSTR bstrVal;
        IUnknown* punkVal;
        SAFEARRAY* parray;
    };
} VARIANT, *LPVARIANT;
typedef VARIANT VARIANTARG;

// ---- creation -------------------------------------------------------------------------------------
#define CLSCTX_INPROC_SERVER 0x1
#define CLSCTX_INPROC_HANDLER 0x2
#define CLSCTX_LOCAL_SERVER 0x4
#define CLSCTX_INPROC (CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER)
#define CLSCTX_ALL (CLSCTX_INPROC_SERVER | CLSCTX_INPROC_HANDLER | CLSCTX_LOCAL_SERVER)

#define COINIT_MULTITHREADED 0x0
#define COINIT_APARTMENTTHREADED 0x2

extern "C" {
// The device has one multithreaded apartment per process: once any thread has initialised COM, every
// thread of the process may create objects.
CE_API HRESULT CoInitializeEx(LPVOID reserved, DWORD flags);
CE_API void CoUninitialize(void);
CE_API HRESULT CoCreateInstance(REFCLSID clsid, LPUNKNOWN outer, DWORD context, REFIID iid, LPVOID* object);
CE_API HRESULT CoGetClassObject(REFCLSID clsid, DWORD context, LPVOID reserved, REFIID iid, LPVOID* object);
CE_API LPVOID CoTaskMemAlloc(SIZE_T size);
CE_API void CoTaskMemFree(LPVOID block);

// "{XXXXXXXX-XXXX-XXXX-XXXX-XXXXXXXXXXXX}" forms; the writer returns the characters written with the
// terminator (39), or 0 when the buffer is too small.
CE_API int StringFromGUID2(REFGUID guid, LPOLESTR out, int size);
CE_API HRESULT CLSIDFromString(LPCOLESTR text, LPCLSID clsid);
CE_API HRESULT IIDFromString(LPCOLESTR text, LPIID iid);

CE_API BSTR SysAllocString(const OLECHAR* text);
CE_API BSTR SysAllocStringLen(const OLECHAR* text, UINT length);
CE_API void SysFreeString(BSTR text);
CE_API UINT SysStringLen(BSTR text);

CE_API void VariantInit(VARIANTARG* value);
CE_API HRESULT VariantClear(VARIANTARG* value);

// Arrays of VT_UI1, VT_I2, VT_I4, VT_UI4, VT_R4 and VT_R8 elements, zero-filled; null for another type
// or when the memory is not there. A locked array (SafeArrayAccessData) is not destroyed.
CE_API SAFEARRAY* SafeArrayCreateVector(VARTYPE type, LONG lowerBound, ULONG count);
CE_API HRESULT SafeArrayAccessData(SAFEARRAY* array, void** data);
CE_API HRESULT SafeArrayUnaccessData(SAFEARRAY* array);
CE_API HRESULT SafeArrayDestroy(SAFEARRAY* array);
}

// ---- Linux-side helpers ---------------------------------------------------------------------------
namespace ce {

// Holds one reference to an interface and releases it when it goes.
template <class T>
class ComRef {
public:
    ComRef() = default;
    ~ComRef() { Reset(); }
    ComRef(const ComRef&) = delete;
    ComRef& operator=(const ComRef&) = delete;
    ComRef(ComRef&& other) noexcept : object_(other.object_) { other.object_ = nullptr; }
    ComRef& operator=(ComRef&& other) noexcept {
        if (this != &other) {
            Reset();
            object_ = other.object_;
            other.object_ = nullptr;
        }
        return *this;
    }

    // For out-parameters: drops what is held and returns the slot to fill.
    T** Out() {
        Reset();
        return &object_;
    }
    void** OutVoid() { return reinterpret_cast<void**>(Out()); }
    void Reset() {
        if (object_ != nullptr) {
            object_->Release();
            object_ = nullptr;
        }
    }
    T* Get() const { return object_; }
    T* operator->() const { return object_; }
    explicit operator bool() const { return object_ != nullptr; }

private:
    T* object_ = nullptr;
};

// Owns a BSTR.
class Bstr {
public:
    Bstr() = default;
    explicit Bstr(const OLECHAR* text) : text_(SysAllocString(text)) {}
    ~Bstr() { SysFreeString(text_); }
    Bstr(const Bstr&) = delete;
    Bstr& operator=(const Bstr&) = delete;

    BSTR* Out() {
        SysFreeString(text_);
        text_ = nullptr;
        return &text_;
    }
    BSTR Get() const { return text_; }
    std::u16string_view View() const { return text_ != nullptr ? std::u16string_view(text_, SysStringLen(text_)) : u""; }

private:
    BSTR text_ = nullptr;
};

}  // namespace ce
