// Process snapshots list the device's running programs from the device server's process table.
#include <gtest/gtest.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <fstream>
#include <thread>

#include "Platform/ChildProcess.h"
#include "Platform/TempDevice.h"
#include "ce/device.h"
#include "ce/toolhelp.h"

namespace {

using ce::test::ChildProcess;

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

// The child's part: starts as a device program would, through the entry's start-up call.
TEST(ToolhelpTest, ChildRunsAsADeviceProgram) {
    if (ce::test::ChildRole() == nullptr) {
        GTEST_SKIP() << "runs as the child of ListsRunningProgramsByImageNameUntilTheyEnd";
    }
    std::ifstream commandLine("/proc/self/cmdline");
    std::string program;
    std::getline(commandLine, program, '\0');
    char* argv[] = {program.data(), nullptr};
    ce::StartDeviceProcess(1, argv);
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, u"Installer running");
    SetEvent(ready);
    HANDLE never = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    WaitForSingleObject(never, 30000);
}

TEST(ToolhelpTest, ListsRunningProgramsByImageNameUntilTheyEnd) {
    ce::test::TempDevice device;
    std::filesystem::create_directories(device.Fs("Windows"));
    std::string installer = device.Fs("Windows/wceload.exe");
    std::filesystem::create_symlink(std::filesystem::read_symlink("/proc/self/exe"), installer);

    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, u"Installer running");
    ChildProcess child("ToolhelpTest.ChildRunsAsADeviceProgram", "installer", installer);
    ASSERT_EQ(WaitForSingleObject(ready, 20000), WAIT_OBJECT_0);

    bool found = false;
    for (const Listed& process : Snapshot()) {
        if (process.pid == static_cast<DWORD>(child.Pid())) {
            found = true;
            EXPECT_EQ(process.name, u"wceload.exe");
            EXPECT_EQ(process.parentPid, static_cast<DWORD>(getpid()));
        }
    }
    EXPECT_TRUE(found);

    pid_t pid = child.Pid();
    child.Kill();
    auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (Lists(pid) && std::chrono::steady_clock::now() < giveUp) {
        std::this_thread::sleep_for(std::chrono::milliseconds(5));
    }
    EXPECT_FALSE(Lists(pid)) << "an ended process leaves the table";
    CloseHandle(ready);
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
