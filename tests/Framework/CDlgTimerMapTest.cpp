// The timer map owns what its timers drive.
#include <gtest/gtest.h>

#include "UserInterface/CDlgTimerMap.h"

namespace {

using UserInterface::CDlgTimerMap;

class Counted : public CDlgTimerMap::CTimerObject {
public:
    explicit Counted(int* alive) : alive_(alive) { ++*alive_; }
    ~Counted() override { --*alive_; }

private:
    int* alive_;
};

TEST(DlgTimerMap, ObjectsAreDeletedWhenReplacedRemovedOrWithTheMap) {
    int alive = 0;
    {
        CDlgTimerMap timers;
        EXPECT_FALSE(timers.Set(1, nullptr));
        auto* first = new Counted(&alive);
        ASSERT_TRUE(timers.Set(1, first));
        ASSERT_TRUE(timers.Set(1, first)) << "setting the same object again keeps it";
        EXPECT_EQ(timers.Get(1), first);
        EXPECT_EQ(alive, 1);
        timers.Set(1, new Counted(&alive));
        EXPECT_EQ(alive, 1) << "the replaced object went";
        timers.Set(2, new Counted(&alive));
        timers.Set(3, new Counted(&alive));
        EXPECT_TRUE(timers.Remove(2));
        EXPECT_FALSE(timers.Remove(2));
        EXPECT_EQ(timers.Get(2), nullptr);
        EXPECT_EQ(alive, 2);
        timers.RemoveAll();
        EXPECT_EQ(alive, 0);
        EXPECT_EQ(timers.GetCount(), 0u);
        timers.Set(4, new Counted(&alive));
    }
    EXPECT_EQ(alive, 0) << "the map's end deletes what is left";
}

}  // namespace
