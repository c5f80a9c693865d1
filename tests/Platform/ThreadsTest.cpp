#include <gtest/gtest.h>

#include <atomic>

#include "ce/kernel.h"

namespace {

struct Gate {
    HANDLE open = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    std::atomic<DWORD> seenThreadId{0};
    ~Gate() { CloseHandle(open); }
};

DWORD WINAPI WaitAtGateThenReturnSeven(LPVOID parameter) {
    auto* gate = static_cast<Gate*>(parameter);
    gate->seenThreadId = GetCurrentThreadId();
    WaitForSingleObject(gate->open, INFINITE);
    return 7;
}

DWORD WINAPI RecordThreadId(LPVOID parameter) {
    static_cast<Gate*>(parameter)->seenThreadId = GetCurrentThreadId();
    return 0;
}

TEST(ThreadsTest, ExitCodeIsStillActiveUntilTheThreadReturnsThenItsResult) {
    Gate gate;
    DWORD id = 0;
    HANDLE thread = CreateThread(nullptr, 0, WaitAtGateThenReturnSeven, &gate, 0, &id);
    ASSERT_NE(thread, nullptr);
    EXPECT_NE(id, 0u);
    EXPECT_NE(id, GetCurrentThreadId());

    DWORD code = 0;
    ASSERT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, static_cast<DWORD>(STILL_ACTIVE));
    EXPECT_EQ(WaitForSingleObject(thread, 0), static_cast<DWORD>(WAIT_TIMEOUT));

    SetEvent(gate.open);
    ASSERT_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
    ASSERT_TRUE(GetExitCodeThread(thread, &code));
    EXPECT_EQ(code, 7u);
    EXPECT_EQ(gate.seenThreadId.load(), id) << "CreateThread reports the id the thread itself sees";
    EXPECT_EQ(WaitForSingleObject(thread, 0), WAIT_OBJECT_0) << "an ended thread stays signalled";
    EXPECT_TRUE(CloseHandle(thread));
}

TEST(ThreadsTest, SuspendedThreadRunsOnlyAfterResume) {
    Gate gate;
    HANDLE thread = CreateThread(nullptr, 0, RecordThreadId, &gate, CREATE_SUSPENDED, nullptr);
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(WaitForSingleObject(thread, 50), static_cast<DWORD>(WAIT_TIMEOUT));
    EXPECT_EQ(gate.seenThreadId.load(), 0u);

    EXPECT_EQ(ResumeThread(thread), 1u) << "the previous suspend count";
    ASSERT_EQ(WaitForSingleObject(thread, 10000), WAIT_OBJECT_0);
    EXPECT_NE(gate.seenThreadId.load(), 0u);
    EXPECT_EQ(ResumeThread(thread), 0u);
    CloseHandle(thread);
}

TEST(ThreadsTest, PriorityIsStoredAndOutOfRangeValuesAreRefused) {
    Gate gate;
    HANDLE thread = CreateThread(nullptr, 0, RecordThreadId, &gate, CREATE_SUSPENDED, nullptr);
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(GetThreadPriority(thread), THREAD_PRIORITY_NORMAL);
    EXPECT_TRUE(SetThreadPriority(thread, THREAD_PRIORITY_BELOW_NORMAL));
    EXPECT_EQ(GetThreadPriority(thread), THREAD_PRIORITY_BELOW_NORMAL);
    EXPECT_FALSE(SetThreadPriority(thread, 8));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));

    EXPECT_TRUE(SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_HIGHEST));
    EXPECT_EQ(GetThreadPriority(GetCurrentThread()), THREAD_PRIORITY_HIGHEST);
    SetThreadPriority(GetCurrentThread(), THREAD_PRIORITY_NORMAL);

    ResumeThread(thread);
    WaitForSingleObject(thread, 10000);
    CloseHandle(thread);
}

TEST(ThreadsTest, CallsOnHandlesThatAreNoThreadsFail) {
    HANDLE event = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    DWORD code = 0;
    EXPECT_FALSE(GetExitCodeThread(event, &code));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    EXPECT_EQ(ResumeThread(event), static_cast<DWORD>(-1));
    EXPECT_EQ(CreateThread(nullptr, 0, nullptr, nullptr, 0, nullptr), nullptr);
    CloseHandle(event);
}

struct Shared {
    CRITICAL_SECTION section;
    LONG counter = 0;
    LONG otherThreadEntered = -1;
};

DWORD WINAPI TryEnterFromOtherThread(LPVOID parameter) {
    auto* shared = static_cast<Shared*>(parameter);
    shared->otherThreadEntered = TryEnterCriticalSection(&shared->section);
    if (shared->otherThreadEntered) {
        LeaveCriticalSection(&shared->section);
    }
    return 0;
}

DWORD WINAPI CountUnderSection(LPVOID parameter) {
    auto* shared = static_cast<Shared*>(parameter);
    for (int i = 0; i < 10000; ++i) {
        EnterCriticalSection(&shared->section);
        shared->counter = shared->counter + 1;
        LeaveCriticalSection(&shared->section);
    }
    return 0;
}

TEST(ThreadsTest, CriticalSectionIsRecursiveForItsOwnerAndExcludesOthers) {
    Shared shared;
    InitializeCriticalSection(&shared.section);
    EnterCriticalSection(&shared.section);
    EXPECT_TRUE(TryEnterCriticalSection(&shared.section)) << "the owner enters again";

    HANDLE other = CreateThread(nullptr, 0, TryEnterFromOtherThread, &shared, 0, nullptr);
    ASSERT_EQ(WaitForSingleObject(other, 10000), WAIT_OBJECT_0);
    EXPECT_EQ(shared.otherThreadEntered, FALSE);
    CloseHandle(other);

    LeaveCriticalSection(&shared.section);
    LeaveCriticalSection(&shared.section);
    other = CreateThread(nullptr, 0, TryEnterFromOtherThread, &shared, 0, nullptr);
    ASSERT_EQ(WaitForSingleObject(other, 10000), WAIT_OBJECT_0);
    EXPECT_EQ(shared.otherThreadEntered, TRUE);
    CloseHandle(other);

    HANDLE counters[2] = {CreateThread(nullptr, 0, CountUnderSection, &shared, 0, nullptr),
                          CreateThread(nullptr, 0, CountUnderSection, &shared, 0, nullptr)};
    ASSERT_EQ(WaitForMultipleObjects(2, counters, TRUE, 30000), WAIT_OBJECT_0);
    EXPECT_EQ(shared.counter, 20000);
    CloseHandle(counters[0]);
    CloseHandle(counters[1]);
    DeleteCriticalSection(&shared.section);
}

TEST(ThreadsTest, InterlockedOperationsReturnWhatThePlatformReturns) {
    LONG value = 5;
    EXPECT_EQ(InterlockedIncrement(&value), 6);
    EXPECT_EQ(InterlockedDecrement(&value), 5);
    EXPECT_EQ(InterlockedExchange(&value, 9), 5);
    EXPECT_EQ(InterlockedCompareExchange(&value, 1, 4), 9) << "no exchange when the comparand differs";
    EXPECT_EQ(value, 9);
    EXPECT_EQ(InterlockedCompareExchange(&value, 1, 9), 9);
    EXPECT_EQ(value, 1);
}

}  // namespace
