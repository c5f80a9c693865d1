// WaitForSingleObject and WaitForMultipleObjects on mixes of objects, and time-outs on both clocks.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <thread>

#include "Platform/TempDevice.h"
#include "ce/device.h"
#include "ce/kernel.h"

namespace {

DWORD WINAPI ReturnAtOnce(LPVOID) {
    return 0;
}

struct TimedWait {
    HANDLE object = nullptr;
    DWORD timeout = 0;
    std::atomic<bool> done{false};
    DWORD result = 0;
};

DWORD WINAPI WaitWithTimeout(LPVOID parameter) {
    auto* wait = static_cast<TimedWait*>(parameter);
    wait->result = WaitForSingleObject(wait->object, wait->timeout);
    wait->done = true;
    return 0;
}

DWORD WINAPI SleepAMinute(LPVOID parameter) {
    Sleep(60000);
    static_cast<std::atomic<bool>*>(parameter)->store(true);
    return 0;
}

// Moves the virtual clock on in steps until done is set; gives up after a few real seconds.
bool AdvanceUntil(const std::atomic<bool>& done) {
    auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(5);
    while (!done && std::chrono::steady_clock::now() < giveUp) {
        ce::AdvanceVirtualClock(1000);
        std::this_thread::yield();
    }
    return done;
}

TEST(WaitsTest, WaitAnyGivesTheFirstSignalledObjectInArrayOrder) {
    HANDLE unset = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE mutex = CreateMutexW(nullptr, FALSE, nullptr);
    HANDLE thread = CreateThread(nullptr, 0, ReturnAtOnce, nullptr, 0, nullptr);
    ASSERT_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);

    HANDLE mix[3] = {unset, thread, mutex};
    EXPECT_EQ(WaitForMultipleObjects(3, mix, FALSE, 0), WAIT_OBJECT_0 + 1);
    HANDLE mutexFirst[3] = {unset, mutex, thread};
    EXPECT_EQ(WaitForMultipleObjects(3, mutexFirst, FALSE, 0), WAIT_OBJECT_0 + 1);
    EXPECT_TRUE(ReleaseMutex(mutex)) << "waiting for any object took only the one it returned";
    EXPECT_FALSE(ReleaseMutex(mutex));

    HANDLE none[1] = {unset};
    EXPECT_EQ(WaitForMultipleObjects(1, none, FALSE, 20), static_cast<DWORD>(WAIT_TIMEOUT));
    for (HANDLE handle : {unset, mutex, thread}) {
        CloseHandle(handle);
    }
}

TEST(WaitsTest, WaitAllTakesNothingUntilEveryObjectIsSignalled) {
    HANDLE autoEvent = CreateEventW(nullptr, FALSE, TRUE, nullptr);
    HANDLE gate = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE mutex = CreateMutexW(nullptr, FALSE, nullptr);
    HANDLE thread = CreateThread(nullptr, 0, ReturnAtOnce, nullptr, 0, nullptr);

    HANDLE all[4] = {autoEvent, mutex, thread, gate};
    EXPECT_EQ(WaitForMultipleObjects(4, all, TRUE, 20), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_EQ(WaitForSingleObject(autoEvent, 0), WAIT_OBJECT_0) << "the failed wait left the event set";
    SetEvent(autoEvent);
    EXPECT_FALSE(ReleaseMutex(mutex)) << "and the mutex unowned";

    SetEvent(gate);
    EXPECT_EQ(WaitForMultipleObjects(4, all, TRUE, 10000), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(autoEvent, 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "taken by the wait";
    EXPECT_TRUE(ReleaseMutex(mutex));
    for (HANDLE handle : {autoEvent, gate, mutex, thread}) {
        CloseHandle(handle);
    }
}

// Process handles are waitable with the rest; the test program ends with the code its command line gives.
TEST(WaitsTest, ProcessHandlesJoinWaitsWithLocalObjects) {
    ce::test::TempDevice device;
    std::filesystem::create_directories(device.Fs("Windows"));
    std::filesystem::create_symlink(CE_TEST_PROGRAM, device.Fs("Windows/waiter.exe"));
    PROCESS_INFORMATION ending{};
    PROCESS_INFORMATION staying{};
    std::u16string exitLine = u"exit 5";
    std::u16string waitLine = u"wait";
    ASSERT_TRUE(CreateProcessW(u"\\Windows\\waiter.exe", exitLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, nullptr, &ending));
    ASSERT_TRUE(CreateProcessW(u"\\Windows\\waiter.exe", waitLine.data(), nullptr, nullptr, FALSE, 0, nullptr,
                               nullptr, nullptr, &staying));
    HANDLE unset = CreateEventW(nullptr, TRUE, FALSE, nullptr);

    HANDLE any[3] = {unset, staying.hProcess, ending.hProcess};
    EXPECT_EQ(WaitForMultipleObjects(3, any, FALSE, 20000), WAIT_OBJECT_0 + 2);
    DWORD code = 0;
    EXPECT_TRUE(GetExitCodeProcess(ending.hProcess, &code));
    EXPECT_EQ(code, 5u);

    HANDLE all[2] = {staying.hProcess, ending.hProcess};
    EXPECT_EQ(WaitForMultipleObjects(2, all, TRUE, 50), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_TRUE(TerminateProcess(staying.hProcess, 9));
    EXPECT_EQ(WaitForMultipleObjects(2, all, TRUE, 20000), WAIT_OBJECT_0);
    for (HANDLE handle : {unset, ending.hProcess, ending.hThread, staying.hProcess, staying.hThread}) {
        if (handle != nullptr) {
            CloseHandle(handle);
        }
    }
}

TEST(WaitsTest, BadArgumentsFailTheWait) {
    HANDLE event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    HANDLE twice[2] = {event, event};
    EXPECT_EQ(WaitForMultipleObjects(2, twice, TRUE, 0), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    EXPECT_EQ(WaitForMultipleObjects(0, twice, FALSE, 0), WAIT_FAILED);

    HANDLE stale = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    CloseHandle(stale);
    HANDLE withStale[2] = {event, stale};
    EXPECT_EQ(WaitForMultipleObjects(2, withStale, FALSE, 0), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(WaitForSingleObject(nullptr, 0), WAIT_FAILED);
    CloseHandle(event);
}

TEST(WaitsTest, RealClockTimeOutWaitsAboutTheTimeAsked) {
    HANDLE event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(WaitForSingleObject(event, 100), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(100));
    CloseHandle(event);
}

TEST(WaitsTest, VirtualClockTimeOutEndsWhenTheClockPassesItWithoutRealWaiting) {
    ce::test::TempDevice device;
    ce::EnableVirtualClock(1700000000000ull);
    TimedWait wait;
    wait.object = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    wait.timeout = 120000;
    auto start = std::chrono::steady_clock::now();
    HANDLE waiter = CreateThread(nullptr, 0, WaitWithTimeout, &wait, 0, nullptr);

    ASSERT_TRUE(AdvanceUntil(wait.done));
    EXPECT_EQ(wait.result, static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_LT(std::chrono::steady_clock::now() - start, std::chrono::seconds(5));

    std::atomic<bool> slept{false};
    HANDLE sleeper = CreateThread(nullptr, 0, SleepAMinute, &slept, 0, nullptr);
    ASSERT_TRUE(AdvanceUntil(slept)) << "Sleep runs on the virtual clock too";

    ce::DisableVirtualClock();
    HANDLE threads[2] = {waiter, sleeper};
    EXPECT_EQ(WaitForMultipleObjects(2, threads, TRUE, 10000), WAIT_OBJECT_0);
    for (HANDLE handle : {wait.object, waiter, sleeper}) {
        CloseHandle(handle);
    }
}

}  // namespace
