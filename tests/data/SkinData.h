// What the data tests share: the table of interface pictures (data/skin/ui/README.md), the weather
// pictures that the weather-state table names, and reading the data files.
#pragma once

#include <gtest/gtest.h>

#include <cstdio>
#include <fstream>
#include <iterator>
#include <set>
#include <sstream>
#include <string>
#include <vector>

#include "Weather/WeatherStateTable.h"

namespace data_test {

inline const std::string kSourceDir = CE_SOURCE_DIR;
inline const std::string kBinaryDir = CE_TEST_BINARY_DIR;
inline const std::string kInterfaceDir = kSourceDir + "/data/skin/ui";

// The entries of the two packages: 0-76 in icons.pak, 1000-1017 (entries 0-17) in misc.pak.
inline constexpr int kIconCount = 77;
inline constexpr int kMiscFirst = 1000;
inline constexpr int kMiscCount = 18;

struct InterfacePicture {
    int entry = 0;
    std::string file;
    std::string use;
    int width = 0;
    int height = 0;
    bool tinted = false;
};

inline std::string ReadText(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    EXPECT_TRUE(in.good()) << "cannot read " << path;
    return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline std::string Trim(const std::string& text) {
    size_t first = text.find_first_not_of(' ');
    size_t last = text.find_last_not_of(' ');
    return first == std::string::npos ? std::string() : text.substr(first, last - first + 1);
}

// The rows of the README's table: "| entry | file | use | WxH | yes/no |".
inline std::vector<InterfacePicture> ReadInterfacePictures() {
    std::vector<InterfacePicture> pictures;
    std::istringstream lines(ReadText(kInterfaceDir + "/README.md"));
    std::string line;
    while (std::getline(lines, line)) {
        if (line.size() < 3 || line[0] != '|' || !std::isdigit(static_cast<unsigned char>(line[2]))) continue;
        std::vector<std::string> cells;
        std::istringstream row(line.substr(1));
        std::string cell;
        while (std::getline(row, cell, '|')) cells.push_back(Trim(cell));
        EXPECT_EQ(cells.size(), 5u) << line;
        if (cells.size() != 5) continue;
        InterfacePicture picture;
        picture.entry = std::stoi(cells[0]);
        picture.file = cells[1];
        picture.use = cells[2];
        EXPECT_EQ(std::sscanf(cells[3].c_str(), "%dx%d", &picture.width, &picture.height), 2) << line;
        EXPECT_TRUE(cells[4] == "yes" || cells[4] == "no") << line;
        picture.tinted = cells[4] == "yes";
        pictures.push_back(picture);
    }
    return pictures;
}

inline const InterfacePicture* FindPicture(const std::vector<InterfacePicture>& pictures, int entry) {
    for (const InterfacePicture& picture : pictures) {
        if (picture.entry == entry) return &picture;
    }
    return nullptr;
}

// Every picture number that a weather state shows, by day or by night.
inline std::set<int> WeatherPictureNumbers() {
    std::set<int> numbers;
    for (int code = 0; code < WeatherStateTable::kCount; ++code) {
        numbers.insert(WeatherStateTable::GetDayImage(code));
        numbers.insert(WeatherStateTable::GetNightImage(code));
    }
    return numbers;
}

}  // namespace data_test
