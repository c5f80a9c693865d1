#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <set>
#include <string>

#include "Platform/TempDevice.h"
#include "ce/device.h"
#include "ce/kernel.h"
#include "time/FileTimeValue.h"

namespace {

using ce::test::TempDevice;

HANDLE Open(const char16_t* path, DWORD access, DWORD share, DWORD disposition) {
    return CreateFileW(path, access, share, nullptr, disposition, FILE_ATTRIBUTE_NORMAL, nullptr);
}

std::string ReadHost(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

class FilesTest : public ::testing::Test {
protected:
    void SetUp() override { std::filesystem::create_directories(device.Fs("Temp")); }
    TempDevice device;
};

TEST_F(FilesTest, CreationDispositionsAndTheirLastErrors) {
    HANDLE file = Open(u"\\Temp\\a.txt", GENERIC_WRITE, 0, CREATE_NEW);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    DWORD written = 0;
    ASSERT_TRUE(WriteFile(file, "hello", 5, &written, nullptr));
    CloseHandle(file);

    EXPECT_EQ(Open(u"\\Temp\\A.TXT", GENERIC_READ, 0, CREATE_NEW), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_FILE_EXISTS);
    EXPECT_EQ(Open(u"\\Temp\\missing.txt", GENERIC_READ, 0, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(Open(u"\\NoFolder\\x.txt", GENERIC_WRITE, 0, CREATE_ALWAYS), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
    EXPECT_EQ(Open(u"\\Temp", GENERIC_READ, 0, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);

    file = Open(u"\\temp\\a.txt", GENERIC_READ, 0, OPEN_ALWAYS);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_EQ(GetFileSize(file, nullptr), 5u);
    CloseHandle(file);

    file = Open(u"\\Temp\\a.txt", GENERIC_WRITE, 0, CREATE_ALWAYS);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_EQ(GetFileSize(file, nullptr), 0u);
    CloseHandle(file);

    file = Open(u"\\Temp\\b.txt", GENERIC_WRITE, 0, OPEN_ALWAYS);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_SUCCESS);
    CloseHandle(file);
    EXPECT_EQ(Open(u"\\Temp\\none.txt", GENERIC_WRITE, 0, TRUNCATE_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
}

TEST_F(FilesTest, SharingRefusedWhereAnOpenHandleForbidsIt) {
    HANDLE writer = Open(u"\\Temp\\s.dat", GENERIC_WRITE, FILE_SHARE_READ, CREATE_ALWAYS);
    ASSERT_NE(writer, INVALID_HANDLE_VALUE);
    // A reader that shares writing may join; one that does not share writing may not.
    HANDLE reader = Open(u"\\TEMP\\S.DAT", GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING);
    EXPECT_NE(reader, INVALID_HANDLE_VALUE);
    EXPECT_EQ(Open(u"\\Temp\\s.dat", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
    EXPECT_EQ(Open(u"\\Temp\\s.dat", GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE, OPEN_EXISTING),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
    // A refused CREATE_ALWAYS must not have emptied the file.
    DWORD written = 0;
    WriteFile(writer, "data", 4, &written, nullptr);
    EXPECT_EQ(Open(u"\\Temp\\s.dat", GENERIC_WRITE, 0, CREATE_ALWAYS), INVALID_HANDLE_VALUE);
    EXPECT_EQ(ReadHost(device.Fs("Temp/s.dat")), "data");
    EXPECT_FALSE(DeleteFileW(u"\\Temp\\s.dat"));
    EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);

    CloseHandle(writer);
    CloseHandle(reader);
    HANDLE again = Open(u"\\Temp\\s.dat", GENERIC_READ | GENERIC_WRITE, 0, OPEN_EXISTING);
    EXPECT_NE(again, INVALID_HANDLE_VALUE);
    CloseHandle(again);
    EXPECT_TRUE(DeleteFileW(u"\\Temp\\s.dat"));
}

TEST_F(FilesTest, ReadWriteSeekAndTruncate) {
    HANDLE file = Open(u"\\Temp\\rw.bin", GENERIC_READ | GENERIC_WRITE, 0, CREATE_ALWAYS);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    DWORD count = 0;
    ASSERT_TRUE(WriteFile(file, "0123456789", 10, &count, nullptr));
    EXPECT_EQ(count, 10u);
    EXPECT_EQ(SetFilePointer(file, -4, nullptr, FILE_END), 6u);
    char buffer[16] = {};
    ASSERT_TRUE(ReadFile(file, buffer, sizeof buffer, &count, nullptr));
    EXPECT_EQ(std::string(buffer, count), "6789");
    ASSERT_TRUE(ReadFile(file, buffer, sizeof buffer, &count, nullptr));
    EXPECT_EQ(count, 0u);  // end of file is success with nothing read
    EXPECT_EQ(SetFilePointer(file, -20, nullptr, FILE_CURRENT), INVALID_SET_FILE_POINTER);
    EXPECT_EQ(SetFilePointer(file, 3, nullptr, FILE_BEGIN), 3u);
    ASSERT_TRUE(SetEndOfFile(file));
    DWORD high = 7;
    EXPECT_EQ(GetFileSize(file, &high), 3u);
    EXPECT_EQ(high, 0u);
    EXPECT_TRUE(FlushFileBuffers(file));
    CloseHandle(file);

    HANDLE readOnly = Open(u"\\Temp\\rw.bin", GENERIC_READ, FILE_SHARE_READ, OPEN_EXISTING);
    EXPECT_FALSE(WriteFile(readOnly, "x", 1, &count, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    CloseHandle(readOnly);
    EXPECT_FALSE(ReadFile(reinterpret_cast<HANDLE>(0x12345), buffer, 1, &count, nullptr));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

TEST_F(FilesTest, FileTimesFollowTheVirtualClock) {
    const uint64_t start = 1700000000000ULL;
    ce::EnableVirtualClock(start);
    HANDLE file = Open(u"\\Temp\\t.txt", GENERIC_WRITE, 0, CREATE_ALWAYS);
    DWORD count = 0;
    WriteFile(file, "x", 1, &count, nullptr);
    FILETIME written{};
    ASSERT_TRUE(GetFileTime(file, nullptr, nullptr, &written));
    EXPECT_EQ(ce::detail::UnixMsFromFileTime(written), static_cast<int64_t>(start));

    FILETIME wanted = ce::detail::FileTimeFromUnixMs(static_cast<int64_t>(start) - 86400000);
    ASSERT_TRUE(SetFileTime(file, nullptr, nullptr, &wanted));
    ASSERT_TRUE(GetFileTime(file, nullptr, nullptr, &written));
    EXPECT_EQ(CompareFileTime(&written, &wanted), 0);
    CloseHandle(file);
    ce::DisableVirtualClock();
}

TEST_F(FilesTest, DeleteMoveAndCopy) {
    device.WriteHostFile(device.Fs("Temp/one.txt"), "one");
    device.WriteHostFile(device.Fs("Temp/two.txt"), "two");
    EXPECT_FALSE(MoveFileW(u"\\Temp\\one.txt", u"\\Temp\\TWO.txt"));
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_FALSE(MoveFileW(u"\\Temp\\nothing.txt", u"\\Temp\\x.txt"));
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    ASSERT_TRUE(MoveFileW(u"\\Temp\\one.txt", u"\\Temp\\One.TXT"));  // only the letter case changes
    EXPECT_TRUE(std::filesystem::exists(device.Fs("Temp/One.TXT")));

    EXPECT_FALSE(CopyFileW(u"\\Temp\\one.txt", u"\\Temp\\two.txt", TRUE));
    EXPECT_EQ(GetLastError(), ERROR_FILE_EXISTS);
    ASSERT_TRUE(CopyFileW(u"\\Temp\\one.txt", u"\\Temp\\two.txt", FALSE));
    EXPECT_EQ(ReadHost(device.Fs("Temp/two.txt")), "one");
    EXPECT_FALSE(std::filesystem::exists(device.Fs("Temp/two.txt.tmp")));

    ASSERT_TRUE(SetFileAttributesW(u"\\Temp\\two.txt", FILE_ATTRIBUTE_READONLY));
    EXPECT_TRUE(GetFileAttributesW(u"\\Temp\\two.txt") & FILE_ATTRIBUTE_READONLY);
    EXPECT_FALSE(DeleteFileW(u"\\Temp\\two.txt"));
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    EXPECT_EQ(Open(u"\\Temp\\two.txt", GENERIC_WRITE, 0, OPEN_EXISTING), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_ACCESS_DENIED);
    ASSERT_TRUE(SetFileAttributesW(u"\\Temp\\two.txt", FILE_ATTRIBUTE_NORMAL));
    EXPECT_TRUE(DeleteFileW(u"\\Temp\\TWO.txt"));
    EXPECT_EQ(GetFileAttributesW(u"\\Temp\\two.txt"), INVALID_FILE_ATTRIBUTES);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_FALSE(DeleteFileW(u"\\Gone\\two.txt"));
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
}

TEST_F(FilesTest, DeletingALinkLeavesWhatItPointsTo) {
    device.WriteHostFile(device.Fs("Keep/precious.txt"), "keep");
    std::filesystem::create_directory_symlink(device.Fs("Keep"), device.Fs("Temp/folder-link"));
    std::filesystem::create_symlink(device.Fs("Keep/precious.txt"), device.Fs("Temp/file-link"));
    EXPECT_TRUE(GetFileAttributesW(u"\\Temp\\folder-link") & FILE_ATTRIBUTE_DIRECTORY);
    EXPECT_FALSE(RemoveDirectoryW(u"\\Temp\\folder-link"));
    EXPECT_EQ(GetLastError(), ERROR_DIRECTORY);
    EXPECT_TRUE(DeleteFileW(u"\\Temp\\folder-link"));
    EXPECT_TRUE(DeleteFileW(u"\\Temp\\file-link"));
    EXPECT_EQ(ReadHost(device.Fs("Keep/precious.txt")), "keep");
}

TEST_F(FilesTest, Directories) {
    ASSERT_TRUE(CreateDirectoryW(u"\\My Documents", nullptr));
    EXPECT_EQ(GetFileAttributesW(u"\\my documents"), static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
    EXPECT_FALSE(CreateDirectoryW(u"\\MY DOCUMENTS", nullptr));
    EXPECT_EQ(GetLastError(), ERROR_ALREADY_EXISTS);
    EXPECT_FALSE(CreateDirectoryW(u"\\a\\b", nullptr));
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
    device.WriteHostFile(device.Fs("My Documents/x.txt"), "x");
    EXPECT_FALSE(RemoveDirectoryW(u"\\My Documents"));
    EXPECT_EQ(GetLastError(), ERROR_DIR_NOT_EMPTY);
    EXPECT_FALSE(RemoveDirectoryW(u"\\My Documents\\x.txt"));
    EXPECT_EQ(GetLastError(), ERROR_DIRECTORY);
    EXPECT_TRUE(DeleteFileW(u"\\My Documents\\x.txt"));
    EXPECT_TRUE(RemoveDirectoryW(u"\\my documents"));

    WCHAR temp[MAX_PATH];
    EXPECT_EQ(GetTempPathW(3, temp), 7u);
    EXPECT_EQ(GetTempPathW(MAX_PATH, temp), 6u);
    EXPECT_EQ(std::u16string(temp), u"\\Temp\\");
    ULARGE_INTEGER available{};
    ASSERT_TRUE(GetDiskFreeSpaceExW(u"\\", &available, nullptr, nullptr));
    EXPECT_EQ(available.QuadPart, 64ull << 20);
}

std::set<std::u16string> Find(const char16_t* pattern) {
    std::set<std::u16string> names;
    WIN32_FIND_DATAW data{};
    HANDLE find = FindFirstFileW(pattern, &data);
    if (find == INVALID_HANDLE_VALUE) {
        return names;
    }
    do {
        names.insert(data.cFileName);
    } while (FindNextFileW(find, &data));
    EXPECT_EQ(GetLastError(), ERROR_NO_MORE_FILES);
    EXPECT_TRUE(FindClose(find));
    return names;
}

TEST_F(FilesTest, FindPatternsMatchWithoutCase) {
    for (const char* name : {"Forecast1.xml", "forecast22.XML", "Cities.dat", "README", "a.b.c"}) {
        device.WriteHostFile(device.Fs(std::string("Temp/Cache/") + name), "x");
    }
    using Names = std::set<std::u16string>;
    EXPECT_EQ(Find(u"\\temp\\cache\\*.xml"), (Names{u"Forecast1.xml", u"forecast22.XML"}));
    EXPECT_EQ(Find(u"\\Temp\\Cache\\FORECAST?.xml"), (Names{u"Forecast1.xml"}));
    EXPECT_EQ(Find(u"\\Temp\\Cache\\*.*").size(), 5u);
    EXPECT_EQ(Find(u"\\Temp\\Cache\\*"), Find(u"\\Temp\\Cache\\*.*"));
    EXPECT_EQ(Find(u"\\Temp\\Cache\\a*c"), (Names{u"a.b.c"}));
    EXPECT_EQ(Find(u"\\Temp\\Cache\\cities.DAT"), (Names{u"Cities.dat"}));

    WIN32_FIND_DATAW data{};
    EXPECT_EQ(FindFirstFileW(u"\\Temp\\Cache\\*.png", &data), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    EXPECT_EQ(FindFirstFileW(u"\\Nowhere\\*", &data), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_PATH_NOT_FOUND);
    HANDLE find = FindFirstFileW(u"\\Temp\\*", &data);
    ASSERT_NE(find, INVALID_HANDLE_VALUE);
    EXPECT_EQ(std::u16string(data.cFileName), u"Cache");
    EXPECT_EQ(data.dwFileAttributes, static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY));
    FindClose(find);
}

}  // namespace
