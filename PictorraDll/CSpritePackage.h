// The sprite package object: opens one .pak, renders its pictures at any size (once per size, kept
// in memory and in the package's render cache on disk), recolours them and blends them onto a DC.
// The caller owns the object and deletes it through its virtual destructor.
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <vector>

#include "ce/gdi.h"

class CRenderedImage;
class NamedMutex;
class RenderCacheFile;
struct SpritePackageEntry;

class CSpritePackage {
public:
    static constexpr int kNoImage = -1;

    CSpritePackage();
    CSpritePackage(const CSpritePackage&) = delete;
    CSpritePackage& operator=(const CSpritePackage&) = delete;

    virtual bool Open(LPCWSTR path);
    virtual DWORD GetCount();
    virtual int GetEntryWidth(int index);
    virtual int GetEntryHeight(int index);
    virtual int Render(int index, int width, int height);
    virtual int Colorize(int image, BYTE hue, BYTE saturation, SHORT lightnessShift);
    virtual void Draw(int image, HDC dc, int x, int y, int width, int height, int srcX, int srcY);
    virtual int GetImageWidth(int image);
    virtual int GetImageHeight(int image);
    virtual bool GetImageSize(int image, int* width, int* height);
    virtual int FindImage(int index, int width, int height);
    virtual int FindColorizedImage(int index, int width, int height, BYTE hue, BYTE saturation,
                                   SHORT lightnessShift);
    virtual ~CSpritePackage();

    // The colour key of a recoloured render: shift bits 0-14, saturation 15-22, hue 23-30.
    static int32_t ColorKey(BYTE hue, BYTE saturation, SHORT lightnessShift);

private:
    struct RenderedImageItem;

    bool ReadEntry(int index, std::string& svg);
    bool CacheLoad(int index, int width, int height, int32_t key, std::unique_ptr<CRenderedImage>& image);
    bool CacheStore(int index, int width, int height, int32_t key, const CRenderedImage& image);
    int AddImage(int index, int width, int height, int32_t key, std::unique_ptr<CRenderedImage> image);
    const RenderedImageItem* Item(int image) const;
    bool EnsureDrawSurface(int width, int height);

    std::vector<SpritePackageEntry> m_entries;
    std::vector<std::unique_ptr<RenderedImageItem>> m_images;
    std::u16string m_packagePath;
    std::u16string m_cachePath;
    // Kept for the object's life, as the cache's is inside m_cache.
    std::unique_ptr<NamedMutex> m_packageMutex;
    // Kept for the object's life: it remembers the cache's index between look-ups.
    std::unique_ptr<RenderCacheFile> m_cache;
    HBITMAP m_drawSurface = nullptr;
    int m_drawWidth = 0;
    int m_drawHeight = 0;
};
