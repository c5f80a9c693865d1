// FILETIME counts 100-ns intervals since 1601-01-01 UTC; the host counts from 1970.
#pragma once

#include <ctime>

#include "ce/kernel.h"

namespace ce::detail {

constexpr uint64_t kFileTimeOf1970 = 116444736000000000ULL;

inline uint64_t FileTimeValue(const FILETIME& time) {
    return (static_cast<uint64_t>(time.dwHighDateTime) << 32) | time.dwLowDateTime;
}

inline FILETIME MakeFileTime(uint64_t value) {
    return FILETIME{static_cast<DWORD>(value), static_cast<DWORD>(value >> 32)};
}

inline FILETIME FileTimeFromUnixMs(int64_t unixMs) {
    return MakeFileTime(static_cast<uint64_t>(unixMs * 10000 + static_cast<int64_t>(kFileTimeOf1970)));
}

// Rounds down, also before 1970.
inline int64_t UnixMsFromFileTime(const FILETIME& time) {
    int64_t value = static_cast<int64_t>(FileTimeValue(time)) - static_cast<int64_t>(kFileTimeOf1970);
    return value >= 0 ? value / 10000 : -((-value + 9999) / 10000);
}

inline FILETIME FileTimeFromTimespec(const timespec& time) {
    int64_t value = (static_cast<int64_t>(time.tv_sec) * 10000000 + time.tv_nsec / 100) +
                    static_cast<int64_t>(kFileTimeOf1970);
    return MakeFileTime(value < 0 ? 0 : static_cast<uint64_t>(value));
}

inline timespec TimespecFromFileTime(const FILETIME& time) {
    int64_t value = static_cast<int64_t>(FileTimeValue(time)) - static_cast<int64_t>(kFileTimeOf1970);
    int64_t seconds = value / 10000000;
    int64_t rest = value % 10000000;
    if (rest < 0) {
        rest += 10000000;
        --seconds;
    }
    return timespec{static_cast<time_t>(seconds), static_cast<long>(rest * 100)};
}

}  // namespace ce::detail
