#include "files/PowerCutSimulator.h"

#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <map>

#include "ce/device.h"
#include "device/AtomicFile.h"
#include "files/DiskSync.h"

namespace ce::detail {
namespace {

constexpr uint64_t kSector = 512;

std::string DescriptorPath(int fd) { return "/proc/self/fd/" + std::to_string(fd); }

std::optional<FileIdentity> RegularFile(const struct stat& info) {
    if (!S_ISREG(info.st_mode)) {
        return std::nullopt;
    }
    return FileIdentity{info.st_dev, info.st_ino};
}

std::optional<FileIdentity> RegularFileOf(int fd) {
    struct stat info {};
    return fstat(fd, &info) == 0 ? RegularFile(info) : std::nullopt;
}

std::optional<FileIdentity> RegularFileAt(const std::string& path) {
    struct stat info {};
    return stat(path.c_str(), &info) == 0 ? RegularFile(info) : std::nullopt;
}

std::string PathOf(int fd) {
    char target[4096];
    ssize_t length = readlink(DescriptorPath(fd).c_str(), target, sizeof target - 1);
    return length > 0 ? std::string(target, static_cast<size_t>(length)) : std::string();
}

enum class Missing { Skip, Create };

// The cut writes with host calls: nothing of it is a step of its own.
void WriteContent(const std::string& path, const std::string& content, Missing missing) {
    int fd = open(path.c_str(), O_WRONLY | O_TRUNC | O_CLOEXEC | (missing == Missing::Create ? O_CREAT : 0), 0644);
    if (fd < 0) {
        return;
    }
    for (size_t done = 0; done < content.size();) {
        ssize_t put = write(fd, content.data() + done, content.size() - done);
        if (put <= 0) {
            break;
        }
        done += static_cast<size_t>(put);
    }
    close(fd);
}

// Without changing the size: another process may have the file mapped.
void ZeroContent(const std::string& path) {
    int fd = open(path.c_str(), O_WRONLY | O_CLOEXEC);
    struct stat info {};
    if (fd < 0) {
        return;
    }
    if (fstat(fd, &info) == 0) {
        std::string zeros(static_cast<size_t>(info.st_size), '\0');
        [[maybe_unused]] ssize_t put = pwrite(fd, zeros.data(), zeros.size(), 0);
    }
    close(fd);
}

size_t SectorCount(uint64_t offset, size_t size) {
    return size == 0 ? 0 : static_cast<size_t>((offset + size - 1) / kSector - offset / kSector + 1);
}

}  // namespace

std::atomic<bool> PowerCutSimulator::armed_{false};

PowerCutSimulator& PowerCutSimulator::Instance() {
    static PowerCutSimulator* simulator = new PowerCutSimulator;  // files may change during exit
    return *simulator;
}

void PowerCutSimulator::Schedule(uint32_t step, uint32_t seed) {
    std::lock_guard guard(lock_);
    step_ = 0;
    cutAt_ = step;
    random_.seed(seed);
    files_.clear();
    entries_.clear();
    forgotten_.clear();
    armed_ = true;
}

void PowerCutSimulator::Step() {
    if (++step_ == cutAt_) {
        Cut();
    }
}

PowerCutSimulator::FileRecord* PowerCutSimulator::Find(const FileIdentity& identity) {
    auto found = std::find_if(files_.begin(), files_.end(),
                              [&](const FileRecord& record) { return record.identity == identity; });
    return found == files_.end() ? nullptr : &*found;
}

PowerCutSimulator::FileRecord& PowerCutSimulator::Track(const FileIdentity& identity, const std::string& path,
                                                        const std::string& readablePath) {
    if (FileRecord* known = Find(identity)) {
        return *known;
    }
    FileRecord record{identity, path, {}, {}};
    ReadWholeFile(readablePath, record.synced);
    files_.push_back(std::move(record));
    return files_.back();
}

std::optional<PowerCutSimulator::FileRecord> PowerCutSimulator::TakeAway(const std::string& path) {
    std::optional<FileIdentity> identity = RegularFileAt(path);
    if (!identity) {
        return std::nullopt;
    }
    FileRecord record = Track(*identity, path, path);
    files_.erase(std::find_if(files_.begin(), files_.end(),
                              [&](const FileRecord& known) { return known.identity == *identity; }));
    return record;
}

void PowerCutSimulator::RecordWrite(const FileIdentity& identity, const std::string& path,
                                    const std::string& readablePath, DataChange change) {
    Step();
    Track(identity, path, readablePath).changes.push_back(std::move(change));
}

void PowerCutSimulator::RecordDataSync(const FileIdentity& identity) {
    Step();
    std::erase_if(files_, [&](const FileRecord& record) { return record.identity == identity; });
}

void PowerCutSimulator::BeforeWrite(int fd, uint64_t offset, const void* data, size_t size) {
    std::lock_guard guard(lock_);
    if (std::optional<FileIdentity> identity = RegularFileOf(fd)) {
        RecordWrite(*identity, PathOf(fd), DescriptorPath(fd),
                    {offset, std::string(static_cast<const char*>(data), size), std::nullopt});
    }
}

void PowerCutSimulator::BeforeWrite(const std::string& path, uint64_t offset, const void* data, size_t size) {
    std::lock_guard guard(lock_);
    if (std::optional<FileIdentity> identity = RegularFileAt(path)) {
        RecordWrite(*identity, path, path, {offset, std::string(static_cast<const char*>(data), size), std::nullopt});
    }
}

void PowerCutSimulator::BeforeTruncate(int fd, uint64_t size) {
    std::lock_guard guard(lock_);
    if (std::optional<FileIdentity> identity = RegularFileOf(fd)) {
        RecordWrite(*identity, PathOf(fd), DescriptorPath(fd), {0, {}, size});
    }
}

void PowerCutSimulator::BeforeTruncate(const std::string& path, uint64_t size) {
    std::lock_guard guard(lock_);
    if (std::optional<FileIdentity> identity = RegularFileAt(path)) {
        RecordWrite(*identity, path, path, {0, {}, size});
    }
}

void PowerCutSimulator::BeforeDataSync(int fd) {
    std::lock_guard guard(lock_);
    if (std::optional<FileIdentity> identity = RegularFileOf(fd)) {
        RecordDataSync(*identity);
    }
}

void PowerCutSimulator::BeforeDataSync(const std::string& path) {
    std::lock_guard guard(lock_);
    if (std::optional<FileIdentity> identity = RegularFileAt(path)) {
        RecordDataSync(*identity);
    }
}

void PowerCutSimulator::ForgetOnPowerCut(const std::string& path) {
    std::lock_guard guard(lock_);
    if (std::find(forgotten_.begin(), forgotten_.end(), path) == forgotten_.end()) {
        forgotten_.push_back(path);
    }
}

void PowerCutSimulator::BeforeCreate(const std::string& path) {
    std::lock_guard guard(lock_);
    Step();
    entries_.push_back({EntryKind::Create, HostFolderOf(path), {}, path, std::nullopt});
}

void PowerCutSimulator::BeforeRename(const std::string& from, const std::string& to) {
    std::lock_guard guard(lock_);
    Step();
    std::optional<FileIdentity> moved = RegularFileAt(from);
    std::optional<FileIdentity> replaced = RegularFileAt(to);
    std::optional<FileRecord> removed = replaced && replaced != moved ? TakeAway(to) : std::nullopt;
    for (FileRecord& record : files_) {
        if (record.path == from) {
            record.path = to;
        }
    }
    entries_.push_back({EntryKind::Rename, HostFolderOf(to), from, to, std::move(removed)});
}

void PowerCutSimulator::BeforeUnlink(const std::string& path) {
    std::lock_guard guard(lock_);
    Step();
    std::optional<FileRecord> removed = TakeAway(path);
    entries_.push_back({EntryKind::Unlink, HostFolderOf(path), {}, path, std::move(removed)});
}

void PowerCutSimulator::BeforeFolderSync(const std::string& folder) {
    std::lock_guard guard(lock_);
    Step();
    std::erase_if(entries_, [&](const EntryChange& change) { return change.folder == folder; });
}

void PowerCutSimulator::ApplyWhole(std::string& content, const DataChange& change) {
    ApplySectors(content, change, [](size_t) { return true; });
}

template <class Keeps>
void PowerCutSimulator::ApplySectors(std::string& content, const DataChange& change, Keeps keeps) {
    if (change.truncatedTo) {
        if (keeps(0)) {
            content.resize(*change.truncatedTo);
        }
        return;
    }
    const uint64_t end = change.offset + change.bytes.size();
    for (size_t sector = 0; sector < SectorCount(change.offset, change.bytes.size()); ++sector) {
        uint64_t begin = std::max(change.offset, (change.offset / kSector + sector) * kSector);
        uint64_t stop = std::min(end, (change.offset / kSector + sector + 1) * kSector);
        if (!keeps(sector)) {
            continue;
        }
        if (content.size() < stop) {
            content.resize(stop);  // a gap before a kept sector reads as zeros
        }
        std::copy_n(change.bytes.begin() + static_cast<ptrdiff_t>(begin - change.offset), stop - begin,
                    content.begin() + static_cast<ptrdiff_t>(begin));
    }
}

std::string PowerCutSimulator::ContentAfterCut(const FileRecord& record) {
    std::string content = record.synced;
    const std::vector<DataChange>& changes = record.changes;
    if (changes.empty()) {
        return content;
    }
    switch (std::uniform_int_distribution<int>(0, 3)(random_)) {
        case 0:  // nothing of it reached the disk
            break;
        case 1:  // all of it did
            for (const DataChange& change : changes) {
                ApplyWhole(content, change);
            }
            break;
        case 2: {  // in order up to a write cut short
            size_t whole = std::uniform_int_distribution<size_t>(0, changes.size() - 1)(random_);
            for (size_t i = 0; i < whole; ++i) {
                ApplyWhole(content, changes[i]);
            }
            const DataChange& torn = changes[whole];
            size_t sectors = std::max<size_t>(SectorCount(torn.offset, torn.bytes.size()), 1);
            size_t kept = std::uniform_int_distribution<size_t>(0, sectors - 1)(random_);
            ApplySectors(content, torn, [kept](size_t sector) { return sector < kept; });
            break;
        }
        default: {  // any sectors, in any order
            std::bernoulli_distribution coin(0.5);
            for (const DataChange& change : changes) {
                ApplySectors(content, change, [&](size_t) { return coin(random_); });
            }
            break;
        }
    }
    return content;
}

void PowerCutSimulator::UndoEntry(const EntryChange& change, const std::string& removedContent) {
    switch (change.kind) {
        case EntryKind::Create:
            unlink(change.to.c_str());
            break;
        case EntryKind::Rename:
            rename(change.to.c_str(), change.from.c_str());
            if (change.removed) {
                WriteContent(change.to, removedContent, Missing::Create);
            }
            break;
        case EntryKind::Unlink:
            if (change.removed) {
                WriteContent(change.to, removedContent, Missing::Create);
            }
            break;
    }
}

// Files first, where they are now; then each folder's name changes undone from its last kept one on,
// the latest first, so that a rename undone takes back a file already cut.
void PowerCutSimulator::Cut() {
    for (const FileRecord& record : files_) {
        WriteContent(record.path, ContentAfterCut(record), Missing::Skip);
    }
    std::vector<std::string> removedContent(entries_.size());
    std::map<std::string, size_t> changesIn;
    std::vector<size_t> positionInFolder(entries_.size());
    for (size_t i = 0; i < entries_.size(); ++i) {
        if (entries_[i].removed) {
            removedContent[i] = ContentAfterCut(*entries_[i].removed);
        }
        positionInFolder[i] = changesIn[entries_[i].folder]++;
    }
    std::map<std::string, size_t> keptIn;
    for (const auto& [folder, count] : changesIn) {
        keptIn[folder] = std::uniform_int_distribution<size_t>(0, count)(random_);
    }
    for (size_t i = entries_.size(); i-- > 0;) {
        if (positionInFolder[i] >= keptIn[entries_[i].folder]) {
            UndoEntry(entries_[i], removedContent[i]);
        }
    }
    for (const std::string& path : forgotten_) {
        ZeroContent(path);
    }
    kill(getpid(), SIGKILL);
    for (;;) {
        pause();
    }
}

}  // namespace ce::detail

namespace ce {

void SchedulePowerCut(uint32_t step, uint32_t seed) { detail::PowerCutSimulator::Instance().Schedule(step, seed); }

}  // namespace ce
