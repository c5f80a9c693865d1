// The packer refuses a folder with a picture that does not render, naming it, and writes nothing.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "PackageFixture.h"
#include "WeatherPictures.h"

namespace {
using namespace pictorra_test;

class PakPack : public ::testing::Test {
protected:
    PakPack()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "pakpack-XXXXXX").string();
        folder = mkdtemp(pattern.data()) ? pattern : std::string();
    }
    ~PakPack() override
    {
        std::error_code ignored;
        std::filesystem::remove_all(folder, ignored);
    }
    void Write(const std::string& name, const std::string& text) { std::ofstream(folder + "/" + name) << text; }
    int Run(const std::string& arguments)
    {
        std::string command = std::string(PAKPACK_TOOL) + " " + arguments + " >" + folder + "/out.txt 2>&1";
        int status = std::system(command.c_str());
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }
    std::string Output()
    {
        std::ifstream in(folder + "/out.txt");
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

    std::string folder;
};

TEST_F(PakPack, PacksInTheGivenOrderAndShowsAnEntry)
{
    Write("sun.svg", WeatherPictures()[0]);
    Write("red.svg", kRedSquare);
    Write("order.txt", "red.svg\nsun.svg\n");
    ASSERT_EQ(Run("pack " + folder + "/icons.pak " + folder + " " + folder + "/order.txt"), 0) << Output();
    std::vector<uint8_t> bytes = ReadHostFile(folder + "/icons.pak");
    std::vector<SpritePackageEntry> entries;
    ASSERT_TRUE(SpritePackageFile::ParseIndex(bytes, entries));
    ASSERT_EQ(entries.size(), 2u);
    EXPECT_EQ(entries[0].width, 16);
    EXPECT_EQ(entries[1].width, 64);
    std::string svg;
    ASSERT_TRUE(SpritePackageFile::ParseEntry(bytes, entries[0], svg));
    EXPECT_EQ(svg, kRedSquare);

    EXPECT_EQ(Run("show " + folder + "/icons.pak 1 48x32 " + folder + "/sun.png"), 0) << Output();
    EXPECT_GT(std::filesystem::file_size(folder + "/sun.png"), 100u);
    EXPECT_NE(Run("show " + folder + "/icons.pak 2 48x32 " + folder + "/none.png"), 0);
}

TEST_F(PakPack, RefusesAPictureThatFailsNamingItAndWritesNothing)
{
    Write("red.svg", kRedSquare);
    Write("photo.svg", kImagePicture);
    Write("order.txt", "red.svg\nphoto.svg\n");
    EXPECT_EQ(Run("pack " + folder + "/icons.pak " + folder + " " + folder + "/order.txt"), 1);
    EXPECT_NE(Output().find("photo.svg: refused: it holds an image element"), std::string::npos) << Output();
    EXPECT_FALSE(std::filesystem::exists(folder + "/icons.pak"));

    Write("cut.svg", kRedSquare.substr(0, 40));
    Write("order.txt", "cut.svg\n");
    EXPECT_EQ(Run("pack " + folder + "/icons.pak " + folder + " " + folder + "/order.txt"), 1);
    EXPECT_NE(Output().find("cut.svg: refused: it is not well-formed"), std::string::npos) << Output();
}
}  // namespace
