// An X server of our own for one test (Xvfb on a display number it picks), ended when done.
#pragma once

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <string>
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
        int ready[2];
        if (binary.empty() || pipe2(ready, O_CLOEXEC) != 0) return;
        // The server picks a free display itself and writes its number once it takes connections: tests
        // running side by side never pick the same number, nor talk to each other's server.
        std::string readyFd = std::to_string(ready[1]);
        std::vector<std::string> args = {binary, "-displayfd", readyFd, "-screen", "0", size, "-nolisten", "tcp"};
        std::vector<char*> argv;
        for (auto& a : args) argv.push_back(a.data());
        argv.push_back(nullptr);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_addopen(&actions, 2, "/dev/null", O_WRONLY, 0);
        posix_spawn_file_actions_adddup2(&actions, ready[1], ready[1]);  // clears close-on-exec in the child
        if (posix_spawn(&pid_, binary.c_str(), &actions, nullptr, argv.data(), environ) != 0) pid_ = 0;
        posix_spawn_file_actions_destroy(&actions);
        close(ready[1]);
        std::string number;
        pollfd wait{ready[0], POLLIN, 0};
        char digit = 0;
        // A loaded machine can take long to start the server; a server that died closes the pipe.
        while (pid_ && poll(&wait, 1, 60000) == 1 && read(ready[0], &digit, 1) == 1 && digit != '\n') {
            number += digit;
        }
        close(ready[0]);
        ready_ = pid_ && digit == '\n' && !number.empty();
        if (ready_) display_ = ":" + number;
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
