// An X server of our own for one test (Xvfb on a free display number), ended when done.
#pragma once

#include <fcntl.h>
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
        for (int number = 90 + getpid() % 50; number < 200 && display_.empty(); ++number) {
            const std::string digits = std::to_string(number);
            if (!std::filesystem::exists("/tmp/.X" + digits + "-lock")) display_ = ":" + digits;
        }
        std::vector<std::string> args = {binary, display_, "-screen", "0", size.c_str(), "-nolisten", "tcp"};
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        if (posix_spawn(&pid_, binary.c_str(), &actions, nullptr, argv.data(), environ) != 0) pid_ = 0;
        posix_spawn_file_actions_destroy(&actions);
        std::string socket = "/tmp/.X11-unix/X" + display_.substr(1);
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (pid_ && !std::filesystem::exists(socket) && std::chrono::steady_clock::now() < deadline) {
            std::this_thread::sleep_for(std::chrono::milliseconds(20));  // waiting on the server's socket
        }
        ready_ = pid_ && std::filesystem::exists(socket);
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
