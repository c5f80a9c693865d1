// The render cache (.tmp) beside a package: u32 index offset, compressed pixel blobs, and at the index
// offset a u32 record count with 24-byte records (entry, width, height, colour key, blob offset, blob
// size). Blobs inflate to width x height top-down 0xAARRGGBB words.
//
// An append writes the new blob after the current index, then a new index after the blob, and only
// then the header word: until that last 4-byte write the file still leads to the old, intact index,
// so an interrupted append loses only the picture it was adding.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

struct RenderCacheRecord {
    uint32_t entry = 0;
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t key = 0;
    uint32_t blobOffset = 0;
    uint32_t blobSize = 0;
};

class CFSFile;

class RenderCacheFile {
public:
    static constexpr uint32_t kPlainKey = 0xFFFFFFFF;
    static constexpr size_t kRecordSize = 24;

    explicit RenderCacheFile(std::u16string path) : m_path(std::move(path)) {}

    // The pixels of the first record with these four values; false on a miss or a damaged record.
    bool Load(uint32_t entry, uint32_t width, uint32_t height, uint32_t key, std::vector<uint32_t>& pixels) const;
    // Appends a render; true without writing when the same record is already there. A damaged index
    // is left alone and the store fails.
    bool Store(uint32_t entry, uint32_t width, uint32_t height, uint32_t key, const std::vector<uint32_t>& pixels) const;

private:
    struct Index {
        uint32_t offset = 4;
        std::vector<RenderCacheRecord> records;
        uint64_t End() const { return offset + 4 + uint64_t(records.size()) * kRecordSize; }
        const RenderCacheRecord* Find(uint32_t entry, uint32_t width, uint32_t height, uint32_t key) const;
    };

    static bool ReadIndex(CFSFile& file, uint64_t fileSize, Index& index);
    static bool WriteAt(CFSFile& file, uint64_t offset, const std::vector<uint8_t>& bytes);

    std::u16string m_path;
};
