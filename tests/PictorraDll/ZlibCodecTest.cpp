#include <gtest/gtest.h>

#include <algorithm>
#include <string>
#include <vector>

#include "ZlibCodec.h"

namespace {

std::vector<uint8_t> Bytes(const std::string& s) { return std::vector<uint8_t>(s.begin(), s.end()); }

TEST(ZlibCodec, RoundTripWithoutAFinalBlock)
{
    std::string text(5000, 'a');
    for (size_t i = 0; i < text.size(); i += 7) text[i] = char('a' + i % 26);
    std::vector<uint8_t> packed, unpacked;
    ASSERT_EQ(ZlibCodec::Compress(text.data(), text.size(), packed, text.size(), -1), 0);
    EXPECT_EQ(packed[0], 0x78);  // a zlib header
    ASSERT_EQ(ZlibCodec::Uncompress(packed.data(), packed.size(), unpacked, text.size()), 0);
    EXPECT_EQ(unpacked, Bytes(text));
}

TEST(ZlibCodec, CompressFailsWhenTheOutputDoesNotFitWithRoomToSpare)
{
    std::vector<uint8_t> packed;
    uint32_t pixel = 0xFF123456;
    EXPECT_NE(ZlibCodec::Compress(&pixel, 4, packed, 4, -1), 0);
    EXPECT_TRUE(packed.empty());
}

TEST(ZlibCodec, UncompressRefusesOutputBeyondTheLimitAndGarbage)
{
    std::string text(100000, 'x');
    std::vector<uint8_t> packed, unpacked;
    ASSERT_EQ(ZlibCodec::Compress(text.data(), text.size(), packed, text.size(), -1), 0);
    EXPECT_NE(ZlibCodec::Uncompress(packed.data(), packed.size(), unpacked, 99999), 0);
    EXPECT_TRUE(unpacked.empty());
    // With the length expected: exactly that length inflates, one byte more is refused, and a guess
    // below the real length still grows to it.
    ASSERT_EQ(ZlibCodec::Uncompress(packed.data(), packed.size(), unpacked, 100000, 100000), 0);
    EXPECT_EQ(unpacked, Bytes(text));
    EXPECT_NE(ZlibCodec::Uncompress(packed.data(), packed.size(), unpacked, 99999, 99999), 0);
    EXPECT_TRUE(unpacked.empty());
    ASSERT_EQ(ZlibCodec::Uncompress(packed.data(), packed.size(), unpacked, 100000, 10), 0);
    EXPECT_EQ(unpacked.size(), 100000u);
    std::vector<uint8_t> garbage = Bytes("this is no zlib stream");
    EXPECT_NE(ZlibCodec::Uncompress(garbage.data(), garbage.size(), unpacked, 1000), 0);
}

// Into the caller's block: only an output of exactly its length succeeds, also when what follows the
// first block's worth of output is damaged.
TEST(ZlibCodec, UncompressExactWantsExactlyTheBlocksLength)
{
    std::string text(70000, 'x');
    for (size_t i = 0; i < text.size(); i += 13) text[i] = char('a' + i % 26);
    std::vector<uint8_t> packed;
    ASSERT_EQ(ZlibCodec::Compress(text.data(), text.size(), packed, text.size(), -1), 0);
    std::vector<uint8_t> block(text.size() + 1);
    ASSERT_EQ(ZlibCodec::UncompressExact(packed.data(), packed.size(), block.data(), text.size()), 0);
    EXPECT_EQ(std::string(block.begin(), block.end() - 1), text);
    EXPECT_NE(ZlibCodec::UncompressExact(packed.data(), packed.size(), block.data(), text.size() - 1), 0);
    EXPECT_NE(ZlibCodec::UncompressExact(packed.data(), packed.size(), block.data(), text.size() + 1), 0);
    EXPECT_NE(ZlibCodec::UncompressExact(packed.data(), packed.size() / 2, block.data(), text.size()), 0);

    std::vector<uint8_t> half;
    ASSERT_EQ(ZlibCodec::Compress(text.data(), text.size() / 2, half, text.size(), -1), 0);
    std::vector<uint8_t> damagedRest = half;
    for (uint8_t byte : Bytes("no deflate data follows here")) damagedRest.push_back(byte);
    EXPECT_NE(ZlibCodec::UncompressExact(damagedRest.data(), damagedRest.size(), block.data(), text.size() / 2), 0);
    std::vector<uint8_t> garbage = Bytes("this is no zlib stream");
    EXPECT_NE(ZlibCodec::UncompressExact(garbage.data(), garbage.size(), block.data(), 100), 0);

    // One kept stream gives the same answers, call after call, also after a failed one.
    ZlibCodec::ExactInflater inflater;
    for (int round = 0; round < 2; ++round) {
        EXPECT_NE(inflater.Inflate(garbage.data(), garbage.size(), block.data(), 100), 0);
        EXPECT_NE(inflater.Inflate(packed.data(), packed.size(), block.data(), text.size() - 1), 0);
        std::fill(block.begin(), block.end(), 0);
        ASSERT_EQ(inflater.Inflate(packed.data(), packed.size(), block.data(), text.size()), 0);
        EXPECT_EQ(std::string(block.begin(), block.end() - 1), text);
    }
}
}  // namespace
