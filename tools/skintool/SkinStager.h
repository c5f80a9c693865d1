// Gathers the pictures of one sprite package in entry order, for the packer: a weather picture of
// the table is adapted from the weather icon package, any other entry takes the interface picture
// "NNNN-<name>.svg" of the interface folder, and an entry with neither gets a placeholder.
#pragma once

#include <filesystem>
#include <map>
#include <string>
#include <vector>

#include "WeatherPictureTable.h"

class SkinStager {
public:
    struct Sources {
        std::filesystem::path packageRoot;      // the unpacked weather icon package
        std::filesystem::path interfaceFolder;  // the hand-drawn pictures
        const WeatherPictureTable* table = nullptr;
    };

    struct Outcome {
        int adapted = 0;
        int drawn = 0;
        std::vector<int> missing;  // entries that got a placeholder
        // What the adaptation left out, one line a source file that lost something.
        std::vector<std::string> adaptationNotes;
    };

    // Writes the pictures first..last into folder (emptied first), and "order.txt" naming them one a
    // line. Fails naming the file for a source that is missing, damaged or does not render, and for two
    // interface pictures of one number.
    static bool Stage(const Sources& sources, int first, int last, const std::filesystem::path& folder,
                      Outcome& outcome, std::string& error);

    // The interface pictures of a folder by entry number.
    static bool FindInterfacePictures(const std::filesystem::path& folder, std::map<int, std::filesystem::path>& found,
                                      std::string& error);

    // A small picture that shows its entry number, for entries nobody has drawn yet.
    static std::string Placeholder(int picture);
};
