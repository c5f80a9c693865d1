// Raster pictures on the device platform: the imaging factory (COM, CLSID_ImagingFactory), which makes
// an image object from PNG, JPEG or GIF bytes that draws itself on a device context, and the older
// image decompression call of the library "imgdecmp.dll", which decodes straight into a bitmap.
#pragma once

#include "ce/com.h"
#include "ce/gdi.h"

inline constexpr CLSID CLSID_ImagingFactory = {
    0x327ABDA8, 0x072B, 0x11D3, {0x9D, 0x7B, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
inline constexpr IID IID_IImagingFactory = {
    0x327ABDA7, 0x072B, 0x11D3, {0x9D, 0x7B, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};
inline constexpr IID IID_IImage = {
    0x327ABDA9, 0x072B, 0x11D3, {0x9D, 0x7B, 0x00, 0x00, 0xF8, 0x1E, 0xF3, 0x2E}};

// Who frees the buffer an image is made from once the image is gone; the layer supports only None
// (the buffer stays the caller's and must outlive the image).
typedef enum BufferDisposalFlag {
    BufferDisposalFlagNone = 0,
    BufferDisposalFlagGlobalFree = 1,
    BufferDisposalFlagCoTaskMemFree = 2,
    BufferDisposalFlagUnmapView = 3,
} BufferDisposalFlag;

// The picture's format: 32 bits with alpha, as the decoders deliver every picture.
typedef DWORD PixelFormatID;
#define PixelFormat32bppARGB 0x0026200A

#define ImageFlagsHasAlpha 0x0002

typedef struct ImageInfo {
    GUID RawDataFormat;  // GUID_NULL: the layer does not name the coded format
    PixelFormatID PixelFormat;
    UINT Width;
    UINT Height;
    UINT TileWidth;
    UINT TileHeight;
    double Xdpi;
    double Ydpi;
    UINT Flags;
} ImageInfo;

// The largest side a picture may have; the decoders refuse larger ones before decoding.
#define IMAGE_MAX_SIDE 16384

struct IImage : IUnknown {
    // Width and height come from the picture's header; nothing is decoded yet.
    virtual HRESULT STDMETHODCALLTYPE GetImageInfo(ImageInfo* info) = 0;
    // Decodes the picture and blends it (its alpha over what is there) into dest, scaled; source null
    // means the whole picture. Damaged data gives a failure code and draws nothing.
    virtual HRESULT STDMETHODCALLTYPE Draw(HDC hdc, const RECT* dest, const RECT* source) = 0;

protected:
    ~IImage() = default;
};

struct IImagingFactory : IUnknown {
    // An image over the caller's bytes: E_INVALIDARG for null or empty data or another disposal,
    // E_FAIL when the header names no picture the layer decodes or one with a side above IMAGE_MAX_SIDE.
    virtual HRESULT STDMETHODCALLTYPE CreateImageFromBuffer(const void* buffer, UINT size,
                                                            BufferDisposalFlag disposal, IImage** image) = 0;

protected:
    ~IImagingFactory() = default;
};

// ---- the image decompression library ----------------------------------------------------------------
typedef DWORD(CALLBACK* GETDATAFUNC)(LPSTR buffer, DWORD bufferMax, LPARAM param);
typedef void(CALLBACK* PROGRESSFUNC)(void* render, BOOL complete, LPARAM param);

typedef struct tagDecompressImageInfo {
    DWORD dwSize;             // sizeof(DecompressImageInfo)
    LPBYTE pbBuffer;          // the coded picture
    DWORD dwBufferMax;
    DWORD dwBufferCurrent;    // bytes of the picture in the buffer
    HBITMAP* phBM;            // receives the new bitmap; the caller deletes it
    void** ppImageRender;     // progressive rendering: not offered, must be null
    int iBitDepth;            // 16 (5-6-5), 24 or 32
    LPARAM lParam;            // handed to the callbacks
    HDC hdc;                  // the device the bitmap is made for
    int iScale;               // percent
    int iMaxWidth;            // larger pictures are refused
    int iMaxHeight;
    GETDATAFUNC pfnGetData;   // asked for more bytes when the buffer holds none
    PROGRESSFUNC pfnImageProgress;
    COLORREF crTransparentOverride;
} DecompressImageInfo;

extern "C" {
// Decodes the picture into a new bitmap filled white under it. S_OK, E_INVALIDARG for a bad request,
// E_FAIL for a picture that cannot be decoded or exceeds the maxima.
CE_API HRESULT DecompressImageIndirect(DecompressImageInfo* info);
}

typedef HRESULT (*DecompressImageIndirectProc)(DecompressImageInfo* info);
