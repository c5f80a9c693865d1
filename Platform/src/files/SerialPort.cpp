#include "files/SerialPort.h"

#include <poll.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdint>

#include "ce/device.h"

namespace ce::detail {
namespace {

constexpr int kVirtualClockWaitMs = 50;

uint64_t RealMs() {
    timespec now{};
    clock_gettime(CLOCK_MONOTONIC, &now);
    return static_cast<uint64_t>(now.tv_sec) * 1000 + static_cast<uint64_t>(now.tv_nsec) / 1000000;
}

}  // namespace

void SerialPort::SetTimeouts(const COMMTIMEOUTS& timeouts) {
    std::lock_guard guard(lock_);
    timeouts_ = timeouts;
}

COMMTIMEOUTS SerialPort::Timeouts() const {
    std::lock_guard guard(lock_);
    return timeouts_;
}

void SerialPort::SetMask(DWORD mask) {
    std::lock_guard guard(lock_);
    mask_ = mask;
}

DWORD SerialPort::Mask() const {
    std::lock_guard guard(lock_);
    return mask_;
}

int SerialPort::NextWait(DWORD got, DWORD toRead, uint64_t started, uint64_t lastByte) const {
    COMMTIMEOUTS t = Timeouts();
    if (t.ReadIntervalTimeout == MAXDWORD && t.ReadTotalTimeoutMultiplier == 0 &&
        t.ReadTotalTimeoutConstant == 0) {
        return 0;  // return at once with what has arrived
    }
    constexpr int64_t kNoLimit = INT64_MAX;
    int64_t wait = kNoLimit;
    uint64_t total = uint64_t{t.ReadTotalTimeoutMultiplier} * toRead + t.ReadTotalTimeoutConstant;
    int64_t now = static_cast<int64_t>(RealMs());
    if (total > 0) {
        wait = static_cast<int64_t>(started + total) - now;
    }
    if (got > 0 && t.ReadIntervalTimeout > 0 && t.ReadIntervalTimeout != MAXDWORD) {
        wait = std::min(wait, static_cast<int64_t>(lastByte + t.ReadIntervalTimeout) - now);
    }
    if (wait <= 0) {
        return 0;
    }
    if (VirtualClockEnabled()) {
        wait = std::min<int64_t>(wait, kVirtualClockWaitMs);
    }
    if (wait == kNoLimit) {
        return -1;
    }
    return static_cast<int>(std::min<int64_t>(wait, 3600000));
}

DWORD SerialPort::Read(void* buffer, DWORD toRead, DWORD& read) {
    read = 0;
    uint64_t started = RealMs();
    uint64_t lastByte = started;
    bool waitedOnce = false;
    while (read < toRead) {
        ssize_t got = ::read(Descriptor(), static_cast<char*>(buffer) + read, toRead - read);
        if (got > 0) {
            read += static_cast<DWORD>(got);
            lastByte = RealMs();
            continue;
        }
        if (got == 0 || (got < 0 && errno == EIO)) {
            break;  // the other end hung up: what came is all there is
        }
        if (errno != EAGAIN && errno != EINTR) {
            return ERROR_READ_FAULT;
        }
        int wait = NextWait(read, toRead, started, lastByte);
        // Under the virtual clock one short wait is all a read gets.
        if (wait == 0 || (waitedOnce && VirtualClockEnabled())) {
            break;
        }
        pollfd ready{Descriptor(), POLLIN, 0};
        waitedOnce = true;
        if (poll(&ready, 1, wait) == 0 && !VirtualClockEnabled()) {
            continue;  // the time-out is checked again above
        }
    }
    return 0;
}

std::optional<std::string> SerialDeviceFor(std::u16string_view name) {
    size_t letters = 0;
    while (letters < name.size() && ((name[letters] | 0x20) >= u'a' && (name[letters] | 0x20) <= u'z')) {
        ++letters;
    }
    size_t digits = letters;
    while (digits < name.size() && name[digits] >= u'0' && name[digits] <= u'9') {
        ++digits;
    }
    if (letters != 3 || digits == letters || digits - letters > 2 || digits + 1 != name.size() ||
        name.back() != u':') {
        return std::nullopt;
    }
    std::string key = ToUtf8(name.substr(0, digits));
    std::transform(key.begin(), key.end(), key.begin(), [](char c) { return static_cast<char>(toupper(c)); });
    return ProfileString("serial", key);
}

}  // namespace ce::detail
