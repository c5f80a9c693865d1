// A throw-away device with the program installed in "\Program Files\Skyvane": the install folder
// recorded in the registry as the installer does, and helpers to put files there.
#pragma once

#include <string>

#include "Platform/TempDevice.h"
#include "ce/registry.h"

namespace framework::test {

inline constexpr char16_t kInstallDir[] = u"\\Program Files\\Skyvane";

class InstalledDevice : public ce::test::TempDevice {
public:
    InstalledDevice() {
        SetInstallDir(kInstallDir);
        std::filesystem::create_directories(Fs("Program Files/Skyvane/Loc"));
    }

    static void SetInstallDir(std::u16string_view folder) {
        HKEY key = nullptr;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Apps\\Quillon Software Skyvane", 0,
                                                 nullptr, 0, 0, nullptr, &key, nullptr));
        const std::u16string value(folder);
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExW(key, u"InstallDir", 0, REG_SZ,
                                                reinterpret_cast<const BYTE*>(value.c_str()),
                                                static_cast<DWORD>((value.size() + 1) * sizeof(char16_t))));
        RegCloseKey(key);
    }

    // A host path below the install folder ("Loc/loc.0409.txt").
    std::string Installed(const std::string& relative) const { return Fs("Program Files/Skyvane/" + relative); }

    // Writes UTF-16 LE text, as the language files are stored.
    void WriteUtf16(const std::string& relative, std::u16string_view text, bool byteOrderMark = true) const {
        std::string bytes;
        if (byteOrderMark) {
            bytes += "\xFF\xFE";
        }
        for (char16_t c : text) {
            bytes += static_cast<char>(c & 0xFF);
            bytes += static_cast<char>(c >> 8);
        }
        WriteHostFile(Installed(relative), bytes);
    }

    static void SetProfile(const std::string& key, const std::string& value) {
        ASSERT_TRUE(ce::SetProfileString("device", key, value));
        ce::ReloadProfile();
    }
};

}  // namespace framework::test
