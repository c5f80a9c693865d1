// One program for both sides: run as "--save-loop KIND PROGRESS [traced | cut STEP SEED]" it is the
// saving child that the tests kill or cut the power of; otherwise it runs the tests.
#include <gtest/gtest.h>

#include <cstdlib>
#include <cstring>

#include "SaveLoop.h"

namespace {

crash_test::SaveEnd EndFromArguments(int argc, char** argv) {
    crash_test::SaveEnd end;
    end.traced = argc == 5 && std::strcmp(argv[4], "traced") == 0;
    if (argc == 7 && std::strcmp(argv[4], "cut") == 0) {
        end.powerCutStep = static_cast<uint32_t>(std::strtoul(argv[5], nullptr, 10));
        end.powerCutSeed = static_cast<uint32_t>(std::strtoul(argv[6], nullptr, 10));
    }
    return end;
}

}  // namespace

int main(int argc, char** argv) {
    if ((argc == 4 || argc == 5 || argc == 7) && std::strcmp(argv[1], "--save-loop") == 0) {
        return crash_test::RunSaveLoop(argv[2], argv[3], EndFromArguments(argc, argv));
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
