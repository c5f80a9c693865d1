// The sanitized programs carry the list of system libraries' leaks (tests/lsan.supp): a leak inside one
// of those libraries passes, one of our own fails the process, whatever its environment says.
#include <fontconfig/fontconfig.h>
#include <gtest/gtest.h>

#include <cstdlib>
#include <optional>
#include <string>

#include "ChildProcess.h"

#if defined(__SANITIZE_ADDRESS__)
#define CE_LEAKS_CHECKED 1
#elif defined(__has_feature)
#if __has_feature(address_sanitizer)
#define CE_LEAKS_CHECKED 1
#endif
#endif

namespace {

using ce::test::ChildRole;

void* volatile lost = nullptr;

// The child's part: the allocation is dropped before the process ends, so its leak check finds it.
TEST(LeakSuppressions, Child) {
    if (ChildRole() == nullptr) {
        GTEST_SKIP() << "runs as the child of another test";
    }
    const std::string role = ChildRole();
    if (role == "system") {
        lost = FcPatternCreate();  // allocated inside fontconfig, which the list names
    } else if (role == "ours") {
        lost = new std::string(100, 'x');
    }
    lost = nullptr;
}

// The exit code of a child that leaks as role says, started without leak options in its environment.
int LeakingChild(const char* role) {
    std::optional<std::string> options;
    if (const char* value = std::getenv("LSAN_OPTIONS")) {
        options = value;
    }
    unsetenv("LSAN_OPTIONS");
    const int code = ce::test::ChildProcess("LeakSuppressions.Child", role).Wait();
    if (options) {
        setenv("LSAN_OPTIONS", options->c_str(), 1);
    }
    return code;
}

TEST(LeakSuppressions, ASystemLibrarysLeakPassesAndOneOfOursFails) {
#ifndef CE_LEAKS_CHECKED
    GTEST_SKIP() << "a build without the sanitizers checks no leaks";
#endif
    EXPECT_EQ(LeakingChild("system"), 0);
    EXPECT_NE(LeakingChild("ours"), 0);
}

}  // namespace
