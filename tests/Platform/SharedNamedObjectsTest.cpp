// Named mutexes and events whose state the processes of a device share in memory: exclusion across
// processes and threads, a holder that dies, a device server that is replaced, and slots that are
// handed out again.
#include <gtest/gtest.h>
#include <signal.h>

#include <fstream>
#include <memory>
#include <string>
#include <vector>

#include "Platform/ChildProcess.h"
#include "Platform/ServerConnection.h"
#include "Platform/TempDevice.h"
#include "ce/device.h"
#include "ce/kernel.h"

namespace {

using ce::test::ChildProcess;
using ce::test::ChildRole;
using ce::test::ServerConnection;
using ce::test::TempDevice;

constexpr DWORD kLongEnough = 20000;
const char16_t kCounterLock[] = u"Counter lock";
constexpr int kThreadsPerProcess = 4;
constexpr int kRoundsPerThread = 40;

#define CHILD_PART_ONLY()                                    \
    if (ChildRole() == nullptr) {                            \
        GTEST_SKIP() << "runs as the child of another test"; \
    }

std::string CounterPath() {
    return ce::DeviceRoot() + "/counter";
}

int ReadCounter() {
    int value = 0;
    std::ifstream(CounterPath()) >> value;
    return value;
}

// Read, then write back one more: two holders at once would lose an increment.
DWORD WINAPI CountUnderTheLock(LPVOID) {
    HANDLE lock = CreateMutexW(nullptr, FALSE, kCounterLock);
    for (int round = 0; round < kRoundsPerThread; ++round) {
        if (WaitForSingleObject(lock, kLongEnough) != WAIT_OBJECT_0) {
            break;
        }
        int value = ReadCounter();
        std::ofstream(CounterPath(), std::ios::trunc) << value + 1;
        ReleaseMutex(lock);
    }
    CloseHandle(lock);
    return 0;
}

void CountOnThreads() {
    std::vector<HANDLE> threads;
    for (int i = 0; i < kThreadsPerProcess; ++i) {
        threads.push_back(CreateThread(nullptr, 0, CountUnderTheLock, nullptr, 0, nullptr));
    }
    WaitForMultipleObjects(static_cast<DWORD>(threads.size()), threads.data(), TRUE, 120000);
    for (HANDLE thread : threads) {
        CloseHandle(thread);
    }
}

TEST(SharedNamedObjectsTest, ChildCounts) {
    CHILD_PART_ONLY();
    CountOnThreads();
}

TEST(SharedNamedObjectsTest, ThreadsOfSeveralProcessesTakeTheMutexOneAtATime) {
    TempDevice device;
    HANDLE keep = CreateMutexW(nullptr, FALSE, kCounterLock);  // the same object for every process
    ChildProcess first("SharedNamedObjectsTest.ChildCounts", "first");
    ChildProcess second("SharedNamedObjectsTest.ChildCounts", "second");
    CountOnThreads();
    ASSERT_EQ(first.Wait(), 0);
    ASSERT_EQ(second.Wait(), 0);
    EXPECT_EQ(ReadCounter(), 3 * kThreadsPerProcess * kRoundsPerThread);
    CloseHandle(keep);
}

TEST(SharedNamedObjectsTest, ChildTakesTheLockThreeTimes) {
    CHILD_PART_ONLY();
    HANDLE lock = CreateMutexW(nullptr, TRUE, kCounterLock);
    WaitForSingleObject(lock, 0);
    WaitForSingleObject(lock, 0);
    SetEvent(CreateEventW(nullptr, TRUE, FALSE, u"holder ready"));
    WaitForSingleObject(CreateEventW(nullptr, TRUE, FALSE, nullptr), 30000);  // until killed
}

DWORD WINAPI TakeAtOnce(LPVOID parameter) {
    return WaitForSingleObject(static_cast<HANDLE>(parameter), 0);
}

TEST(SharedNamedObjectsTest, MutexOfAKilledHolderGoesWholeToTheWaiter) {
    TempDevice device;
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, u"holder ready");
    ChildProcess holder("SharedNamedObjectsTest.ChildTakesTheLockThreeTimes", "holder");
    ASSERT_EQ(WaitForSingleObject(ready, kLongEnough), WAIT_OBJECT_0);
    HANDLE lock = CreateMutexW(nullptr, FALSE, kCounterLock);
    ASSERT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    ASSERT_EQ(WaitForSingleObject(lock, 0), static_cast<DWORD>(WAIT_TIMEOUT));

    holder.Kill();
    ASSERT_EQ(WaitForSingleObject(lock, kLongEnough), WAIT_OBJECT_0);
    EXPECT_TRUE(ReleaseMutex(lock)) << "the new owner holds it once";
    HANDLE other = CreateThread(nullptr, 0, TakeAtOnce, lock, 0, nullptr);
    ASSERT_EQ(WaitForSingleObject(other, kLongEnough), WAIT_OBJECT_0);
    DWORD taken = WAIT_FAILED;
    GetExitCodeThread(other, &taken);
    EXPECT_EQ(taken, WAIT_OBJECT_0) << "none of the dead holder's three levels is left";
    CloseHandle(other);
    CloseHandle(lock);
    CloseHandle(ready);
}

TEST(SharedNamedObjectsTest, ChildFindsTheLockHeld) {
    CHILD_PART_ONLY();
    HANDLE lock = CreateMutexW(nullptr, TRUE, kCounterLock);
    bool existed = GetLastError() == ERROR_ALREADY_EXISTS;
    bool busy = WaitForSingleObject(lock, 0) == WAIT_TIMEOUT;
    _exit(existed && busy ? 0 : 1);
}

TEST(SharedNamedObjectsTest, ObjectsOfAReplacedServerFailAndTheirNamesStartAfresh) {
    TempDevice device;
    HANDLE before = CreateMutexW(nullptr, TRUE, kCounterLock);
    HANDLE event = CreateEventW(nullptr, TRUE, TRUE, u"Set before");
    ASSERT_TRUE(SetEventData(event, 5));
    {
        ServerConnection server(device.Root() + "/run/devserver.sock");
        ASSERT_GT(server.pid, 0);
        ASSERT_EQ(kill(server.pid, SIGKILL), 0);
        ASSERT_TRUE(server.HungUp());
        ASSERT_TRUE(server.Ended());
    }
    EXPECT_FALSE(ReleaseMutex(before));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_FAILED);
    SetLastError(0);
    EXPECT_EQ(GetEventData(event), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));

    HANDLE after = CreateMutexW(nullptr, TRUE, kCounterLock);
    ASSERT_NE(after, nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS)) << "the new server's mutex is new";
    EXPECT_EQ(ChildProcess("SharedNamedObjectsTest.ChildFindsTheLockHeld", "finder").Wait(), 0);
    HANDLE again = CreateEventW(nullptr, TRUE, FALSE, u"Set before");
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(WaitForSingleObject(again, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_EQ(GetEventData(again), 0u);
    EXPECT_TRUE(ReleaseMutex(after));
    for (HANDLE handle : {before, event, after, again}) {
        CloseHandle(handle);
    }
}

TEST(SharedNamedObjectsTest, ClosedObjectsGiveTheirPlaceToNewOnes) {
    TempDevice device;
    std::vector<HANDLE> events;
    DWORD refusal = 0;
    for (int i = 0; i < 1000 && refusal == 0; ++i) {
        std::u16string name = u"Event " + ce::FromUtf8(std::to_string(i));
        HANDLE event = CreateEventW(nullptr, TRUE, TRUE, name.c_str());
        if (event == nullptr) {
            refusal = GetLastError();
        } else {
            SetEventData(event, 9);
            events.push_back(event);
        }
    }
    EXPECT_EQ(refusal, static_cast<DWORD>(ERROR_NOT_ENOUGH_MEMORY)) << "the device holds a bounded number";
    ASSERT_GT(events.size(), 100u);
    const size_t capacity = events.size();
    for (HANDLE event : events) {
        CloseHandle(event);
    }
    events.clear();
    for (size_t i = 0; i < capacity; ++i) {
        std::u16string name = u"Again " + ce::FromUtf8(std::to_string(i));
        HANDLE event = CreateEventW(nullptr, FALSE, FALSE, name.c_str());
        ASSERT_NE(event, nullptr) << "closing gave every place back, " << i;
        ASSERT_EQ(WaitForSingleObject(event, 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "a used place is cleared";
        ASSERT_EQ(GetEventData(event), 0u);
        events.push_back(event);
    }
    for (HANDLE event : events) {
        CloseHandle(event);
    }
}

}  // namespace
