#include "CSprite.h"

#include <algorithm>
#include <cstdint>
#include <cstring>

#include "CBitmapDC.h"
#include "CByteBuffer.h"
#include "CDibView.h"
#include "CFSFile.h"
#include "CVOImage.h"
#include "DrawingHelpers.h"
#include "RectHelpers.h"
#include "ce/imaging.h"

namespace {

bool SizeAllowed(UINT width, UINT height) {
    return width > 0 && height > 0 && width <= CSprite::kMaxImageSide && height <= CSprite::kMaxImageSide &&
           uint64_t{width} * height <= CSprite::kMaxImagePixels;
}

// A white bitmap of the depth (0: like the screen) selected into a memory context.
bool CreateTarget(CBitmapDC* target, int width, int height, int bitsPerPixel) {
    const bool created = bitsPerPixel > 0 ? target->Create(width, height, bitsPerPixel)
                                          : target->CreateCompatible(nullptr, width, height);
    if (!created) {
        return false;
    }
    const RECT all{0, 0, width, height};
    FillRect(target->DC(), &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
    return true;
}

SIZE BitmapSize(HBITMAP bitmap) {
    BITMAP bm{};
    GetObjectW(bitmap, sizeof bm, &bm);
    return SIZE{bm.bmWidth, bm.bmHeight};
}

}  // namespace

CSprite::CSprite(const CSprite& other) { Assign(other); }

CSprite& CSprite::operator=(const CSprite& other) {
    if (this != &other) {
        Assign(other);
    }
    return *this;
}

CSprite::~CSprite() { Clear(); }

void CSprite::Clear() {
    if (m_bitmap != nullptr) {
        DeleteObject(m_bitmap);
    }
    if (m_mask != nullptr) {
        DeleteObject(m_mask);
    }
    m_bitmap = m_mask = nullptr;
    m_width = m_height = 0;
}

bool CSprite::LoadFromFile(LPCWSTR path) {
    CFSFile file;
    CByteBuffer contents;
    if (path == nullptr || !file.Open(path, OPEN_EXISTING, GENERIC_READ, 0) || !file.ReadAll(&contents)) {
        return false;
    }
    return LoadFromMemory(contents.GetPointer(0), contents.GetLength());
}

bool CSprite::LoadFromMemory(const BYTE* data, DWORD size) {
    Clear();
    HBITMAP bitmap = DecodeImage(data, size, 16);
    if (bitmap == nullptr) {
        return false;
    }
    const SIZE extent = BitmapSize(bitmap);
    m_bitmap = bitmap;
    m_width = extent.cx;
    m_height = extent.cy;
    return true;
}

void CSprite::Draw(HDC hdc, const RECT* target, const RECT* source) const {
    if (m_bitmap == nullptr || hdc == nullptr || target == nullptr) {
        return;
    }
    const RECT whole{0, 0, m_width, m_height};
    const RECT& from = source != nullptr ? *source : whole;
    HDC memory = CreateCompatibleDC(hdc);
    HGDIOBJ old = SelectObject(memory, m_bitmap);
    StretchBlt(hdc, target->left, target->top, RectWidth(*target), RectHeight(*target), memory, from.left,
               from.top, RectWidth(from), RectHeight(from), SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
}

bool CSprite::Assign(const CSprite& other) {
    if (this == &other) {
        return true;
    }
    Clear();
    m_width = other.m_width;
    m_height = other.m_height;
    m_bitmap = other.m_bitmap != nullptr ? CopyBitmap(other.m_bitmap, 16) : nullptr;
    m_mask = other.m_mask != nullptr ? CopyBitmap(other.m_mask, 8) : nullptr;
    if ((other.m_bitmap != nullptr && m_bitmap == nullptr) || (other.m_mask != nullptr && m_mask == nullptr)) {
        Clear();
        return false;
    }
    return true;
}

// A new DIB section of the depth with the source's pixels, row by row; each row the shorter of the two.
HBITMAP CSprite::CopyBitmap(HBITMAP source, int bitsPerPixel) {
    const CDibView from(source);
    if (!from.IsValid()) {
        return nullptr;
    }
    HBITMAP copy = CreateDIB(from.Width(), from.Height(), bitsPerPixel);
    const CDibView to(copy);
    if (!to.IsValid()) {
        if (copy != nullptr) {
            DeleteObject(copy);
        }
        return nullptr;
    }
    const int rowBytes = std::min(from.Stride(), to.Stride());
    for (int y = 0; y < from.Height(); ++y) {
        std::memcpy(to.Row(y), from.Row(y), static_cast<size_t>(rowBytes));
    }
    return copy;
}

HBITMAP CSprite::CreateDIB(int width, int height, int bitsPerPixel) {
    return CreateDibBitmap(width, height, bitsPerPixel);
}

HBITMAP CSprite::DecodeImage(const BYTE* data, DWORD size, int bitsPerPixel) {
    if (data == nullptr || size == 0) {
        return nullptr;
    }
    bool factoryAvailable = false;
    HBITMAP bitmap = DecodeWithFactory(data, size, bitsPerPixel, &factoryAvailable);
    if (factoryAvailable) {
        return bitmap;
    }
    return DecodeWithDecompressor(data, size, bitsPerPixel);
}

HBITMAP CSprite::DecodeWithFactory(const BYTE* data, DWORD size, int bitsPerPixel, bool* factoryAvailable) {
    ce::ComRef<IImagingFactory> factory;
    *factoryAvailable = SUCCEEDED(CoCreateInstance(CLSID_ImagingFactory, nullptr, CLSCTX_INPROC_SERVER,
                                                   IID_IImagingFactory, factory.OutVoid()));
    ce::ComRef<IImage> image;
    ImageInfo info{};
    if (!*factoryAvailable || FAILED(factory->CreateImageFromBuffer(data, size, BufferDisposalFlagNone, image.Out())) ||
        FAILED(image->GetImageInfo(&info)) || !SizeAllowed(info.Width, info.Height)) {
        return nullptr;
    }
    const int width = static_cast<int>(info.Width), height = static_cast<int>(info.Height);
    CBitmapDC target;
    const RECT all{0, 0, width, height};
    if (!CreateTarget(&target, width, height, bitsPerPixel) || FAILED(image->Draw(target.DC(), &all, nullptr))) {
        return nullptr;
    }
    return target.DetachBitmap();
}

HBITMAP CSprite::DecodeWithDecompressor(const BYTE* data, DWORD size, int bitsPerPixel) {
    HDC screen = CreateCompatibleDC(nullptr);
    CVOImage decoder;
    const bool loaded = decoder.Load(screen, data, size);
    DeleteDC(screen);
    HBITMAP decoded = loaded ? decoder.TakeBitmap() : nullptr;
    if (decoded == nullptr || bitsPerPixel == 0) {
        return decoded;
    }
    const SIZE extent = BitmapSize(decoded);
    CBitmapDC target;
    HDC source = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(source, decoded);
    const bool copied = target.Create(extent.cx, extent.cy, bitsPerPixel) &&
                        BitBlt(target.DC(), 0, 0, extent.cx, extent.cy, source, 0, 0, SRCCOPY);
    SelectObject(source, old);
    DeleteDC(source);
    DeleteObject(decoded);
    return copied ? target.DetachBitmap() : nullptr;
}
