// Runs one test of this binary in a child process, selected by --gtest_filter, with CE_TEST_ROLE set so
// that the test does its child's part. A child's test may also end with _exit(code) to report a value.
#pragma once

#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

extern char** environ;

namespace ce::test {

inline const char* ChildRole() {
    return std::getenv("CE_TEST_ROLE");
}

// A running child; for tests that act while it runs (kill it, wait for it with a bound).
class ChildProcess {
public:
    // program: the file to run, this test binary by default; a link to it in a device's file system
    // makes the child a device program of that name.
    ChildProcess(const std::string& testName, const std::string& role,
                 const std::string& program = "/proc/self/exe") {
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
        std::string name = program;
        char* arguments[] = {name.data(), filter.data(), nullptr};
        if (posix_spawn(&pid_, program.c_str(), nullptr, nullptr, arguments, environment.data()) != 0) {
            pid_ = -1;
        }
    }
    ~ChildProcess() { Kill(); }
    ChildProcess(const ChildProcess&) = delete;
    ChildProcess& operator=(const ChildProcess&) = delete;

    pid_t Pid() const { return pid_; }

    // The child's exit code once it has ended within the limit; -1 when it did not end in time (it is
    // then killed), was killed by a signal, or never ran.
    int Wait(std::chrono::milliseconds limit = std::chrono::seconds(60)) {
        if (pid_ <= 0) {
            return -1;
        }
        int handle = static_cast<int>(syscall(SYS_pidfd_open, pid_, 0));
        if (handle >= 0) {
            pollfd ended{handle, POLLIN, 0};
            poll(&ended, 1, static_cast<int>(limit.count()));
            close(handle);
        }
        int status = 0;
        if (waitpid(pid_, &status, WNOHANG) != pid_) {
            Kill();
            return -1;
        }
        pid_ = -1;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    // Ends the child at once (SIGKILL) and reaps it.
    void Kill() {
        if (pid_ <= 0) {
            return;
        }
        kill(pid_, SIGKILL);
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = -1;
    }

private:
    pid_t pid_ = -1;
};

// Runs the child to its end; its exit code, or -1 when it could not run or did not end within a minute.
inline int RunChildTest(const std::string& testName, const std::string& role) {
    return ChildProcess(testName, role).Wait();
}

}  // namespace ce::test
