// The imaging factory, served by the layer as a built-in COM class.
#include "com/BuiltinClasses.h"
#include "com/ComObject.h"
#include "imaging/Picture.h"

namespace ce::detail {
namespace {

using ce::imaging::Picture;
using ce::imaging::PictureHeader;

template <class Interface>
HRESULT Answer(Interface* self, REFIID iid, REFIID own, void** object) {
    if (object == nullptr) {
        return E_POINTER;
    }
    *object = nullptr;
    if (iid != IID_IUnknown && iid != own) {
        return E_NOINTERFACE;
    }
    *object = self;
    self->AddRef();
    return S_OK;
}

// An image over the caller's bytes; the pixels are decoded when it is drawn.
class BufferImage final : public ComObject<IImage> {
public:
    BufferImage(const uint8_t* data, size_t size, const PictureHeader& header)
        : data_(data), size_(size), header_(header) {}

    STDMETHODIMP QueryInterface(REFIID iid, void** object) override { return Answer(this, iid, IID_IImage, object); }

    STDMETHODIMP GetImageInfo(ImageInfo* info) override {
        if (info == nullptr) {
            return E_POINTER;
        }
        *info = ImageInfo{};
        info->PixelFormat = PixelFormat32bppARGB;
        info->Width = static_cast<UINT>(header_.width);
        info->Height = static_cast<UINT>(header_.height);
        info->TileWidth = info->Width;
        info->TileHeight = 1;
        info->Xdpi = info->Ydpi = 96.0;
        info->Flags = header_.format == ce::imaging::PictureFormat::Jpeg ? 0 : ImageFlagsHasAlpha;
        return S_OK;
    }

    STDMETHODIMP Draw(HDC hdc, const RECT* dest, const RECT* source) override {
        if (hdc == nullptr || dest == nullptr) {
            return E_INVALIDARG;
        }
        Picture picture;
        if (!ce::imaging::DecodePicture(data_, size_, &picture)) {
            return E_FAIL;
        }
        return ce::imaging::DrawPicture(hdc, picture, *dest, source) ? S_OK : E_FAIL;
    }

private:
    const uint8_t* data_;
    size_t size_;
    PictureHeader header_;
};

class ImagingFactory final : public ComObject<IImagingFactory> {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
        return Answer(this, iid, IID_IImagingFactory, object);
    }

    STDMETHODIMP CreateImageFromBuffer(const void* buffer, UINT size, BufferDisposalFlag disposal,
                                       IImage** image) override {
        if (image == nullptr) {
            return E_POINTER;
        }
        *image = nullptr;
        if (buffer == nullptr || size == 0 || disposal != BufferDisposalFlagNone) {
            return E_INVALIDARG;
        }
        const auto* bytes = static_cast<const uint8_t*>(buffer);
        PictureHeader header;
        if (!ce::imaging::ReadPictureHeader(bytes, size, &header)) {
            return E_FAIL;
        }
        *image = new BufferImage(bytes, size, header);
        return S_OK;
    }
};

class ImagingFactoryClass final : public ComObject<IClassFactory> {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** object) override {
        return Answer(this, iid, IID_IClassFactory, object);
    }

    STDMETHODIMP CreateInstance(IUnknown* outer, REFIID iid, void** object) override {
        if (object == nullptr) {
            return E_POINTER;
        }
        *object = nullptr;
        if (outer != nullptr) {
            return CLASS_E_NOAGGREGATION;
        }
        auto* factory = new ImagingFactory();
        HRESULT result = factory->QueryInterface(iid, object);
        factory->Release();
        return result;
    }

    STDMETHODIMP LockServer(BOOL) override { return S_OK; }
};

}  // namespace

IClassFactory* NewImagingFactoryClass() { return new ImagingFactoryClass(); }

}  // namespace ce::detail
