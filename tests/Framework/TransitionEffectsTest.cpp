#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <mutex>
#include <thread>
#include <vector>

#include "Platform/GdiTestSupport.h"
#include "Platform/TempDevice.h"
#include "UserInterface/CGenericEffect.h"
#include "UserInterface/CPushLeftEffect.h"
#include "ce/device.h"

namespace {

using ce::test::DibDC;
using UserInterface::CGenericEffect;

constexpr int kWidth = 40, kHeight = 20;
constexpr uint16_t kRed = 0xF800, kGreen = 0x07E0, kBlue = 0x001F, kWhite = 0xFFFF, kBlack = 0x0000;

void Fill(DibDC& surface, int left, int top, int right, int bottom, COLORREF color) {
    RECT rect{left, top, right, bottom};
    HBRUSH brush = CreateSolidBrush(color);
    FillRect(surface.dc, &rect, brush);
    DeleteObject(brush);
}

// Red, green, blue and white quarters.
void PaintQuadrants(DibDC& surface) {
    Fill(surface, 0, 0, kWidth / 2, kHeight / 2, RGB(255, 0, 0));
    Fill(surface, kWidth / 2, 0, kWidth, kHeight / 2, RGB(0, 255, 0));
    Fill(surface, 0, kHeight / 2, kWidth / 2, kHeight, RGB(0, 0, 255));
    Fill(surface, kWidth / 2, kHeight / 2, kWidth, kHeight, RGB(255, 255, 255));
}

bool SameSurface(const DibDC& a, const DibDC& b) {
    for (int y = 0; y < kHeight; ++y) {
        for (int x = 0; x < kWidth; ++x) {
            if (a.Raw16(x, y) != b.Raw16(x, y)) {
                return false;
            }
        }
    }
    return true;
}

class Transition : public ::testing::Test {
protected:
    Transition() : from(kWidth, kHeight), to(kWidth, kHeight), target(kWidth, kHeight) {
        PaintQuadrants(from);
        Fill(to, 0, 0, kWidth, kHeight, RGB(0, 0, 0));
        Fill(target, 0, 0, kWidth, kHeight, RGB(255, 255, 0));
    }

    // One frame of a kind, drawn through the effect's own steps.
    // reversed plays from the new picture back to the old one.
    void Frame(int kind, int percent, bool reversed = false) {
        CGenericEffect* effect = UserInterface::CreateTransitionEffect(kind);
        ASSERT_NE(effect, nullptr);
        HDC old = reversed ? to.dc : from.dc, next = reversed ? from.dc : to.dc;
        ASSERT_TRUE(effect->Prepare(target.dc, old, next, 0, 0, kWidth, kHeight));
        EXPECT_TRUE(effect->DrawStep(target.dc, 0, 0, kWidth, kHeight, percent));
        effect->Finish();
    }

    DibDC from, to, target;
};

TEST_F(Transition, EveryKindStartsWithTheOldPictureAndEndsWithTheNew) {
    for (int kind = 0; kind <= 6; ++kind) {
        Frame(kind, 0);
        EXPECT_TRUE(SameSurface(target, from)) << "kind " << kind << " at 0";
        Frame(kind, 100);
        EXPECT_TRUE(SameSurface(target, to)) << "kind " << kind << " at 100";
    }
}

TEST_F(Transition, PushesSlideTheOldPictureOutAtHalfWay) {
    PaintQuadrants(to);
    Fill(from, 0, 0, kWidth / 2, kHeight, RGB(255, 0, 0));
    Fill(from, kWidth / 2, 0, kWidth, kHeight, RGB(0, 255, 0));
    // Push left: the old right half on the left, the new left half on the right.
    Frame(0, 50);
    EXPECT_EQ(target.Raw16(5, 5), kGreen);
    EXPECT_EQ(target.Raw16(35, 5), kRed);
    EXPECT_EQ(target.Raw16(35, 15), kBlue);
    // Push right: the new right half on the left, the old left half on the right.
    Frame(1, 50);
    EXPECT_EQ(target.Raw16(5, 5), kGreen);
    EXPECT_EQ(target.Raw16(5, 15), kWhite);
    EXPECT_EQ(target.Raw16(35, 5), kRed);
}

TEST_F(Transition, BlendMixesBothPicturesHalfWay) {
    Fill(to, 0, 0, kWidth, kHeight, RGB(0, 0, 255));
    Frame(2, 50);
    // Red 31 -> 0 and blue 0 -> 31 with K = 32 of 64 (rounding down).
    EXPECT_EQ(target.Raw16(5, 5), (15 << 11) | 15);
    EXPECT_EQ(target.Raw16(30, 15), (15 << 11) | (31 << 5) | 31) << "white to blue keeps blue";
}

TEST_F(Transition, PointEffectsScaleAboutTheCentre) {
    // Squeeze at 50: the old picture in the middle half, the new one around it.
    Frame(3, 50);
    EXPECT_EQ(target.Raw16(2, 2), kBlack);
    EXPECT_EQ(target.Raw16(12, 7), kRed);
    EXPECT_EQ(target.Raw16(28, 7), kGreen);
    EXPECT_EQ(target.Raw16(12, 13), kBlue);
    EXPECT_EQ(target.Raw16(28, 13), kWhite);
    EXPECT_EQ(target.Raw16(38, 18), kBlack);

    // Restore from point at 50: the new picture in the middle half, the old one around it.
    Frame(4, 50);
    EXPECT_EQ(target.Raw16(2, 2), kRed);
    EXPECT_EQ(target.Raw16(20, 10), kBlack);
    EXPECT_EQ(target.Raw16(38, 18), kWhite);
}

TEST_F(Transition, FourRectangleEffectsPlaceTheQuartersInTheCorners) {
    // Restore from four rectangles brings in the middle parts of the new quarters (here the quadrants);
    // divide into four keeps the outer parts of the old ones. At 50 both leave black between the corners.
    const std::pair<int, bool> cases[] = {{5, true}, {6, false}};
    for (auto [kind, reversed] : cases) {
        Frame(kind, 50, reversed);
        EXPECT_EQ(target.Raw16(2, 2), kRed) << "kind " << kind;
        EXPECT_EQ(target.Raw16(37, 2), kGreen) << "kind " << kind;
        EXPECT_EQ(target.Raw16(2, 17), kBlue) << "kind " << kind;
        EXPECT_EQ(target.Raw16(37, 17), kWhite) << "kind " << kind;
        EXPECT_EQ(target.Raw16(15, 2), kBlack) << "kind " << kind;
        EXPECT_EQ(target.Raw16(20, 10), kBlack) << "kind " << kind;
    }
}

TEST_F(Transition, StepsBeyondTheEndOrWithoutPreparingAreRefused) {
    for (int kind = 0; kind <= 6; ++kind) {
        CGenericEffect* effect = UserInterface::CreateTransitionEffect(kind);
        EXPECT_FALSE(effect->DrawStep(target.dc, 0, 0, kWidth, kHeight, 50)) << "kind " << kind << " unprepared";
        ASSERT_TRUE(effect->Prepare(target.dc, from.dc, to.dc, 0, 0, kWidth, kHeight));
        EXPECT_FALSE(effect->DrawStep(target.dc, 0, 0, kWidth, kHeight, 101)) << "kind " << kind;
        effect->Finish();
    }
}

TEST(TransitionEffects, OneObjectPerKindForTheWholeProcess) {
    CGenericEffect* blend = UserInterface::CreateTransitionEffect(2);
    ASSERT_NE(blend, nullptr);
    EXPECT_EQ(UserInterface::CreateTransitionEffect(2), blend);
    EXPECT_NE(UserInterface::CreateTransitionEffect(0), blend);
    EXPECT_EQ(blend->GetDuration(), 300u);
    EXPECT_EQ(UserInterface::CreateTransitionEffect(7), nullptr);
    EXPECT_EQ(UserInterface::CreateTransitionEffect(-1), nullptr);
}

// A push that records the percent of every frame it draws, and fails a frame when asked to.
class RecordingPush : public UserInterface::CPushLeftEffect {
public:
    bool DrawStep(HDC target, int x, int y, int width, int height, int percent) override {
        std::lock_guard guard(lock);
        percents.push_back(percent);
        ++frames;
        if (static_cast<int>(percents.size()) == failAtFrame) {
            return false;
        }
        return CPushLeftEffect::DrawStep(target, x, y, width, height, percent);
    }
    void Finish() override {
        ++finished;
        CPushLeftEffect::Finish();
    }

    std::mutex lock;
    std::vector<int> percents;
    std::atomic<int> frames{0};
    std::atomic<int> finished{0};
    int failAtFrame = -1;
};

class PlayedTransition : public Transition {
protected:
    PlayedTransition() { ce::EnableVirtualClock(1765288800000); }
    ~PlayedTransition() override { ce::DisableVirtualClock(); }

    // Plays the effect while the virtual clock moves on by step after each frame (or a short real wait).
    bool PlayWhileTheClockRuns(RecordingPush& effect, DWORD step) {
        std::atomic<bool> done{false};
        bool result = false;
        std::thread player([&] {
            result = effect.Play(target.dc, 0, 0, kWidth, kHeight, from.dc, to.dc, 0, 0);
            done = true;
        });
        int seen = 0;
        for (int round = 0; round < 500 && !done; ++round) {
            auto until = std::chrono::steady_clock::now() + std::chrono::milliseconds(20);
            while (effect.frames == seen && !done && std::chrono::steady_clock::now() < until) {
                std::this_thread::yield();
            }
            seen = effect.frames;
            ce::AdvanceVirtualClock(step);
        }
        player.join();
        return result;
    }

    ce::test::TempDevice device;
};

TEST_F(PlayedTransition, PlaysRisingFramesAndEndsAtOneHundredPercent) {
    RecordingPush effect;
    EXPECT_TRUE(PlayWhileTheClockRuns(effect, 40));
    ASSERT_GE(effect.percents.size(), 2u);
    EXPECT_EQ(effect.percents.front(), 0);
    EXPECT_EQ(effect.percents.back(), 100);
    for (size_t i = 1; i < effect.percents.size(); ++i) {
        EXPECT_LT(effect.percents[i - 1], effect.percents[i]) << "no frame is drawn twice";
    }
    EXPECT_LE(effect.percents.size(), 10u) << "300 ms in 40 ms steps";
    EXPECT_EQ(effect.finished, 1);
    EXPECT_TRUE(SameSurface(target, to));
}

TEST_F(PlayedTransition, AFailingFrameEndsThePlayWithFalse) {
    RecordingPush effect;
    effect.failAtFrame = 2;
    EXPECT_FALSE(PlayWhileTheClockRuns(effect, 40));
    EXPECT_EQ(effect.percents.size(), 2u);
    EXPECT_EQ(effect.finished, 1);
}

TEST_F(PlayedTransition, ZeroDurationJumpsToTheEnd) {
    RecordingPush effect;
    effect.SetDuration(0);
    EXPECT_TRUE(PlayWhileTheClockRuns(effect, 40));
    EXPECT_EQ(effect.percents, std::vector<int>{100});
}

TEST_F(Transition, MissingPictureMakesPlayFailWithoutDrawing) {
    CGenericEffect* effect = UserInterface::CreateTransitionEffect(0);
    EXPECT_FALSE(effect->Play(target.dc, 0, 0, kWidth, kHeight, nullptr, to.dc, 0, 0));
    EXPECT_FALSE(effect->Play(nullptr, 0, 0, kWidth, kHeight, from.dc, to.dc, 0, 0));
    EXPECT_EQ(target.Raw16(5, 5), ce::test::To565(RGB(255, 255, 0)));
}

}  // namespace
