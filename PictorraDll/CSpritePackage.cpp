#include "CSpritePackage.h"

#include <algorithm>

#include "CRenderedImage.h"
#include "NamedMutex.h"
#include "RenderCacheFile.h"
#include "SpritePackageFile.h"
#include "SvgRasterizer.h"

namespace {
constexpr int kHandleBase = 0x1BED0000;
constexpr size_t kMaxImages = 0x10000;
}  // namespace

struct CSpritePackage::RenderedImageItem {
    int index;
    int width;
    int height;
    int32_t key;
    std::unique_ptr<CRenderedImage> image;
};

CSpritePackage::CSpritePackage() = default;

CSpritePackage::~CSpritePackage() {
    if (m_drawSurface)
        DeleteObject(m_drawSurface);
}

int32_t CSpritePackage::ColorKey(BYTE hue, BYTE saturation, SHORT lightnessShift) {
    uint32_t key = (uint32_t(uint16_t(lightnessShift)) & 0x7FFF) | (uint32_t(saturation) | uint32_t(hue) << 8)
                                                                       << 15;
    return int32_t(key);
}

bool CSpritePackage::Open(LPCWSTR path) {
    if (!path)
        return false;
    // The pictures of a package opened before are not this package's pictures; a failed open
    // leaves the object with no package at all rather than the old entries under the new path.
    m_images.clear();
    m_entries.clear();
    m_packagePath = path;
    size_t dot = m_packagePath.rfind(u'.');
    m_cachePath = (dot == std::u16string::npos ? m_packagePath : m_packagePath.substr(0, dot)) + u".tmp";
    m_packageMutex = std::make_unique<NamedMutex>(SpritePackageFile::MutexName(m_packagePath));
    m_cache = std::make_unique<RenderCacheFile>(m_cachePath);
    return SpritePackageFile::ReadIndex(m_packagePath, *m_packageMutex, m_entries);
}

DWORD CSpritePackage::GetCount() {
    return DWORD(m_entries.size());
}

int CSpritePackage::GetEntryWidth(int index) {
    return index >= 0 && size_t(index) < m_entries.size() ? m_entries[index].width : 0;
}

int CSpritePackage::GetEntryHeight(int index) {
    return index >= 0 && size_t(index) < m_entries.size() ? m_entries[index].height : 0;
}

const CSpritePackage::RenderedImageItem* CSpritePackage::Item(int image) const {
    if ((image & 0xFFFF0000) != kHandleBase)
        return nullptr;
    size_t row = size_t(image & 0xFFFF);
    return row < m_images.size() ? m_images[row].get() : nullptr;
}

int CSpritePackage::AddImage(int index, int width, int height, int32_t key,
                             std::unique_ptr<CRenderedImage> image) {
    if (m_images.size() >= kMaxImages)
        return kNoImage;
    m_images.push_back(
        std::make_unique<RenderedImageItem>(RenderedImageItem{index, width, height, key, std::move(image)}));
    return kHandleBase | int(m_images.size() - 1);
}

int CSpritePackage::FindImage(int index, int width, int height) {
    for (size_t i = 0; i < m_images.size(); ++i) {
        const RenderedImageItem& r = *m_images[i];
        if (r.index == index && r.key == -1 && r.width == width && r.height == height)
            return kHandleBase | int(i);
    }
    return kNoImage;
}

int CSpritePackage::FindColorizedImage(int index, int width, int height, BYTE hue, BYTE saturation,
                                       SHORT shift) {
    int32_t key = ColorKey(hue, saturation, shift);
    for (size_t i = 0; i < m_images.size(); ++i) {
        const RenderedImageItem& r = *m_images[i];
        if (r.index == index && r.key == key && r.width == width && r.height == height)
            return kHandleBase | int(i);
    }
    return kNoImage;
}

bool CSpritePackage::ReadEntry(int index, std::string& svg) {
    if (index < 0 || size_t(index) >= m_entries.size())
        return false;
    return m_packageMutex &&
           SpritePackageFile::ReadEntry(m_packagePath, *m_packageMutex, m_entries[index], svg);
}

bool CSpritePackage::CacheLoad(int index, int width, int height, int32_t key,
                               std::unique_ptr<CRenderedImage>& image) {
    const uint32_t* pixels =
        m_cache ? m_cache->Load(uint32_t(index), uint32_t(width), uint32_t(height), uint32_t(key)) : nullptr;
    if (!pixels)
        return false;  // a missing, unreadable or damaged record costs a render, nothing more
    auto loaded = std::make_unique<CRenderedImage>();
    if (!loaded->Create(width, height) || !loaded->SetPixels(pixels))
        return false;
    image = std::move(loaded);
    return true;
}

bool CSpritePackage::CacheStore(int index, int width, int height, int32_t key, const CRenderedImage& image) {
    std::vector<uint32_t> pixels;
    image.GetPixels(pixels);
    return m_cache &&
           m_cache->Store(uint32_t(index), uint32_t(width), uint32_t(height), uint32_t(key), pixels);
}

int CSpritePackage::Render(int index, int width, int height) {
    if (index < 0 || size_t(index) >= m_entries.size() || width <= 0 || height <= 0)
        return kNoImage;
    int found = FindImage(index, width, height);
    if (found != kNoImage)
        return found;

    std::unique_ptr<CRenderedImage> image;
    if (CacheLoad(index, width, height, -1, image))
        return AddImage(index, width, height, -1, std::move(image));

    std::string svg;
    if (!ReadEntry(index, svg))
        return kNoImage;
    SvgRaster raster;
    if (Failed(SvgRasterizer::Render(svg, width, height, raster)))
        return kNoImage;
    image = std::make_unique<CRenderedImage>();
    if (!image->Create(width, height) || !image->SetPixels(raster.pixels))
        return kNoImage;

    const CRenderedImage& stored = *image;
    int handle = AddImage(index, width, height, -1, std::move(image));
    if (handle != kNoImage)
        CacheStore(index, width, height, -1, stored);  // a failed store costs a later render only
    return handle;
}

int CSpritePackage::Colorize(int handle, BYTE hue, BYTE saturation, SHORT shift) {
    const RenderedImageItem* item = Item(handle);
    if (!item)
        return kNoImage;
    const CRenderedImage& source = *item->image;
    int index = item->index, width = source.Width(), height = source.Height();
    int found = FindColorizedImage(index, width, height, hue, saturation, shift);
    if (found != kNoImage)
        return found;

    int32_t key = ColorKey(hue, saturation, shift);
    std::unique_ptr<CRenderedImage> image;
    if (CacheLoad(index, width, height, key, image))
        return AddImage(index, width, height, key, std::move(image));

    image = std::make_unique<CRenderedImage>();
    if (!image->CopyFrom(source))
        return kNoImage;
    image->Colorize(hue, saturation, shift);
    const CRenderedImage& stored = *image;
    int added = AddImage(index, width, height, key, std::move(image));
    if (added != kNoImage)
        CacheStore(index, width, height, key, stored);  // a failed store costs a later colouring only
    return added;
}

bool CSpritePackage::EnsureDrawSurface(int width, int height) {
    if (m_drawSurface && m_drawWidth >= width && m_drawHeight >= height)
        return true;
    if (m_drawSurface)
        DeleteObject(m_drawSurface);
    m_drawSurface = CreateRgb565Section(width, height);
    m_drawWidth = m_drawSurface ? width : 0;
    m_drawHeight = m_drawSurface ? height : 0;
    return m_drawSurface != nullptr;
}

void CSpritePackage::Draw(int handle, HDC dc, int x, int y, int width, int height, int srcX, int srcY) {
    const RenderedImageItem* item = Item(handle);
    if (!item || !dc)
        return;  // the call has no result to fail with: a handle that is no image, or no DC, draws nothing
    const CRenderedImage& image = *item->image;
    if (width == 0)
        width = image.Width();
    if (height == 0)
        height = image.Height();
    // Only the part of the region that lies on the picture is drawn.
    if (srcX < 0)
        x -= srcX, width += srcX, srcX = 0;
    if (srcY < 0)
        y -= srcY, height += srcY, srcY = 0;
    width = std::min(width, image.Width() - srcX);
    height = std::min(height, image.Height() - srcY);
    if (width <= 0 || height <= 0 || !EnsureDrawSurface(width, height))
        return;

    HDC memory = CreateCompatibleDC(nullptr);
    if (!memory)
        return;
    HGDIOBJ old = SelectObject(memory, m_drawSurface);
    BitBlt(memory, 0, 0, width, height, dc, x, y, SRCCOPY);
    image.Blend(m_drawSurface, width, height, srcX, srcY);
    BitBlt(dc, x, y, width, height, memory, 0, 0, SRCCOPY);
    SelectObject(memory, old);
    DeleteDC(memory);
}

int CSpritePackage::GetImageWidth(int handle) {
    const RenderedImageItem* item = Item(handle);
    return item ? item->image->Width() : 0;
}

int CSpritePackage::GetImageHeight(int handle) {
    const RenderedImageItem* item = Item(handle);
    return item ? item->image->Height() : 0;
}

bool CSpritePackage::GetImageSize(int handle, int* width, int* height) {
    const RenderedImageItem* item = Item(handle);
    if (!item || !width || !height)
        return false;
    *width = item->image->Width();
    *height = item->image->Height();
    return true;
}
