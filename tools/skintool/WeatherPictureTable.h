// The table of data/skin that names, for each weather picture of the skin, the file of the weather
// icon package it is adapted from. Lines: "<picture number> <path inside the package>"; '#' starts a
// comment.
#pragma once

#include <filesystem>
#include <map>
#include <string>

class WeatherPictureTable {
public:
    // False with the file name and line in error for an unreadable file, a line that is not a number
    // and a path, a path that leaves the package, or a picture named twice.
    bool Load(const std::filesystem::path& file, std::string& error);

    const std::map<int, std::string>& sources() const { return m_sources; }
    // The source of a picture, or "" when the table does not name it.
    std::string SourceOf(int picture) const;

private:
    std::map<int, std::string> m_sources;
};
