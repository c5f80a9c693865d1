#include "SpritePackageFile.h"

#include "ByteOrder.h"
#include "CFSFile.h"
#include "NamedMutex.h"
#include "ZlibCodec.h"

bool SpritePackageFile::IndexFits(uint32_t count, uint64_t fileSize) {
    return count > 0 && kHeaderSize + uint64_t(count) * kEntrySize <= fileSize;
}

bool SpritePackageFile::EntryFits(const SpritePackageEntry& entry, uint64_t fileSize) {
    return entry.size > 0 && uint64_t(entry.offset) + entry.size <= fileSize;
}

SpritePackageEntry SpritePackageFile::DecodeEntry(const uint8_t* row) {
    return SpritePackageEntry{ReadLe32(row), ReadLe32(row + 4), ReadLe16(row + 8), ReadLe16(row + 10)};
}

bool SpritePackageFile::Inflate(const uint8_t* data, size_t size, std::string& svg) {
    std::vector<uint8_t> text;
    if (ZlibCodec::Uncompress(data, size, text, kMaxDocumentSize) != 0)
        return false;
    svg.assign(text.begin(), text.end());
    return true;
}

bool SpritePackageFile::ReadIndex(const std::u16string& path, NamedMutex& mutex,
                                  std::vector<SpritePackageEntry>& entries) {
    NamedMutex::Lock lock(mutex);
    CFSFile file;
    if (!file.Open(path.c_str(), OPEN_EXISTING, GENERIC_READ, FILE_SHARE_READ))
        return false;
    DWORD high = 0;
    uint64_t fileSize = file.GetSize(&high) | uint64_t(high) << 32;
    uint32_t count = file.ReadU32();
    if (file.HasError() || !IndexFits(count, fileSize))
        return false;
    std::vector<uint8_t> rows(size_t(count) * kEntrySize);
    DWORD read = 0;
    if (!file.Read(rows.data(), DWORD(rows.size()), &read) || read != rows.size())
        return false;
    entries.resize(count);
    for (uint32_t i = 0; i < count; ++i) entries[i] = DecodeEntry(&rows[size_t(i) * kEntrySize]);
    return true;
}

bool SpritePackageFile::ReadEntry(const std::u16string& path, NamedMutex& mutex,
                                  const SpritePackageEntry& entry, std::string& svg) {
    std::vector<uint8_t> block;
    {
        NamedMutex::Lock lock(mutex);
        CFSFile file;
        if (!file.Open(path.c_str(), OPEN_EXISTING, GENERIC_READ, FILE_SHARE_READ))
            return false;
        DWORD high = 0;
        uint64_t fileSize = file.GetSize(&high) | uint64_t(high) << 32;
        if (!EntryFits(entry, fileSize) || entry.offset > 0x7FFFFFFFu)
            return false;
        if (!file.Seek(LONG(entry.offset), FILE_BEGIN))
            return false;
        block.resize(entry.size);
        DWORD read = 0;
        if (!file.Read(block.data(), entry.size, &read) || read != entry.size)
            return false;
    }
    return Inflate(block.data(), block.size(), svg);
}

bool SpritePackageFile::ParseIndex(const std::vector<uint8_t>& bytes,
                                   std::vector<SpritePackageEntry>& entries) {
    if (bytes.size() < kHeaderSize)
        return false;
    uint32_t count = ReadLe32(bytes.data());
    if (!IndexFits(count, bytes.size()))
        return false;
    entries.resize(count);
    for (uint32_t i = 0; i < count; ++i)
        entries[i] = DecodeEntry(&bytes[kHeaderSize + size_t(i) * kEntrySize]);
    return true;
}

bool SpritePackageFile::ParseEntry(const std::vector<uint8_t>& bytes, const SpritePackageEntry& entry,
                                   std::string& svg) {
    return EntryFits(entry, bytes.size()) && Inflate(&bytes[entry.offset], entry.size, svg);
}

bool SpritePackageFile::Build(const std::vector<Picture>& pictures, std::vector<uint8_t>& out) {
    out.clear();
    if (pictures.empty())
        return false;
    std::vector<std::vector<uint8_t>> blocks;
    for (const Picture& p : pictures) {
        std::vector<uint8_t> block;
        size_t capacity = p.svg.size() + p.svg.size() / 8 + 64;
        if (ZlibCodec::Compress(p.svg.data(), p.svg.size(), block, capacity, -1) != 0)
            return false;
        blocks.push_back(std::move(block));
    }
    uint64_t offset = kHeaderSize + pictures.size() * kEntrySize;
    AppendLe32(out, uint32_t(pictures.size()));
    for (size_t i = 0; i < pictures.size(); ++i) {
        if (offset + blocks[i].size() > UINT32_MAX)
            return false;
        AppendLe32(out, uint32_t(offset));
        AppendLe32(out, uint32_t(blocks[i].size()));
        AppendLe16(out, pictures[i].width);
        AppendLe16(out, pictures[i].height);
        AppendLe32(out, 0);  // the row's last four bytes are unused
        offset += blocks[i].size();
    }
    for (const auto& block : blocks) out.insert(out.end(), block.begin(), block.end());
    return true;
}
