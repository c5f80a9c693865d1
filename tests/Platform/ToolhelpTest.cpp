// Process snapshots list the device's running programs from the device server's process table.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <thread>

#include "Platform/TempDevice.h"
#include "ce/device.h"
#include "ce/toolhelp.h"

namespace {

struct Listed {
    DWORD pid = 0;
    DWORD parentPid = 0;
    std::u16string name;
};

std::vector<Listed> Snapshot() {
    std::vector<Listed> list;
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    EXPECT_NE(snapshot, INVALID_HANDLE_VALUE);
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
        list.push_back({entry.th32ProcessID, entry.th32ParentProcessID, entry.szExeFile});
    }
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_MORE_FILES));
    CloseToolhelp32Snapshot(snapshot);
    return list;
}

bool Lists(pid_t pid) {
    for (const Listed& process : Snapshot()) {
        if (process.pid == static_cast<DWORD>(pid)) {
            return true;
        }
    }
    return false;
}

// The test program, installed as the device's installer, enters the table through the entry shim.
TEST(ToolhelpTest, ListsRunningProgramsByImageNameUntilTheyEnd) {
    ce::test::TempDevice device;
    std::filesystem::create_directories(device.Fs("Windows"));
    std::filesystem::create_symlink(CE_TEST_PROGRAM, device.Fs("Windows/wceload.exe"));
    PROCESS_INFORMATION info{};
    std::u16string commandLine = u"wait";
    ASSERT_TRUE(CreateProcessW(u"\\windows\\WCELOAD.EXE", commandLine.data(), nullptr, nullptr, FALSE, 0,
                               nullptr, nullptr, nullptr, &info));

    auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (!Lists(static_cast<pid_t>(info.dwProcessId)) && std::chrono::steady_clock::now() < giveUp) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    bool found = false;
    for (const Listed& process : Snapshot()) {
        if (process.pid == info.dwProcessId) {
            found = true;
            EXPECT_EQ(process.name, u"wceload.exe");
            EXPECT_EQ(process.parentPid, static_cast<DWORD>(getpid()));
        }
    }
    EXPECT_TRUE(found);

    ASSERT_TRUE(TerminateProcess(info.hProcess, 1));
    ASSERT_EQ(WaitForSingleObject(info.hProcess, 20000), WAIT_OBJECT_0);
    giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (Lists(static_cast<pid_t>(info.dwProcessId)) && std::chrono::steady_clock::now() < giveUp) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_FALSE(Lists(static_cast<pid_t>(info.dwProcessId))) << "an ended process leaves the table";
    CloseHandle(info.hProcess);
    if (info.hThread != nullptr) {
        CloseHandle(info.hThread);
    }
}

TEST(ToolhelpTest, SnapshotCallsRefuseWrongHandlesAndSizes) {
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    EXPECT_FALSE(Process32FirstW(reinterpret_cast<HANDLE>(0x1234), &entry));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));

    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    entry.dwSize = 8;
    EXPECT_FALSE(Process32FirstW(snapshot, &entry));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    CloseToolhelp32Snapshot(snapshot);
}

}  // namespace
