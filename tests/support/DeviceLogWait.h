// Waits (bounded) for lines of a device log, for tests that watch another process through its log.
#pragma once

#include <algorithm>
#include <chrono>
#include <string>
#include <thread>
#include <vector>

#include "ce/device.h"

namespace ce::test {

// How many lines of the log hold the text, once at least `count` of them are there or 20 s have passed.
inline size_t WaitForDeviceLog(const std::string& log, const std::string& text, size_t count = 1) {
    size_t found = 0;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    while (std::chrono::steady_clock::now() < end) {
        std::vector<std::string> lines = ReadDeviceLog(log);
        found = static_cast<size_t>(std::count_if(lines.begin(), lines.end(), [&](const std::string& line) {
            return line.find(text) != std::string::npos;
        }));
        if (found >= count) {
            break;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return found;
}

}  // namespace ce::test
