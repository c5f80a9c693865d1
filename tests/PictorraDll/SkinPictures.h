// Every picture of the built skin packages (icons.pak, then misc.pak), as the install folder ships them.
#pragma once

#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "SpritePackageFile.h"

namespace pictorra_test {

struct SkinPicture {
    std::string name;  // "icons.pak 12"
    std::string svg;
};

// Empty when a package is missing or damaged: the caller reports that instead of testing nothing.
inline std::vector<SkinPicture> SkinPictures()
{
    std::vector<SkinPicture> pictures;
    for (const char* package : {"icons.pak", "misc.pak"}) {
        std::ifstream in(std::string(CE_TEST_BINARY_DIR) + "/data/Data/" + package, std::ios::binary);
        std::vector<uint8_t> bytes(std::istreambuf_iterator<char>(in), {});
        std::vector<SpritePackageEntry> entries;
        if (!SpritePackageFile::ParseIndex(bytes, entries)) return {};
        for (size_t i = 0; i < entries.size(); ++i) {
            SkinPicture picture{std::string(package) + " " + std::to_string(i), {}};
            if (!SpritePackageFile::ParseEntry(bytes, entries[i], picture.svg)) return {};
            pictures.push_back(std::move(picture));
        }
    }
    return pictures;
}

}  // namespace pictorra_test
