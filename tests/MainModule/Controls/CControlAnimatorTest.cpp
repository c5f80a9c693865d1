// The drawing thread of the animated controls on the virtual clock: ticks a period apart, a slow step
// that does not push the later ticks back, and a stop that ends the thread at once.
#include <gtest/gtest.h>

#include <atomic>

#include "AppControlHost.h"
#include "Controls/CControlAnimator.h"
#include "Platform/TempDevice.h"
#include "ce/device.h"

namespace {

using appctl_test::Eventually;

class Animator : public ::testing::Test {
protected:
    Animator() { ce::EnableVirtualClock(1'760'000'000'000ull); }
    ~Animator() override { ce::DisableVirtualClock(); }

    // Advances a period at a time until the steps reach the count; false when they do not.
    bool AdvanceUntil(int count) {
        for (int i = 0; i < 20 && steps_ < count; ++i) {
            ce::AdvanceVirtualClock(CControlAnimator::kPeriod);
            Eventually([&] { return steps_ >= count; });
        }
        return steps_ >= count;
    }

    ce::test::TempDevice device_;
    std::atomic<int> steps_{0};
};

TEST_F(Animator, StepsComeAPeriodApartAndNotBefore) {
    CControlAnimator animator;
    ASSERT_TRUE(animator.Start([this] { ++steps_; }));
    EXPECT_FALSE(animator.Start([] {})) << "one thread at a time";
    ASSERT_TRUE(AdvanceUntil(1));
    ce::AdvanceVirtualClock(CControlAnimator::kPeriod - 1);
    EXPECT_FALSE(Eventually([&] { return steps_ > 1; })) << "not before the period is over";
    ASSERT_TRUE(AdvanceUntil(2));
    animator.Stop();
    EXPECT_FALSE(animator.IsRunning());
    ce::AdvanceVirtualClock(10 * CControlAnimator::kPeriod);
    EXPECT_EQ(steps_, 2) << "a stopped thread steps no more";
}

TEST_F(Animator, ASlowStepMakesTheNextWaitZeroInsteadOfDelayingEveryTick) {
    EXPECT_EQ(CControlAnimator::NextWait(100), 200u);
    EXPECT_EQ(CControlAnimator::NextWait(300), 0u);
    EXPECT_EQ(CControlAnimator::NextWait(450), 0u) << "no wrap-around into a wait of days";

    CControlAnimator animator;
    ASSERT_TRUE(animator.Start([this] {
        if (++steps_ == 1) {
            ce::AdvanceVirtualClock(400);  // the first step takes 400 ms
        }
    }));
    ASSERT_TRUE(AdvanceUntil(1));
    EXPECT_TRUE(Eventually([&] { return steps_ >= 2; })) << "the next tick is due at once";
}

}  // namespace
