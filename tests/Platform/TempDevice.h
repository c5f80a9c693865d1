// A throw-away device root for one test: created empty (with fs/), made this process's device, removed
// afterwards.
#pragma once

#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "ce/device.h"

namespace ce::test {

class TempDevice {
public:
    TempDevice() {
        std::string pattern = (std::filesystem::temp_directory_path() / "ce-device-XXXXXX").string();
        root_ = mkdtemp(pattern.data()) ? pattern : std::string();
        EXPECT_FALSE(root_.empty());
        std::filesystem::create_directories(root_ + "/fs");
        SetDeviceRoot(root_);
    }
    ~TempDevice() {
        SetDeviceRoot({});
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }
    TempDevice(const TempDevice&) = delete;
    TempDevice& operator=(const TempDevice&) = delete;

    const std::string& Root() const { return root_; }
    std::string Fs(const std::string& relative = {}) const { return root_ + "/fs/" + relative; }

    void WriteHostFile(const std::string& path, const std::string& contents) const {
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::ofstream(path, std::ios::binary) << contents;
    }

private:
    std::string root_;
};

}  // namespace ce::test
