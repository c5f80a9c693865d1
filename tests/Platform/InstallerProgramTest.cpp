// The installer stand-in "\Windows\wceload.exe" and its package format: packages are written and read
// back whole, damage is found, and the real program installs a good package and leaves the device as it
// was for a damaged or hostile one.
#include <gtest/gtest.h>
#include <zlib.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "InstallPackage.h"
#include "Platform/TempDevice.h"
#include "ce/device.h"
#include "ce/kernel.h"
#include "ce/registry.h"

namespace {

using installpkg::Record;
using installpkg::RecordKind;

const std::vector<Record> kGoodRecords = {
    {RecordKind::Application, "Sample Maker Tool", {}},
    {RecordKind::Folder, "\\Program Files\\Tool\\Data", {}},
    {RecordKind::File, "\\Program Files\\Tool\\Tool.txt", "first file\r\n"},
    {RecordKind::File, "\\Program Files\\Tool\\Data\\values.bin", std::string("\0\1\2\3", 4)},
};

TEST(InstallPackageFormat, ReadsBackWhatWasWrittenAndIgnoresBytesAfterItsSize) {
    std::string package = installpkg::Write(kGoodRecords);
    ASSERT_FALSE(package.empty());
    EXPECT_EQ(package.substr(0, 4), "DIPK");
    uint32_t total = static_cast<uint8_t>(package[8]) | static_cast<uint8_t>(package[9]) << 8 |
                     static_cast<uint8_t>(package[10]) << 16 | static_cast<uint32_t>(static_cast<uint8_t>(package[11])) << 24;
    EXPECT_EQ(total, package.size()) << "the total size lies at offset 8, where old systems cut the file";

    std::vector<Record> records;
    std::string error;
    ASSERT_TRUE(installpkg::Read(package + "appended signature", &records, &error)) << error;
    ASSERT_EQ(records.size(), kGoodRecords.size());
    for (size_t i = 0; i < records.size(); ++i) {
        EXPECT_EQ(records[i].kind, kGoodRecords[i].kind);
        EXPECT_EQ(records[i].name, kGoodRecords[i].name);
        EXPECT_EQ(records[i].data, kGoodRecords[i].data);
    }
    EXPECT_TRUE(installpkg::Write({{RecordKind::File, "", "no name"}}).empty());
    EXPECT_TRUE(installpkg::Write({{RecordKind::File, std::string(600, 'n'), ""}}).empty());
}

// Makes the header's checksum match a body that a test changed.
void SetChecksum(std::string& package) {
    uLong crc = crc32(0L, Z_NULL, 0);
    crc = crc32(crc, reinterpret_cast<const Bytef*>(package.data()) + installpkg::kHeaderSize,
                static_cast<uInt>(package.size() - installpkg::kHeaderSize));
    for (int i = 0; i < 4; ++i) {
        package[16 + i] = static_cast<char>((crc >> (8 * i)) & 0xFF);
    }
}

TEST(InstallPackageFormat, RefusesCutDamagedAndHostilePackagesWithAReason) {
    const std::string package = installpkg::Write(kGoodRecords);
    std::vector<Record> records;
    std::string error;
    auto refused = [&](const std::string& bytes, const std::string& reasonPart) {
        error.clear();
        bool read = installpkg::Read(bytes, &records, &error);
        EXPECT_NE(error.find(reasonPart), std::string::npos) << error;
        return !read && records.empty();
    };
    EXPECT_TRUE(refused(package.substr(0, package.size() - 1), "cut off"));
    EXPECT_TRUE(refused(package.substr(0, 10), "shorter than its header"));
    EXPECT_TRUE(refused("MSCF" + package.substr(4), "not an install package"));

    std::string flipped = package;
    flipped[flipped.size() / 2] ^= 0x40;
    EXPECT_TRUE(refused(flipped, "damaged"));

    // A record that claims more bytes than the package holds, under a checksum that matches.
    std::string hostile = installpkg::Write({{RecordKind::File, "\\a.txt", "abcdef"}});
    hostile[installpkg::kHeaderSize + 1 + 2 + 6 + 3] = 0x7F;
    SetChecksum(hostile);
    EXPECT_TRUE(refused(hostile, "runs past the end"));

    std::string unknownKind = installpkg::Write({{static_cast<RecordKind>(9), "\\x", ""}});
    EXPECT_TRUE(refused(unknownKind, "unknown kind"));
}

class InstallerProgram : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(CreateDirectoryW(u"\\Windows", nullptr));
        ASSERT_TRUE(CreateDirectoryW(u"\\Temp", nullptr));
        std::filesystem::create_symlink(CE_INSTALLER_PROGRAM, device.Fs("Windows/wceload.exe"));
        std::filesystem::create_symlink(CE_TEST_PROGRAM, device.Fs("Windows/helper.exe"));
    }

    void PutPackage(const std::string& bytes) { device.WriteHostFile(device.Fs("Temp/Tool.cab"), bytes); }

    // Runs the installer with this command line to its end; its exit code.
    DWORD RunInstaller(const std::u16string& commandLine) {
        std::u16string line = commandLine;
        PROCESS_INFORMATION process = {};
        if (!CreateProcessW(u"\\Windows\\wceload.exe", line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                            nullptr, &process)) {
            return 99;
        }
        EXPECT_EQ(WaitForSingleObject(process.hProcess, 30000), WAIT_OBJECT_0);
        DWORD exitCode = 99;
        GetExitCodeProcess(process.hProcess, &exitCode);
        CloseHandle(process.hThread);
        CloseHandle(process.hProcess);
        return exitCode;
    }

    bool Exists(const std::string& relative) { return std::filesystem::exists(device.Fs(relative)); }
    std::string Read(const std::string& relative) {
        std::ifstream in(device.Fs(relative), std::ios::binary);
        return std::string(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
    }
    DWORD InstalledMark(const char16_t* app) {
        HKEY key = nullptr;
        DWORD value = 0;
        DWORD size = sizeof value;
        std::u16string path = std::u16string(u"Software\\Apps\\") + app;
        if (RegOpenKeyExW(HKEY_LOCAL_MACHINE, path.c_str(), 0, 0, &key) == ERROR_SUCCESS) {
            RegQueryValueExW(key, u"Instl", nullptr, nullptr, reinterpret_cast<BYTE*>(&value), &size);
            RegCloseKey(key);
        }
        return value;
    }
    std::string LastLog() {
        std::vector<std::string> lines = ce::ReadDeviceLog("installer");
        return lines.empty() ? std::string() : lines.back();
    }

    ce::test::TempDevice device;
};

TEST_F(InstallerProgram, InstallsFilesFoldersAndItsMarkThenRunsTheProgramsOfThePackage) {
    std::vector<Record> records = kGoodRecords;
    records.push_back({RecordKind::Run, "\\Windows\\helper.exe", "exit 7"});
    PutPackage(installpkg::Write(records));

    EXPECT_EQ(RunInstaller(u" /noui \"\\Temp\\Tool.cab\" "), 0u);
    EXPECT_EQ(Read("Program Files/Tool/Tool.txt"), "first file\r\n");
    EXPECT_EQ(Read("Program Files/Tool/Data/values.bin"), std::string("\0\1\2\3", 4));
    EXPECT_FALSE(Exists("Program Files/Tool/Tool.txt.tmp"));
    EXPECT_EQ(InstalledMark(u"Sample Maker Tool"), 1u);

    std::vector<std::string> log = ce::ReadDeviceLog("installer");
    ASSERT_EQ(log.size(), 3u);
    EXPECT_NE(log[0].find(R"("event":"handed")"), std::string::npos) << log[0];
    EXPECT_NE(log[0].find(R"("package":"\\Temp\\Tool.cab")"), std::string::npos) << log[0];
    EXPECT_NE(log[0].find(R"("quiet":"1")"), std::string::npos) << log[0];
    EXPECT_NE(log[1].find(R"("exit_code":"7")"), std::string::npos) << log[1];
    EXPECT_NE(log[2].find(R"("event":"installed")"), std::string::npos) << log[2];
}

TEST_F(InstallerProgram, ReplacesAnInstalledFileWhole) {
    device.WriteHostFile(device.Fs("Program Files/Tool/Tool.txt"), "old version");
    PutPackage(installpkg::Write(kGoodRecords));
    EXPECT_EQ(RunInstaller(u"\"\\Temp\\Tool.cab\""), 0u);
    EXPECT_EQ(Read("Program Files/Tool/Tool.txt"), "first file\r\n");
    EXPECT_NE(ce::ReadDeviceLog("installer").front().find(R"("quiet":"0")"), std::string::npos);
}

TEST_F(InstallerProgram, ADamagedOrHostilePackageChangesNothing) {
    device.WriteHostFile(device.Fs("Program Files/Tool/Tool.txt"), "old version");
    std::string good = installpkg::Write(kGoodRecords);
    std::string damaged = good;
    damaged[damaged.size() - 2] ^= 0x01;
    const std::vector<std::pair<std::string, std::string>> cases = {
        {good.substr(0, good.size() / 2), "cut off"},
        {damaged, "damaged"},
        {installpkg::Write({{RecordKind::Folder, "\\Program Files\\New", {}},
                            {RecordKind::File, "\\Program Files\\..\\..\\escape.txt", "x"}}),
         "unusable device path"},
        {installpkg::Write({{RecordKind::Folder, "\\Program Files\\New", {}},
                            {RecordKind::File, "relative.txt", "x"}}),
         "unusable device path"},
    };
    for (const auto& [bytes, reason] : cases) {
        PutPackage(bytes);
        EXPECT_EQ(RunInstaller(u"/noui \"\\Temp\\Tool.cab\""), 1u) << reason;
        EXPECT_NE(LastLog().find(reason), std::string::npos) << LastLog();
        EXPECT_EQ(Read("Program Files/Tool/Tool.txt"), "old version");
        EXPECT_FALSE(Exists("Program Files/New"));
        EXPECT_FALSE(Exists("Program Files/Tool/Data"));
        EXPECT_EQ(InstalledMark(u"Sample Maker Tool"), 0u);
    }
    EXPECT_FALSE(Exists("escape.txt"));
}

TEST_F(InstallerProgram, AMissingPackageOrNoneNamedIsAClearFailure) {
    EXPECT_EQ(RunInstaller(u"\"\\Temp\\None.cab\""), 1u);
    EXPECT_NE(LastLog().find("cannot be opened"), std::string::npos) << LastLog();
    EXPECT_EQ(RunInstaller(u"/noui"), 2u);
    EXPECT_NE(LastLog().find("no package was named"), std::string::npos) << LastLog();
}

}  // namespace
