// A scratch folder for the skin tools' tests, removed with everything in it.
#pragma once

#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

class SkinTestFolder {
public:
    SkinTestFolder()
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "skin-XXXXXX").string();
        if (mkdtemp(pattern.data())) m_path = pattern;
    }
    ~SkinTestFolder()
    {
        std::error_code ignored;
        if (!m_path.empty()) std::filesystem::remove_all(m_path, ignored);
    }
    SkinTestFolder(const SkinTestFolder&) = delete;
    SkinTestFolder& operator=(const SkinTestFolder&) = delete;

    const std::filesystem::path& path() const { return m_path; }

    std::filesystem::path Write(const std::string& name, const std::string& text) const
    {
        std::filesystem::path file = m_path / name;
        std::filesystem::create_directories(file.parent_path());
        std::ofstream(file, std::ios::binary) << text;
        return file;
    }

    std::string Read(const std::string& name) const
    {
        std::ifstream in(m_path / name, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }

private:
    std::filesystem::path m_path;
};
