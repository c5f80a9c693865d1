#include "WeatherServerProcess.h"

#include <arpa/inet.h>
#include <fcntl.h>
#include <netinet/in.h>
#include <signal.h>
#include <spawn.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <thread>

extern char** environ;

WeatherServerProcess::WeatherServerProcess(const std::vector<std::string>& arguments) {
    char pattern[] = "/tmp/weather-server-XXXXXX";
    if (mkdtemp(pattern) == nullptr) {
        return;
    }
    folder_ = pattern;
    std::string portFile = folder_ + "/port";
    std::vector<std::string> args = {WEATHER_SERVER_PATH, "--port-file", portFile};
    args.insert(args.end(), arguments.begin(), arguments.end());
    std::vector<char*> argv;
    for (auto& a : args) {
        argv.push_back(a.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    int spawned = posix_spawn(&pid_, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    if (spawned != 0) {
        pid_ = -1;
        return;
    }
    // The port file appears once the server listens; a server that exits early ends the wait.
    for (int i = 0; i < 1000 && port_ == 0; ++i) {
        std::ifstream in(portFile);
        if (!(in >> port_)) {
            port_ = 0;
            int status = 0;
            if (waitpid(pid_, &status, WNOHANG) == pid_) {
                pid_ = -1;
                return;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
    }
}

WeatherServerProcess::~WeatherServerProcess() {
    if (pid_ > 0) {
        kill(pid_, SIGTERM);
        int status = 0;
        for (int i = 0; i < 300 && waitpid(pid_, &status, WNOHANG) == 0; ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        if (waitpid(pid_, &status, WNOHANG) == 0) {
            kill(pid_, SIGKILL);
            waitpid(pid_, &status, 0);
        }
    }
    if (!folder_.empty()) {
        std::error_code ignored;
        std::filesystem::remove_all(folder_, ignored);
    }
}

std::string WeatherServerProcess::Control(const std::string& pathAndQuery) const {
    int fd = socket(AF_INET, SOCK_STREAM, 0);
    if (fd < 0) {
        return {};
    }
    sockaddr_in address{};
    address.sin_family = AF_INET;
    address.sin_port = htons(static_cast<uint16_t>(port_));
    address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
    std::string reply;
    if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0) {
        std::string request = "GET " + pathAndQuery + " HTTP/1.0\r\nHost: localhost\r\n\r\n";
        if (write(fd, request.data(), request.size()) == static_cast<ssize_t>(request.size())) {
            char buffer[4096];
            ssize_t n;
            while ((n = read(fd, buffer, sizeof buffer)) > 0) {
                reply.append(buffer, static_cast<size_t>(n));
            }
        }
    }
    close(fd);
    size_t body = reply.find("\r\n\r\n");
    return body == std::string::npos ? std::string() : reply.substr(body + 4);
}
