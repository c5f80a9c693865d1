// Events and mutexes of one process (unnamed, or named without a device root).
#include <gtest/gtest.h>

#include <atomic>

#include "ce/device.h"
#include "ce/kernel.h"

namespace {

struct Waiting {
    HANDLE object;
    std::atomic<int> started{0};
    std::atomic<int> released{0};
};

DWORD WINAPI WaitOnce(LPVOID parameter) {
    auto* waiting = static_cast<Waiting*>(parameter);
    ++waiting->started;
    if (WaitForSingleObject(waiting->object, 20000) == WAIT_OBJECT_0) {
        ++waiting->released;
    }
    return 0;
}

class EventsAndMutexesTest : public testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(ce::DeviceRoot().empty()) << "named objects here stay in the process";
    }
};

TEST_F(EventsAndMutexesTest, AutoResetEventLetsOneWaitThroughAndResets) {
    HANDLE event = CreateEventW(nullptr, FALSE, TRUE, nullptr);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(event, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    SetEvent(event);
    SetEvent(event);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(event, 0), static_cast<DWORD>(WAIT_TIMEOUT))
        << "setting twice is one signal";
    CloseHandle(event);
}

TEST_F(EventsAndMutexesTest, ManualResetEventStaysSetUntilReset) {
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    EXPECT_EQ(WaitForSingleObject(event, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    SetEvent(event);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
    EXPECT_EQ(WaitForSingleObject(event, 0), WAIT_OBJECT_0);
    ResetEvent(event);
    EXPECT_EQ(WaitForSingleObject(event, 0), static_cast<DWORD>(WAIT_TIMEOUT));
    CloseHandle(event);
}

// Signals the object (with signal) until both threads have been let through; false after many tries.
template <class Signal>
bool SignalUntilBothReleased(Waiting& waiting, HANDLE* threads, Signal signal) {
    for (int round = 0; round < 5000 && waiting.released < 2; ++round) {
        signal(waiting.object);
        WaitForMultipleObjects(2, threads, TRUE, 1);
    }
    return waiting.released == 2;
}

TEST_F(EventsAndMutexesTest, PulseReleasesWaitingThreadsAndLeavesTheEventUnset) {
    for (BOOL manual : {TRUE, FALSE}) {
        Waiting waiting{CreateEventW(nullptr, manual, FALSE, nullptr)};
        PulseEvent(waiting.object);
        EXPECT_EQ(WaitForSingleObject(waiting.object, 0), static_cast<DWORD>(WAIT_TIMEOUT))
            << "a pulse without waiters is lost";

        HANDLE threads[2] = {CreateThread(nullptr, 0, WaitOnce, &waiting, 0, nullptr),
                             CreateThread(nullptr, 0, WaitOnce, &waiting, 0, nullptr)};
        EXPECT_TRUE(SignalUntilBothReleased(waiting, threads, PulseEvent));
        EXPECT_EQ(WaitForSingleObject(waiting.object, 0), static_cast<DWORD>(WAIT_TIMEOUT));
        EXPECT_EQ(WaitForMultipleObjects(2, threads, TRUE, 10000), WAIT_OBJECT_0);
        CloseHandle(threads[0]);
        CloseHandle(threads[1]);
        CloseHandle(waiting.object);
    }
}

TEST_F(EventsAndMutexesTest, EventDataTravelsWithTheEvent) {
    HANDLE event = CreateEventW(nullptr, FALSE, FALSE, u"Local event with data");
    HANDLE same = OpenEventW(0, FALSE, u"Local event with data");
    ASSERT_NE(same, nullptr);
    EXPECT_TRUE(SetEventData(event, 3));
    EXPECT_EQ(GetEventData(same), 3u);

    SetLastError(ERROR_SUCCESS);
    EXPECT_EQ(GetEventData(reinterpret_cast<HANDLE>(0x12345)), 0u);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    CloseHandle(same);
    CloseHandle(event);
}

TEST_F(EventsAndMutexesTest, NamesAreSharedWithinTheProcessAndReportAlreadyExists) {
    HANDLE first = CreateMutexW(nullptr, FALSE, u"Local lock");
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS));
    HANDLE second = CreateMutexW(nullptr, TRUE, u"Local lock");
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_ALREADY_EXISTS));
    ASSERT_NE(second, nullptr);
    EXPECT_FALSE(ReleaseMutex(second)) << "an existing mutex is opened, not owned";

    EXPECT_EQ(CreateEventW(nullptr, FALSE, FALSE, u"Local lock"), nullptr) << "the name is a mutex's";
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(OpenEventW(0, FALSE, u"No such event"), nullptr);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_FILE_NOT_FOUND));

    CloseHandle(first);
    CloseHandle(second);
    CreateMutexW(nullptr, FALSE, u"Local lock");
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_SUCCESS)) << "the name went with its last handle";
}

TEST_F(EventsAndMutexesTest, MutexIsRecursivePerThreadAndOnlyItsOwnerReleasesIt) {
    Waiting waiting{CreateMutexW(nullptr, TRUE, nullptr)};
    EXPECT_EQ(WaitForSingleObject(waiting.object, 0), WAIT_OBJECT_0) << "the owner takes it again";

    HANDLE other = CreateThread(nullptr, 0, WaitOnce, &waiting, 0, nullptr);
    EXPECT_EQ(WaitForSingleObject(other, 50), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_TRUE(ReleaseMutex(waiting.object));
    EXPECT_EQ(WaitForSingleObject(other, 50), static_cast<DWORD>(WAIT_TIMEOUT)) << "still held once";
    EXPECT_TRUE(ReleaseMutex(waiting.object));
    ASSERT_EQ(WaitForSingleObject(other, 10000), WAIT_OBJECT_0);
    EXPECT_EQ(waiting.released.load(), 1);

    EXPECT_FALSE(ReleaseMutex(waiting.object)) << "the other thread took it";
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NOT_OWNER));
    // That thread has ended without releasing it: the mutex is free again.
    EXPECT_EQ(WaitForSingleObject(waiting.object, 0), WAIT_OBJECT_0);
    EXPECT_TRUE(ReleaseMutex(waiting.object));
    CloseHandle(other);
    CloseHandle(waiting.object);
}

}  // namespace
