#include "ImageCodecs.h"

#include "ce/module.h"

IImagingFactory* ImageCodecs::s_factory = nullptr;
HMODULE ImageCodecs::s_decompressorModule = nullptr;
bool ImageCodecs::s_moduleLoadedHere = false;
DecompressImageIndirectProc ImageCodecs::s_decompress = nullptr;

namespace {
constexpr char16_t kDecompressorLibrary[] = u"imgdecmp.dll";
}

void ImageCodecs::Init() {
    if (!CreateFactory()) {
        LoadDecompressor();
    }
}

bool ImageCodecs::CreateFactory() {
    if (s_factory != nullptr) {
        return true;
    }
    void* factory = nullptr;
    if (FAILED(CoCreateInstance(CLSID_ImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IImagingFactory, &factory))) {
        return false;
    }
    s_factory = static_cast<IImagingFactory*>(factory);
    return true;
}

bool ImageCodecs::LoadDecompressor() {
    if (s_decompress != nullptr) {
        return true;
    }
    s_decompressorModule = GetModuleHandleW(kDecompressorLibrary);
    s_moduleLoadedHere = s_decompressorModule == nullptr;
    if (s_moduleLoadedHere) {
        s_decompressorModule = LoadLibraryW(kDecompressorLibrary);
    }
    if (s_decompressorModule == nullptr) {
        return false;
    }
    s_decompress = ce::ProcAs<DecompressImageIndirectProc>(
        GetProcAddressW(s_decompressorModule, u"DecompressImageIndirect"));
    return s_decompress != nullptr;
}

DecompressImageIndirectProc ImageCodecs::GetDecompressor() {
    LoadDecompressor();
    return s_decompress;
}

void ImageCodecs::Release() {
    if (s_factory != nullptr) {
        s_factory->Release();
        s_factory = nullptr;
    }
    if (s_decompressorModule != nullptr && s_moduleLoadedHere) {
        FreeLibrary(s_decompressorModule);
    }
    s_decompressorModule = nullptr;
    s_moduleLoadedHere = false;
    s_decompress = nullptr;
}
