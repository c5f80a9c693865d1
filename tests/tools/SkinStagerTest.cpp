// The packer's input for one package: weather pictures adapted from the table, interface pictures
// as drawn, placeholders for the rest, in entry order; a bad source stops it naming the file.
#include <gtest/gtest.h>

#include <string>

#include "SkinStager.h"
#include "SkinTestFolder.h"
#include "SvgRasterizer.h"
#include "WeatherPictureTable.h"

namespace {

const char* const kSun = "<svg xmlns='http://www.w3.org/2000/svg' viewBox='0 0 64 64'>"
                         "<circle cx='32' cy='32' r='10' fill='#fbbf24'><animate attributeName='r' values='9;11' "
                         "dur='2s'/></circle></svg>";
const char* const kDrawn = "<svg xmlns='http://www.w3.org/2000/svg' width='16' height='16' viewBox='0 0 16 16'>"
                           "<rect width='16' height='16' fill='#888888'/></svg>";

class SkinStagerTest : public ::testing::Test {
protected:
    bool LoadTable(const std::string& text)
    {
        return table.Load(folder.Write("table.txt", text), error);
    }
    bool Stage(int first, int last)
    {
        SkinStager::Sources sources{folder.path() / "package", folder.path() / "ui", &table};
        return SkinStager::Stage(sources, first, last, folder.path() / "out", outcome, error);
    }

    SkinTestFolder folder;
    WeatherPictureTable table;
    SkinStager::Outcome outcome;
    std::string error;
};

TEST_F(SkinStagerTest, TableThenInterfacePictureThenPlaceholderInEntryOrder)
{
    folder.Write("package/fill/sun.svg", kSun);
    folder.Write("ui/0000-sun-drawn.svg", kDrawn);  // the table's weather picture wins
    folder.Write("ui/0001-home-marker.svg", kDrawn);
    folder.Write("ui/notes.txt", "not a picture");
    folder.Write("ui/0007-beyond.svg", kDrawn);
    ASSERT_TRUE(LoadTable("# weather\n0 fill/sun.svg   # Sunny\n\n")) << error;
    ASSERT_TRUE(Stage(0, 2)) << error;

    EXPECT_EQ(folder.Read("out/order.txt"), "0000-sun.svg\n0001-home-marker.svg\n0002-placeholder.svg\n");
    EXPECT_EQ(outcome.adapted, 1);
    EXPECT_EQ(outcome.drawn, 1);
    EXPECT_EQ(outcome.missing, std::vector<int>{2});
    EXPECT_EQ(folder.Read("out/0001-home-marker.svg"), kDrawn);
    EXPECT_EQ(folder.Read("out/0000-sun.svg").find("animate"), std::string::npos);
    EXPECT_EQ(outcome.adaptationNotes, std::vector<std::string>{"sun.svg: left out: element animate"});
    SvgRaster raster;
    EXPECT_EQ(SvgRasterizer::Render(folder.Read("out/0002-placeholder.svg"), 32, 32, raster), SvgStatus::Success);

    // A second run starts from an empty folder: nothing of the first is left over.
    folder.Write("out/stale.svg", kDrawn);
    ASSERT_TRUE(Stage(1, 1)) << error;
    EXPECT_EQ(folder.Read("out/order.txt"), "0001-home-marker.svg\n");
    EXPECT_FALSE(std::filesystem::exists(folder.path() / "out/stale.svg"));
}

TEST_F(SkinStagerTest, ADamagedOrMissingSourceStopsItNamingTheFile)
{
    folder.Write("package/fill/broken-cloud.svg", "<svg xmlns='http://www.w3.org/2000/svg' viewBox='0 0 64 64'><g>");
    ASSERT_TRUE(LoadTable("3 fill/broken-cloud.svg\n")) << error;
    EXPECT_FALSE(Stage(0, 5));
    EXPECT_NE(error.find("broken-cloud.svg: refused: it is not well-formed XML"), std::string::npos) << error;

    ASSERT_TRUE(LoadTable("3 fill/gone.svg\n")) << error;
    EXPECT_FALSE(Stage(0, 5));
    EXPECT_NE(error.find("gone.svg: cannot be read (picture 3)"), std::string::npos) << error;
}

TEST_F(SkinStagerTest, TwoInterfacePicturesOfOneNumberAreRefused)
{
    folder.Write("ui/1003-wait-frame-1.svg", kDrawn);
    folder.Write("ui/1003-wait-frame-one.svg", kDrawn);
    EXPECT_FALSE(Stage(1000, 1017));
    EXPECT_NE(error.find("are both picture 1003"), std::string::npos) << error;
}

TEST_F(SkinStagerTest, TheTableRefusesWhatItCannotMeanNamingTheLine)
{
    EXPECT_FALSE(LoadTable("1 a.svg\n1 b.svg\n"));
    EXPECT_NE(error.find("table.txt:2: picture 1 is named twice"), std::string::npos) << error;
    EXPECT_FALSE(LoadTable("1 ../../etc/passwd\n"));
    EXPECT_NE(error.find("does not lie inside the package"), std::string::npos) << error;
    EXPECT_FALSE(LoadTable("1 /abs.svg\n"));
    EXPECT_FALSE(LoadTable("sun.svg 1\n"));
    EXPECT_NE(error.find("table.txt:1: a line is a picture number and a file"), std::string::npos) << error;
    EXPECT_FALSE(LoadTable("1 a.svg b.svg\n"));
    EXPECT_FALSE(LoadTable("-1 a.svg\n"));
    EXPECT_FALSE(table.Load(folder.path() / "none.txt", error));
}

}  // namespace
