#include <gtest/gtest.h>
#include <sys/wait.h>

#include <filesystem>
#include <string>
#include <vector>

#include "Platform/TempDevice.h"
#include "ce/registry.h"

namespace {

using ce::test::TempDevice;

// The test program installed in the device as \Program Files\Test\Test.exe.
class ProcessTest : public ::testing::Test {
protected:
    void SetUp() override {
        std::filesystem::create_directories(device_.Fs("Program Files/Test"));
        std::filesystem::create_symlink(CE_TEST_PROGRAM, device_.Fs("Program Files/Test/Test.exe"));
    }

    PROCESS_INFORMATION Start(const char16_t* commandLine) {
        PROCESS_INFORMATION info{};
        std::u16string line(commandLine);
        EXPECT_TRUE(CreateProcessW(u"\\program files\\TEST\\test.exe", line.data(), nullptr, nullptr, FALSE,
                                   0, nullptr, nullptr, nullptr, &info));
        return info;
    }

    // The exit code once the process has ended, within a bounded time; STILL_ACTIVE if it did not.
    static DWORD ExitCodeWhenEnded(HANDLE process) {
        const DWORD kPatienceMs = 20000;
        DWORD code = STILL_ACTIVE;
        EXPECT_EQ(WAIT_OBJECT_0, WaitForSingleObject(process, kPatienceMs));
        EXPECT_TRUE(GetExitCodeProcess(process, &code));
        return code;
    }

    static std::u16string Recorded(const char16_t* name) {
        HKEY key = nullptr;
        char16_t text[MAX_PATH] = {};
        DWORD size = sizeof(text);
        if (RegOpenKeyExW(HKEY_CURRENT_USER, u"Test\\Program", 0, 0, &key) == ERROR_SUCCESS) {
            RegQueryValueExW(key, name, nullptr, nullptr, reinterpret_cast<BYTE*>(text), &size);
            RegCloseKey(key);
        }
        return text;
    }

    TempDevice device_;
};

TEST_F(ProcessTest, ProgramEndsWithItsExitCodeAndIsReaped) {
    PROCESS_INFORMATION info = Start(u"exit 7");
    ASSERT_NE(nullptr, info.hProcess);
    EXPECT_EQ(7u, ExitCodeWhenEnded(info.hProcess));
    // Reaped by the layer: no zombie is left for anyone to collect.
    EXPECT_EQ(-1, waitpid(static_cast<pid_t>(info.dwProcessId), nullptr, WNOHANG));
    EXPECT_TRUE(CloseHandle(info.hThread));
    EXPECT_TRUE(CloseHandle(info.hProcess));
}

TEST_F(ProcessTest, ProgramGetsItsCommandLineImagePathAndDevice) {
    PROCESS_INFORMATION info = Start(u"record cmd_normal_mode:2 \"two words\"");
    ASSERT_EQ(3u, ExitCodeWhenEnded(info.hProcess));
    EXPECT_EQ(u"record cmd_normal_mode:2 \"two words\"", Recorded(u"CommandLine"));
    EXPECT_EQ(u"\\Program Files\\Test\\Test.exe", Recorded(u"Image"));
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);

    // The program's own string table, found through its module handle.
    info = Start(u"string");
    EXPECT_EQ(14u, ExitCodeWhenEnded(info.hProcess));
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
}

TEST_F(ProcessTest, ProgramsWritingTheRegistryAtOnceLoseNothing) {
    // Started together on a device whose registry does not exist yet: they race to create it, too.
    const char16_t* const kTags[] = {u"a", u"b", u"c", u"d"};
    const int kValuesEach = 40;
    std::vector<HANDLE> processes;
    for (const char16_t* tag : kTags) {
        PROCESS_INFORMATION info = Start((u"fill " + std::u16string(tag) + u" 40").c_str());
        CloseHandle(info.hThread);
        processes.push_back(info.hProcess);
    }
    ASSERT_EQ(WAIT_OBJECT_0,
              WaitForMultipleObjects(static_cast<DWORD>(processes.size()), processes.data(), TRUE, 30000));
    for (HANDLE process : processes) {
        EXPECT_EQ(0u, ExitCodeWhenEnded(process));
        CloseHandle(process);
    }
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExW(HKEY_CURRENT_USER, u"Test\\Fill", 0, 0, &key));
    DWORD values = 0;
    ASSERT_EQ(ERROR_SUCCESS, RegQueryInfoKeyW(key, nullptr, nullptr, nullptr, nullptr, nullptr, nullptr,
                                              &values, nullptr, nullptr, nullptr, nullptr));
    EXPECT_EQ(static_cast<DWORD>(kValuesEach * 4), values);
    RegCloseKey(key);
}

TEST_F(ProcessTest, TerminateEndsAWaitingProgramWithTheGivenCode) {
    PROCESS_INFORMATION info = Start(u"wait");
    DWORD code = 0;
    ASSERT_TRUE(GetExitCodeProcess(info.hProcess, &code));
    EXPECT_EQ(static_cast<DWORD>(STILL_ACTIVE), code);

    EXPECT_EQ(static_cast<DWORD>(WAIT_TIMEOUT), WaitForSingleObject(info.hProcess, 0));
    HANDLE opened = OpenProcess(PROCESS_ALL_ACCESS, FALSE, info.dwProcessId);
    ASSERT_NE(nullptr, opened);
    EXPECT_TRUE(TerminateProcess(opened, 42));
    EXPECT_EQ(42u, ExitCodeWhenEnded(info.hProcess));
    EXPECT_EQ(42u, ExitCodeWhenEnded(opened));
    CloseHandle(opened);
    CloseHandle(info.hThread);
    CloseHandle(info.hProcess);
}

TEST_F(ProcessTest, MissingProgramOrDeviceFailsClearly) {
    PROCESS_INFORMATION info{};
    EXPECT_FALSE(CreateProcessW(u"\\Windows\\missing.exe", nullptr, nullptr, nullptr, FALSE, 0, nullptr,
                                nullptr, nullptr, &info));
    EXPECT_EQ(static_cast<DWORD>(ERROR_FILE_NOT_FOUND), GetLastError());
    device_.WriteHostFile(device_.Fs("Windows/text.exe"), "not a program");
    EXPECT_FALSE(CreateProcessW(u"\\Windows\\text.exe", nullptr, nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                                nullptr, &info));
    EXPECT_EQ(static_cast<DWORD>(ERROR_ACCESS_DENIED), GetLastError());
    EXPECT_EQ(nullptr, OpenProcess(PROCESS_ALL_ACCESS, FALSE, 0x7FFFFFF0));
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeProcess(GetCurrentProcess(), &code));
    EXPECT_EQ(static_cast<DWORD>(STILL_ACTIVE), code);

    ce::SetDeviceRoot({});
    EXPECT_FALSE(CreateProcessW(u"\\Program Files\\Test\\Test.exe", nullptr, nullptr, nullptr, FALSE, 0,
                                nullptr, nullptr, nullptr, &info));
    EXPECT_EQ(static_cast<DWORD>(ERROR_PATH_NOT_FOUND), GetLastError());
}

}  // namespace
