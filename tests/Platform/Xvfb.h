// An X server of our own for one test (Xvfb on a free display number), ended when done.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

extern char** environ;

namespace ce::test {

class Xvfb {
public:
    // size: the screen as WIDTHxHEIGHTxDEPTH.
    explicit Xvfb(const std::string& size = "800x800x24") {
        std::string binary;
        for (const char* folder : {"/usr/bin/", "/usr/local/bin/"}) {
            if (access((std::string(folder) + "Xvfb").c_str(), X_OK) == 0) binary = std::string(folder) + "Xvfb";
        }
        if (binary.empty()) return;
        // The server picks a free display itself and writes its number to the pipe once it listens:
        // a number chosen here could be taken by another test's server in the meantime.
        int numbers[2];
        if (pipe(numbers) != 0) return;
        fcntl(numbers[0], F_SETFD, FD_CLOEXEC);
        std::vector<std::string> args = {binary, "-displayfd", std::to_string(numbers[1]), "-screen", "0", size,
                                         "-nolisten", "tcp"};
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        if (posix_spawn(&pid_, binary.c_str(), &actions, nullptr, argv.data(), environ) != 0) pid_ = 0;
        posix_spawn_file_actions_destroy(&actions);
        close(numbers[1]);
        std::string number;
        pollfd readable{numbers[0], POLLIN, 0};
        char digit = 0;
        while (pid_ && poll(&readable, 1, 20000) == 1 && read(numbers[0], &digit, 1) == 1 && digit != '\n') {
            number += digit;
        }
        close(numbers[0]);
        if (!number.empty() && digit == '\n') {
            display_ = ":" + number;
            ready_ = true;
        }
    }
    ~Xvfb() {
        if (pid_) {
            kill(pid_, SIGTERM);
            waitpid(pid_, nullptr, 0);
        }
    }
    bool Ready() const { return ready_; }
    const std::string& Display() const { return display_; }

private:
    pid_t pid_ = 0;
    std::string display_;
    bool ready_ = false;
};

}  // namespace ce::test
