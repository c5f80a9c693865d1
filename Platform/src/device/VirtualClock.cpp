#include "device/VirtualClock.h"

#include <fcntl.h>
#include <sys/mman.h>
#include <unistd.h>

#include <atomic>
#include <ctime>
#include <mutex>

#include "ce/device.h"
#include "device/AtomicFile.h"

namespace ce {
namespace {

// The layout of <root>/run/clock. All zero (a new file) is a valid state: real clock, no offset.
struct SharedClock {
    std::atomic<uint32_t> enabled;
    uint32_t reserved;
    std::atomic<int64_t> virtualUnixMs;
    std::atomic<int64_t> virtualTickMs;
    std::atomic<int64_t> realOffsetMs;  // what SetSystemTime put on the real clock
};
static_assert(std::atomic<int64_t>::is_always_lock_free, "the clock is shared between processes");
constexpr size_t kClockFileSize = 4096;

std::atomic<SharedClock*> currentClock{nullptr};
std::mutex mapLock;

SharedClock* MapClockFile(const std::string& root) {
    if (!detail::MakeFolders(root + "/run")) {
        return nullptr;
    }
    int fd = open((root + "/run/clock").c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        return nullptr;
    }
    // Growing to the full size only adds zeros, so processes racing here agree on the contents.
    off_t size = lseek(fd, 0, SEEK_END);
    void* mapped = MAP_FAILED;
    if (size >= static_cast<off_t>(kClockFileSize) || ftruncate(fd, kClockFileSize) == 0) {
        mapped = mmap(nullptr, kClockFileSize, PROT_READ | PROT_WRITE, MAP_SHARED, fd, 0);
    }
    close(fd);
    return mapped == MAP_FAILED ? nullptr : static_cast<SharedClock*>(mapped);
}

SharedClock& Clock() {
    if (SharedClock* clock = currentClock.load(std::memory_order_acquire)) {
        return *clock;
    }
    std::lock_guard guard(mapLock);
    SharedClock* clock = currentClock.load(std::memory_order_acquire);
    if (clock == nullptr) {
        std::string root = DeviceRoot();
        clock = root.empty() ? nullptr : MapClockFile(root);
        if (clock == nullptr) {
            // No device (or its run folder cannot be written): this process keeps a clock of its own.
            static SharedClock processClock{};
            clock = &processClock;
        }
        currentClock.store(clock, std::memory_order_release);
    }
    return *clock;
}

int64_t ReadHostClock(clockid_t id) {
    timespec now{};
    clock_gettime(id, &now);
    return static_cast<int64_t>(now.tv_sec) * 1000 + now.tv_nsec / 1000000;
}

bool IsVirtual(SharedClock& clock) {
    return clock.enabled.load(std::memory_order_acquire) != 0;
}

}  // namespace

namespace detail {
// A mapping in use by another thread stays valid: it is left mapped rather than unmapped under it.
void ForgetClockFile() {
    std::lock_guard guard(mapLock);
    currentClock.store(nullptr, std::memory_order_release);
}
}  // namespace detail

bool VirtualClockEnabled() {
    return IsVirtual(Clock());
}

void EnableVirtualClock(uint64_t startUnixMs) {
    SharedClock& clock = Clock();
    int64_t tick = static_cast<int64_t>(ClockTickMs());
    clock.virtualUnixMs.store(static_cast<int64_t>(startUnixMs));
    clock.virtualTickMs.store(tick);
    clock.enabled.store(1, std::memory_order_release);
}

void DisableVirtualClock() {
    Clock().enabled.store(0, std::memory_order_release);
}

void AdvanceVirtualClock(uint64_t milliseconds) {
    SharedClock& clock = Clock();
    clock.virtualUnixMs.fetch_add(static_cast<int64_t>(milliseconds));
    clock.virtualTickMs.fetch_add(static_cast<int64_t>(milliseconds));
}

uint64_t ClockUnixMs() {
    SharedClock& clock = Clock();
    if (IsVirtual(clock)) {
        return static_cast<uint64_t>(clock.virtualUnixMs.load());
    }
    return static_cast<uint64_t>(ReadHostClock(CLOCK_REALTIME) + clock.realOffsetMs.load());
}

uint64_t ClockTickMs() {
    SharedClock& clock = Clock();
    if (IsVirtual(clock)) {
        return static_cast<uint64_t>(clock.virtualTickMs.load());
    }
    return static_cast<uint64_t>(ReadHostClock(CLOCK_MONOTONIC));
}

void SetClockUnixMs(uint64_t unixMs) {
    SharedClock& clock = Clock();
    if (IsVirtual(clock)) {
        clock.virtualUnixMs.store(static_cast<int64_t>(unixMs));
    } else {
        clock.realOffsetMs.store(static_cast<int64_t>(unixMs) - ReadHostClock(CLOCK_REALTIME));
    }
}

}  // namespace ce
