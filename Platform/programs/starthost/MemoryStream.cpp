#include "MemoryStream.h"

#include <algorithm>
#include <cstring>

MemoryStream* MemoryStream::Create(std::string bytes) { return new MemoryStream(std::move(bytes)); }

HRESULT STDMETHODCALLTYPE MemoryStream::QueryInterface(REFIID iid, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    if (iid == IID_IUnknown || iid == IID_ISequentialStream || iid == IID_IStream) {
        *object = static_cast<IStream*>(this);
        AddRef();
        return S_OK;
    }
    *object = nullptr;
    return E_NOINTERFACE;
}

ULONG STDMETHODCALLTYPE MemoryStream::AddRef() { return ++references_; }

ULONG STDMETHODCALLTYPE MemoryStream::Release() {
    ULONG left = --references_;
    if (left == 0) {
        delete this;
    }
    return left;
}

HRESULT STDMETHODCALLTYPE MemoryStream::Read(void* data, ULONG size, ULONG* read) {
    if (data == nullptr && size != 0) {
        return E_POINTER;
    }
    const size_t count = std::min<size_t>(size, bytes_.size() - position_);
    if (count != 0) {
        std::memcpy(data, bytes_.data() + position_, count);
    }
    position_ += count;
    if (read != nullptr) {
        *read = static_cast<ULONG>(count);
    }
    return count == size ? S_OK : S_FALSE;
}

HRESULT STDMETHODCALLTYPE MemoryStream::Write(const void*, ULONG, ULONG* written) {
    if (written != nullptr) {
        *written = 0;
    }
    return E_ACCESSDENIED;
}

HRESULT STDMETHODCALLTYPE MemoryStream::Seek(LARGE_INTEGER move, DWORD origin, ULARGE_INTEGER* position) {
    long long base = 0;
    switch (origin) {
    case STREAM_SEEK_SET:
        break;
    case STREAM_SEEK_CUR:
        base = static_cast<long long>(position_);
        break;
    case STREAM_SEEK_END:
        base = static_cast<long long>(bytes_.size());
        break;
    default:
        return E_INVALIDARG;
    }
    const long long target = base + move.QuadPart;
    if (target < 0 || target > static_cast<long long>(bytes_.size())) {
        return E_INVALIDARG;
    }
    position_ = static_cast<size_t>(target);
    if (position != nullptr) {
        position->QuadPart = position_;
    }
    return S_OK;
}
