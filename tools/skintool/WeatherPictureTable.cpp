#include "WeatherPictureTable.h"

#include <fstream>
#include <sstream>

bool WeatherPictureTable::Load(const std::filesystem::path& file, std::string& error)
{
    m_sources.clear();
    std::ifstream in(file);
    if (!in) {
        error = file.string() + ": cannot be read";
        return false;
    }
    std::string line;
    for (int number = 1; std::getline(in, line); ++number) {
        if (size_t hash = line.find('#'); hash != std::string::npos) line.erase(hash);
        std::istringstream fields(line);
        int picture = -1;
        std::string source, extra;
        if (!(fields >> picture)) {
            if (fields.eof() && line.find_first_not_of(" \t\r") == std::string::npos) continue;
            error = file.string() + ":" + std::to_string(number) + ": a line is a picture number and a file";
            return false;
        }
        std::string where = file.string() + ":" + std::to_string(number) + ": ";
        if (!(fields >> source) || (fields >> extra) || picture < 0) {
            error = where + "a line is a picture number and a file";
            return false;
        }
        std::filesystem::path path(source);
        if (path.is_absolute() || source.find("..") != std::string::npos) {
            error = where + source + " does not lie inside the package";
            return false;
        }
        if (!m_sources.emplace(picture, source).second) {
            error = where + "picture " + std::to_string(picture) + " is named twice";
            return false;
        }
    }
    return true;
}

std::string WeatherPictureTable::SourceOf(int picture) const
{
    auto found = m_sources.find(picture);
    return found == m_sources.end() ? std::string() : found->second;
}
