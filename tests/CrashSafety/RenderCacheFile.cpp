// The render cache (.tmp) beside a sprite package, driven only through the sprite library's package
// object, as the program drives it: each generation renders the picture at a size of its own, one
// append to the cache. After a kill, a fresh package object must find every finished append in the
// cache (with the package file moved away, so that only the cache can give the picture, and the cache
// file unchanged by reading), draw each as a reference package draws it, and still take the next
// append. The cache starts over after a few appends and after a couple of dozen in turn; the test makes
// the append that creates the file itself. As "render-first" every child makes that append instead,
// and the cache starts over after every kill.
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "CByteBuffer.h"
#include "CFSFile.h"
#include "CSpritePackage.h"
#include "SavedFile.h"
#include "Skin/SpriteLibraryLoader.h"
#include "ce/gdi.h"

namespace crash_test {
namespace {

constexpr char16_t kPackage[] = u"\\Program Files\\Skyvane\\Data\\icons.pak";
constexpr char16_t kCache[] = u"\\Program Files\\Skyvane\\Data\\icons.tmp";
constexpr char16_t kPackageAway[] = u"\\Program Files\\Skyvane\\Data\\icons.away";
constexpr char16_t kReferencePackage[] = u"\\Program Files\\Skyvane\\Reference\\icons.pak";
constexpr int kEntry = 5;
constexpr uint32_t kShortCache = 3;
constexpr uint32_t kLongCache = 24;

using Package = std::unique_ptr<CSpritePackage>;

Package OpenPackage(const char16_t* path) {
    Package package(NewSpriteObject());
    if (!package || !package->Open(path)) {
        return nullptr;
    }
    return package;
}

int SideOf(uint32_t generation) { return 96 + 8 * static_cast<int>(generation); }

int PictureOf(CSpritePackage& package, uint32_t generation) {
    return package.Render(kEntry, SideOf(generation), SideOf(generation));
}

// The picture drawn onto a grey 32-bit surface.
std::vector<uint32_t> DrawnPixels(CSpritePackage& package, int picture, int side) {
    BITMAPINFO info{};
    info.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    info.bmiHeader.biWidth = side;
    info.bmiHeader.biHeight = -side;
    info.bmiHeader.biPlanes = 1;
    info.bmiHeader.biBitCount = 32;
    info.bmiHeader.biCompression = BI_RGB;
    void* bits = nullptr;
    HBITMAP surface = CreateDIBSection(nullptr, &info, DIB_RGB_COLORS, &bits, nullptr, 0);
    HDC dc = CreateCompatibleDC(nullptr);
    if (surface == nullptr || dc == nullptr) {
        return {};
    }
    HGDIOBJ old = SelectObject(dc, surface);
    std::vector<uint32_t> pixels(static_cast<size_t>(side) * side, 0x808080);
    std::copy(pixels.begin(), pixels.end(), static_cast<uint32_t*>(bits));
    package.Draw(picture, dc, 0, 0, 0, 0, 0, 0);
    GdiFlush();
    std::copy(static_cast<uint32_t*>(bits), static_cast<uint32_t*>(bits) + pixels.size(), pixels.begin());
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(surface);
    return pixels;
}

CByteBuffer CacheBytes() {
    CByteBuffer bytes;
    CFSFile file;
    if (file.Open(kCache, OPEN_EXISTING, GENERIC_READ, FILE_SHARE_READ)) {
        file.ReadAll(&bytes);
    }
    return bytes;
}

bool SameBytes(const CByteBuffer& a, const CByteBuffer& b) {
    return a.GetLength() == b.GetLength() &&
           (a.GetLength() == 0 || std::equal(a.GetPointer(0), a.GetPointer(0) + a.GetLength(), b.GetPointer(0)));
}

class RenderCacheFile : public SavedFile {
public:
    explicit RenderCacheFile(bool killsInFirstAppend) : killsInFirstAppend_(killsInFirstAppend) {}

    bool Prepare() override {
        const std::string install = std::string(std::getenv("CE_DEVICE_ROOT")) + "/fs/Program Files/Skyvane/";
        std::error_code error;
        std::filesystem::create_symlink(PICTORRA_DLL, install + "Pictorra.dll", error);
        for (const char* folder : {"Data/", "Reference/"}) {
            std::filesystem::create_directories(install + folder, error);
            std::filesystem::copy_file(std::string(CE_SKIN_DIR) + "/icons.pak", install + folder + "icons.pak",
                                       std::filesystem::copy_options::overwrite_existing, error);
        }
        return LoadSpriteLibrary() && (reference_ = OpenPackage(kReferencePackage)) != nullptr;
    }

    void WarmUp() override { OpenOnce(); }

    bool Save(uint32_t generation) override {
        return OpenOnce() && PictureOf(*package_, generation) != CSpritePackage::kNoImage;
    }

    std::optional<uint32_t> Check(uint32_t finished, uint32_t started) override {
        if (!Holds(finished)) {
            return std::nullopt;
        }
        // The append the kill may have cut short is made again, and must then be found.
        uint32_t next = std::max<uint32_t>(started, 1);
        if (!Save(next) || !Holds(next)) {
            return std::nullopt;
        }
        if (!killsInFirstAppend_ && next < (longCache_ ? kLongCache : kShortCache)) {
            package_.reset();
            return next;
        }
        longCache_ = !longCache_;
        package_.reset();
        DeleteFileW(kCache);
        if (killsInFirstAppend_) {
            return 0;
        }
        bool created = Save(1);
        package_.reset();
        return created ? std::optional<uint32_t>(1) : std::nullopt;
    }

protected:
    // Every picture up to the generation comes from the cache, whole.
    bool Holds(uint32_t generation) override {
        Package fresh = OpenPackage(kPackage);
        if (!fresh || !reference_) {
            return false;
        }
        const CByteBuffer before = CacheBytes();
        if (!MoveFileW(kPackage, kPackageAway)) {
            return false;
        }
        bool found = true;
        for (uint32_t g = 1; g <= generation && found; ++g) {
            int picture = PictureOf(*fresh, g);
            int expected = PictureOf(*reference_, g);
            found = picture != CSpritePackage::kNoImage &&
                    DrawnPixels(*fresh, picture, SideOf(g)) == DrawnPixels(*reference_, expected, SideOf(g));
        }
        return MoveFileW(kPackageAway, kPackage) && found && SameBytes(before, CacheBytes());
    }

private:
    bool OpenOnce() { return package_ || (LoadSpriteLibrary() && (package_ = OpenPackage(kPackage)) != nullptr); }

    Package package_;
    Package reference_;
    const bool killsInFirstAppend_;
    bool longCache_ = false;
};

}  // namespace

std::unique_ptr<SavedFile> MakeRenderCacheFile() { return std::make_unique<RenderCacheFile>(false); }
std::unique_ptr<SavedFile> MakeFirstRenderCacheAppend() { return std::make_unique<RenderCacheFile>(true); }

}  // namespace crash_test
