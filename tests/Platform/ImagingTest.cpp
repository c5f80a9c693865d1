#include <gtest/gtest.h>

#include "GdiTestSupport.h"
#include "PictureFiles.h"
#include "ce/imaging.h"
#include "ce/kernel.h"
#include "ce/module.h"

namespace {

using ce::test::Bytes;
using ce::test::DibDC;
using ce::test::Quadrants;

class Imaging : public ::testing::Test {
protected:
    Imaging() {
        CoInitializeEx(nullptr, COINIT_MULTITHREADED);
        EXPECT_EQ(S_OK, CoCreateInstance(CLSID_ImagingFactory, nullptr, CLSCTX_INPROC_SERVER, IID_IImagingFactory,
                                         factory.OutVoid()));
    }
    ~Imaging() override { CoUninitialize(); }

    HRESULT Open(const Bytes& bytes, ce::ComRef<IImage>* image) {
        return factory->CreateImageFromBuffer(bytes.data(), static_cast<UINT>(bytes.size()), BufferDisposalFlagNone,
                                              image->Out());
    }

    // Decodes through the factory onto a white 16-bit surface of the picture's size.
    void DrawOnWhite(const Bytes& bytes, DibDC& surface, int width, int height) {
        ce::ComRef<IImage> image;
        ASSERT_EQ(S_OK, Open(bytes, &image));
        ImageInfo info{};
        ASSERT_EQ(S_OK, image->GetImageInfo(&info));
        EXPECT_EQ(info.Width, static_cast<UINT>(width));
        EXPECT_EQ(info.Height, static_cast<UINT>(height));
        RECT all{0, 0, width, height};
        FillRect(surface.dc, &all, static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH)));
        ASSERT_EQ(S_OK, image->Draw(surface.dc, &all, nullptr));
    }

    ce::ComRef<IImagingFactory> factory;
};

void ExpectQuadrants(const DibDC& surface, int width, int height, int tolerance) {
    const int left = width / 4, right = width * 3 / 4, top = height / 4, bottom = height * 3 / 4;
    EXPECT_RGB_NEAR(surface.Raw16(left, top), 255, 0, 0, tolerance);
    EXPECT_RGB_NEAR(surface.Raw16(right, top), 0, 255, 0, tolerance);
    EXPECT_RGB_NEAR(surface.Raw16(left, bottom), 0, 0, 255, tolerance);
    EXPECT_RGB_NEAR(surface.Raw16(right, bottom), 255, 255, 255, tolerance);
}

TEST_F(Imaging, EachFormatDecodesToItsPixels) {
    const ce::test::TestPicture picture = Quadrants(32, 24);
    DibDC png(32, 24), jpeg(32, 24), gif(32, 24), interlaced(32, 24);
    DrawOnWhite(ce::test::EncodePng(picture), png, 32, 24);
    ExpectQuadrants(png, 32, 24, 0);
    DrawOnWhite(ce::test::EncodeJpeg(picture), jpeg, 32, 24);
    ExpectQuadrants(jpeg, 32, 24, 24);
    DrawOnWhite(ce::test::EncodeGif(picture), gif, 32, 24);
    ExpectQuadrants(gif, 32, 24, 0);
    DrawOnWhite(ce::test::EncodeGif(picture, true), interlaced, 32, 24);
    for (int y = 0; y < 24; ++y) {
        EXPECT_EQ(interlaced.Raw16(3, y), gif.Raw16(3, y)) << "interlaced row " << y;
    }
}

TEST_F(Imaging, TransparencyBlendsOverWhatIsThere) {
    ce::test::TestPicture picture = Quadrants(16, 16, 0x80);
    DibDC png(16, 16);
    DrawOnWhite(ce::test::EncodePng(picture), png, 16, 16);
    EXPECT_RGB_NEAR(png.Raw16(4, 4), 255, 127, 127, 10);  // half red over white

    picture = Quadrants(16, 16);
    for (int x = 0; x < 16; ++x) {
        picture.argb[x] = 0;  // the top row fully transparent
    }
    DibDC gif(16, 16);
    DrawOnWhite(ce::test::EncodeGif(picture), gif, 16, 16);
    EXPECT_EQ(gif.Raw16(4, 0), 0xFFFF);
    EXPECT_RGB_NEAR(gif.Raw16(4, 1), 255, 0, 0, 0);
}

TEST_F(Imaging, DrawScalesToTheTargetRectangle) {
    const Bytes png = ce::test::EncodePng(Quadrants(20, 10));
    ce::ComRef<IImage> image;
    ASSERT_EQ(S_OK, Open(png, &image));
    DibDC surface(40, 40);
    RECT dest{0, 0, 40, 20};
    ASSERT_EQ(S_OK, image->Draw(surface.dc, &dest, nullptr));
    ExpectQuadrants(surface, 40, 20, 0);
    RECT part{10, 5, 20, 10};  // the white quarter only
    ASSERT_EQ(S_OK, image->Draw(surface.dc, &dest, &part));
    EXPECT_EQ(surface.Raw16(2, 2), 0xFFFF);
    EXPECT_EQ(surface.Raw16(37, 17), 0xFFFF);
}

TEST_F(Imaging, HostileHeadersAndDamagedDataAreRefused) {
    const Bytes png = ce::test::EncodePng(Quadrants(32, 32));
    ce::ComRef<IImage> image;
    EXPECT_EQ(E_FAIL, Open(ce::test::WithPngSize(png, 100000, 100000), &image)) << "side beyond any bitmap";
    EXPECT_EQ(E_FAIL, Open(Bytes{'n', 'o', 't', ' ', 'a', 'n', ' ', 'i', 'm', 'a', 'g', 'e'}, &image));
    EXPECT_EQ(E_FAIL, Open(ce::test::Truncated(png, 20), &image)) << "header cut";
    EXPECT_EQ(E_INVALIDARG, factory->CreateImageFromBuffer(nullptr, 10, BufferDisposalFlagNone, image.Out()));
    EXPECT_EQ(nullptr, image.Get());

    DibDC surface(32, 32);
    RECT all{0, 0, 32, 32};
    // Headers that pass but promise far more pixels than the data holds.
    const Bytes jpeg = ce::test::EncodeJpeg(Quadrants(64, 64));
    const Bytes gif = ce::test::EncodeGif(Quadrants(64, 64));
    const Bytes lies[] = {
        ce::test::WithPngSize(png, 12000, 12000),
        ce::test::WithJpegSize(ce::test::EncodeJpeg(Quadrants(32, 32)), 12000, 12000),
        ce::test::Truncated(png, png.size() / 2),
        ce::test::Truncated(jpeg, jpeg.size() - 60),
        ce::test::Truncated(gif, gif.size() - 20),
    };
    for (size_t i = 0; i < std::size(lies); ++i) {
        ASSERT_EQ(S_OK, Open(lies[i], &image)) << "case " << i;
        EXPECT_EQ(E_FAIL, image->Draw(surface.dc, &all, nullptr)) << "case " << i;
    }
    ImageInfo info{};
    ASSERT_EQ(S_OK, Open(lies[0], &image));
    ASSERT_EQ(S_OK, image->GetImageInfo(&info));
    EXPECT_EQ(info.Width, 12000u) << "the header is reported as it stands";
}

TEST(ImageDecompressor, DecodesIntoABitmapOfTheRequestedDepthAndScale) {
    HMODULE library = LoadLibraryW(u"imgdecmp.dll");
    ASSERT_NE(library, nullptr);
    auto decompress = ce::ProcAs<DecompressImageIndirectProc>(GetProcAddressW(library, u"DecompressImageIndirect"));
    ASSERT_NE(decompress, nullptr);

    Bytes png = ce::test::EncodePng(Quadrants(40, 20));
    HBITMAP bitmap = nullptr;
    DecompressImageInfo request{};
    request.dwSize = sizeof request;
    request.pbBuffer = png.data();
    request.dwBufferMax = request.dwBufferCurrent = static_cast<DWORD>(png.size());
    request.phBM = &bitmap;
    request.iBitDepth = 16;
    request.iScale = 50;
    request.iMaxWidth = request.iMaxHeight = 10000;
    ASSERT_EQ(S_OK, decompress(&request));
    ASSERT_NE(bitmap, nullptr);
    DIBSECTION section{};
    ASSERT_EQ(GetObjectW(bitmap, sizeof section, &section), static_cast<int>(sizeof section));
    EXPECT_EQ(section.dsBm.bmWidth, 20);
    EXPECT_EQ(section.dsBm.bmHeight, 10);
    EXPECT_EQ(section.dsBitfields[1], 0x07E0u);
    HDC dc = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(dc, bitmap);
    EXPECT_EQ(GetPixel(dc, 15, 2), RGB(0, 255, 0));
    SelectObject(dc, old);
    DeleteDC(dc);
    DeleteObject(bitmap);

    Bytes big = ce::test::WithPngSize(png, 12000, 100);
    request.pbBuffer = big.data();
    EXPECT_EQ(E_FAIL, decompress(&request)) << "wider than the maximum";
    EXPECT_EQ(bitmap, nullptr);
    request.iBitDepth = 12;
    EXPECT_EQ(E_INVALIDARG, decompress(&request));
    FreeLibrary(library);
}

}  // namespace
