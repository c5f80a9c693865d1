// The file layer's power-cut test mode. Once a cut is scheduled, the layer tells it of every change it
// is about to make to a file or a folder; it keeps, per file, what was written since the file's last
// data sync and, per folder, the names made, moved and removed since the folder's last sync. Right
// before the change of the scheduled step it leaves the disk as a power cut may (below) and kills the
// process with SIGKILL, so that a test can check what a reader then finds.
//
// What the cut leaves, chosen per file and per folder from the seed:
//  - a file's unsynced writes: none of them, all, the first few with the next one torn at a 512-byte
//    sector, or a random half of their sectors (a disk's cache writes back in any order);
//  - a folder's unsynced name changes: the first few in order (a journal replays a prefix), the rest
//    undone: a made name is gone, a rename is undone with the file it replaced back in place.
// Syncs that the layer made are kept whole. Changes made by other processes are not seen.
#pragma once

#include <sys/types.h>

#include <atomic>
#include <cstdint>
#include <mutex>
#include <optional>
#include <random>
#include <string>
#include <vector>

#include "files/FileObject.h"

namespace ce::detail {

class PowerCutSimulator {
public:
    static PowerCutSimulator& Instance();
    // The hooks' quick test: false until a cut is scheduled in this process.
    static bool Armed() { return armed_.load(std::memory_order_relaxed); }

    void Schedule(uint32_t step, uint32_t seed);

    // Each call is one step, made right before the change it names (on a regular file; others are
    // ignored). At the scheduled step the call does not return.
    void BeforeWrite(int fd, uint64_t offset, const void* data, size_t size);
    void BeforeWrite(const std::string& path, uint64_t offset, const void* data, size_t size);
    void BeforeTruncate(int fd, uint64_t size);
    void BeforeTruncate(const std::string& path, uint64_t size);
    void BeforeDataSync(int fd);
    void BeforeDataSync(const std::string& path);
    // Names in a folder: a new file, a rename (over the target when it exists), a removal.
    void BeforeCreate(const std::string& path);
    void BeforeRename(const std::string& from, const std::string& to);
    void BeforeUnlink(const std::string& path);
    void BeforeFolderSync(const std::string& folder);
    // A file whose content a power cut takes away (it reads as zeros after it, at its size): memory
    // that a program shares through a file, such as SQLite's log index.
    void ForgetOnPowerCut(const std::string& path);

private:
    struct DataChange {
        uint64_t offset = 0;
        std::string bytes;
        std::optional<uint64_t> truncatedTo;  // a truncation instead of a write
    };
    // A file with changes since its last data sync: its content at that sync and what came after.
    struct FileRecord {
        FileIdentity identity;
        std::string path;  // where the file is now
        std::string synced;
        std::vector<DataChange> changes;
    };
    enum class EntryKind { Create, Rename, Unlink };
    struct EntryChange {
        EntryKind kind;
        std::string folder;
        std::string from;  // the old name of a rename
        std::string to;    // the name made, moved to or removed
        std::optional<FileRecord> removed;  // the file a rename replaced or an unlink removed
    };

    PowerCutSimulator() = default;

    // Counts a step; cuts the power when it is the scheduled one. Called with lock_ held.
    void Step();
    [[noreturn]] void Cut();
    FileRecord* Find(const FileIdentity& identity);
    void RecordWrite(const FileIdentity& identity, const std::string& path, const std::string& readablePath,
                     DataChange change);
    void RecordDataSync(const FileIdentity& identity);
    // The file's record, made from its present content (which a sync has made durable) when it has none.
    FileRecord& Track(const FileIdentity& identity, const std::string& path, const std::string& readablePath);
    // The record of the file at the path taken out of the table, for a name change that takes it away.
    std::optional<FileRecord> TakeAway(const std::string& path);
    std::string ContentAfterCut(const FileRecord& record);
    // A write's bytes in the sectors that `keeps` picks (by sector number from the write's first).
    template <class Keeps>
    static void ApplySectors(std::string& content, const DataChange& change, Keeps keeps);
    static void ApplyWhole(std::string& content, const DataChange& change);
    static void UndoEntry(const EntryChange& change, const std::string& removedContent);

    static std::atomic<bool> armed_;
    std::mutex lock_;
    uint32_t step_ = 0;
    uint32_t cutAt_ = 0;
    std::mt19937 random_;
    std::vector<FileRecord> files_;
    std::vector<EntryChange> entries_;
    std::vector<std::string> forgotten_;
};

}  // namespace ce::detail
