#include <gtest/gtest.h>

#include "Platform/ChildProcess.h"
#include "Platform/TempDevice.h"
#include "ce/device.h"

namespace {

using ce::test::TempDevice;

constexpr uint64_t kStart = 1700000000000ULL;

TEST(VirtualClockTest, MovesOnlyWhenAdvanced) {
    TempDevice device;
    ce::EnableVirtualClock(kStart);
    uint64_t tick = ce::ClockTickMs();
    EXPECT_EQ(ce::ClockUnixMs(), kStart);
    ce::AdvanceVirtualClock(60000);
    EXPECT_EQ(ce::ClockUnixMs(), kStart + 60000);
    EXPECT_EQ(ce::ClockTickMs(), tick + 60000);
    ce::DisableVirtualClock();
    EXPECT_FALSE(ce::VirtualClockEnabled());
}

TEST(VirtualClockTest, SettingTheTimeLeavesTheTickCount) {
    TempDevice device;
    ce::EnableVirtualClock(kStart);
    uint64_t tick = ce::ClockTickMs();
    ce::SetClockUnixMs(kStart - 3600000);
    EXPECT_EQ(ce::ClockUnixMs(), kStart - 3600000);
    EXPECT_EQ(ce::ClockTickMs(), tick);
    ce::DisableVirtualClock();

    ce::SetClockUnixMs(kStart);  // real clock: kept as an offset
    EXPECT_NEAR(static_cast<double>(ce::ClockUnixMs()), static_cast<double>(kStart), 5000.0);
}

TEST(VirtualClockTest, WithoutDeviceRootTheProcessKeepsItsOwnClock) {
    ce::SetDeviceRoot({});
    ce::EnableVirtualClock(kStart);
    ce::AdvanceVirtualClock(5);
    EXPECT_EQ(ce::ClockUnixMs(), kStart + 5);
    ce::DisableVirtualClock();
}

// The child's part: sees the parent's virtual time and advances it.
TEST(VirtualClockTest, ChildAdvancesSharedClock) {
    if (ce::test::ChildRole() == nullptr) {
        GTEST_SKIP() << "runs as the child of SharedByProcessesOfTheDevice";
    }
    ASSERT_TRUE(ce::VirtualClockEnabled());
    ASSERT_EQ(ce::ClockUnixMs(), kStart + 1000);
    ce::AdvanceVirtualClock(120000);
}

TEST(VirtualClockTest, SharedByProcessesOfTheDevice) {
    TempDevice device;
    ce::EnableVirtualClock(kStart);
    ce::AdvanceVirtualClock(1000);
    ASSERT_EQ(ce::test::RunChildTest("VirtualClockTest.ChildAdvancesSharedClock", "clock"), 0);
    EXPECT_EQ(ce::ClockUnixMs(), kStart + 1000 + 120000);
}

}  // namespace
