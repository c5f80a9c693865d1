// One program for both sides: run as "--save-loop KIND PROGRESS [traced]" it is the saving child that
// the tests kill; otherwise it runs the tests.
#include <gtest/gtest.h>

#include <cstring>

#include "SaveLoop.h"

int main(int argc, char** argv) {
    if ((argc == 4 || argc == 5) && std::strcmp(argv[1], "--save-loop") == 0) {
        return crash_test::RunSaveLoop(argv[2], argv[3], argc == 5 && std::strcmp(argv[4], "traced") == 0);
    }
    ::testing::InitGoogleTest(&argc, argv);
    return RUN_ALL_TESTS();
}
