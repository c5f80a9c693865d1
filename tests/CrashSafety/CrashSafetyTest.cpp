// Every file the program writes, killed with SIGKILL at random points of its saves, and its power cut
// at random points of them (the file layer's power-cut mode throws away or tears what was not synced):
// after each the program's own reader must find the old content or the new one, whole. CE_CRASH_KILLS
// sets the kills and the cuts per file (scripts/crash-safety runs 200 each); CE_CRASH_SEED repeats a run.
#include <gtest/gtest.h>

#include <cstdlib>
#include <iostream>
#include <random>
#include <string>

#include "InstalledDevice.h"
#include "KillRun.h"
#include "SavedFile.h"
#include "ce/com.h"

namespace crash_test {
namespace {

constexpr uint32_t kDefaultKills = 10;

uint32_t FromEnvironment(const char* name, uint32_t fallback) {
    const char* text = std::getenv(name);
    return text != nullptr && *text != 0 ? static_cast<uint32_t>(std::strtoul(text, nullptr, 10)) : fallback;
}

class CrashSafety : public ::testing::TestWithParam<std::string> {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))); }
    void TearDown() override { CoUninitialize(); }

    ce::test::InstalledDevice device;
};

// Every kill is of a new sanitized child that starts and saves: 10 kills take 5 to 15 s.
TEST_P(CrashSafety, FileHoldsTheOldOrTheNewContentAfterEveryKill) {
    const uint32_t kills = FromEnvironment("CE_CRASH_KILLS", kDefaultKills);
    const uint32_t seed = FromEnvironment("CE_CRASH_SEED", std::random_device{}());
    std::unique_ptr<SavedFile> file = MakeSavedFile(GetParam());
    ASSERT_TRUE(file && file->Prepare());
    ASSERT_TRUE(file->Save(1));

    KillRun run(GetParam(), device.Root() + "/save-progress", seed);
    KillFigures figures = run.Run(*file, 1, kills);
    std::cout << GetParam() << ": " << figures.kills << " kills (" << figures.atFileCall
              << " right before a file call), " << figures.insideSave << " inside a save, "
              << figures.saves << " saves finished, seed " << seed << "\n";
    RecordProperty("kills", static_cast<int>(figures.kills));
    RecordProperty("inside_save", static_cast<int>(figures.insideSave));

    EXPECT_EQ(figures.failure, "") << "seed " << seed;
    EXPECT_EQ(figures.kills, kills);
    // Kills that all fell between saves would prove nothing.
    EXPECT_GE(figures.insideSave * 4, figures.kills) << "too few kills landed inside a save";
}

// A child for each cut, which warms up and saves until the cut: 10 cuts take one or two seconds.
TEST_P(CrashSafety, FileHoldsTheOldOrTheNewContentAfterEveryPowerCut) {
    const uint32_t cuts = FromEnvironment("CE_CRASH_KILLS", kDefaultKills);
    const uint32_t seed = FromEnvironment("CE_CRASH_SEED", std::random_device{}());
    std::unique_ptr<SavedFile> file = MakeSavedFile(GetParam());
    ASSERT_TRUE(file && file->Prepare());
    ASSERT_TRUE(file->Save(1));

    KillRun run(GetParam(), device.Root() + "/save-progress", seed);
    KillFigures figures = run.CutPower(*file, 1, cuts);
    std::cout << GetParam() << ": " << figures.kills << " power cuts, " << figures.insideSave << " inside a save ("
              << figures.foundOld << " of them found the old content), " << figures.saves
              << " saves finished, seed " << seed << "\n";
    RecordProperty("power_cuts", static_cast<int>(figures.kills));
    RecordProperty("inside_save", static_cast<int>(figures.insideSave));

    EXPECT_EQ(figures.failure, "") << "seed " << seed;
    EXPECT_EQ(figures.kills, cuts);
}

// The append that creates the render cache, killed before each of its file calls in turn: a kill after
// the picture is written and before the header that leads to its index must not leave a cache that
// refuses every later append (every picture would be rendered again at every start from then on).
// A new sanitized child for each of the append's file calls: some 25 s.
TEST(RenderCacheCreation, CacheTakesAppendsAfterAKillBeforeAnyFileCallOfItsFirstAppend) {
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
    {
        ce::test::InstalledDevice device;
        std::unique_ptr<SavedFile> file = MakeSavedFile("render-first");
        ASSERT_TRUE(file && file->Prepare());
        KillRun run("render-first", device.Root() + "/save-progress", 1);
        KillFigures figures = run.KillBeforeEachCall(*file, 0);
        std::cout << "render-first: " << figures.kills << " kills, one before each file call\n";
        EXPECT_EQ(figures.failure, "");
        EXPECT_GE(figures.kills, 3u) << "an append writes the picture, its index and the header";
    }
    CoUninitialize();
}

INSTANTIATE_TEST_SUITE_P(EveryWrittenFile, CrashSafety, ::testing::ValuesIn(SavedFileKinds()),
                         [](const ::testing::TestParamInfo<std::string>& info) { return info.param; });

}  // namespace
}  // namespace crash_test
