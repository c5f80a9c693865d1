// A throw-away device with the program's install folder: "\Program Files\Skyvane", registered as the
// install folder the way the installer registers it.
#pragma once

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "Platform/TempDevice.h"
#include "ce/registry.h"

namespace ce::test {

class InstalledDevice : public TempDevice {
public:
    static constexpr const char16_t* kInstallDir = u"\\Program Files\\Skyvane";

    InstalledDevice() {
        std::filesystem::create_directories(InstallFolder());
        HKEY key = nullptr;
        EXPECT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Apps\\Quillon Software Skyvane", 0, nullptr, 0, 0,
                                  nullptr, &key, nullptr),
                  ERROR_SUCCESS);
        auto bytes = static_cast<DWORD>((std::char_traits<char16_t>::length(kInstallDir) + 1) * sizeof(char16_t));
        EXPECT_EQ(RegSetValueExW(key, u"InstallDir", 0, REG_SZ, reinterpret_cast<const BYTE*>(kInstallDir), bytes),
                  ERROR_SUCCESS);
        RegCloseKey(key);
    }

    // Host paths inside the install folder.
    std::string InstallFolder(const std::string& relative = {}) const { return Fs("Program Files/Skyvane/" + relative); }

    std::string ReadHostFile(const std::string& path) const {
        std::ifstream in(path, std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
};

}  // namespace ce::test
