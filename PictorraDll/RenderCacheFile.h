// The render cache (.tmp) beside a package: u32 index offset, compressed pixel blobs, and at the index
// offset a u32 record count with 24-byte records (entry, width, height, colour key, blob offset, blob
// size). Blobs inflate to width x height top-down 0xAARRGGBB words.
//
// An append writes the new blob after the current index, then a new index after the blob, and only
// then the header word: until that last 4-byte write the file still leads to the old, intact index,
// so an interrupted append loses only the picture it was adding. Nothing a committed header leads to
// is ever written over, so each append leaves the index before it behind as dead space. Once the dead
// space would reach half of the file, the append writes the live blobs, the new one and the index
// into a new file beside it instead, which then takes the cache's place in one rename.
//
// So the bytes a committed index leads to never change while that file exists: a look-up that finds
// its record in the index this object read (under the cache's mutex) reads the blob through the
// handle it read that index with, without the mutex. That handle stays open between look-ups and
// lets others write, rename over and delete the file; a record it does not know sends the look-up
// back under the mutex to the file that now has the cache's name.
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "CFSFile.h"
#include "NamedMutex.h"
#include "RenderCacheFileBuffers.h"

struct RenderCacheRecord {
    uint32_t entry = 0;
    uint32_t width = 0;
    uint32_t height = 0;
    uint32_t key = 0;
    uint32_t blobOffset = 0;
    uint32_t blobSize = 0;
};

class RenderCacheFile {
public:
    static constexpr uint32_t kPlainKey = 0xFFFFFFFF;
    static constexpr size_t kRecordSize = 24;

    explicit RenderCacheFile(std::u16string path);

    // The pixels of the first record with these four values, width x height top-down words that stay
    // valid until the next call on this object; null on a miss or a damaged record.
    const uint32_t* Load(uint32_t entry, uint32_t width, uint32_t height, uint32_t key);
    // The same, copied.
    bool Load(uint32_t entry, uint32_t width, uint32_t height, uint32_t key, std::vector<uint32_t>& pixels);
    // Appends a render; true without writing when the same record is already there. A damaged index
    // is left alone and the store fails.
    bool Store(uint32_t entry, uint32_t width, uint32_t height, uint32_t key,
               const std::vector<uint32_t>& pixels);

    // Where a compaction writes the new file before it replaces the cache: beside it, with a name the
    // uninstall step's "*.tmp" pattern also removes.
    static std::u16string CompactionPath(const std::u16string& cachePath);

private:
    struct Index {
        uint32_t offset = 4;
        std::vector<RenderCacheRecord> records;
        uint64_t End() const { return offset + 4 + uint64_t(records.size()) * kRecordSize; }
        const RenderCacheRecord* Find(uint32_t entry, uint32_t width, uint32_t height, uint32_t key) const;
        // The bytes the records' blobs and the index take: the file's size without dead space.
        uint64_t LiveSize() const;
    };
    // The index as this object last read or wrote it, and what the file looked like then. While the
    // header word, the size and the time of the last write are the same, the file has not changed:
    // every append moves the header, and a compaction replaces the file.
    struct Snapshot {
        bool valid = false;
        uint64_t fileSize = 0;
        uint64_t lastWrite = 0;
        Index index;
    };

    const Index* CurrentIndex(CFSFile& file, uint64_t fileSize);
    // The record in the index of the file the reader has open, opening the file that has the cache's
    // name and reading its index again first when the index does not hold the record.
    const RenderCacheRecord* FindRecord(uint32_t entry, uint32_t width, uint32_t height, uint32_t key);
    const RenderCacheRecord* FindAfterReopening(uint32_t entry, uint32_t width, uint32_t height,
                                                uint32_t key);
    // The blob's bytes, read through the reader's handle into the leased buffers; valid until the next
    // call.
    const uint8_t* BlobBytes(const RenderCacheRecord& record);
    static bool ReadIndex(CFSFile& file, uint64_t fileSize, Index& index);
    static bool FirstAppendUnfinished(CFSFile& file);
    static bool ReadIndexAt(CFSFile& file, uint64_t fileSize, uint32_t offset, Index& index);
    static bool WriteAt(CFSFile& file, uint64_t offset, const std::vector<uint8_t>& bytes);
    static std::vector<uint8_t> EncodeIndex(const Index& index);
    static bool AppendInPlace(CFSFile& file, Index& index, const std::vector<uint8_t>& blob);
    bool Compact(CFSFile& file, uint64_t fileSize, const Index& index, const RenderCacheRecord& added,
                 const std::vector<uint8_t>& blob);
    void Remember(CFSFile& file, const Index& index);

    std::u16string m_path;
    NamedMutex m_mutex;
    Snapshot m_snapshot;
    // Open only while m_snapshot holds the index of the file it has open.
    CFSFile m_reader;
    // Bytes of the file the reader has open, m_readAheadSize of them from m_readAheadOffset on, in the
    // leased buffers; they lie before its index, which no append or compaction changes while that file
    // exists. The lease is taken at the first look-up that finds a record and kept for the object's
    // life, so that a hit allocates nothing.
    static constexpr uint64_t kReadAhead = 16 * 1024;
    RenderCacheFileBuffers::Lease m_buffers;
    uint64_t m_readAheadOffset = 0;
    uint64_t m_readAheadSize = 0;
};
