// The sprite package (.pak): a u32 count, count index rows of 16 bytes (offset, size, u16 width,
// u16 height, 4 unused bytes), and zlib-compressed SVG documents reached through the index. Little-endian.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

class NamedMutex;

struct SpritePackageEntry {
    uint32_t offset = 0;
    uint32_t size = 0;
    uint16_t width = 0;
    uint16_t height = 0;
};

class SpritePackageFile {
public:
    static constexpr size_t kHeaderSize = 4;
    static constexpr size_t kEntrySize = 16;
    // An inflated document larger than this is refused: pictures are small, damaged blocks are not.
    static constexpr size_t kMaxDocumentSize = 8 * 1024 * 1024;

    struct Picture {
        uint16_t width = 0;
        uint16_t height = 0;
        std::string svg;
    };

    // Read from the device's file system under the package's named mutex (MutexName of the path). The
    // index is refused when its count is 0 or its rows do not fit into the file.
    static bool ReadIndex(const std::u16string& path, NamedMutex& mutex,
                          std::vector<SpritePackageEntry>& entries);
    // The inflated SVG text of one entry; fails for an entry that lies beyond the file or does not inflate.
    static bool ReadEntry(const std::u16string& path, NamedMutex& mutex, const SpritePackageEntry& entry,
                          std::string& svg);

    // The same on a package held in memory (the packer's viewer).
    static bool ParseIndex(const std::vector<uint8_t>& bytes, std::vector<SpritePackageEntry>& entries);
    static bool ParseEntry(const std::vector<uint8_t>& bytes, const SpritePackageEntry& entry,
                           std::string& svg);

    // The bytes of a package holding these pictures in this order.
    static bool Build(const std::vector<Picture>& pictures, std::vector<uint8_t>& out);

    static std::u16string MutexName(const std::u16string& path) { return u"PictorraSO:" + path; }

private:
    static bool IndexFits(uint32_t count, uint64_t fileSize);
    static bool EntryFits(const SpritePackageEntry& entry, uint64_t fileSize);
    static SpritePackageEntry DecodeEntry(const uint8_t* row);
    static bool Inflate(const uint8_t* data, size_t size, std::string& svg);
};
