#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <thread>
#include <vector>

#include "CDelegateArray.h"

namespace {

struct Listener {
    std::vector<int>* calls;
    int id;
    CDelegateArray* array = nullptr;
    const CDelegate* toRemove = nullptr;
    const CDelegate* toAdd = nullptr;
};

int Record(INT_PTR a1, INT_PTR, INT_PTR, INT_PTR, INT_PTR, INT_PTR context) {
    auto* listener = reinterpret_cast<Listener*>(context);
    listener->calls->push_back(listener->id);
    if (listener->toRemove != nullptr) {
        listener->array->Remove(listener->toRemove);
    }
    if (listener->toAdd != nullptr) {
        listener->array->Add(listener->toAdd);
    }
    return static_cast<int>(a1) + listener->id;
}

int Other(INT_PTR, INT_PTR, INT_PTR, INT_PTR, INT_PTR, INT_PTR) {
    return 0;
}

CDelegate For(Listener& listener) {
    return CDelegate(Record, reinterpret_cast<INT_PTR>(&listener));
}

TEST(CDelegate, SetRefusesANullFunctionAndInvokePassesTheContext) {
    CDelegate delegate;
    EXPECT_EQ(delegate.Invoke(1, 2, 3, 4, 5), 0);
    std::vector<int> calls;
    Listener listener{&calls, 7};
    ASSERT_EQ(delegate.Set(Record, reinterpret_cast<INT_PTR>(&listener)), 1);
    EXPECT_EQ(delegate.Set(nullptr, 0), 0);
    EXPECT_TRUE(delegate.IsSet());
    EXPECT_EQ(delegate.Invoke(100), 107);
    EXPECT_EQ(calls, std::vector<int>{7});
    delegate.Clear();
    EXPECT_FALSE(delegate.IsSet());
}

TEST(CDelegateArray, RemoveComparesFunctionAndContext) {
    std::vector<int> calls;
    Listener first{&calls, 1};
    Listener second{&calls, 2};
    CDelegateArray array;
    const CDelegate a = For(first);
    const CDelegate b = For(second);
    array.Add(&a);
    array.Add(&b);

    const CDelegate unknown(Record, 12345);
    const CDelegate other(Other, reinterpret_cast<INT_PTR>(&second));
    const CDelegate unset;
    EXPECT_EQ(array.Remove(&unknown), 0);
    EXPECT_EQ(array.Remove(&other), 0);
    EXPECT_EQ(array.Remove(&unset), 0);
    EXPECT_EQ(array.Remove(nullptr), 0);

    EXPECT_EQ(array.Remove(&b), 1);
    array.InvokeAll();
    EXPECT_EQ(calls, std::vector<int>{1}) << "the second listener went, the first stays";
    EXPECT_EQ(array.InvokeAt(0, 10), 11);
    EXPECT_EQ(array.InvokeAt(1), 0);
    EXPECT_EQ(array.InvokeAt(-1), 0);
}

TEST(CDelegateArray, ListenersRemovedDuringARunAreNotCalledAndAddedOnesWaitForTheNext) {
    std::vector<int> calls;
    Listener first{&calls, 1};
    Listener second{&calls, 2};
    Listener third{&calls, 3};
    Listener late{&calls, 4};
    CDelegateArray array;
    const CDelegate a = For(first);
    const CDelegate b = For(second);
    const CDelegate c = For(third);
    const CDelegate d = For(late);
    array.Add(&a);
    array.Add(&b);
    array.Add(&c);
    // The first removes itself and the third, and adds a late one.
    first.array = &array;
    first.toRemove = &a;
    second.array = &array;
    second.toRemove = &c;
    second.toAdd = &d;

    array.InvokeAll();
    EXPECT_EQ(calls, (std::vector<int>{1, 2}));
    calls.clear();
    second.toRemove = nullptr;
    second.toAdd = nullptr;
    array.InvokeAll();
    EXPECT_EQ(calls, (std::vector<int>{2, 4}));
}

struct Blocking {
    std::promise<void> entered;
    std::atomic<bool> release{false};
    std::atomic<bool> finished{false};
};

int Block(INT_PTR, INT_PTR, INT_PTR, INT_PTR, INT_PTR, INT_PTR context) {
    auto* state = reinterpret_cast<Blocking*>(context);
    state->entered.set_value();
    while (!state->release) {
        std::this_thread::yield();
    }
    state->finished = true;
    return 0;
}

TEST(CDelegateArray, RemoveReturnsOnlyAfterTheInFlightCall) {
    Blocking state;
    CDelegateArray array;
    const CDelegate listener(Block, reinterpret_cast<INT_PTR>(&state));
    array.Add(&listener);

    std::thread worker([&] { array.InvokeAll(); });
    state.entered.get_future().wait();
    auto removal = std::async(std::launch::async, [&] {
        const int removed = array.Remove(&listener);
        return removed == 1 && state.finished;
    });
    // Give a Remove that does not wait the chance to return early.
    EXPECT_EQ(removal.wait_for(std::chrono::milliseconds(20)), std::future_status::timeout);
    state.release = true;
    EXPECT_TRUE(removal.get()) << "Remove returned before the in-flight call had finished";
    worker.join();
    EXPECT_EQ(array.GetCount(), 0);
}

}  // namespace
