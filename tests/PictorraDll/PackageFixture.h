// A device with a sprite package in \Data, and what the tests need to read back its files and DCs.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>
#include <vector>

#include "CRenderedImage.h"
#include "Platform/TempDevice.h"
#include "SpritePackageFile.h"

namespace pictorra_test {

inline const std::string kRedSquare =
    "<svg xmlns='http://www.w3.org/2000/svg' width='16' height='16'><rect width='16' height='16' fill='red'/></svg>";
inline const std::string kHalfRed =
    "<svg xmlns='http://www.w3.org/2000/svg' width='16' height='16'><rect width='16' height='16' fill='red' "
    "opacity='0.5'/></svg>";
inline const std::string kImagePicture =
    "<svg xmlns='http://www.w3.org/2000/svg' width='16' height='16'><image width='4' height='4'/></svg>";

inline std::vector<uint8_t> ReadHostFile(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::vector<uint8_t>(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
}

inline void WriteHostFile(const std::string& path, const std::vector<uint8_t>& bytes)
{
    std::filesystem::create_directories(std::filesystem::path(path).parent_path());
    std::ofstream(path, std::ios::binary).write(reinterpret_cast<const char*>(bytes.data()), std::streamsize(bytes.size()));
}

inline uint32_t Le32(const std::vector<uint8_t>& b, size_t at)
{
    return uint32_t(b.at(at)) | uint32_t(b.at(at + 1)) << 8 | uint32_t(b.at(at + 2)) << 16 | uint32_t(b.at(at + 3)) << 24;
}

inline void PutLe32(std::vector<uint8_t>& b, size_t at, uint32_t v)
{
    for (int i = 0; i < 4; ++i) b.at(at + i) = uint8_t(v >> (8 * i));
}

class PackageFixture : public ::testing::Test {
protected:
    PackageFixture() { std::filesystem::create_directories(device.Fs("Data")); }

    void WritePackage(const std::vector<std::string>& svgs)
    {
        std::vector<SpritePackageFile::Picture> pictures;
        for (const std::string& svg : svgs) pictures.push_back({16, 16, svg});
        std::vector<uint8_t> bytes;
        ASSERT_TRUE(SpritePackageFile::Build(pictures, bytes));
        WriteHostFile(HostPackage(), bytes);
    }
    std::string HostPackage() const { return device.Fs("Data/icons.pak"); }
    std::string HostCache() const { return device.Fs("Data/icons.tmp"); }

    ce::test::TempDevice device;
    const std::u16string package = u"\\Data\\icons.pak";
    const std::u16string cache = u"\\Data\\icons.tmp";
};

// A 16-bpp surface selected into a memory DC, filled with one colour.
class Canvas {
public:
    Canvas(int width, int height, uint16_t fill) : m_height(height)
    {
        m_bitmap = CreateRgb565Section(width, height);
        m_dc = CreateCompatibleDC(nullptr);
        m_old = SelectObject(m_dc, m_bitmap);
        DIBSECTION s{};
        GetObjectW(m_bitmap, sizeof s, &s);
        m_bits = static_cast<uint8_t*>(s.dsBm.bmBits);
        m_stride = s.dsBm.bmWidthBytes;
        for (int y = 0; y < height; ++y)
            for (int x = 0; x < width; ++x) Row(y)[x] = fill;
    }
    ~Canvas()
    {
        SelectObject(m_dc, m_old);
        DeleteDC(m_dc);
        DeleteObject(m_bitmap);
    }
    HDC Dc() const { return m_dc; }
    uint16_t At(int x, int y)
    {
        GdiFlush();
        return Row(y)[x];
    }

private:
    uint16_t* Row(int y) { return reinterpret_cast<uint16_t*>(m_bits + size_t(m_height - 1 - y) * m_stride); }

    HBITMAP m_bitmap = nullptr;
    HDC m_dc = nullptr;
    HGDIOBJ m_old = nullptr;
    uint8_t* m_bits = nullptr;
    int m_stride = 0;
    int m_height = 0;
};

}  // namespace pictorra_test
