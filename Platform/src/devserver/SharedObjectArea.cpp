#include "devserver/SharedObjectArea.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cassert>
#include <chrono>

namespace ce::devserver {

struct SharedObjectArea::Layout {
    static constexpr uint32_t kMagic = 0x4a424f44;  // "DOBJ"
    uint32_t magic;
    uint32_t slotCount;
    uint64_t stamp;
    SharedSlot slots[kSlotCount];
};

namespace {

void* MapFile(int fd, size_t size) {
    void* memory = mmap(nullptr, size, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    return memory == MAP_FAILED ? nullptr : memory;
}

// Differs from the stamp of every earlier server of the device (they ran at other times or pids).
uint64_t NewStamp() {
    auto now = std::chrono::system_clock::now().time_since_epoch();
    return static_cast<uint64_t>(std::chrono::duration_cast<std::chrono::nanoseconds>(now).count()) ^
           (static_cast<uint64_t>(getpid()) << 40);
}

}  // namespace

std::shared_ptr<SharedObjectArea> SharedObjectArea::Create(const std::string& runFolder) {
    std::string path = runFolder + "/" + kObjectAreaName;
    std::string fresh = path + ".new";
    unlink(fresh.c_str());
    int fd = open(fresh.c_str(), O_RDWR | O_CREAT | O_EXCL | O_CLOEXEC, 0600);
    if (fd < 0) {
        return nullptr;
    }
    const size_t size = sizeof(Layout);
    void* memory = ftruncate(fd, static_cast<off_t>(size)) == 0 ? MapFile(fd, size) : nullptr;
    close(fd);
    if (memory == nullptr) {
        unlink(fresh.c_str());
        return nullptr;
    }
    std::shared_ptr<SharedObjectArea> area(new SharedObjectArea(memory, size));
    Layout& layout = area->Contents();
    for (SharedSlot& slot : layout.slots) {
        slot.InitializeGuard();
    }
    layout.slotCount = kSlotCount;
    layout.stamp = NewStamp();
    layout.magic = Layout::kMagic;
    // Processes of an earlier server keep the area they mapped; new ones find only this one.
    if (rename(fresh.c_str(), path.c_str()) != 0) {
        unlink(fresh.c_str());
        return nullptr;
    }
    return area;
}

std::shared_ptr<SharedObjectArea> SharedObjectArea::Map(const std::string& runFolder) {
    int fd = open((runFolder + "/" + kObjectAreaName).c_str(), O_RDWR | O_CLOEXEC);
    if (fd < 0) {
        return nullptr;
    }
    struct stat info {};
    const size_t size = sizeof(Layout);
    void* memory = fstat(fd, &info) == 0 && static_cast<size_t>(info.st_size) == size ? MapFile(fd, size) : nullptr;
    close(fd);
    if (memory == nullptr) {
        return nullptr;
    }
    std::shared_ptr<SharedObjectArea> area(new SharedObjectArea(memory, size));
    const Layout& layout = area->Contents();
    if (layout.magic != Layout::kMagic || layout.slotCount != kSlotCount) {
        return nullptr;  // another build's area, or one still being made
    }
    return area;
}

SharedObjectArea::~SharedObjectArea() {
    munmap(memory_, size_);
}

SharedObjectArea::Layout& SharedObjectArea::Contents() const {
    return *static_cast<Layout*>(memory_);
}

uint64_t SharedObjectArea::Stamp() const {
    return Contents().stamp;
}

SharedSlot& SharedObjectArea::Slot(uint32_t index) {
    assert(index < kSlotCount);
    return Contents().slots[index];
}

}  // namespace ce::devserver
