// Every picture of the skin keeps its pixels at the sizes the program draws it, whatever is done to make
// the drawing faster. SkinPictureChecksums.txt holds a checksum of each picture at each size as the
// drawing code made it before; a new cairo or pixman, or new skin sources, need a new list:
// PICTORRA_RECORD_CHECKSUMS=<file> writes one from the code under test.
#include <gtest/gtest.h>

#include <cstdlib>
#include <fstream>
#include <map>
#include <sstream>
#include <string>

#include "SkinPictures.h"
#include "SvgCairoRenderer.h"
#include "SvgRasterizer.h"

namespace {
using namespace pictorra_test;

constexpr int kSizes[] = {32, 64, 128};
const std::string kChecksumFile = std::string(CE_SOURCE_DIR) + "/tests/PictorraDll/SkinPictureChecksums.txt";

// FNV-1a over the size and the premultiplied pixels.
std::string Checksum(const SvgRaster& raster)
{
    uint64_t hash = 14695981039346656037ull;
    auto add = [&](uint32_t word) {
        for (int shift = 0; shift < 32; shift += 8) hash = (hash ^ ((word >> shift) & 0xFF)) * 1099511628211ull;
    };
    add(uint32_t(raster.width));
    add(uint32_t(raster.height));
    for (uint32_t pixel : raster.pixels) add(pixel);
    char text[17];
    std::snprintf(text, sizeof text, "%016llx", static_cast<unsigned long long>(hash));
    return text;
}

std::string Key(const SkinPicture& picture, int size) { return picture.name + " " + std::to_string(size); }

// "icons.pak 12 64 <checksum>" a line.
std::map<std::string, std::string> ReadChecksums()
{
    std::map<std::string, std::string> checksums;
    std::ifstream in(kChecksumFile);
    std::string line;
    while (std::getline(in, line)) {
        size_t last = line.rfind(' ');
        if (last != std::string::npos) checksums[line.substr(0, last)] = line.substr(last + 1);
    }
    return checksums;
}

TEST(SkinPictureOutput, EveryPictureDrawsTheRecordedPixelsAtEachSize)
{
    const std::vector<SkinPicture> pictures = SkinPictures();
    ASSERT_EQ(pictures.size(), 95u) << "the skin packages of the build";
    std::ostringstream recorded;
    const std::map<std::string, std::string> expected = ReadChecksums();
    for (const SkinPicture& picture : pictures) {
        for (int size : kSizes) {
            SvgRaster raster;
            ASSERT_EQ(SvgRasterizer::Render(picture.svg, size, size, raster), SvgStatus::Success) << Key(picture, size);
            std::string checksum = Checksum(raster);
            recorded << Key(picture, size) << ' ' << checksum << '\n';
            auto found = expected.find(Key(picture, size));
            EXPECT_TRUE(found != expected.end() && found->second == checksum)
                << Key(picture, size) << " draws " << checksum << ", recorded "
                << (found == expected.end() ? std::string("nothing") : found->second);
        }
    }
    if (const char* record = std::getenv("PICTORRA_RECORD_CHECKSUMS")) std::ofstream(record) << recorded.str();
}

// A parsed document drawn again, at another size or the same, draws what a fresh parse draws: nothing of
// one render is left behind for the next.
TEST(SkinPictureOutput, AParsedPictureDrawsAlikeEveryTimeAndAtEverySize)
{
    const std::vector<SkinPicture> pictures = SkinPictures();
    ASSERT_FALSE(pictures.empty());
    for (const SkinPicture& picture : pictures) {
        SvgCairoRenderer parsed;
        ASSERT_EQ(parsed.Parse(picture.svg), SvgStatus::Success) << picture.name;
        for (int size : {128, 32, 64, 64}) {
            SvgRaster again, fresh;
            ASSERT_EQ(SvgRasterizer::Render(parsed, size, size, again), SvgStatus::Success) << picture.name;
            ASSERT_EQ(SvgRasterizer::Render(picture.svg, size, size, fresh), SvgStatus::Success) << picture.name;
            EXPECT_EQ(again.pixels, fresh.pixels) << picture.name << " at " << size;
        }
    }
}

}  // namespace
