#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <iostream>
#include <random>
#include <thread>

#include "CSpritePackage.h"
#include "PackageFixture.h"
#include "Platform/ChildProcess.h"
#include "RenderCacheFile.h"
#include "ZlibCodec.h"

namespace {
using namespace pictorra_test;

constexpr uint32_t kPlain = RenderCacheFile::kPlainKey;

std::vector<uint32_t> Solid(size_t count, uint32_t pixel) { return std::vector<uint32_t>(count, pixel); }

// A picture that compresses well below its raw size.
std::vector<uint32_t> Picture(uint32_t seed) { return Solid(64, 0xFF000000 | seed); }

// The cache file as the bytes say: its index, and what its live part (header, blobs, index) takes.
struct CacheLayout {
    uint32_t indexOffset = 0;
    std::vector<RenderCacheRecord> records;

    uint64_t IndexEnd() const { return indexOffset + 4 + uint64_t(records.size()) * 24; }
    uint64_t LiveSize() const
    {
        uint64_t size = 4 + 4 + uint64_t(records.size()) * 24;
        for (const RenderCacheRecord& r : records) size += r.blobSize;
        return size;
    }
    bool Packed() const
    {
        uint64_t at = 4;
        for (const RenderCacheRecord& r : records) {
            if (r.blobOffset != at) return false;
            at += r.blobSize;
        }
        return at == indexOffset;
    }
};

::testing::AssertionResult ParseCache(const std::vector<uint8_t>& b, CacheLayout& layout)
{
    if (b.size() <= 8) return ::testing::AssertionFailure() << "a file of " << b.size() << " bytes";
    layout.indexOffset = Le32(b, 0);
    if (uint64_t(layout.indexOffset) + 4 > b.size()) return ::testing::AssertionFailure() << "index beyond the file";
    uint32_t count = Le32(b, layout.indexOffset);
    if (layout.indexOffset + 4 + uint64_t(count) * 24 > b.size()) return ::testing::AssertionFailure() << "records cut";
    layout.records.clear();
    for (uint32_t i = 0; i < count; ++i) {
        size_t at = layout.indexOffset + 4 + size_t(i) * 24;
        RenderCacheRecord r{Le32(b, at), Le32(b, at + 4), Le32(b, at + 8), Le32(b, at + 12), Le32(b, at + 16), Le32(b, at + 20)};
        if (r.blobOffset < 4 || uint64_t(r.blobOffset) + r.blobSize > layout.indexOffset)
            return ::testing::AssertionFailure() << "record " << i << " points outside the blobs";
        layout.records.push_back(r);
    }
    return ::testing::AssertionSuccess();
}

class RenderCache : public PackageFixture {
protected:
    RenderCacheFile File() const { return RenderCacheFile(cache); }
    std::string HostCompaction() const { return device.Fs("Data/icons~.tmp"); }
};

TEST_F(RenderCache, FirstStoreWritesHeaderBlobAndOneRecord)
{
    ASSERT_TRUE(File().Store(3, 8, 8, kPlain, Picture(0xF80000)));
    std::vector<uint8_t> b = ReadHostFile(HostCache());
    uint32_t index = Le32(b, 0);
    uint32_t blobSize = index - 4;
    ASSERT_EQ(b.size(), index + 4 + 24);
    EXPECT_EQ(b[4], 0x78);  // the blob is a zlib stream from offset 4 ...
    EXPECT_EQ(Le32(b, index - 4), 0xFFFF0000u);  // ... ending in a full flush, without a trailer
    EXPECT_EQ(Le32(b, index), 1u);
    for (uint32_t i = 0, want[] = {3, 8, 8, kPlain, 4, blobSize}; i < 6; ++i) EXPECT_EQ(Le32(b, index + 4 + 4 * i), want[i]);

    std::vector<uint8_t> pixels;
    ASSERT_EQ(ZlibCodec::Uncompress(&b[4], blobSize, pixels, 8 * 8 * 4), 0);
    ASSERT_EQ(pixels.size(), 256u);
    EXPECT_EQ(Le32(pixels, 0), 0xFFF80000u);  // bytes B, G, R, A
}

TEST_F(RenderCache, AppendLeavesTheOldIndexInPlaceAndMovesTheHeaderLast)
{
    ASSERT_TRUE(File().Store(0, 8, 8, kPlain, Picture(1)));
    std::vector<uint8_t> before = ReadHostFile(HostCache());
    ASSERT_TRUE(File().Store(0, 8, 8, 0x7FC00000, Picture(2)));
    std::vector<uint8_t> after = ReadHostFile(HostCache());

    uint32_t oldIndex = Le32(before, 0);
    ASSERT_GT(after.size(), before.size());
    EXPECT_TRUE(std::equal(before.begin() + 4, before.end(), after.begin() + 4));  // nothing old was overwritten
    uint32_t newIndex = Le32(after, 0);
    EXPECT_EQ(Le32(after, newIndex), 2u);
    EXPECT_EQ(Le32(after, newIndex + 4 + 24 + 16), oldIndex + 28);  // the new blob follows the old index
    EXPECT_EQ(newIndex + 4 + 48, after.size());

    std::vector<uint32_t> plain, recoloured;
    ASSERT_TRUE(File().Load(0, 8, 8, kPlain, plain));
    ASSERT_TRUE(File().Load(0, 8, 8, 0x7FC00000, recoloured));
    EXPECT_EQ(plain, Picture(1));
    EXPECT_EQ(recoloured, Picture(2));
    EXPECT_FALSE(File().Load(0, 8, 8, 0x1234, plain));
}

TEST_F(RenderCache, StoringTheSameRecordAgainChangesNothing)
{
    ASSERT_TRUE(File().Store(0, 8, 8, kPlain, Picture(1)));
    std::vector<uint8_t> before = ReadHostFile(HostCache());
    EXPECT_TRUE(File().Store(0, 8, 8, kPlain, Picture(9)));
    EXPECT_EQ(ReadHostFile(HostCache()), before);
}

TEST_F(RenderCache, InterruptedAppendLeavesTheCacheReadable)
{
    ASSERT_TRUE(File().Store(0, 8, 8, kPlain, Picture(1)));
    // A crash after the blob and part of the new index were written: the header still names the old index.
    std::vector<uint8_t> bytes = ReadHostFile(HostCache());
    bytes.insert(bytes.end(), 90, 0xAB);
    WriteHostFile(HostCache(), bytes);
    std::vector<uint32_t> pixels;
    EXPECT_TRUE(File().Load(0, 8, 8, kPlain, pixels));
    ASSERT_TRUE(File().Store(1, 8, 8, kPlain, Picture(2)));
    EXPECT_TRUE(File().Load(0, 8, 8, kPlain, pixels));
    EXPECT_TRUE(File().Load(1, 8, 8, kPlain, pixels));
    EXPECT_EQ(pixels, Picture(2));
}

// 500 appends, each through the cache's lock and its file calls: some 5 s with the sanitizers.
TEST_F(RenderCache, StaysBelowTwiceItsLiveSizeOverFiveHundredAppends)
{
    RenderCacheFile file(cache);
    uint64_t before = 0;
    int compactions = 0;
    for (uint32_t entry = 0; entry < 500; ++entry) {
        ASSERT_TRUE(file.Store(entry, 8, 8, kPlain, Picture(entry)));
        std::vector<uint8_t> bytes = ReadHostFile(HostCache());
        CacheLayout layout;
        ASSERT_TRUE(ParseCache(bytes, layout)) << "after " << entry + 1 << " appends";
        ASSERT_EQ(layout.records.size(), entry + 1);
        ASSERT_EQ(layout.records.back().entry, entry);
        ASSERT_LT(bytes.size(), 2 * layout.LiveSize()) << "after " << entry + 1 << " appends";
        if (bytes.size() < before) {
            ++compactions;
            // A compacted file holds nothing but the header, the blobs back to back and the index.
            EXPECT_TRUE(layout.Packed()) << "after " << entry + 1 << " appends";
            EXPECT_EQ(bytes.size(), layout.IndexEnd());
        }
        before = bytes.size();
    }
    EXPECT_GT(compactions, 10);
    EXPECT_FALSE(std::filesystem::exists(HostCompaction()));

    // Every picture is still there for this object and for a new one.
    RenderCacheFile reader(cache);
    for (uint32_t entry = 0; entry < 500; entry += 7) {
        std::vector<uint32_t> mine, theirs;
        ASSERT_TRUE(file.Load(entry, 8, 8, kPlain, mine)) << entry;
        ASSERT_TRUE(reader.Load(entry, 8, 8, kPlain, theirs)) << entry;
        EXPECT_EQ(mine, Picture(entry));
        EXPECT_EQ(theirs, Picture(entry));
    }
}

// An object remembers the index between look-ups; appends and compactions by another object (or
// process) must not make it read the wrong blob.
TEST_F(RenderCache, LookUpsSeeWhatOthersAppendedAndCompacted)
{
    RenderCacheFile reader(cache);
    ASSERT_TRUE(File().Store(0, 8, 8, kPlain, Picture(1)));
    std::vector<uint32_t> pixels;
    ASSERT_TRUE(reader.Load(0, 8, 8, kPlain, pixels));
    EXPECT_FALSE(reader.Load(1, 8, 8, kPlain, pixels));

    RenderCacheFile writer(cache);
    for (uint32_t entry = 1; entry < 60; ++entry) ASSERT_TRUE(writer.Store(entry, 8, 8, kPlain, Picture(entry + 1)));
    CacheLayout layout;
    ASSERT_TRUE(ParseCache(ReadHostFile(HostCache()), layout));
    for (uint32_t entry : {0u, 1u, 30u, 59u, 2u, 1u}) {  // in append order, and back from a read ahead
        ASSERT_TRUE(reader.Load(entry, 8, 8, kPlain, pixels)) << entry;
        EXPECT_EQ(pixels, Picture(entry + 1)) << entry;
    }
    // The reader's own append is seen by the writer, and the writer's next one by the reader.
    ASSERT_TRUE(reader.Store(60, 8, 8, kPlain, Picture(61)));
    ASSERT_TRUE(writer.Load(60, 8, 8, kPlain, pixels));
    EXPECT_EQ(pixels, Picture(61));
    ASSERT_TRUE(writer.Store(61, 8, 8, kPlain, Picture(62)));
    ASSERT_TRUE(reader.Load(61, 8, 8, kPlain, pixels));
    EXPECT_EQ(pixels, Picture(62));
    // The file the reader has open can be deleted; what the reader found in it stays readable, and a
    // record only the file put in its place holds is read from that one.
    std::vector<uint8_t> saved = ReadHostFile(HostCache());
    ASSERT_TRUE(DeleteFileW(cache.c_str()));
    ASSERT_TRUE(File().Store(70, 8, 8, kPlain, Picture(99)));
    ASSERT_TRUE(reader.Load(61, 8, 8, kPlain, pixels));
    EXPECT_EQ(pixels, Picture(62));
    ASSERT_TRUE(reader.Load(70, 8, 8, kPlain, pixels));
    EXPECT_EQ(pixels, Picture(99));
    EXPECT_FALSE(reader.Load(62, 8, 8, kPlain, pixels));
    EXPECT_LT(ReadHostFile(HostCache()).size(), saved.size());
}

// A new object decodes with the buffers that an ended one gave back: what those still hold of the old
// file (its blob bytes read ahead, its pixels) must never stand for the new file's, even where the new
// file's blobs lie at the very same offsets.
TEST_F(RenderCache, ANewObjectReadsItsOwnFileWithBuffersAnEndedOneGaveBack)
{
    for (uint32_t entry = 0; entry < 8; ++entry) ASSERT_TRUE(File().Store(entry, 8, 8, kPlain, Picture(entry + 1)));
    const std::vector<uint8_t> first = ReadHostFile(HostCache());
    std::vector<uint32_t> pixels;
    ASSERT_TRUE(File().Load(3, 8, 8, kPlain, pixels));
    EXPECT_EQ(pixels, Picture(4));

    ASSERT_TRUE(DeleteFileW(cache.c_str()));
    for (uint32_t entry = 0; entry < 8; ++entry) ASSERT_TRUE(File().Store(entry, 8, 8, kPlain, Picture(entry + 100)));
    CacheLayout before, after;
    ASSERT_TRUE(ParseCache(first, before));
    ASSERT_TRUE(ParseCache(ReadHostFile(HostCache()), after));
    ASSERT_EQ(before.records[3].blobOffset, after.records[3].blobOffset) << "the test needs blobs at the same place";
    for (uint32_t entry : {3u, 4u, 0u}) {
        ASSERT_TRUE(File().Load(entry, 8, 8, kPlain, pixels)) << entry;
        EXPECT_EQ(pixels, Picture(entry + 100)) << entry;
    }
}

TEST_F(RenderCache, AppendsInPlaceWhenTheCompactedFileCannotBeWritten)
{
    std::filesystem::create_directories(HostCompaction());  // a folder where the new file would go
    RenderCacheFile file(cache);
    for (uint32_t entry = 0; entry < 40; ++entry) ASSERT_TRUE(file.Store(entry, 8, 8, kPlain, Picture(entry)));
    std::vector<uint8_t> bytes = ReadHostFile(HostCache());
    CacheLayout layout;
    ASSERT_TRUE(ParseCache(bytes, layout));
    EXPECT_EQ(layout.records.size(), 40u);
    EXPECT_GT(bytes.size(), 2 * layout.LiveSize());

    std::filesystem::remove(HostCompaction());
    ASSERT_TRUE(file.Store(40, 8, 8, kPlain, Picture(40)));
    bytes = ReadHostFile(HostCache());
    ASSERT_TRUE(ParseCache(bytes, layout));
    EXPECT_TRUE(layout.Packed());
    EXPECT_EQ(bytes.size(), layout.LiveSize());
    std::vector<uint32_t> pixels;
    ASSERT_TRUE(File().Load(17, 8, 8, kPlain, pixels));
    EXPECT_EQ(pixels, Picture(17));
}

TEST_F(RenderCache, PictureThatDoesNotCompressIsNeverStored)
{
    EXPECT_FALSE(File().Store(0, 1, 1, kPlain, {0xFF123456}));
    EXPECT_FALSE(std::filesystem::exists(HostCache()));
}

TEST_F(RenderCache, ShortFilesStartAfreshAndAnEightByteFileIsAnIndex)
{
    WriteHostFile(HostCache(), {1, 2, 3});
    std::vector<uint32_t> pixels;
    EXPECT_FALSE(File().Load(0, 8, 8, kPlain, pixels));
    ASSERT_TRUE(File().Store(0, 8, 8, kPlain, Picture(1)));
    EXPECT_EQ(Le32(ReadHostFile(HostCache()), Le32(ReadHostFile(HostCache()), 0) + 4 + 16), 4u);

    WriteHostFile(HostCache(), {4, 0, 0, 0, 0, 0, 0, 0});
    EXPECT_FALSE(File().Load(0, 8, 8, kPlain, pixels));
    ASSERT_TRUE(File().Store(0, 8, 8, kPlain, Picture(1)));
    std::vector<uint8_t> b = ReadHostFile(HostCache());
    EXPECT_EQ(Le32(b, Le32(b, 0)), 1u);
    EXPECT_EQ(Le32(b, Le32(b, 0) + 4 + 16), 8u);  // after the empty index
}

TEST_F(RenderCache, DamagedIndexesAndBlobsAreMissesAndAreNotWrittenOver)
{
    ASSERT_TRUE(File().Store(0, 8, 8, kPlain, Picture(1)));
    const std::vector<uint8_t> good = ReadHostFile(HostCache());
    uint32_t index = Le32(good, 0);
    struct Damage {
        const char* what;
        size_t at;
        uint32_t value;
    };
    const Damage damages[] = {
        {"index offset beyond the file", 0, 0x7FFFFF00},
        {"index offset inside the header", 0, 2},
        {"huge record count", index, 0x40000000},
        {"blob beyond the index", index + 4 + 16, index},
        {"blob too short", index + 4 + 20, 3},
        {"wider than stored", index + 4 + 4, 9},
    };
    for (const Damage& d : damages) {
        std::vector<uint8_t> bytes = good;
        PutLe32(bytes, d.at, d.value);
        WriteHostFile(HostCache(), bytes);
        std::vector<uint32_t> pixels;
        EXPECT_FALSE(File().Load(0, 8, 8, kPlain, pixels)) << d.what;
        if (d.at == 0 || d.at == index) {
            EXPECT_FALSE(File().Store(1, 8, 8, kPlain, Picture(2))) << d.what;
            EXPECT_EQ(ReadHostFile(HostCache()), bytes) << d.what;
        }
    }
    // A blob that inflates beyond width x height x 4 is refused too.
    WriteHostFile(HostCache(), good);
    ASSERT_TRUE(File().Store(0, 4, 4, kPlain, Solid(16, 0xFF000000)));
    std::vector<uint8_t> bytes = ReadHostFile(HostCache());
    uint32_t idx = Le32(bytes, 0);
    PutLe32(bytes, idx + 4 + 24 + 4, 2);  // the 4 x 4 record now claims 2 x 4: its blob is too long
    WriteHostFile(HostCache(), bytes);
    std::vector<uint32_t> pixels;
    EXPECT_FALSE(File().Load(0, 2, 4, kPlain, pixels));
}

TEST_F(RenderCache, RenderUsesTheCacheWhenThePackageEntryIsGone)
{
    WritePackage({kRedSquare});
    {
        CSpritePackage first;
        ASSERT_TRUE(first.Open(package.c_str()));
        ASSERT_NE(first.Render(0, 8, 8), -1);
    }
    std::vector<uint8_t> pak = ReadHostFile(HostPackage());
    PutLe32(pak, 4 + 4, 1);  // the entry's block is now one useless byte
    WriteHostFile(HostPackage(), pak);
    CSpritePackage second;
    ASSERT_TRUE(second.Open(package.c_str()));
    EXPECT_NE(second.Render(0, 8, 8), -1);
    EXPECT_EQ(second.Render(0, 9, 9), -1);
}

// The parent renders and caches; a second process, whose package entry can no longer be read,
// must get the picture from the cache.
TEST(RenderCacheAcrossProcesses, SecondProcessReadsWhatTheFirstCached)
{
    const std::u16string package = u"\\Data\\icons.pak";
    if (const char* role = ce::test::ChildRole(); role && std::string(role) == "reader") {
        CSpritePackage sprites;
        bool ok = sprites.Open(package.c_str());
        int handle = ok ? sprites.Render(0, 8, 8) : -1;
        Canvas canvas(8, 8, 0xFFFF);
        sprites.Draw(handle, canvas.Dc(), 0, 0, 0, 0, 0, 0);
        _exit(handle != -1 && canvas.At(4, 4) == 0xF800 ? 0 : 1);
    }
    ce::test::TempDevice device;
    std::vector<uint8_t> bytes;
    ASSERT_TRUE(SpritePackageFile::Build({{16, 16, kRedSquare}}, bytes));
    WriteHostFile(device.Fs("Data/icons.pak"), bytes);
    {
        CSpritePackage sprites;
        ASSERT_TRUE(sprites.Open(package.c_str()));
        ASSERT_NE(sprites.Render(0, 8, 8), -1);
    }
    PutLe32(bytes, 4 + 4, 1);
    WriteHostFile(device.Fs("Data/icons.pak"), bytes);
    ce::test::ChildProcess child("RenderCacheAcrossProcesses.SecondProcessReadsWhatTheFirstCached", "reader");
    EXPECT_EQ(child.Wait(), 0);
}

namespace kill_test {
// A picture per entry that no other entry shares, so that a record leading to another's blob shows.
std::vector<uint32_t> EntryPicture(uint32_t entry)
{
    std::vector<uint32_t> pixels = Solid(64, 0xFF000000 | (entry * 2654435761u >> 8));
    for (size_t i = 0; i < 8; ++i) pixels[i] = 0xFF000000 | entry;
    return pixels;
}

// Checks the file whole: every record in append order, each blob inflating to its entry's picture.
// Returns the record count, or -1 with a test failure.
int CheckWholeFile(const std::vector<uint8_t>& bytes, bool& unfinished)
{
    CacheLayout layout;
    EXPECT_TRUE(ParseCache(bytes, layout));
    if (::testing::Test::HasFailure()) return -1;
    unfinished = bytes.size() > layout.IndexEnd();
    for (size_t i = 0; i < layout.records.size(); ++i) {
        const RenderCacheRecord& r = layout.records[i];
        std::vector<uint8_t> raw;
        EXPECT_EQ(r.entry, i);
        EXPECT_EQ(ZlibCodec::Uncompress(&bytes[r.blobOffset], r.blobSize, raw, 256), 0) << "record " << i;
        EXPECT_EQ(raw.size(), 256u) << "record " << i;
        for (size_t p = 0; p < 64 && raw.size() == 256; ++p) EXPECT_EQ(Le32(raw, p * 4), EntryPicture(r.entry)[p]) << i;
        if (::testing::Test::HasFailure()) return -1;
    }
    return int(layout.records.size());
}

// The child's part: appends pictures from `first` on, and says so on `ready` once the first is in.
[[noreturn]] void AppendUntilKilled(int ready, uint32_t first)
{
    RenderCacheFile file(u"\\Data\\icons.tmp");
    for (uint32_t entry = first; entry < first + 100000; ++entry) {
        if (!file.Store(entry, 8, 8, kPlain, EntryPicture(entry))) _exit(3);
        if (entry == first && write(ready, "+", 1) != 1) _exit(4);
    }
    _exit(0);
}
}  // namespace kill_test

// A child appends pictures one after the other and is killed at a random moment of its appends;
// each time the cache must read whole, with every append that had finished before still there.
// The child is forked, not started afresh, so that 200 kills take seconds: this process must not
// talk to the device before the kills, or the child would share its connection.
TEST(RenderCacheKill, AnAppendKilledAtAnyPointLeavesTheCacheWhole)
{
    using namespace kill_test;
    ce::test::TempDevice device;
    std::filesystem::create_directories(device.Fs("Data"));
    const unsigned seed = std::random_device()();
    std::mt19937 random(seed);
    std::uniform_int_distribution<int> delayMicroseconds(0, 10000);
    RecordProperty("seed", int(seed));
    // A forked sanitized child costs about a quarter of a second, so the suite kills 50 times and
    // scripts/crash-safety as often as it is told (CE_CRASH_KILLS); on a machine so loaded that the
    // kills would outlast the test's time, as many as fit.
    const char* asked = std::getenv("CE_CRASH_KILLS");
    const int wanted = asked != nullptr && std::atoi(asked) > 0 ? std::atoi(asked) : 50;
    const auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(80);
    int committed = 0, unfinishedAppends = 0, compactionsCut = 0, kills = 0;
    for (; kills < wanted && std::chrono::steady_clock::now() < deadline; ++kills) {
        int ready[2];
        ASSERT_EQ(pipe(ready), 0);
        pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(ready[0]);
            AppendUntilKilled(ready[1], uint32_t(committed));
        }
        close(ready[1]);
        // Once the child's first append has finished, it is killed somewhere in one of the next.
        pollfd started{ready[0], POLLIN, 0};
        char sign = 0;
        bool appending = poll(&started, 1, 60000) == 1 && read(ready[0], &sign, 1) == 1;
        close(ready[0]);
        if (appending) std::this_thread::sleep_for(std::chrono::microseconds(delayMicroseconds(random)));
        kill(child, SIGKILL);
        int status = 0;
        waitpid(child, &status, 0);
        ASSERT_TRUE(appending) << "the appender failed with " << status << "; seed " << seed;

        bool unfinished = false;
        int count = CheckWholeFile(ReadHostFile(device.Fs("Data/icons.tmp")), unfinished);
        ASSERT_GE(count, committed + 1) << "kill " << kills << ", seed " << seed;
        committed = count;
        unfinishedAppends += unfinished;
        compactionsCut += std::filesystem::exists(device.Fs("Data/icons~.tmp"));
    }
    const std::u16string cache = u"\\Data\\icons.tmp";
    std::vector<uint32_t> pixels;
    ASSERT_TRUE(RenderCacheFile(cache).Load(uint32_t(committed - 1), 8, 8, kPlain, pixels));
    EXPECT_EQ(pixels, EntryPicture(uint32_t(committed - 1)));
    ASSERT_TRUE(RenderCacheFile(cache).Store(uint32_t(committed), 8, 8, kPlain, EntryPicture(uint32_t(committed))));
    // Where the kills landed: the cut appends and compactions are those that left their traces.
    std::cout << kills << " kills: " << committed << " pictures appended, " << unfinishedAppends
              << " kills left a cut append behind the index, " << compactionsCut << " a cut compaction\n";
    RecordProperty("kills", kills);
    EXPECT_GE(kills, 20);
}
}  // namespace
