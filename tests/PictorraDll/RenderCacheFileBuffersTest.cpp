// The decode buffers that render cache objects lease: given back, they serve the next object as they
// are, a few at most are kept and none larger than a bounded size, and objects on several threads never
// share a set.
#include <gtest/gtest.h>

#include <thread>
#include <vector>

#include "RenderCacheFileBuffers.h"

namespace {

TEST(RenderCacheFileBuffers, AGivenBackSetServesTheNextLeaseWithWhatItHeld)
{
    RenderCacheFileBuffers::Lease first = RenderCacheFileBuffers::Take();
    ASSERT_TRUE(first);
    uint32_t* pixels = first->Pixels(64 * 64);
    ASSERT_NE(pixels, nullptr);
    ASSERT_TRUE(first->ReserveReadAhead(16 * 1024));
    size_t held = first->HeldBytes();
    EXPECT_GE(held, 64 * 64 * 4 + 16 * 1024u);
    first.reset();

    RenderCacheFileBuffers::Lease next = RenderCacheFileBuffers::Take();
    ASSERT_TRUE(next);
    EXPECT_EQ(next->HeldBytes(), held);
    EXPECT_EQ(next->Pixels(32 * 32), pixels) << "a smaller picture is decoded where the larger one was";
}

TEST(RenderCacheFileBuffers, KeepsFewSetsAndNoneOfAnyLargeSize)
{
    // A picture of 1024 x 1024 is no size to hold on to once its object has ended.
    RenderCacheFileBuffers::Lease large = RenderCacheFileBuffers::Take();
    ASSERT_NE(large->Pixels(1024 * 1024), nullptr);
    large.reset();
    RenderCacheFileBuffers::Lease taken = RenderCacheFileBuffers::Take();
    EXPECT_LT(taken->HeldBytes(), 1024 * 1024 * 4u);
    taken.reset();

    // Of many sets given back at once, only a few are still held by the next leases.
    std::vector<RenderCacheFileBuffers::Lease> leases;
    for (int i = 0; i < 8; ++i) {
        leases.push_back(RenderCacheFileBuffers::Take());
        ASSERT_NE(leases.back()->Pixels(16 * 16), nullptr);
    }
    leases.clear();
    size_t holding = 0;
    for (int i = 0; i < 8; ++i) {
        leases.push_back(RenderCacheFileBuffers::Take());
        if (leases.back()->HeldBytes() > 0) ++holding;
    }
    EXPECT_GE(holding, 1u);
    EXPECT_LE(holding, 2u);
}

TEST(RenderCacheFileBuffers, LeasesOnSeveralThreadsNeverShareASet)
{
    constexpr size_t kWords = 4096;
    std::vector<std::thread> threads;
    std::vector<int> shared(4, 0);
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([t, &shared] {
            for (int round = 0; round < 500; ++round) {
                RenderCacheFileBuffers::Lease lease = RenderCacheFileBuffers::Take();
                uint32_t* words = lease ? lease->Pixels(kWords) : nullptr;
                if (!words) continue;
                uint32_t mark = uint32_t(t) << 16 | uint32_t(round);
                for (size_t i = 0; i < kWords; ++i) words[i] = mark;
                std::this_thread::yield();
                for (size_t i = 0; i < kWords; ++i) {
                    if (words[i] != mark) {
                        ++shared[t];
                        break;
                    }
                }
            }
        });
    }
    for (std::thread& thread : threads) thread.join();
    EXPECT_EQ(shared, std::vector<int>(4, 0));
}

}  // namespace
