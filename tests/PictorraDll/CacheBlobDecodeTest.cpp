// A render cache blob decodes to the same pixels through the kept inflater (libdeflate for a stream cut
// off after a full flush) as through zlib's own inflate, for every skin picture at the sizes the program
// draws it; and a damaged blob is refused by the one exactly when by the other.
#include <gtest/gtest.h>

#include <cstring>
#include <string>
#include <vector>

#include "ByteOrder.h"
#include "CRenderedImage.h"
#include "SkinPictures.h"
#include "SvgRasterizer.h"
#include "ZlibCodec.h"

namespace {
using namespace pictorra_test;

// The bytes a cache store compresses: the picture as its planes hold it, widened back to 32 bits.
std::vector<uint8_t> CachePixels(const std::string& svg, int size)
{
    SvgRaster raster;
    if (Failed(SvgRasterizer::Render(svg, size, size, raster))) return {};
    CRenderedImage image;
    if (!image.Create(size, size) || !image.SetPixels(raster.pixels)) return {};
    std::vector<uint32_t> pixels;
    image.GetPixels(pixels);
    std::vector<uint8_t> bytes;
    for (uint32_t p : pixels) AppendLe32(bytes, p);
    return bytes;
}

// Decoded by zlib's inflate, the reference: its output when that is exactly `length` bytes.
bool ZlibDecodes(const std::vector<uint8_t>& blob, size_t length, std::vector<uint8_t>& out)
{
    ZlibCodec::ExactInflater zlib;
    out.assign(length, 0);
    return zlib.InflateWithZlib(blob.data(), blob.size(), out.data(), length) == 0;
}

TEST(CacheBlobDecode, EverySkinPictureDecodesAsZlibDecodesIt)
{
    const std::vector<SkinPicture> pictures = SkinPictures();
    ASSERT_EQ(pictures.size(), 95u) << "the skin packages of the build";
    ZlibCodec::ExactInflater inflater;
    for (const SkinPicture& picture : pictures) {
        for (int size : {32, 64, 128}) {
            std::vector<uint8_t> raw = CachePixels(picture.svg, size);
            ASSERT_FALSE(raw.empty()) << picture.name;
            std::vector<uint8_t> blob, reference;
            ASSERT_EQ(ZlibCodec::Compress(raw.data(), raw.size(), blob, raw.size(), -1), 0) << picture.name;
            ASSERT_TRUE(ZlibDecodes(blob, raw.size(), reference)) << picture.name;
            std::vector<uint8_t> decoded(raw.size());
            ASSERT_EQ(inflater.Inflate(blob.data(), blob.size(), decoded.data(), decoded.size()), 0)
                << picture.name << " at " << size;
            EXPECT_TRUE(decoded == reference && decoded == raw) << picture.name << " at " << size;
        }
    }
}

TEST(CacheBlobDecode, ADamagedBlobIsRefusedAsZlibRefusesIt)
{
    const std::vector<SkinPicture> pictures = SkinPictures();
    ASSERT_FALSE(pictures.empty());
    std::vector<uint8_t> raw = CachePixels(pictures.front().svg, 64);
    std::vector<uint8_t> blob;
    ASSERT_EQ(ZlibCodec::Compress(raw.data(), raw.size(), blob, raw.size(), -1), 0);
    ZlibCodec::ExactInflater inflater;
    std::vector<uint8_t> decoded(raw.size());
    // Damage everywhere but in the full flush's end, which sends a blob to the faster decoder.
    for (size_t at = 0; at + 4 < blob.size(); ++at) {
        for (uint8_t flip : {0x01, 0x80, 0xFF}) {
            std::vector<uint8_t> damaged = blob;
            damaged[at] ^= flip;
            std::vector<uint8_t> reference;
            bool zlibTakesIt = ZlibDecodes(damaged, raw.size(), reference);
            bool taken = inflater.Inflate(damaged.data(), damaged.size(), decoded.data(), decoded.size()) == 0;
            ASSERT_EQ(taken, zlibTakesIt) << "byte " << at << " ^ " << int(flip);
            if (taken) {
                EXPECT_EQ(decoded, reference) << "byte " << at << " ^ " << int(flip);
            }
        }
    }
    // Cut short, or with more after it, it is no blob of this picture.
    std::vector<uint8_t> shorter(blob.begin(), blob.begin() + blob.size() / 2);
    EXPECT_NE(inflater.Inflate(shorter.data(), shorter.size(), decoded.data(), decoded.size()), 0);
    std::vector<uint8_t> twice = blob;
    twice.insert(twice.end(), blob.begin() + 2, blob.end());
    EXPECT_NE(inflater.Inflate(twice.data(), twice.size(), decoded.data(), decoded.size()), 0);
}

}  // namespace
