// Runs one test of this binary in a child process, selected by --gtest_filter, with CE_TEST_ROLE set so
// that the test does its child's part. Returns the child's exit code (-1 when it could not run).
#pragma once

#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

extern char** environ;

namespace ce::test {

inline const char* ChildRole() {
    return std::getenv("CE_TEST_ROLE");
}

inline int RunChildTest(const std::string& testName, const std::string& role) {
    std::string filter = "--gtest_filter=" + testName;
    std::string roleVariable = "CE_TEST_ROLE=" + role;
    std::vector<char*> environment;
    for (char** variable = environ; *variable; ++variable) {
        if (std::strncmp(*variable, "CE_TEST_ROLE=", 13) != 0) {
            environment.push_back(*variable);
        }
    }
    environment.push_back(roleVariable.data());
    environment.push_back(nullptr);
    char self[] = "/proc/self/exe";
    char* arguments[] = {self, filter.data(), nullptr};
    pid_t child = 0;
    if (posix_spawn(&child, "/proc/self/exe", nullptr, nullptr, arguments, environment.data()) != 0) {
        return -1;
    }
    int status = 0;
    if (waitpid(child, &status, 0) != child || !WIFEXITED(status)) {
        return -1;
    }
    return WEXITSTATUS(status);
}

}  // namespace ce::test
