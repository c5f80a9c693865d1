#include <gtest/gtest.h>

#include <algorithm>
#include <cstdio>
#include <filesystem>
#include <map>
#include <string>

#include "SkinData.h"
#include "SvgCairoRenderer.h"
#include "SvgRasterizer.h"
#include "SvgSubsetCheck.h"

namespace {

using namespace data_test;

struct Rgba {
    int r = 0, g = 0, b = 0, a = 0;  // straight, not premultiplied
};

Rgba PixelAt(const SvgRaster& raster, int x, int y) {
    uint32_t p = raster.pixels[static_cast<size_t>(y) * raster.width + x];
    Rgba c;
    c.a = static_cast<int>(p >> 24);
    if (c.a == 0) return c;
    c.r = static_cast<int>((p >> 16) & 0xFF) * 255 / c.a;
    c.g = static_cast<int>((p >> 8) & 0xFF) * 255 / c.a;
    c.b = static_cast<int>(p & 0xFF) * 255 / c.a;
    return c;
}

SvgRaster Render(const InterfacePicture& picture, int scale) {
    SvgRaster raster;
    SvgStatus status = SvgRasterizer::Render(ReadText(kInterfaceDir + "/" + picture.file), picture.width * scale,
                                             picture.height * scale, raster);
    EXPECT_EQ(status, SvgStatus::Success) << picture.file << " at " << scale << " times its size";
    return raster;
}

class InterfacePictures : public ::testing::Test {
protected:
    const std::vector<InterfacePicture> pictures = ReadInterfacePictures();

    const InterfacePicture& Picture(int entry) {
        const InterfacePicture* found = FindPicture(pictures, entry);
        EXPECT_NE(found, nullptr) << "no picture " << entry;
        static const InterfacePicture none;
        return found != nullptr ? *found : none;
    }
};

TEST_F(InterfacePictures, TheTableHoldsEveryEntryThatIsNoWeatherPictureExactlyOnce) {
    const std::set<int> weather = WeatherPictureNumbers();
    std::vector<int> entries;
    for (int n = 0; n < kIconCount; ++n) entries.push_back(n);
    for (int n = kMiscFirst; n < kMiscFirst + kMiscCount; ++n) entries.push_back(n);
    for (int entry : entries) {
        auto rows = std::count_if(pictures.begin(), pictures.end(),
                                  [&](const InterfacePicture& p) { return p.entry == entry; });
        EXPECT_EQ(rows, weather.contains(entry) ? 0 : 1) << "entry " << entry;
    }
    EXPECT_EQ(pictures.size() + weather.size(), entries.size()) << "a row names an entry outside the packages";

    std::set<std::string> listed;
    for (const InterfacePicture& picture : pictures) {
        char prefix[8];
        std::snprintf(prefix, sizeof prefix, "%04d-", picture.entry);
        EXPECT_TRUE(picture.file.starts_with(prefix) && picture.file.ends_with(".svg")) << picture.file;
        EXPECT_TRUE(std::filesystem::exists(kInterfaceDir + "/" + picture.file)) << picture.file;
        listed.insert(picture.file);
    }
    for (const auto& file : std::filesystem::directory_iterator(kInterfaceDir)) {
        if (file.path().extension() == ".svg") {
            EXPECT_TRUE(listed.contains(file.path().filename().string())) << file.path() << " is not in the table";
        }
    }
}

TEST_F(InterfacePictures, EveryPictureStaysInsideTheSubsetTheLibraryDrawsFaithfully) {
    for (const InterfacePicture& picture : pictures) {
        for (const std::string& problem : SvgSubsetCheck::Check(ReadText(kInterfaceDir + "/" + picture.file))) {
            ADD_FAILURE() << picture.file << ": " << problem;
        }
    }
}

TEST_F(InterfacePictures, EveryPictureHasItsTableSizeAndRendersVisiblyAtThatSizeAndLarger) {
    for (const InterfacePicture& picture : pictures) {
        SvgCairoRenderer renderer;
        ASSERT_EQ(renderer.Parse(ReadText(kInterfaceDir + "/" + picture.file)), SvgStatus::Success) << picture.file;
        unsigned width = 0, height = 0;
        renderer.GetSize(width, height);
        EXPECT_EQ(static_cast<int>(width), picture.width) << picture.file;
        EXPECT_EQ(static_cast<int>(height), picture.height) << picture.file;

        for (int scale : {1, 3}) {
            SvgRaster raster = Render(picture, scale);
            bool visible = std::any_of(raster.pixels.begin(), raster.pixels.end(),
                                       [](uint32_t p) { return (p >> 24) >= 64; });
            EXPECT_TRUE(visible) << picture.file << " draws nothing at " << scale << " times its size";
        }
    }
}

// The theme tint keeps each pixel's lightness and replaces hue and saturation, so a tinted picture
// must be grey, with its shading carried by lightness alone: light at the top, dark at the bottom.
TEST_F(InterfacePictures, TintedPicturesAreGreyRampsFromLightAtTheTopToDarkAtTheBottom) {
    int tinted = 0;
    for (const InterfacePicture& picture : pictures) {
        if (!picture.tinted) continue;
        ++tinted;
        SvgRaster raster = Render(picture, 2);
        double top = 0, topWeight = 0, bottom = 0, bottomWeight = 0;
        bool grey = true;
        for (int y = 0; y < raster.height; ++y) {
            for (int x = 0; x < raster.width; ++x) {
                Rgba c = PixelAt(raster, x, y);
                if (c.a < 16) continue;
                grey = grey && std::abs(c.r - c.g) <= 2 && std::abs(c.g - c.b) <= 2;
                if (y < raster.height / 3) {
                    top += c.g * c.a;
                    topWeight += c.a;
                } else if (y >= raster.height - raster.height / 3) {
                    bottom += c.g * c.a;
                    bottomWeight += c.a;
                }
            }
        }
        EXPECT_TRUE(grey) << picture.file << " has colour, which the tint would throw away";
        ASSERT_GT(topWeight, 0) << picture.file;
        ASSERT_GT(bottomWeight, 0) << picture.file;
        EXPECT_GT(top / topWeight, bottom / bottomWeight + 20) << picture.file << " is no light-to-dark ramp";
    }
    EXPECT_EQ(tinted, 8) << "combo buttons, check boxes, the progress bar's three parts and the title bar";
}

// The centre of the bright (white) pixels against the middle of their extent: a triangle lies
// heavier toward its base, so an arrow pointing left or up has its centre right of or below the middle.
double BrightOffset(const SvgRaster& raster, bool vertical) {
    double sum = 0, count = 0;
    int low = vertical ? raster.height : raster.width, high = -1;
    for (int y = 0; y < raster.height; ++y) {
        for (int x = 0; x < raster.width; ++x) {
            Rgba c = PixelAt(raster, x, y);
            if (c.a < 200 || std::min({c.r, c.g, c.b}) < 230) continue;
            int at = vertical ? y : x;
            sum += at;
            ++count;
            low = std::min(low, at);
            high = std::max(high, at);
        }
    }
    EXPECT_GT(count, 0);
    return count > 0 ? sum / count - (low + high) / 2.0 : 0;
}

TEST_F(InterfacePictures, ArrowPicturesPointTheWayTheirUseSays) {
    struct Pair {
        int backward;  // points left or up
        int forward;   // points right or down
        bool vertical;
    };
    for (Pair pair : {Pair{1000, 1001, false}, Pair{1009, 1008, false}, Pair{1006, 1007, false},
                      Pair{1015, 1016, false}, Pair{1004, 1005, true}}) {
        EXPECT_GT(BrightOffset(Render(Picture(pair.backward), 4), pair.vertical), 0.5)
            << Picture(pair.backward).file << " does not point " << (pair.vertical ? "up" : "left");
        EXPECT_LT(BrightOffset(Render(Picture(pair.forward), 4), pair.vertical), -0.5)
            << Picture(pair.forward).file << " does not point " << (pair.vertical ? "down" : "right");
    }
}

TEST_F(InterfacePictures, WaitFramesShareOneSizeAndEachFrameMovesOn) {
    std::vector<SvgRaster> frames;
    for (int entry = 73; entry <= 76; ++entry) {
        EXPECT_EQ(Picture(entry).width, Picture(73).width);
        EXPECT_EQ(Picture(entry).height, Picture(73).height);
        frames.push_back(Render(Picture(entry), 1));
    }
    for (size_t i = 0; i < frames.size(); ++i) {
        const SvgRaster& next = frames[(i + 1) % frames.size()];
        ASSERT_EQ(frames[i].pixels.size(), next.pixels.size());
        EXPECT_NE(frames[i].pixels, next.pixels) << "frame " << i + 1 << " repeats in the next frame";
    }
}

std::string Document(const std::string& content) {
    return "<svg xmlns='http://www.w3.org/2000/svg' xmlns:xlink='http://www.w3.org/1999/xlink' width='20' "
           "height='20' viewBox='0 0 20 20'>" +
           content + "</svg>";
}

std::string Problems(const std::string& content) {
    std::string all;
    for (const std::string& problem : SvgSubsetCheck::Check(Document(content))) all += problem + "\n";
    return all;
}

TEST(SvgSubsetCheck, PassesACleanPictureAndFlagsWhatTheLibraryWouldDropWithoutAnError) {
    EXPECT_EQ(Problems("<defs><linearGradient id='r' x1='0%' y2='100%'><stop offset='0' stop-color='#fff'/>"
                       "<stop offset='1' stop-color='#000'/></linearGradient><path id='p' d='M 1 1 L 5 5'/></defs>"
                       "<rect width='20' height='20' rx='3' fill='url(#r)'/>"
                       "<use xlink:href='#p' stroke='#15304A' stroke-width='2' stroke-linecap='round'/>"
                       "<path d='M 2 2 A 5 5 0 1 0 9 9 Z m 1 1 h 2 v 2 z' fill='none' stroke='currentColor'/>"),
              "");

    // The library reads the second pair as a move and draws nothing, where a browser draws a line.
    SvgRaster raster;
    ASSERT_EQ(SvgRasterizer::Render(Document("<path d='M 2 10 18 10' stroke='#000' stroke-width='4'/>"), 20, 20,
                                    raster),
              SvgStatus::Success);
    EXPECT_TRUE(std::all_of(raster.pixels.begin(), raster.pixels.end(), [](uint32_t p) { return p == 0; }));
    EXPECT_NE(Problems("<path d='M 2 10 18 10' stroke='#000'/>"), "");

    const char* faulty[] = {
        "<path d='M 1 1 L 5 5 X 3' fill='#000'/>",                   // a letter outside the command table
        "<path d='L 5 5' stroke='#000'/>",                           // no move first
        "<path d='M 1 1 A 5 5 0 2 0 9 9' stroke='#000'/>",           // an arc flag of 2
        "<path d='M 1 1 C 2 2 3 3' stroke='#000'/>",                 // an incomplete curve
        "<rect width='5' height='5' style='fill:#f00'/>",            // a style attribute
        "<rect width='5' height='5' fill='url(#later)'/><linearGradient id='later'/>",  // a gradient not yet defined
        "<rect width='5' height='5' fill-opacity='2'/>",             // an opacity above 1
        "<rect width='5' height='5' fill='red'/>",                   // a colour word
        "<rect width='5' height='5' stroke-linecap='inherit'/>",     // a line cap the library refuses
        "<rect width='5' height='5' display='none'/>",               // fails the whole picture
        "<circle cx='5' cy='5'/>",                                   // a radius of 100 % by default
        "<text x='2' y='10'>Hi</text>",                              // text depends on the fonts
        "<use xlink:href='#missing'/>",                              // a use of nothing
        "<g transform='rotate(10 5)'><rect width='5' height='5'/></g>",  // rotate with two numbers
        "<stop offset='0' stop-color='#fff'/>",                      // a stop outside a gradient
    };
    for (const char* content : faulty) {
        EXPECT_NE(Problems(content), "") << content;
    }
    EXPECT_NE(SvgSubsetCheck::Check("<svg width='20' height='20' viewBox='0 0 20 20'><rect"), std::vector<std::string>{});
    EXPECT_NE(SvgSubsetCheck::Check("<svg width='100%' height='20' viewBox='0 0 20 20'/>"),
              std::vector<std::string>{});
}

}  // namespace
