// Named mutexes and events shared by the processes of a device through its device server.
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/socket.h>
#include <sys/un.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <memory>
#include <thread>

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

constexpr DWORD kLongEnough = 20000;  // bounds every wait on another process
const char16_t kLockName[] = u"Skyvane_CityListLock";

#define CHILD_PART_ONLY()                                    \
    if (ChildRole() == nullptr) {                            \
        GTEST_SKIP() << "runs as the child of another test"; \
    }

// Sets the named manual-reset event, so that the parent knows this child is ready.
void Announce(const char16_t* name) {
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, name);
    SetEvent(ready);
}

// Blocks the child (bounded, in case its parent is gone) until it is killed.
void StayUntilKilled() {
    HANDLE never = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    WaitForSingleObject(never, 30000);
}

bool WaitForFile(const std::string& path, bool present) {
    auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
    while (std::filesystem::exists(path) != present) {
        if (std::chrono::steady_clock::now() > giveUp) {
            return false;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return true;
}

TEST(DeviceServerTest, ChildHoldsTheLock) {
    CHILD_PART_ONLY();
    HANDLE lock = CreateMutexW(nullptr, TRUE, kLockName);
    ASSERT_NE(lock, nullptr);
    ASSERT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
    Announce(u"holder ready");
    StayUntilKilled();
}

TEST(DeviceServerTest, MutexHeldByAnotherProcessBlocksUntilThatProcessIsKilled) {
    TempDevice device;
    HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, u"holder ready");
    ChildProcess holder("DeviceServerTest.ChildHoldsTheLock", "holder");
    ASSERT_EQ(WaitForSingleObject(ready, kLongEnough), WAIT_OBJECT_0);

    HANDLE lock = CreateMutexW(nullptr, TRUE, kLockName);
    ASSERT_NE(lock, nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    EXPECT_FALSE(ReleaseMutex(lock)) << "opening an existing mutex does not own it";
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_OWNER));
    EXPECT_EQ(WaitForSingleObject(lock, 100), static_cast<DWORD>(WAIT_TIMEOUT));

    holder.Kill();
    ASSERT_EQ(WaitForSingleObject(lock, kLongEnough), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(lock, 0), WAIT_OBJECT_0) << "recursive for its owner";
    EXPECT_TRUE(ReleaseMutex(lock));
    EXPECT_TRUE(ReleaseMutex(lock));
    EXPECT_FALSE(ReleaseMutex(lock));
    CloseHandle(lock);
    CloseHandle(ready);
}

TEST(DeviceServerTest, ChildFindsTheParentsObjects) {
    CHILD_PART_ONLY();
    HANDLE lock = CreateMutexW(nullptr, TRUE, kLockName);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    EXPECT_FALSE(ReleaseMutex(lock));
    HANDLE event = CreateEventW(nullptr, FALSE, FALSE, u"Parent's event");
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    EXPECT_EQ(GetEventData(event), 7u) << "the data the parent set";
    EXPECT_TRUE(SetEventData(event, 42));
    EXPECT_TRUE(SetEvent(event));

    CreateMutexW(nullptr, FALSE, u"Only the child's");
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(CreateEventW(nullptr, FALSE, FALSE, kLockName), nullptr) << "the name is a mutex's";
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
}

TEST(DeviceServerTest, NamesAndEventDataAreSharedAcrossProcesses) {
    TempDevice device;
    HANDLE lock = CreateMutexW(nullptr, TRUE, kLockName);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
    HANDLE event = CreateEventW(nullptr, FALSE, FALSE, u"Parent's event");
    ASSERT_TRUE(SetEventData(event, 7));

    ASSERT_EQ(ChildProcess("DeviceServerTest.ChildFindsTheParentsObjects", "finder").Wait(), 0);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
    EXPECT_EQ(GetEventData(event), 42u);
    EXPECT_EQ(OpenEventW(0, FALSE, u"Only the child's"), nullptr) << "gone with the child's handles";
    EXPECT_TRUE(ReleaseMutex(lock)) << "the child's open did not take the parent's ownership";
    CloseHandle(event);
    CloseHandle(lock);
}

TEST(DeviceServerTest, ChildSetsTheNamedEvent) {
    CHILD_PART_ONLY();
    HANDLE event = OpenEventW(0, FALSE, u"Set by the child");
    ASSERT_NE(event, nullptr);
    ASSERT_TRUE(SetEvent(event));
}

TEST(DeviceServerTest, WaitsMixNamedObjectsWithLocalOnes) {
    TempDevice device;
    HANDLE local = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE named = CreateEventW(nullptr, FALSE, FALSE, u"Set by the child");
    HANDLE lock = CreateMutexW(nullptr, FALSE, kLockName);
    HANDLE any[2] = {local, named};
    EXPECT_EQ(WaitForMultipleObjects(2, any, FALSE, 0), static_cast<DWORD>(WAIT_TIMEOUT));

    ASSERT_EQ(ChildProcess("DeviceServerTest.ChildSetsTheNamedEvent", "setter").Wait(), 0);
    EXPECT_EQ(WaitForMultipleObjects(2, any, FALSE, kLongEnough), WAIT_OBJECT_0 + 1);
    EXPECT_EQ(WaitForSingleObject(named, 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "auto reset";

    HANDLE all[3] = {lock, local, named};
    SetEvent(named);
    EXPECT_EQ(WaitForMultipleObjects(3, all, TRUE, 50), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_FALSE(ReleaseMutex(lock)) << "a wait for all that timed out owns nothing";
    EXPECT_EQ(WaitForSingleObject(named, 0), WAIT_OBJECT_0) << "and took no event";
    SetEvent(named);
    SetEvent(local);
    EXPECT_EQ(WaitForMultipleObjects(3, all, TRUE, kLongEnough), WAIT_OBJECT_0);
    EXPECT_TRUE(ReleaseMutex(lock));
    for (HANDLE handle : {local, named, lock}) {
        CloseHandle(handle);
    }
}

struct Waiter {
    HANDLE object;
    std::atomic<int> released{0};
};

DWORD WINAPI TakeOnceAndRelease(LPVOID parameter) {
    auto* waiter = static_cast<Waiter*>(parameter);
    if (WaitForSingleObject(waiter->object, kLongEnough) == WAIT_OBJECT_0) {
        ++waiter->released;
        ReleaseMutex(waiter->object);
    }
    return 0;
}

DWORD WINAPI WaitForEvent(LPVOID parameter) {
    auto* waiter = static_cast<Waiter*>(parameter);
    if (WaitForSingleObject(waiter->object, kLongEnough) == WAIT_OBJECT_0) {
        ++waiter->released;
    }
    return 0;
}

DWORD WINAPI TakeAndKeep(LPVOID parameter) {
    return WaitForSingleObject(static_cast<HANDLE>(parameter), kLongEnough);
}

TEST(DeviceServerTest, NamedMutexIsOwnedByAThreadNotByTheWholeProcess) {
    TempDevice device;
    Waiter waiter{CreateMutexW(nullptr, TRUE, kLockName)};
    HANDLE other = CreateThread(nullptr, 0, TakeOnceAndRelease, &waiter, 0, nullptr);
    EXPECT_EQ(WaitForSingleObject(other, 100), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_EQ(waiter.released.load(), 0);
    EXPECT_TRUE(ReleaseMutex(waiter.object));
    ASSERT_EQ(WaitForSingleObject(other, kLongEnough), WAIT_OBJECT_0);
    EXPECT_EQ(waiter.released.load(), 1);
    CloseHandle(other);

    HANDLE keeper = CreateThread(nullptr, 0, TakeAndKeep, waiter.object, 0, nullptr);
    ASSERT_EQ(WaitForSingleObject(keeper, kLongEnough), WAIT_OBJECT_0);
    DWORD taken = WAIT_FAILED;
    GetExitCodeThread(keeper, &taken);
    ASSERT_EQ(taken, WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(waiter.object, 0), WAIT_OBJECT_0) << "its owner ended without releasing it";
    EXPECT_TRUE(ReleaseMutex(waiter.object));
    CloseHandle(keeper);
    CloseHandle(waiter.object);
}

TEST(DeviceServerTest, PulseOnANamedEventReleasesItsWaitersAndLeavesItUnset) {
    TempDevice device;
    for (BOOL manual : {TRUE, FALSE}) {
        Waiter waiter{CreateEventW(nullptr, manual, FALSE, manual ? u"Pulsed manual" : u"Pulsed auto")};
        PulseEvent(waiter.object);
        EXPECT_EQ(WaitForSingleObject(waiter.object, 0), static_cast<DWORD>(WAIT_TIMEOUT));
        HANDLE threads[2] = {CreateThread(nullptr, 0, WaitForEvent, &waiter, 0, nullptr),
                             CreateThread(nullptr, 0, WaitForEvent, &waiter, 0, nullptr)};
        for (int round = 0; round < 5000 && waiter.released < 2; ++round) {
            PulseEvent(waiter.object);
            WaitForMultipleObjects(2, threads, TRUE, 1);
        }
        EXPECT_EQ(waiter.released.load(), 2);
        EXPECT_EQ(WaitForSingleObject(waiter.object, 0), static_cast<DWORD>(WAIT_TIMEOUT));
        EXPECT_EQ(WaitForMultipleObjects(2, threads, TRUE, kLongEnough), WAIT_OBJECT_0);
        CloseHandle(threads[0]);
        CloseHandle(threads[1]);
        CloseHandle(waiter.object);
    }
}

struct TimedWait {
    HANDLE object;
    std::atomic<bool> done{false};
    DWORD result = 0;
};

DWORD WINAPI WaitAMinute(LPVOID parameter) {
    auto* wait = static_cast<TimedWait*>(parameter);
    wait->result = WaitForSingleObject(wait->object, 60000);
    wait->done = true;
    return 0;
}

TEST(DeviceServerTest, TimeOutOnANamedObjectRunsOnTheVirtualClock) {
    TempDevice device;
    ce::EnableVirtualClock(1700000000000ull);
    TimedWait wait{CreateEventW(nullptr, FALSE, FALSE, u"Never set")};
    auto start = std::chrono::steady_clock::now();
    HANDLE waiter = CreateThread(nullptr, 0, WaitAMinute, &wait, 0, nullptr);
    while (!wait.done && std::chrono::steady_clock::now() - start < std::chrono::seconds(5)) {
        ce::AdvanceVirtualClock(1000);
        std::this_thread::yield();
    }
    ASSERT_TRUE(wait.done);
    EXPECT_EQ(wait.result, static_cast<DWORD>(WAIT_TIMEOUT));
    ce::DisableVirtualClock();
    WaitForSingleObject(waiter, kLongEnough);
    CloseHandle(waiter);
    CloseHandle(wait.object);
}

// Each racer creates the same mutex while the server is being started by all of them at once; one
// server means exactly one of them created it.
TEST(DeviceServerTest, ChildRacesToStartTheServer) {
    CHILD_PART_ONLY();
    std::u16string index = ce::FromUtf8(ChildRole());
    HANDLE mutex = CreateMutexW(nullptr, FALSE, u"Race");
    ASSERT_NE(mutex, nullptr);
    bool existed = GetLastError() == ERROR_ALREADY_EXISTS;
    Announce((u"Racer ready " + index).c_str());
    HANDLE go = CreateEventW(nullptr, TRUE, FALSE, u"Go");
    WaitForSingleObject(go, kLongEnough);
    _exit(existed ? 10 : 11);
}

TEST(DeviceServerTest, ProcessesStartingTogetherShareOneServer) {
    TempDevice device;
    const int kRacers = 4;
    std::vector<std::unique_ptr<ChildProcess>> racers;
    for (int i = 0; i < kRacers; ++i) {
        racers.push_back(
            std::make_unique<ChildProcess>("DeviceServerTest.ChildRacesToStartTheServer", std::to_string(i)));
    }
    for (int i = 0; i < kRacers; ++i) {
        std::u16string name = u"Racer ready " + ce::FromUtf8(std::to_string(i));
        HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, name.c_str());
        ASSERT_EQ(WaitForSingleObject(ready, kLongEnough), WAIT_OBJECT_0);
    }
    HANDLE go = CreateEventW(nullptr, TRUE, FALSE, u"Go");
    SetEvent(go);
    int creators = 0;
    for (auto& racer : racers) {
        int code = racer->Wait();
        ASSERT_TRUE(code == 10 || code == 11) << code;
        creators += code == 11;
    }
    EXPECT_EQ(creators, 1);
    CloseHandle(go);
}

TEST(DeviceServerTest, ChildUsesTheServer) {
    CHILD_PART_ONLY();
    ASSERT_NE(CreateMutexW(nullptr, FALSE, u"Anything"), nullptr) << GetLastError();
}

TEST(DeviceServerTest, ServerEndsWhenIdleAndStartsAgainOnDemand) {
    TempDevice device;
    setenv("CE_DEVSERVER_IDLE_MS", "100", 1);
    std::string socket = device.Root() + "/run/devserver.sock";
    ASSERT_EQ(ChildProcess("DeviceServerTest.ChildUsesTheServer", "user").Wait(), 0);
    EXPECT_TRUE(WaitForFile(socket, false)) << "no process left: the server ends";
    ASSERT_EQ(ChildProcess("DeviceServerTest.ChildUsesTheServer", "user").Wait(), 0);
    unsetenv("CE_DEVSERVER_IDLE_MS");
    EXPECT_TRUE(WaitForFile(socket, false)) << "started again, and ended again";
}

TEST(DeviceServerTest, ServerThatDiedIsReplacedAndItsObjectsFailCleanly) {
    TempDevice device;
    HANDLE event = CreateEventW(nullptr, TRUE, TRUE, u"Before");
    ASSERT_NE(event, nullptr);
    ServerConnection server(device.Root() + "/run/devserver.sock");
    ASSERT_GT(server.pid, 0);
    ASSERT_EQ(kill(server.pid, SIGKILL), 0);
    ASSERT_TRUE(server.HungUp());
    ASSERT_TRUE(server.Ended());

    EXPECT_EQ(WaitForSingleObject(event, 1000), WAIT_FAILED);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_FALSE(SetEvent(event));

    HANDLE again = CreateEventW(nullptr, TRUE, TRUE, u"After");
    ASSERT_NE(again, nullptr) << "a new server replaces the dead one's socket";
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
    EXPECT_EQ(WaitForSingleObject(again, 0), WAIT_OBJECT_0);
    CloseHandle(event);
    CloseHandle(again);
}

TEST(DeviceServerTest, DeviceRootLongerThanASocketPathStillWorks) {
    TempDevice device;
    std::string deep = device.Root() + "/" + std::string(60, 'd') + "/" + std::string(60, 'e');
    std::filesystem::create_directories(deep);
    ce::SetDeviceRoot(deep);
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, u"Deep");
    ASSERT_NE(event, nullptr);
    EXPECT_TRUE(std::filesystem::exists(deep + "/run/devserver.sock"));
    EXPECT_TRUE(SetEvent(event));
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
    CloseHandle(event);
}

TEST(DeviceServerTest, DamagedRequestsCloseOnlyTheirOwnConnection) {
    TempDevice device;
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, u"Still served");
    ASSERT_NE(event, nullptr);
    std::string socketPath = device.Root() + "/run/devserver.sock";
    const std::string hostile[] = {
        std::string("\xFF\xFF\xFF\xFF", 4),               // a frame far too long
        std::string("\x06\0\0\0\x0A\0\0\0\x73\xFF", 10),  // a text longer than its frame
        std::string("\x05\0\0\0\x0A\0\0\0\x7A", 9),       // an unknown field tag
    };
    for (const std::string& bytes : hostile) {
        int fd = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        ASSERT_LT(socketPath.size(), sizeof address.sun_path);
        std::copy(socketPath.begin(), socketPath.end(), address.sun_path);
        ASSERT_EQ(connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address), 0);
        ASSERT_EQ(send(fd, bytes.data(), bytes.size(), MSG_NOSIGNAL), static_cast<ssize_t>(bytes.size()));
        char reply = 0;
        EXPECT_EQ(recv(fd, &reply, 1, 0), 0) << "the server hangs up";
        close(fd);
    }
    EXPECT_TRUE(SetEventData(event, 5));
    EXPECT_EQ(GetEventData(event), 5u);
    CloseHandle(event);
}

}  // namespace
