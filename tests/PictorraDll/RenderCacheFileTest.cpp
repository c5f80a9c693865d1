#include <gtest/gtest.h>

#include <unistd.h>

#include "CSpritePackage.h"
#include "PackageFixture.h"
#include "Platform/ChildProcess.h"
#include "RenderCacheFile.h"
#include "ZlibCodec.h"

namespace {
using namespace pictorra_test;

constexpr uint32_t kPlain = RenderCacheFile::kPlainKey;

std::vector<uint32_t> Solid(size_t count, uint32_t pixel) { return std::vector<uint32_t>(count, pixel); }

// A picture that compresses well below its raw size.
std::vector<uint32_t> Picture(uint32_t seed) { return Solid(64, 0xFF000000 | seed); }

class RenderCache : public PackageFixture {
protected:
    RenderCacheFile File() const { return RenderCacheFile(cache); }
};

TEST_F(RenderCache, FirstStoreWritesHeaderBlobAndOneRecord)
{
    ASSERT_TRUE(File().Store(3, 8, 8, kPlain, Picture(0xF80000)));
    std::vector<uint8_t> b = ReadHostFile(HostCache());
    uint32_t index = Le32(b, 0);
    uint32_t blobSize = index - 4;
    ASSERT_EQ(b.size(), index + 4 + 24);
    EXPECT_EQ(b[4], 0x78);  // the blob is a zlib stream from offset 4 ...
    EXPECT_EQ(Le32(b, index - 4), 0xFFFF0000u);  // ... ending in a full flush, without a trailer
    EXPECT_EQ(Le32(b, index), 1u);
    for (uint32_t i = 0, want[] = {3, 8, 8, kPlain, 4, blobSize}; i < 6; ++i) EXPECT_EQ(Le32(b, index + 4 + 4 * i), want[i]);

    std::vector<uint8_t> pixels;
    ASSERT_EQ(ZlibCodec::Uncompress(&b[4], blobSize, pixels, 8 * 8 * 4), 0);
    ASSERT_EQ(pixels.size(), 256u);
    EXPECT_EQ(Le32(pixels, 0), 0xFFF80000u);  // bytes B, G, R, A
}

TEST_F(RenderCache, AppendLeavesTheOldIndexInPlaceAndMovesTheHeaderLast)
{
    ASSERT_TRUE(File().Store(0, 8, 8, kPlain, Picture(1)));
    std::vector<uint8_t> before = ReadHostFile(HostCache());
    ASSERT_TRUE(File().Store(0, 8, 8, 0x7FC00000, Picture(2)));
    std::vector<uint8_t> after = ReadHostFile(HostCache());

    uint32_t oldIndex = Le32(before, 0);
    ASSERT_GT(after.size(), before.size());
    EXPECT_TRUE(std::equal(before.begin() + 4, before.end(), after.begin() + 4));  // nothing old was overwritten
    uint32_t newIndex = Le32(after, 0);
    EXPECT_EQ(Le32(after, newIndex), 2u);
    EXPECT_EQ(Le32(after, newIndex + 4 + 24 + 16), oldIndex + 28);  // the new blob follows the old index
    EXPECT_EQ(newIndex + 4 + 48, after.size());

    std::vector<uint32_t> plain, recoloured;
    ASSERT_TRUE(File().Load(0, 8, 8, kPlain, plain));
    ASSERT_TRUE(File().Load(0, 8, 8, 0x7FC00000, recoloured));
    EXPECT_EQ(plain, Picture(1));
    EXPECT_EQ(recoloured, Picture(2));
    EXPECT_FALSE(File().Load(0, 8, 8, 0x1234, plain));
}

TEST_F(RenderCache, StoringTheSameRecordAgainChangesNothing)
{
    ASSERT_TRUE(File().Store(0, 8, 8, kPlain, Picture(1)));
    std::vector<uint8_t> before = ReadHostFile(HostCache());
    EXPECT_TRUE(File().Store(0, 8, 8, kPlain, Picture(9)));
    EXPECT_EQ(ReadHostFile(HostCache()), before);
}

TEST_F(RenderCache, InterruptedAppendLeavesTheCacheReadable)
{
    ASSERT_TRUE(File().Store(0, 8, 8, kPlain, Picture(1)));
    // A crash after the blob and part of the new index were written: the header still names the old index.
    std::vector<uint8_t> bytes = ReadHostFile(HostCache());
    bytes.insert(bytes.end(), 90, 0xAB);
    WriteHostFile(HostCache(), bytes);
    std::vector<uint32_t> pixels;
    EXPECT_TRUE(File().Load(0, 8, 8, kPlain, pixels));
    ASSERT_TRUE(File().Store(1, 8, 8, kPlain, Picture(2)));
    EXPECT_TRUE(File().Load(0, 8, 8, kPlain, pixels));
    EXPECT_TRUE(File().Load(1, 8, 8, kPlain, pixels));
    EXPECT_EQ(pixels, Picture(2));
}

TEST_F(RenderCache, PictureThatDoesNotCompressIsNeverStored)
{
    EXPECT_FALSE(File().Store(0, 1, 1, kPlain, {0xFF123456}));
    EXPECT_FALSE(std::filesystem::exists(HostCache()));
}

TEST_F(RenderCache, ShortFilesStartAfreshAndAnEightByteFileIsAnIndex)
{
    WriteHostFile(HostCache(), {1, 2, 3});
    std::vector<uint32_t> pixels;
    EXPECT_FALSE(File().Load(0, 8, 8, kPlain, pixels));
    ASSERT_TRUE(File().Store(0, 8, 8, kPlain, Picture(1)));
    EXPECT_EQ(Le32(ReadHostFile(HostCache()), Le32(ReadHostFile(HostCache()), 0) + 4 + 16), 4u);

    WriteHostFile(HostCache(), {4, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_FALSE(File().Load(0, 8, 8, kPlain, pixels));
    ASSERT_TRUE(File().Store(0, 8, 8, kPlain, Picture(1)));
    std::vector<uint8_t> b = ReadHostFile(HostCache());
    EXPECT_EQ(Le32(b, Le32(b, 0)), 1u);
    EXPECT_EQ(Le32(b, Le32(b, 0) + 4 + 16), 8u);  // after the empty index
}

TEST_F(RenderCache, DamagedIndexesAndBlobsAreMissesAndAreNotWrittenOver)
{
    ASSERT_TRUE(File().Store(0, 8, 8, kPlain, Picture(1)));
    const std::vector<uint8_t> good = ReadHostFile(HostCache());
    uint32_t index = Le32(good, 0);
    struct Damage {
        const char* what;
        size_t at;
        uint32_t value;
    };
    const Damage damages[] = {
        {"index offset beyond the file", 0, 0x7FFFFF00},
        {"index offset inside the header", 0, 2},
        {"huge record count", index, 0x40000000},
        {"blob beyond the index", index + 4 + 16, index},
        {"blob too short", index + 4 + 20, 3},
        {"wider than stored", index + 4 + 4, 9},
    };
    for (const Damage& d : damages) {
        std::vector<uint8_t> bytes = good;
        PutLe32(bytes, d.at, d.value);
        WriteHostFile(HostCache(), bytes);
        std::vector<uint32_t> pixels;
        EXPECT_FALSE(File().Load(0, 8, 8, kPlain, pixels)) << d.what;
        if (d.at == 0 || d.at == index) {
            EXPECT_FALSE(File().Store(1, 8, 8, kPlain, Picture(2))) << d.what;
            EXPECT_EQ(ReadHostFile(HostCache()), bytes) << d.what;
        }
    }
    // A blob that inflates beyond width x height x 4 is refused too.
    WriteHostFile(HostCache(), good);
    ASSERT_TRUE(File().Store(0, 4, 4, kPlain, Solid(16, 0xFF000000)));
    std::vector<uint8_t> bytes = ReadHostFile(HostCache());
    uint32_t idx = Le32(bytes, 0);
    PutLe32(bytes, idx + 4 + 24 + 4, 2);  // the 4 x 4 record now claims 2 x 4: its blob is too long
    WriteHostFile(HostCache(), bytes);
    std::vector<uint32_t> pixels;
    EXPECT_FALSE(File().Load(0, 2, 4, kPlain, pixels));
}

TEST_F(RenderCache, RenderUsesTheCacheWhenThePackageEntryIsGone)
{
    WritePackage({kRedSquare});
    {
        CSpritePackage first;
        ASSERT_TRUE(first.Open(package.c_str()));
        ASSERT_NE(first.Render(0, 8, 8), -1);
    }
    std::vector<uint8_t> pak = ReadHostFile(HostPackage());
    PutLe32(pak, 4 + 4, 1);  // the entry's block is now one useless byte
    WriteHostFile(HostPackage(), pak);
    CSpritePackage second;
    ASSERT_TRUE(second.Open(package.c_str()));
    EXPECT_NE(second.Render(0, 8, 8), -1);
    EXPECT_EQ(second.Render(0, 9, 9), -1);
}

// The parent renders and caches; a second process, whose package entry can no longer be read,
// must get the picture from the cache.
TEST(RenderCacheAcrossProcesses, SecondProcessReadsWhatTheFirstCached)
{
    const std::u16string package = u"\\Data\\icons.pak";
    if (const char* role = ce::test::ChildRole(); role && std::string(role) == "reader") {
        CSpritePackage sprites;
        bool ok = sprites.Open(package.c_str());
        int handle = ok ? sprites.Render(0, 8, 8) : -1;
        Canvas canvas(8, 8, 0xFFFF);
        sprites.Draw(handle, canvas.Dc(), 0, 0, 0, 0, 0, 0);
        _exit(handle != -1 && canvas.At(4, 4) == 0xF800 ? 0 : 1);
    }
    ce::test::TempDevice device;
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(SpritePackageFile::Build({{16, 16, kRedSquare}}, bytes));
    WriteHostFile(device.Fs("Data/icons.pak"), bytes);
    {
        CSpritePackage sprites;
        ASSERT_TRUE(sprites.Open(package.c_str()));
        ASSERT_NE(sprites.Render(0, 8, 8), -1);
    }
    PutLe32(bytes, 4 + 4, 1);
    WriteHostFile(device.Fs("Data/icons.pak"), bytes);
    ce::test::ChildProcess child("RenderCacheAcrossProcesses.SecondProcessReadsWhatTheFirstCached", "reader");
    EXPECT_EQ(child.Wait(), 0);
}
}  // namespace
