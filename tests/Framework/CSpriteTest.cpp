#include <gtest/gtest.h>

#include "CSprite.h"
#include "ImageCodecs.h"
#include "InstalledDevice.h"
#include "Platform/GdiTestSupport.h"
#include "Platform/PictureFiles.h"

namespace {

using ce::test::Bytes;
using ce::test::DibDC;
using ce::test::Quadrants;
using framework::test::InstalledDevice;

class Sprite : public ::testing::Test {
protected:
    Sprite() { CoInitializeEx(nullptr, COINIT_MULTITHREADED); }
    ~Sprite() override { CoUninitialize(); }

    bool Load(CSprite& sprite, const Bytes& bytes) {
        return sprite.LoadFromMemory(bytes.data(), static_cast<DWORD>(bytes.size()));
    }

    InstalledDevice device;
};

void ExpectQuadrants(const DibDC& surface, RECT area, int tolerance) {
    const int w = area.right - area.left, h = area.bottom - area.top;
    EXPECT_RGB_NEAR(surface.Raw16(area.left + w / 4, area.top + h / 4), 255, 0, 0, tolerance);
    EXPECT_RGB_NEAR(surface.Raw16(area.left + w * 3 / 4, area.top + h / 4), 0, 255, 0, tolerance);
    EXPECT_RGB_NEAR(surface.Raw16(area.left + w / 4, area.top + h * 3 / 4), 0, 0, 255, tolerance);
    EXPECT_RGB_NEAR(surface.Raw16(area.left + w * 3 / 4, area.top + h * 3 / 4), 255, 255, 255, tolerance);
}

TEST_F(Sprite, LoadsEachFormatFromAFileInto565) {
    const Bytes files[] = {ce::test::EncodePng(Quadrants(200, 100)), ce::test::EncodeJpeg(Quadrants(200, 100)),
                           ce::test::EncodeGif(Quadrants(200, 100))};
    for (const Bytes& file : files) {
        device.WriteHostFile(device.Installed("Cache/map.map"), std::string(file.begin(), file.end()));
        CSprite sprite;
        ASSERT_TRUE(sprite.LoadFromFile(u"\\Program Files\\Skyvane\\Cache\\map.map"));
        EXPECT_EQ(sprite.GetWidth(), 200);
        EXPECT_EQ(sprite.GetHeight(), 100);
        DIBSECTION section{};
        ASSERT_EQ(GetObjectW(sprite.GetBitmap(), sizeof section, &section), static_cast<int>(sizeof section));
        EXPECT_EQ(section.dsBm.bmBitsPixel, 16);
        EXPECT_EQ(section.dsBitfields[1], 0x07E0u);

        DibDC surface(200, 100);
        RECT all{0, 0, 200, 100};
        sprite.Draw(surface.dc, &all, nullptr);
        ExpectQuadrants(surface, all, 24);
    }
}

TEST_F(Sprite, DrawScalesTheWholePictureOrAPart) {
    CSprite sprite;
    ASSERT_TRUE(Load(sprite, ce::test::EncodePng(Quadrants(200, 100))));
    DibDC surface(120, 120);
    RECT half{0, 0, 100, 50};
    sprite.Draw(surface.dc, &half, nullptr);
    ExpectQuadrants(surface, half, 0);

    RECT doubled{10, 10, 110, 110};
    RECT greenPart{150, 0, 200, 50};
    sprite.Draw(surface.dc, &doubled, &greenPart);
    EXPECT_RGB_NEAR(surface.Raw16(12, 12), 0, 255, 0, 0);
    EXPECT_RGB_NEAR(surface.Raw16(108, 108), 0, 255, 0, 0);

    CSprite empty;
    empty.Draw(surface.dc, &half, nullptr);  // nothing to draw, nothing happens
    sprite.Draw(surface.dc, nullptr, nullptr);
}

TEST_F(Sprite, ACopyOwnsItsBitmaps) {
    CSprite source;
    ASSERT_TRUE(Load(source, ce::test::EncodePng(Quadrants(40, 20))));
    CSprite copy(source);
    EXPECT_NE(copy.GetBitmap(), source.GetBitmap());
    source.Clear();
    EXPECT_EQ(source.GetWidth(), 0);
    ASSERT_TRUE(copy.IsLoaded());
    EXPECT_EQ(copy.GetWidth(), 40);
    DibDC surface(40, 20);
    RECT all{0, 0, 40, 20};
    copy.Draw(surface.dc, &all, nullptr);
    ExpectQuadrants(surface, all, 0);

    CSprite other;
    other = copy;
    copy = CSprite();
    EXPECT_FALSE(copy.IsLoaded());
    EXPECT_TRUE(other.IsLoaded());
}

TEST_F(Sprite, MissingOrUndecodableInputLeavesTheSpriteEmpty) {
    CSprite sprite;
    EXPECT_FALSE(sprite.LoadFromFile(u"\\Program Files\\Skyvane\\Cache\\none.map"));
    EXPECT_FALSE(sprite.LoadFromFile(nullptr));
    ASSERT_TRUE(Load(sprite, ce::test::EncodePng(Quadrants(8, 8))));
    EXPECT_FALSE(Load(sprite, Bytes{1, 2, 3, 4, 5, 6, 7, 8, 9}));
    EXPECT_FALSE(sprite.IsLoaded()) << "a failed load clears the old picture";
    EXPECT_EQ(sprite.GetWidth(), 0);
    const Bytes png = ce::test::EncodePng(Quadrants(64, 64));
    EXPECT_FALSE(Load(sprite, ce::test::Truncated(png, png.size() - 40)));
}

TEST_F(Sprite, PicturesAboveTheLimitOrWithoutABitmapAreRefused) {
    const Bytes png = ce::test::EncodePng(Quadrants(16, 16));
    // Above 10000 on a side: refused from the header, before any bitmap is made.
    const Bytes wide = ce::test::WithPngSize(png, 10001, 16);
    EXPECT_EQ(CSprite::DecodeImage(wide.data(), static_cast<DWORD>(wide.size()), 16), nullptr);
    // 9000 x 9000 at 32 bits does not fit into a bitmap: no bitmap, no picture.
    const Bytes large = ce::test::WithPngSize(png, 9000, 9000);
    EXPECT_EQ(CSprite::DecodeImage(large.data(), static_cast<DWORD>(large.size()), 32), nullptr);
    EXPECT_EQ(CSprite::DecodeImage(png.data(), 0, 16), nullptr);
}

TEST_F(Sprite, AGifOfSevenByFivePixelsOnA7431By1280ScreenIsRefused) {
    // Both sides within the limit, but nine and a half million pixels for a frame of 35: refused from
    // the header, where it would decode into a bitmap of the whole screen.
    Bytes screen = ce::test::EncodeGif(Quadrants(7, 5));
    screen[6] = 7431 & 0xFF;
    screen[7] = 7431 >> 8;
    screen[8] = 1280 & 0xFF;
    screen[9] = 1280 >> 8;
    EXPECT_EQ(CSprite::DecodeImage(screen.data(), static_cast<DWORD>(screen.size()), 16), nullptr);
    CSprite sprite;
    EXPECT_FALSE(Load(sprite, screen));
    EXPECT_FALSE(sprite.IsLoaded());
}

TEST(SpriteWithoutFactory, DecodesThroughTheDecompressorAtTheRequestedDepth) {
    InstalledDevice device;  // COM is not initialised: the imaging factory cannot be made
    const Bytes png = ce::test::EncodePng(Quadrants(40, 20));
    HBITMAP bitmap = CSprite::DecodeImage(png.data(), static_cast<DWORD>(png.size()), 32);
    ASSERT_NE(bitmap, nullptr);
    BITMAP bm{};
    GetObjectW(bitmap, sizeof bm, &bm);
    EXPECT_EQ(bm.bmBitsPixel, 32);
    EXPECT_EQ(bm.bmWidth, 40);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    EXPECT_EQ(GetPixel(dc, 35, 15), RGB(255, 255, 255));
    EXPECT_EQ(GetPixel(dc, 5, 15), RGB(0, 0, 255));
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bitmap);

    const Bytes wide = ce::test::WithPngSize(png, 10001, 16);
    EXPECT_EQ(CSprite::DecodeImage(wide.data(), static_cast<DWORD>(wide.size()), 16), nullptr);
    ImageCodecs::Release();
}

TEST(ImageCodecsAtStartUp, FactoryFirstDecompressorOtherwise) {
    InstalledDevice device;
    ImageCodecs::Init();
    EXPECT_EQ(ImageCodecs::GetFactory(), nullptr) << "no COM yet";
    EXPECT_NE(ImageCodecs::GetDecompressor(), nullptr);
    ImageCodecs::Release();

    CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    ImageCodecs::Init();
    EXPECT_NE(ImageCodecs::GetFactory(), nullptr);
    ImageCodecs::Release();
    EXPECT_EQ(ImageCodecs::GetFactory(), nullptr);
    CoUninitialize();
}

}  // namespace
