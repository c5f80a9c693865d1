// Whole files of the build machine for the build-time tools: read in one go, and replaced so that a
// reader never sees half of one.
#pragma once

#include <filesystem>
#include <string>
#include <string_view>
#include <vector>

class HostFile {
public:
    static bool Read(const std::filesystem::path& path, std::string& out);
    // The lines of a data file of the tree, without the empty ones and the comments (a '#' first).
    static bool ReadDataLines(const std::filesystem::path& path, std::vector<std::string>& lines);
    // Written to "<name>.tmp" beside the target, checked, closed and renamed over it; on failure only
    // the ".tmp" is removed.
    static bool WriteAtomically(const std::filesystem::path& path, std::string_view bytes);
};
