#include <gtest/gtest.h>

#include <memory>

#include "CSpritePackage.h"
#include "PackageFixture.h"
#include "Platform/ChildProcess.h"

namespace {
using namespace pictorra_test;

constexpr int kBase = 0x1BED0000;
constexpr uint16_t kWhite = 0xFFFF;
constexpr uint16_t kRed565 = 0xF800;

class SpritePackage : public PackageFixture {
protected:
    void SetUp() override { WritePackage({kRedSquare, kHalfRed, kImagePicture}); }
};

TEST_F(SpritePackage, OpenReadsTheIndexAndDerivesTheCachePath)
{
    CSpritePackage sprites;
    ASSERT_TRUE(sprites.Open(package.c_str()));
    EXPECT_EQ(sprites.GetCount(), 3u);
    EXPECT_EQ(sprites.GetEntryWidth(0), 16);
    EXPECT_EQ(sprites.GetEntryHeight(2), 16);
    EXPECT_EQ(sprites.GetEntryWidth(-1), 0);
    EXPECT_EQ(sprites.GetEntryHeight(3), 0);
    ASSERT_NE(sprites.Render(0, 8, 8), -1);
    EXPECT_TRUE(std::filesystem::exists(HostCache()));
}

TEST_F(SpritePackage, OpenRefusesEmptyOrOversizedIndexes)
{
    CSpritePackage sprites;
    EXPECT_FALSE(sprites.Open(u"\\Data\\missing.pak"));
    std::vector<uint8_t> bytes = ReadHostFile(HostPackage());
    PutLe32(bytes, 0, 0);
    WriteHostFile(HostPackage(), bytes);
    EXPECT_FALSE(sprites.Open(package.c_str()));
    PutLe32(bytes, 0, 0x10000000);  // a count whose rows would lie far beyond the file
    WriteHostFile(HostPackage(), bytes);
    EXPECT_FALSE(sprites.Open(package.c_str()));
    EXPECT_EQ(sprites.GetCount(), 0u);
    EXPECT_EQ(sprites.Render(0, 8, 8), -1);
}

TEST_F(SpritePackage, RenderKeepsOneRowPerSize)
{
    CSpritePackage sprites;
    ASSERT_TRUE(sprites.Open(package.c_str()));
    int a = sprites.Render(0, 8, 8);
    EXPECT_EQ(a, kBase);
    EXPECT_EQ(sprites.Render(0, 8, 8), a);
    EXPECT_EQ(sprites.FindImage(0, 8, 8), a);
    int b = sprites.Render(0, 12, 6);
    EXPECT_EQ(b, kBase + 1);
    int w = 0, h = 0;
    ASSERT_TRUE(sprites.GetImageSize(b, &w, &h));
    EXPECT_EQ(w, 12);
    EXPECT_EQ(h, 6);
    EXPECT_EQ(sprites.GetImageWidth(a), 8);
    EXPECT_EQ(sprites.FindImage(0, 9, 9), -1);
}

TEST_F(SpritePackage, BadIndexSizeOrPictureFailsWithNothingCached)
{
    CSpritePackage sprites;
    ASSERT_TRUE(sprites.Open(package.c_str()));
    EXPECT_EQ(sprites.Render(3, 8, 8), -1);
    EXPECT_EQ(sprites.Render(0, 0, 8), -1);
    EXPECT_EQ(sprites.Render(0, 8, -2), -1);
    EXPECT_EQ(sprites.Render(2, 8, 8), -1);  // an image element: the picture fails
    EXPECT_FALSE(std::filesystem::exists(HostCache()));
    EXPECT_NE(sprites.Render(1, 8, 8), -1);   // the others still work
}

TEST_F(SpritePackage, DamagedEntryFailsThatPictureOnly)
{
    std::vector<uint8_t> bytes = ReadHostFile(HostPackage());
    uint32_t offset = Le32(bytes, 4 + 16);  // entry 1
    for (int i = 2; i < 10; ++i) bytes[offset + i] ^= 0x5A;
    PutLe32(bytes, 4 + 32 + 4, 0x7FFFFFF0);  // entry 2 claims a block far beyond the file
    WriteHostFile(HostPackage(), bytes);
    CSpritePackage sprites;
    ASSERT_TRUE(sprites.Open(package.c_str()));
    EXPECT_EQ(sprites.Render(1, 8, 8), -1);
    EXPECT_EQ(sprites.Render(2, 8, 8), -1);
    EXPECT_NE(sprites.Render(0, 8, 8), -1);
}

TEST_F(SpritePackage, HandlesOutsideTheListAreRejected)
{
    CSpritePackage sprites;
    ASSERT_TRUE(sprites.Open(package.c_str()));
    int h = sprites.Render(0, 8, 8);
    int past = h + 1;
    int w = 0, ht = 0;
    for (int bad : {past, -1, 0, 0x1BEE0000}) {
        EXPECT_EQ(sprites.GetImageWidth(bad), 0);
        EXPECT_EQ(sprites.GetImageHeight(bad), 0);
        EXPECT_FALSE(sprites.GetImageSize(bad, &w, &ht));
        EXPECT_EQ(sprites.Colorize(bad, 1, 2, 3), -1);
    }
    Canvas canvas(8, 8, kWhite);
    sprites.Draw(past, canvas.Dc(), 0, 0, 0, 0, 0, 0);
    EXPECT_EQ(canvas.At(3, 3), kWhite);
}

TEST_F(SpritePackage, DrawBlendsPremultipliedColourAndClipsToThePicture)
{
    CSpritePackage sprites;
    ASSERT_TRUE(sprites.Open(package.c_str()));
    int opaque = sprites.Render(0, 8, 8);
    int half = sprites.Render(1, 8, 8);

    Canvas canvas(32, 32, kWhite);
    sprites.Draw(opaque, canvas.Dc(), 2, 2, 0, 0, 0, 0);
    EXPECT_EQ(canvas.At(2, 2), kRed565);
    EXPECT_EQ(canvas.At(9, 9), kRed565);
    EXPECT_EQ(canvas.At(10, 10), kWhite);
    EXPECT_EQ(canvas.At(1, 1), kWhite);

    // Half red over white: red full, green and blue half; a straight blend would darken it.
    sprites.Draw(half, canvas.Dc(), 20, 20, 0, 0, 0, 0);
    uint16_t p = canvas.At(22, 22);
    EXPECT_EQ(p >> 11, 31);
    EXPECT_NEAR((p >> 5) & 0x3F, 31, 1);
    EXPECT_NEAR(p & 0x1F, 15, 1);

    // A region reaching past the picture draws only the part that exists, and a larger draw
    // afterwards replaces the shared surface.
    Canvas clipped(32, 32, kWhite);
    sprites.Draw(opaque, clipped.Dc(), 0, 0, 30, 30, 4, 4);
    EXPECT_EQ(clipped.At(3, 3), kRed565);
    EXPECT_EQ(clipped.At(4, 4), kWhite);
    sprites.Draw(opaque, clipped.Dc(), 20, 20, 8, 8, -2, -2);
    EXPECT_EQ(clipped.At(21, 21), kWhite);
    EXPECT_EQ(clipped.At(22, 22), kRed565);
    EXPECT_EQ(clipped.At(27, 27), kRed565);
    EXPECT_EQ(clipped.At(28, 28), kWhite);
}

TEST_F(SpritePackage, ColorizeKeysAndRecolours)
{
    CSpritePackage sprites;
    ASSERT_TRUE(sprites.Open(package.c_str()));
    int plain = sprites.Render(0, 8, 8);
    int grey = sprites.Colorize(plain, 255, 128, 0);
    EXPECT_NE(grey, -1);
    EXPECT_EQ(sprites.Colorize(plain, 255, 128, 0), grey);
    EXPECT_EQ(sprites.Colorize(plain, 10, 20, 1), sprites.Colorize(plain, 10, 20, SHORT(0x8001)));
    EXPECT_EQ(sprites.FindColorizedImage(0, 8, 8, 255, 128, 0), grey);
    int white = sprites.Colorize(plain, 0, 255, 255);
    int black = sprites.Colorize(plain, 0, 255, -255);

    Canvas canvas(8, 3, 0x1234);
    sprites.Draw(grey, canvas.Dc(), 0, 0, 1, 1, 0, 0);
    sprites.Draw(white, canvas.Dc(), 0, 1, 1, 1, 0, 0);
    sprites.Draw(black, canvas.Dc(), 0, 2, 1, 1, 0, 0);
    EXPECT_EQ(canvas.At(0, 0), 0x7BEF);  // lightness 124 as grey
    EXPECT_EQ(canvas.At(0, 1), 0xFFFF);
    EXPECT_EQ(canvas.At(0, 2), 0x0000);  // alpha untouched: the opaque picture still covers
    EXPECT_EQ(CSpritePackage::ColorKey(255, 128, 0), int32_t(0x7FC00000));
}

TEST_F(SpritePackage, SecondOpenForgetsTheFirstPackagesPictures)
{
    const std::string blueSquare =
        "<svg xmlns='http://www.w3.org/2000/svg' width='16' height='16'><rect width='16' height='16' fill='blue'/></svg>";
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(SpritePackageFile::Build({{16, 16, blueSquare}}, bytes));
    WriteHostFile(device.Fs("Data/misc.pak"), bytes);

    CSpritePackage sprites;
    ASSERT_TRUE(sprites.Open(package.c_str()));
    int red = sprites.Render(0, 8, 8);
    ASSERT_NE(red, -1);
    ASSERT_TRUE(sprites.Open(u"\\Data\\misc.pak"));
    EXPECT_EQ(sprites.GetCount(), 1u);
    EXPECT_EQ(sprites.FindImage(0, 8, 8), -1);
    EXPECT_EQ(sprites.GetImageWidth(red), 0);
    int blue = sprites.Render(0, 8, 8);
    Canvas canvas(8, 8, kWhite);
    sprites.Draw(blue, canvas.Dc(), 0, 0, 0, 0, 0, 0);
    EXPECT_EQ(canvas.At(4, 4), 0x001F);
    EXPECT_TRUE(std::filesystem::exists(device.Fs("Data/misc.tmp")));

    // An open that fails leaves no package behind, not the last one's entries under the new path.
    EXPECT_FALSE(sprites.Open(u"\\Data\\missing.pak"));
    EXPECT_EQ(sprites.GetCount(), 0u);
    EXPECT_EQ(sprites.GetImageWidth(blue), 0);
    EXPECT_EQ(sprites.Render(0, 8, 8), -1);
}

TEST(SpritePackageExport, GetSpriteObjectGivesAnEmptyObject)
{
    std::unique_ptr<CSpritePackage> sprites(new CSpritePackage());
    EXPECT_EQ(sprites->GetCount(), 0u);
    EXPECT_EQ(sprites->Render(0, 8, 8), -1);
    EXPECT_EQ(sprites->FindImage(0, 8, 8), -1);
}
}  // namespace
