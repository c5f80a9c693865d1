#include "RenderCacheFile.h"

#include <algorithm>
#include <cstring>

#include "ByteOrder.h"
#include "CByteBuffer.h"
#include "CFSFile.h"
#include "SpritePackageFile.h"
#include "ZlibCodec.h"

namespace {
// The largest side a picture can have (the platform's limit for bitmaps).
constexpr uint32_t kMaxSide = 16384;
// Offsets are u32 and the file API seeks with a signed 32-bit offset.
constexpr uint64_t kMaxFileSize = 0x7FFFFFFF;

uint64_t FileSize(const CFSFile& file) {
    DWORD high = 0;
    DWORD low = file.GetSize(&high);
    return uint64_t(high) << 32 | low;
}

uint64_t LastWrite(CFSFile& file) {
    FILETIME written{};
    if (!file.GetTimes(nullptr, nullptr, &written))
        return 0;
    return uint64_t(written.dwHighDateTime) << 32 | written.dwLowDateTime;
}

// Blobs always lie between the header and the index that lists them; a record pointing anywhere
// else is damaged.
bool BlobInside(const RenderCacheRecord& record, uint32_t indexOffset) {
    return record.blobSize > 0 && record.blobOffset >= 4 &&
           uint64_t(record.blobOffset) + record.blobSize <= indexOffset;
}
}  // namespace

RenderCacheFile::RenderCacheFile(std::u16string path)
    : m_path(std::move(path)), m_mutex(SpritePackageFile::MutexName(m_path)) {}

std::u16string RenderCacheFile::CompactionPath(const std::u16string& cachePath) {
    const std::u16string extension = u".tmp";
    bool named = cachePath.size() >= extension.size() &&
                 cachePath.compare(cachePath.size() - extension.size(), extension.size(), extension) == 0;
    return (named ? cachePath.substr(0, cachePath.size() - extension.size()) : cachePath) + u"~" + extension;
}

const RenderCacheRecord* RenderCacheFile::Index::Find(uint32_t entry, uint32_t width, uint32_t height,
                                                      uint32_t key) const {
    for (const RenderCacheRecord& record : records) {
        if (record.entry == entry && record.width == width && record.height == height && record.key == key)
            return &record;
    }
    return nullptr;
}

uint64_t RenderCacheFile::Index::LiveSize() const {
    uint64_t size = 4 + 4 + uint64_t(records.size()) * kRecordSize;
    for (const RenderCacheRecord& record : records) size += record.blobSize;
    return size;
}

bool RenderCacheFile::ReadIndex(CFSFile& file, uint64_t fileSize, Index& index) {
    if (!file.Seek(0, FILE_BEGIN))
        return false;
    file.ClearError();
    uint32_t offset = file.ReadU32();
    return !file.HasError() && ReadIndexAt(file, fileSize, offset, index);
}

bool RenderCacheFile::FirstAppendUnfinished(CFSFile& file) {
    if (!file.Seek(0, FILE_BEGIN))
        return false;
    file.ClearError();
    uint32_t offset = file.ReadU32();
    return !file.HasError() && offset == 0;
}

bool RenderCacheFile::ReadIndexAt(CFSFile& file, uint64_t fileSize, uint32_t offset, Index& index) {
    if (offset < 4 || uint64_t(offset) + 4 > fileSize)
        return false;
    if (!file.Seek(LONG(offset), FILE_BEGIN))
        return false;
    // The count and the records in one read: the index is all there is from its offset on, but for what
    // an interrupted append may have left behind it.
    std::vector<uint8_t> table(fileSize - offset);
    DWORD read = 0;
    if (!file.Read(table.data(), DWORD(table.size()), &read) || read != table.size())
        return false;
    uint32_t count = ReadLe32(table.data());
    if (uint64_t(count) * kRecordSize > fileSize - offset - 4)
        return false;
    index.offset = offset;
    index.records.resize(count);
    for (uint32_t i = 0; i < count; ++i) {
        const uint8_t* row = &table[4 + size_t(i) * kRecordSize];
        index.records[i] = RenderCacheRecord{ReadLe32(row),      ReadLe32(row + 4),  ReadLe32(row + 8),
                                             ReadLe32(row + 12), ReadLe32(row + 16), ReadLe32(row + 20)};
    }
    return true;
}

const RenderCacheFile::Index* RenderCacheFile::CurrentIndex(CFSFile& file, uint64_t fileSize) {
    if (!file.Seek(0, FILE_BEGIN))
        return nullptr;
    file.ClearError();
    uint32_t offset = file.ReadU32();
    if (file.HasError())
        return nullptr;
    uint64_t lastWrite = LastWrite(file);
    if (m_snapshot.valid && m_snapshot.index.offset == offset && m_snapshot.fileSize == fileSize &&
        m_snapshot.lastWrite == lastWrite)
        return &m_snapshot.index;
    m_snapshot.valid = ReadIndexAt(file, fileSize, offset, m_snapshot.index);
    m_snapshot.fileSize = fileSize;
    m_snapshot.lastWrite = lastWrite;
    return m_snapshot.valid ? &m_snapshot.index : nullptr;
}

void RenderCacheFile::Remember(CFSFile& file, const Index& index) {
    m_snapshot.index = index;
    m_snapshot.fileSize = FileSize(file);
    m_snapshot.lastWrite = LastWrite(file);
    // Without the file's time a change by another process could go unseen: the index is read again next time.
    m_snapshot.valid = m_snapshot.lastWrite != 0;
}

bool RenderCacheFile::WriteAt(CFSFile& file, uint64_t offset, const std::vector<uint8_t>& bytes) {
    if (offset > kMaxFileSize || !file.Seek(LONG(offset), FILE_BEGIN))
        return false;
    DWORD written = 0;
    return file.Write(bytes.data(), DWORD(bytes.size()), &written) && written == bytes.size();
}

std::vector<uint8_t> RenderCacheFile::EncodeIndex(const Index& index) {
    std::vector<uint8_t> table;
    table.reserve(4 + index.records.size() * kRecordSize);
    AppendLe32(table, uint32_t(index.records.size()));
    for (const RenderCacheRecord& record : index.records) {
        for (uint32_t word :
             {record.entry, record.width, record.height, record.key, record.blobOffset, record.blobSize})
            AppendLe32(table, word);
    }
    return table;
}

const RenderCacheRecord* RenderCacheFile::FindRecord(uint32_t entry, uint32_t width, uint32_t height,
                                                     uint32_t key) {
    if (m_reader.IsOpen() && m_snapshot.valid) {
        if (const RenderCacheRecord* known = m_snapshot.index.Find(entry, width, height, key))
            return known;
    }
    return FindAfterReopening(entry, width, height, key);
}

const RenderCacheRecord* RenderCacheFile::FindAfterReopening(uint32_t entry, uint32_t width, uint32_t height,
                                                             uint32_t key) {
    NamedMutex::Lock lock(m_mutex);
    if (m_reader.IsOpen())
        m_reader.Close();
    // Others may append, compact (rename over) and delete while this handle is open.
    if (!m_reader.Open(m_path.c_str(), OPEN_EXISTING, GENERIC_READ,
                       FILE_SHARE_READ | FILE_SHARE_WRITE | FILE_SHARE_DELETE))
        return nullptr;
    uint64_t size = FileSize(m_reader);
    // A file too short to hold a picture, or an index that does not read, is a cache without the picture.
    const Index* index = size > 8 ? CurrentIndex(m_reader, size) : nullptr;
    m_readAheadSize = 0;
    if (!index) {
        m_reader.Close();
        return nullptr;
    }
    return index->Find(entry, width, height, key);
}

const uint8_t* RenderCacheFile::BlobBytes(const RenderCacheRecord& record) {
    uint32_t indexOffset = m_snapshot.index.offset;
    if (!BlobInside(record, indexOffset))
        return nullptr;
    uint64_t begin = record.blobOffset, end = begin + record.blobSize;
    if (begin < m_readAheadOffset || end > m_readAheadOffset + m_readAheadSize) {
        // Blobs are mostly asked for in the order they were appended: one read brings the next ones
        // along, up to the index at most (what lies beyond it is not this index's to read).
        uint64_t length =
            std::min<uint64_t>(std::max<uint64_t>(record.blobSize, kReadAhead), indexOffset - begin);
        m_readAheadSize = 0;
        if (!m_buffers->ReserveReadAhead(length))
            return nullptr;
        DWORD read = 0;
        if (!m_reader.Seek(LONG(begin), FILE_BEGIN) ||
            !m_reader.Read(m_buffers->ReadAhead(), DWORD(length), &read) || read != length)
            return nullptr;
        m_readAheadOffset = begin;
        m_readAheadSize = length;
    }
    return m_buffers->ReadAhead() + (begin - m_readAheadOffset);
}

const uint32_t* RenderCacheFile::Load(uint32_t entry, uint32_t width, uint32_t height, uint32_t key) {
    if (width == 0 || height == 0 || width > kMaxSide || height > kMaxSide)
        return nullptr;
    const RenderCacheRecord* record = FindRecord(entry, width, height, key);
    if (!record)
        return nullptr;
    if (!m_buffers && !(m_buffers = RenderCacheFileBuffers::Take()))
        return nullptr;
    const uint8_t* blob = BlobBytes(*record);
    size_t count = size_t(width) * height;
    uint32_t* pixels = blob ? m_buffers->Pixels(count) : nullptr;
    if (!pixels || m_buffers->Inflater().Inflate(blob, record->blobSize, pixels, count * 4) != 0)
        return nullptr;
#if __BYTE_ORDER__ != __ORDER_LITTLE_ENDIAN__
    uint8_t* bytes = reinterpret_cast<uint8_t*>(pixels);
    for (size_t i = 0; i < count; ++i) pixels[i] = ReadLe32(bytes + i * 4);
#endif
    return pixels;
}

bool RenderCacheFile::Load(uint32_t entry, uint32_t width, uint32_t height, uint32_t key,
                           std::vector<uint32_t>& pixels) {
    const uint32_t* found = Load(entry, width, height, key);
    if (found)
        pixels.assign(found, found + size_t(width) * height);
    return found != nullptr;
}

// Blob, index, header word: until the last write the header still leads to the old index. The flush
// before the header keeps a power cut from leaving a header whose index never reached the disk; the one
// after it keeps the finished append.
bool RenderCacheFile::AppendInPlace(CFSFile& file, Index& index, const std::vector<uint8_t>& blob) {
    const RenderCacheRecord& added = index.records.back();
    uint64_t newIndexOffset = uint64_t(added.blobOffset) + added.blobSize;
    std::vector<uint8_t> header;
    AppendLe32(header, uint32_t(newIndexOffset));
    uint32_t oldOffset = index.offset;
    index.offset = uint32_t(newIndexOffset);
    if (WriteAt(file, added.blobOffset, blob) && WriteAt(file, newIndexOffset, EncodeIndex(index)) &&
        file.Flush() && WriteAt(file, 0, header) && file.Flush())
        return true;
    index.offset = oldOffset;
    return false;
}

// The live blobs, the new one and the index go into a new file, which replaces the cache by a rename:
// a reader, and a process killed on the way, find either the old file or the whole new one.
bool RenderCacheFile::Compact(CFSFile& file, uint64_t fileSize, const Index& index,
                              const RenderCacheRecord& added, const std::vector<uint8_t>& blob) {
    std::vector<uint8_t> old(fileSize);
    DWORD read = 0;
    if (!file.Seek(0, FILE_BEGIN) || !file.Read(old.data(), DWORD(fileSize), &read) || read != fileSize)
        return false;

    Index compacted;
    std::vector<uint8_t> bytes(4);
    auto append = [&](RenderCacheRecord record, const uint8_t* data) {
        record.blobOffset = uint32_t(bytes.size());
        bytes.insert(bytes.end(), data, data + record.blobSize);
        compacted.records.push_back(record);
    };
    for (const RenderCacheRecord& live : index.records) {
        if (BlobInside(live, index.offset))
            append(live, &old[live.blobOffset]);  // a record no look-up can use goes
    }
    append(added, blob.data());
    compacted.offset = uint32_t(bytes.size());
    std::vector<uint8_t> table = EncodeIndex(compacted);
    bytes.insert(bytes.end(), table.begin(), table.end());
    for (int i = 0; i < 4; ++i) bytes[i] = uint8_t(compacted.offset >> (8 * i));

    file.Close();  // an open handle of this process would refuse the rename
    const std::u16string temporary = CompactionPath(m_path);
    CFSFile out;
    bool written = out.Open(temporary.c_str(), CREATE_ALWAYS, GENERIC_WRITE, 0) && WriteAt(out, 0, bytes);
    out.Close();
    if (!written || !MoveFileExW(temporary.c_str(), m_path.c_str(), MOVEFILE_REPLACE_EXISTING)) {
        DeleteFileW(temporary.c_str());  // if it stays, the next compaction writes over it
        return false;
    }
    m_snapshot.valid = false;
    return true;
}

bool RenderCacheFile::Store(uint32_t entry, uint32_t width, uint32_t height, uint32_t key,
                            const std::vector<uint32_t>& pixels) {
    if (width == 0 || height == 0 || width > kMaxSide || height > kMaxSide ||
        pixels.size() != size_t(width) * height)
        return false;
    // Compressed first: a picture that does not compress into its own size is never stored, and the
    // file is not even created for it.
    std::vector<uint8_t> raw;
    raw.reserve(pixels.size() * 4);
    for (uint32_t pixel : pixels) AppendLe32(raw, pixel);
    std::vector<uint8_t> blob;
    if (ZlibCodec::Compress(raw.data(), raw.size(), blob, raw.size(), -1) != 0)
        return false;

    NamedMutex::Lock lock(m_mutex);
    // The file the reader has open may not be the one an append or a compaction changes.
    if (m_reader.IsOpen())
        m_reader.Close();
    m_readAheadSize = 0;
    CFSFile file;
    if (!file.Open(m_path.c_str(), OPEN_ALWAYS, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ))
        return false;
    uint64_t size = FileSize(file);
    // The header word is written last: 0 there means the append that created the file never ended,
    // and the file holds no picture yet.
    if (size >= 8 && FirstAppendUnfinished(file))
        size = 0;
    Index index;
    if (size >= 8 && !ReadIndex(file, size, index))
        return false;
    if (index.Find(entry, width, height, key))
        return true;  // another object or process stored it meanwhile

    // The new blob goes after the current index, over whatever an interrupted append left there.
    uint64_t blobOffset = size >= 8 ? index.End() : 4;
    RenderCacheRecord added{entry, width, height, key, uint32_t(blobOffset), uint32_t(blob.size())};
    uint64_t appendedEnd = blobOffset + blob.size() + 4 + (index.records.size() + 1) * kRecordSize;
    if (appendedEnd > kMaxFileSize)
        return false;
    uint64_t appendedSize = std::max(size, appendedEnd);
    uint64_t liveSize = index.LiveSize() + blob.size() + kRecordSize;
    if (appendedSize >= 2 * liveSize && Compact(file, size, index, added, blob))
        return true;

    // Appending in place is also what is left when a compaction could not replace the file.
    if (!file.IsOpen() &&
        !file.Open(m_path.c_str(), OPEN_EXISTING, GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ))
        return false;
    index.records.push_back(added);
    if (!AppendInPlace(file, index, blob))
        return false;
    Remember(file, index);
    return true;
}
