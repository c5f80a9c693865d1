#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <string>

#include "Platform/TempDevice.h"
#include "ce/kernel.h"

namespace {

using ce::test::TempDevice;

std::string ReadHost(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class ReplacingMove : public ::testing::Test {
protected:
    void SetUp() override {
        device.WriteHostFile(device.Fs("Temp/new.txt"), "new");
        device.WriteHostFile(device.Fs("Temp/Old.txt"), "old");
    }
    TempDevice device;
};

TEST_F(ReplacingMove, ReplacesTheOldFileUnderItsOwnSpelling) {
    EXPECT_FALSE(MoveFileExW(u"\\Temp\\new.txt", u"\\Temp\\old.txt", 0));
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    ASSERT_TRUE(MoveFileExW(u"\\Temp\\new.txt", u"\\Temp\\OLD.TXT", MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(ReadHost(device.Fs("Temp/Old.txt")), "new");
    EXPECT_FALSE(std::filesystem::exists(device.Fs("Temp/new.txt")));
    EXPECT_FALSE(std::filesystem::exists(device.Fs("Temp/OLD.TXT")));

    // Without an old file it is a plain rename.
    ASSERT_TRUE(MoveFileExW(u"\\Temp\\Old.txt", u"\\Temp\\fresh.txt", MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(ReadHost(device.Fs("Temp/fresh.txt")), "new");
}

TEST_F(ReplacingMove, KeepsTheOldFileWhenItCannotBeReplaced) {
    HANDLE reader = CreateFileW(u"\\Temp\\Old.txt", GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING,
                                FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    EXPECT_FALSE(MoveFileExW(u"\\Temp\\new.txt", u"\\Temp\\Old.txt", MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
    CloseHandle(reader);

    // A reader that allows deletion does not stand in the way, and keeps reading the old content.
    reader = CreateFileW(u"\\Temp\\Old.txt", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_DELETE, nullptr,
                         OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    ASSERT_NE(reader, INVALID_HANDLE_VALUE);
    ASSERT_TRUE(MoveFileExW(u"\\Temp\\new.txt", u"\\Temp\\Old.txt", MOVEFILE_REPLACE_EXISTING));
    char text[8] = {};
    DWORD read = 0;
    ASSERT_TRUE(ReadFile(reader, text, sizeof text, &read, nullptr));
    EXPECT_EQ(std::string(text, read), "old");
    CloseHandle(reader);

    device.WriteHostFile(device.Fs("Temp/new.txt"), "newer");
    ASSERT_TRUE(SetFileAttributesW(u"\\Temp\\Old.txt", FILE_ATTRIBUTE_READONLY));
    EXPECT_FALSE(MoveFileExW(u"\\Temp\\new.txt", u"\\Temp\\Old.txt", MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    std::filesystem::create_directories(device.Fs("Temp/Folder"));
    EXPECT_FALSE(MoveFileExW(u"\\Temp\\new.txt", u"\\Temp\\folder", MOVEFILE_REPLACE_EXISTING));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_FALSE(MoveFileExW(u"\\Temp\\new.txt", u"\\Temp\\x.txt", 0x4));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_PARAMETER);
    EXPECT_EQ(ReadHost(device.Fs("Temp/new.txt")), "newer");
    EXPECT_EQ(ReadHost(device.Fs("Temp/Old.txt")), "new");
}

}  // namespace
