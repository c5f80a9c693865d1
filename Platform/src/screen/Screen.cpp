#include "screen/Screen.h"

#include <cairo.h>

#include <cstdio>

#include "gdi/Bitmap.h"
#include "gdi/CairoTarget.h"
#include "gdi/GdiInternal.h"
#include "screen/FastPng.h"
#include "screen/ScreenGeometry.h"

namespace ce::screen {

struct ScreenHolder {
    Screen screen;
};

Screen& Screen::Instance() {
    // Destroyed at exit, so that the back end's thread is asked to stop and joined.
    static ScreenHolder holder;
    return holder.screen;
}

Screen::Screen() = default;

Screen::~Screen() { backend_.reset(); }

DisplayBackend& Screen::Backend() {
    std::call_once(backendStarted_, [this] {
        backend_ = ChooseDisplayBackend([this](const FrameVisitor& visitor) { CopyPixels(visitor); });
    });
    return *backend_;
}

HBITMAP Screen::Surface() {
    gdi::GdiGuard guard(gdi::GdiLock());
    ScreenSize size = CurrentScreenSize();
    auto bitmap = gdi::LookupObjectAs<gdi::Bitmap>(surface_);
    if (!bitmap || bitmap->Width() != size.width || bitmap->Height() != size.height) {
        if (surface_) {
            DeleteObject(surface_);
        }
        surface_ = gdi::CreateSurfaceBitmap(size.width, size.height);
    }
    return surface_;
}

HDC Screen::CreateDC() {
    gdi::GdiGuard guard(gdi::GdiLock());
    return gdi::CreateWindowDC(Surface(), POINT{0, 0}, nullptr);
}

void Screen::SetComposer(std::function<void()> composer) {
    std::lock_guard guard(lock_);
    composer_ = std::move(composer);
}

void Screen::Present() { Backend().Present(); }

std::string Screen::BackendName() { return Backend().Name(); }

void Screen::CopyPixels(const FrameVisitor& visitor) {
    gdi::GdiGuard guard(gdi::GdiLock());
    auto bitmap = gdi::LookupObjectAs<gdi::Bitmap>(Surface());
    if (bitmap) {
        visitor(bitmap->Bits(), bitmap->Width(), bitmap->Height(), bitmap->Stride());
    }
}

bool Screen::Capture(const std::string& path) {
    std::function<void()> composer;
    {
        std::lock_guard guard(lock_);
        composer = composer_;
    }
    if (composer) {
        composer();
    }
    cairo_surface_t* image = nullptr;
    {
        gdi::GdiGuard guard(gdi::GdiLock());
        auto bitmap = gdi::LookupObjectAs<gdi::Bitmap>(Surface());
        if (!bitmap) {
            return false;
        }
        image = gdi::CopyToCairoImage(*bitmap);
    }
    std::string temporary = path + ".tmp";
    bool written = WriteFastPng(image, temporary);
    cairo_surface_destroy(image);
    if (!written || std::rename(temporary.c_str(), path.c_str()) != 0) {
        std::remove(temporary.c_str());
        return false;
    }
    return true;
}

}  // namespace ce::screen
