// The device a fuzz target runs on: one throw-away root for the whole run, the program installed in
// "\Program Files\Skyvane" as the installer records it, and a way to put an input where the program
// reads it.
#pragma once

#include <stdlib.h>

#include <cstdint>
#include <filesystem>
#include <fstream>
#include <string>

#include "ce/device.h"
#include "ce/registry.h"

namespace fuzz {

class FuzzDevice {
public:
    static FuzzDevice& Get() {
        static FuzzDevice device;
        return device;
    }

    // The host path of the device path below \ (forward slashes).
    std::string HostPath(const std::string& relative) const { return root_ + "/fs/" + relative; }

    // Replaces the file at the device path below \ (forward slashes) with the bytes.
    void Write(const std::string& relative, const uint8_t* data, size_t size) const {
        std::filesystem::path path = HostPath(relative);
        std::filesystem::create_directories(path.parent_path());
        std::ofstream(path, std::ios::binary | std::ios::trunc).write(reinterpret_cast<const char*>(data),
                                                                     static_cast<std::streamsize>(size));
    }

    void Remove(const std::string& relative) const {
        std::error_code ignored;
        std::filesystem::remove(HostPath(relative), ignored);
    }

private:
    FuzzDevice() {
        std::string pattern = (std::filesystem::temp_directory_path() / "ce-fuzz-XXXXXX").string();
        root_ = mkdtemp(pattern.data()) ? pattern : std::string("/tmp/ce-fuzz");
        std::filesystem::create_directories(root_ + "/fs/Program Files/Skyvane/Loc");
        ce::SetDeviceRoot(root_);
        HKEY key = nullptr;
        if (RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Apps\\Quillon Software Skyvane", 0, nullptr, 0, 0, nullptr,
                            &key, nullptr) == ERROR_SUCCESS) {
            const std::u16string folder = u"\\Program Files\\Skyvane";
            RegSetValueExW(key, u"InstallDir", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                           static_cast<DWORD>((folder.size() + 1) * sizeof(char16_t)));
            RegCloseKey(key);
        }
    }
    ~FuzzDevice() {
        ce::SetDeviceRoot({});
        std::error_code ignored;
        std::filesystem::remove_all(root_, ignored);
    }

    std::string root_;
};

}  // namespace fuzz
