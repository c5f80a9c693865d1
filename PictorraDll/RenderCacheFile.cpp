#include "RenderCacheFile.h"

#include "ByteOrder.h"
#include "CByteBuffer.h"
#include "CFSFile.h"
#include "CSOMutex.h"
#include "SpritePackageFile.h"
#include "ZlibCodec.h"

namespace {
// The largest side a picture can have (the platform's limit for bitmaps).
constexpr uint32_t kMaxSide = 16384;

uint64_t FileSize(const CFSFile& file)
{
    DWORD high = 0;
    DWORD low = file.GetSize(&high);
    return uint64_t(high) << 32 | low;
}
}  // namespace

const RenderCacheRecord* RenderCacheFile::Index::Find(uint32_t entry, uint32_t width, uint32_t height,
                                                      uint32_t key) const
{
    for (const RenderCacheRecord& r : records) {
        if (r.entry == entry && r.width == width && r.height == height && r.key == key) return &r;
    }
    return nullptr;
}

bool RenderCacheFile::ReadIndex(CFSFile& file, uint64_t fileSize, Index& index)
{
    if (!file.Seek(0, FILE_BEGIN)) return false;
    file.ClearError();
    uint32_t offset = file.ReadU32();
    if (file.HasError() || offset < 4 || uint64_t(offset) + 4 > fileSize) return false;
    if (!file.Seek(LONG(offset), FILE_BEGIN)) return false;
    uint32_t count = file.ReadU32();
    if (file.HasError() || uint64_t(count) * kRecordSize > fileSize - offset - 4) return false;

    CByteBuffer table;
    table.SetGrowStep(kRecordSize);
    if (!table.SetLength(DWORD(count * kRecordSize))) return false;
    DWORD read = 0;
    if (count > 0 && (!file.Read(table.GetPointer(0), table.GetLength(), &read) || read != table.GetLength()))
        return false;
    index.offset = offset;
    index.records.resize(count);
    for (uint32_t i = 0; i < count; ++i) {
        uint32_t v[6];
        if (!table.ReadAt(DWORD(i * kRecordSize), sizeof v, v)) return false;
        RenderCacheRecord& r = index.records[i];
        r = RenderCacheRecord{v[0], v[1], v[2], v[3], v[4], v[5]};
    }
    return true;
}

bool RenderCacheFile::WriteAt(CFSFile& file, uint64_t offset, const std::vector<uint8_t>& bytes)
{
    if (offset > 0x7FFFFFFF || !file.Seek(LONG(offset), FILE_BEGIN)) return false;
    DWORD written = 0;
    return file.Write(bytes.data(), DWORD(bytes.size()), &written) && written == bytes.size();
}

bool RenderCacheFile::Load(uint32_t entry, uint32_t width, uint32_t height, uint32_t key,
                           std::vector<uint32_t>& pixels) const
{
    if (width == 0 || height == 0 || width > kMaxSide || height > kMaxSide) return false;
    std::vector<uint8_t> blob;
    {
        CSOMutex lock(TRUE, SpritePackageFile::MutexName(m_path).c_str(), TRUE);
        CFSFile file;
        if (!file.Open(m_path.c_str(), OPEN_EXISTING, GENERIC_READ, FILE_SHARE_READ)) return false;
        uint64_t size = FileSize(file);
        Index index;
        if (size <= 8 || !ReadIndex(file, size, index)) return false;
        const RenderCacheRecord* record = index.Find(entry, width, height, key);
        // Blobs always lie between the header and the index that lists them.
        if (!record || record->blobSize == 0 || record->blobOffset < 4 ||
            uint64_t(record->blobOffset) + record->blobSize > index.offset)
            return false;
        if (!file.Seek(LONG(record->blobOffset), FILE_BEGIN)) return false;
        blob.resize(record->blobSize);
        DWORD read = 0;
        if (!file.Read(blob.data(), record->blobSize, &read) || read != record->blobSize) return false;
    }
    size_t expected = size_t(width) * height * 4;
    std::vector<uint8_t> raw;
    if (ZlibCodec::Uncompress(blob.data(), blob.size(), raw, expected) != 0 || raw.size() != expected) return false;
    pixels.resize(size_t(width) * height);
    for (size_t i = 0; i < pixels.size(); ++i) pixels[i] = ReadLe32(&raw[i * 4]);
    return true;
}

bool RenderCacheFile::Store(uint32_t entry, uint32_t width, uint32_t height, uint32_t key,
                            const std::vector<uint32_t>& pixels) const
{
    if (width == 0 || height == 0 || width > kMaxSide || height > kMaxSide ||
        pixels.size() != size_t(width) * height)
        return false;
    // Compressed first: a picture that does not compress into its own size is never stored, and the
    // file is not even created for it.
    std::vector<uint8_t> raw;
    raw.reserve(pixels.size() * 4);
    for (uint32_t p : pixels) AppendLe32(raw, p);
    std::vector<uint8_t> blob;
    if (ZlibCodec::Compress(raw.data(), raw.size(), blob, raw.size(), -1) != 0) return false;

    CSOMutex lock(TRUE, SpritePackageFile::MutexName(m_path).c_str(), TRUE);
    CFSFile file;
    if (!file.Open(m_path.c_str(), OPEN_ALWAYS, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ)) return false;
    uint64_t size = FileSize(file);
    Index index;
    if (size >= 8 && !ReadIndex(file, size, index)) return false;
    if (index.Find(entry, width, height, key)) return true;

    // The new blob goes after the current index, which stays valid until the header moves on.
    uint64_t blobOffset = size >= 8 ? index.End() : 4;
    uint64_t newIndexOffset = blobOffset + blob.size();
    index.records.push_back({entry, width, height, key, uint32_t(blobOffset), uint32_t(blob.size())});
    if (newIndexOffset + 4 + index.records.size() * kRecordSize > 0x7FFFFFFF) return false;

    std::vector<uint8_t> table;
    AppendLe32(table, uint32_t(index.records.size()));
    for (const RenderCacheRecord& r : index.records) {
        for (uint32_t v : {r.entry, r.width, r.height, r.key, r.blobOffset, r.blobSize}) AppendLe32(table, v);
    }
    std::vector<uint8_t> header;
    AppendLe32(header, uint32_t(newIndexOffset));
    return WriteAt(file, blobOffset, blob) && WriteAt(file, newIndexOffset, table) && WriteAt(file, 0, header);
}
