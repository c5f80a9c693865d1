// The process-wide image codecs: the imaging factory and, where there is none, the image decompression
// library's entry.
#pragma once

#include "ce/imaging.h"

class ImageCodecs {
public:
    // Start-up: the factory; when it cannot be made, the decompressor.
    static void Init();
    static bool CreateFactory();
    static bool LoadDecompressor();
    // Exit: releases the factory and frees the library.
    static void Release();

    static IImagingFactory* GetFactory() { return s_factory; }
    // The decompressor's entry, loading the library on first use; null when it is not there.
    static DecompressImageIndirectProc GetDecompressor();

private:
    static IImagingFactory* s_factory;
    static HMODULE s_decompressorModule;
    static bool s_moduleLoadedHere;
    static DecompressImageIndirectProc s_decompress;
};
