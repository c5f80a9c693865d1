#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "SpritePackageFile.h"
#include "ZlibCodec.h"

namespace {

TEST(SpritePackageFile, BuildLaysOutCountIndexAndBlocks)
{
    std::vector<SpritePackageFile::Picture> pictures = {{64, 48, "<svg width='64' height='48'/>"},
                                                        {32, 32, "<svg width='32' height='32'><rect/></svg>"}};
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(SpritePackageFile::Build(pictures, bytes));
    ASSERT_GE(bytes.size(), 36u);
    auto u32 = [&](size_t at) { return uint32_t(bytes[at] | bytes[at + 1] << 8 | bytes[at + 2] << 16 | bytes[at + 3] << 24); };
    auto u16 = [&](size_t at) { return uint16_t(bytes[at] | bytes[at + 1] << 8); };
    EXPECT_EQ(u32(0), 2u);
    EXPECT_EQ(u32(4), 36u);  // first block right after the index
    EXPECT_EQ(u16(12), 64);
    EXPECT_EQ(u16(14), 48);
    EXPECT_EQ(u32(20), 36u + u32(8));
    EXPECT_EQ(u32(20) + u32(24), bytes.size());

    std::vector<SpritePackageEntry> entries;
    ASSERT_TRUE(SpritePackageFile::ParseIndex(bytes, entries));
    ASSERT_EQ(entries.size(), 2u);
    for (size_t i = 0; i < 2; ++i) {
        std::string svg;
        ASSERT_TRUE(SpritePackageFile::ParseEntry(bytes, entries[i], svg)) << i;
        EXPECT_EQ(svg, pictures[i].svg);
    }
}
}  // namespace
