// The skin packages that the build wrote into Data\: every entry draws at any size, every weather
// state has its adapted picture, and the contact sheet shows them all.
#include <cairo.h>
#include <gtest/gtest.h>
#include <libxml/parser.h>
#include <libxml/tree.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <set>
#include <string>
#include <vector>

#include "ContactSheet.h"
#include "SkinTestFolder.h"
#include "SpritePackageFile.h"
#include "SvgPath.h"
#include "SvgRasterizer.h"
#include "Weather/WeatherStateTable.h"
#include "WeatherPictureTable.h"

namespace {

const std::string kDataFolder = std::string(CE_TEST_BINARY_DIR) + "/data/Data/";
const std::filesystem::path kIconPackage =
    std::filesystem::path(CE_SOURCE_DIR) / ".cache/npm/bybas-weather-icons-2.0.0/package";

struct Package {
    std::vector<uint8_t> bytes;
    std::vector<SpritePackageEntry> entries;
};

Package Read(const std::string& name)
{
    std::ifstream in(kDataFolder + name, std::ios::binary);
    Package package;
    package.bytes.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    EXPECT_TRUE(SpritePackageFile::ParseIndex(package.bytes, package.entries)) << name;
    return package;
}

int CoveredPixels(const SvgRaster& raster)
{
    int covered = 0;
    for (uint32_t pixel : raster.pixels) covered += (pixel >> 24) != 0;
    return covered;
}

void CollectPathData(const xmlNode* node, std::vector<std::string>& found)
{
    for (const xmlNode* child = node; child; child = child->next) {
        if (child->type != XML_ELEMENT_NODE) continue;
        if (xmlStrEqual(child->name, BAD_CAST "path")) {
            xmlChar* d = xmlGetProp(child, BAD_CAST "d");
            if (d) found.emplace_back(reinterpret_cast<const char*>(d));
            xmlFree(d);
        }
        CollectPathData(child->children, found);
    }
}

// The "d" of every path of a picture.
std::vector<std::string> PathData(const std::string& svg)
{
    std::vector<std::string> found;
    xmlDoc* doc = xmlReadMemory(svg.data(), int(svg.size()), "entry.svg", nullptr, XML_PARSE_NONET);
    EXPECT_NE(doc, nullptr);
    if (doc) CollectPathData(xmlDocGetRootElement(doc), found);
    xmlFreeDoc(doc);
    return found;
}

std::set<int> WeatherStatePictures()
{
    std::set<int> pictures;
    for (int code = 0; code < WeatherStateTable::kCount; ++code) {
        pictures.insert(WeatherStateTable::GetDayImage(code));
        pictures.insert(WeatherStateTable::GetNightImage(code));
    }
    return pictures;
}

TEST(SkinPackages, EveryEntryOfBothPackagesDrawsWholeAtTwoSizes)
{
    for (auto [name, count] : {std::pair<std::string, size_t>{"icons.pak", 77}, {"misc.pak", 18}}) {
        Package package = Read(name);
        ASSERT_EQ(package.entries.size(), count) << name;
        for (size_t i = 0; i < count; ++i) {
            std::string svg;
            ASSERT_TRUE(SpritePackageFile::ParseEntry(package.bytes, package.entries[i], svg)) << name << " " << i;
            // Path data in error would draw only in part, here and in browsers.
            for (const std::string& d : PathData(svg)) {
                SvgPath path;
                EXPECT_EQ(path.ParseData(d), SvgStatus::Success) << name << " entry " << i << ": " << d.substr(0, 40);
            }
            for (int size : {16, 96}) {
                SvgRaster raster;
                ASSERT_EQ(SvgRasterizer::Render(svg, size, size, raster), SvgStatus::Success) << name << " " << i;
                EXPECT_GT(CoveredPixels(raster), size * size / 50) << name << " entry " << i << " at " << size;
            }
        }
    }
}

TEST(SkinPackages, TheTableNamesEveryWeatherStatePictureFromFilesOfThePackage)
{
    WeatherPictureTable table;
    std::string error;
    ASSERT_TRUE(table.Load(std::filesystem::path(CE_SOURCE_DIR) / "data/skin/weather-pictures.txt", error)) << error;
    std::set<int> needed = WeatherStatePictures();
    needed.erase(-1);
    for (int picture : needed) EXPECT_FALSE(table.SourceOf(picture).empty()) << "picture " << picture;
    for (const auto& [picture, source] : table.sources()) {
        EXPECT_TRUE(needed.count(picture)) << "picture " << picture << " is no weather state's";
        EXPECT_TRUE(std::filesystem::is_regular_file(kIconPackage / source)) << source;
        EXPECT_EQ(source.find("animation"), std::string::npos) << "one still style: " << source;
    }
}

TEST(SkinPackages, WeatherEntriesHoldTheAdaptedStillPictures)
{
    Package icons = Read("icons.pak");
    ASSERT_EQ(icons.entries.size(), 77u);
    for (int picture : WeatherStatePictures()) {
        if (picture < 0) continue;
        std::string svg;
        ASSERT_TRUE(SpritePackageFile::ParseEntry(icons.bytes, icons.entries[size_t(picture)], svg));
        EXPECT_EQ(icons.entries[size_t(picture)].width, 64) << picture;
        EXPECT_NE(svg.find("viewBox=\"0 0 64 64\""), std::string::npos) << picture;
        for (const char* gone : {"<animate", "clipPath", "clip-path", "placeholder"})
            EXPECT_EQ(svg.find(gone), std::string::npos) << gone << " in picture " << picture;
    }
}

TEST(SkinPackages, TheContactSheetShowsEveryEntryOrNothing)
{
    SkinTestFolder folder;
    std::string png = (folder.path() / "sheet.png").string(), error;
    ASSERT_TRUE(ContactSheet::Write({{kDataFolder + "icons.pak", 0}, {kDataFolder + "misc.pak", 1000}}, 64, png, error))
        << error;
    cairo_surface_t* sheet = cairo_image_surface_create_from_png(png.c_str());
    ASSERT_EQ(cairo_surface_status(sheet), CAIRO_STATUS_SUCCESS);
    // Ten cells a row: eight rows of icons and two of misc, each cell 64 pixels and its number.
    EXPECT_EQ(cairo_image_surface_get_width(sheet), 8 + 10 * 72);
    EXPECT_EQ(cairo_image_surface_get_height(sheet), 8 + 2 * 22 + 10 * (64 + 14 + 8));
    cairo_surface_destroy(sheet);

    std::string damaged = folder.Write("damaged.pak", "\x05\0\0\0garbage").string();
    std::string other = (folder.path() / "other.png").string();
    EXPECT_FALSE(ContactSheet::Write({{kDataFolder + "icons.pak", 0}, {damaged, 1000}}, 64, other, error));
    EXPECT_NE(error.find("damaged.pak: not a readable package"), std::string::npos) << error;
    EXPECT_FALSE(std::filesystem::exists(other));
}

}  // namespace
