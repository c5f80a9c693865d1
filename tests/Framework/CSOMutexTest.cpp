#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <future>
#include <memory>
#include <thread>

#include "CSOMutex.h"
#include "Platform/TempDevice.h"

namespace {

using ce::test::TempDevice;

constexpr char16_t kName[] = u"Skyvane_CityListLock";

TEST(CSOMutex, ASecondHolderInAnotherThreadWaitsUntilTheFirstIsDestroyed) {
    TempDevice device;
    auto first = std::make_unique<CSOMutex>(TRUE, kName, TRUE);
    std::atomic<bool> released{false};
    auto second = std::async(std::launch::async, [&] {
        CSOMutex held(TRUE, kName, TRUE);
        return released.load();
    });
    // Give a second holder that does not wait the chance to get through.
    EXPECT_EQ(second.wait_for(std::chrono::milliseconds(50)), std::future_status::timeout);
    released = true;
    first.reset();
    ASSERT_EQ(second.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_TRUE(second.get()) << "the second holder got the mutex before the first let it go";
}

TEST(CSOMutex, TheHolderCanTakeItAgainAndOthersWaitForBothReleases) {
    TempDevice device;
    auto outer = std::make_unique<CSOMutex>(TRUE, kName, TRUE);
    auto inner = std::make_unique<CSOMutex>(TRUE, kName, TRUE);  // returns at once: mutexes are recursive
    std::atomic<int> stage{0};
    auto other = std::async(std::launch::async, [&] {
        CSOMutex held(TRUE, kName, TRUE);
        return stage.load();
    });
    inner.reset();
    stage = 1;
    EXPECT_EQ(other.wait_for(std::chrono::milliseconds(20)), std::future_status::timeout);
    stage = 2;
    outer.reset();
    ASSERT_EQ(other.wait_for(std::chrono::seconds(10)), std::future_status::ready);
    EXPECT_EQ(other.get(), 2);
}

TEST(CSOMutex, DifferentNamesDoNotBlockEachOther) {
    TempDevice device;
    CSOMutex cities(TRUE, kName, TRUE);
    auto other = std::async(std::launch::async, [] { CSOMutex update(TRUE, u"Skyvane_UpdateLock", TRUE); });
    EXPECT_EQ(other.wait_for(std::chrono::seconds(10)), std::future_status::ready);
}

}  // namespace
