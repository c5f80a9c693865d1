// A map picture in the map cache: written whole by the program's atomic writer at the path the maps
// updater gives, and read back as the map screen reads it (the picture decoder).
#include <gtest/gtest.h>

#include <string>

#include "CByteBuffer.h"
#include "CFSFile.h"
#include "CVOImage.h"
#include "Platform/PictureFiles.h"
#include "SavedFile.h"
#include "Weather/CAtomicFileWriter.h"
#include "Weather/CMapsUpdater.h"
#include "ce/gdi.h"

namespace crash_test {
namespace {

constexpr char16_t kMapId[] = u"EU_RADAR_1.png";
constexpr int kSide = 120;

// Noise seeded by the generation, so that every generation's picture is of its own and does not
// compress to nothing.
ce::test::Bytes MapPicture(uint32_t generation) {
    ce::test::TestPicture picture{kSide, kSide, {}};
    uint32_t state = generation * 2654435761u + 1;
    for (int i = 0; i < kSide * kSide; ++i) {
        state = state * 1664525u + 1013904223u;
        picture.argb.push_back(0xFF000000u | (state >> 8));
    }
    return ce::test::EncodePng(picture);
}

class MapCacheFile : public SavedFile {
public:
    bool Prepare() override {
        std::u16string path;
        if (!CMapsUpdater::GetMapCachePath(kMapId, &path)) {
            return false;
        }
        std::u16string folder = path.substr(0, path.rfind(u'\\'));
        return CreateDirectoryW(folder.c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
    }

    bool Save(uint32_t generation) override {
        std::u16string path;
        ce::test::Bytes picture = MapPicture(generation);
        return CMapsUpdater::GetMapCachePath(kMapId, &path) &&
               CAtomicFileWriter::Replace(path.c_str(), picture.data(), static_cast<DWORD>(picture.size()));
    }

protected:
    bool Holds(uint32_t generation) override {
        std::u16string path;
        CFSFile file;
        CByteBuffer bytes;
        if (!CMapsUpdater::GetMapCachePath(kMapId, &path) ||
            !file.Open(path.c_str(), OPEN_EXISTING, GENERIC_READ, FILE_SHARE_READ) || !file.ReadAll(&bytes)) {
            return false;
        }
        ce::test::Bytes expected = MapPicture(generation);
        if (ce::test::Bytes(bytes.GetPointer(0), bytes.GetPointer(0) + bytes.GetLength()) != expected) {
            return false;
        }
        CVOImage image;
        if (!image.Load(nullptr, bytes.GetPointer(0), bytes.GetLength())) {
            return false;
        }
        DeleteObject(image.TakeBitmap());
        return true;
    }
};

}  // namespace

std::unique_ptr<SavedFile> MakeMapCacheFile() { return std::make_unique<MapCacheFile>(); }

}  // namespace crash_test
