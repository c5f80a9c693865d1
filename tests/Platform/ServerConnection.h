// A connection of the test's own to a device server, and the server's pid from its peer credentials.
#pragma once

#include <sys/socket.h>
#include <sys/un.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>
#include <fstream>
#include <string>
#include <thread>

namespace ce::test {

struct ServerConnection {
    int fd = -1;
    pid_t pid = 0;
    explicit ServerConnection(const std::string& socketPath) {
        fd = socket(AF_UNIX, SOCK_STREAM, 0);
        sockaddr_un address{};
        address.sun_family = AF_UNIX;
        std::copy(socketPath.begin(), socketPath.end(), address.sun_path);
        ucred credentials{};
        socklen_t size = sizeof credentials;
        timeval limit{10, 0};
        setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
        if (connect(fd, reinterpret_cast<sockaddr*>(&address), sizeof address) == 0 &&
            getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &size) == 0) {
            pid = credentials.pid;
        }
    }
    ~ServerConnection() { close(fd); }
    ServerConnection(const ServerConnection&) = delete;
    ServerConnection& operator=(const ServerConnection&) = delete;
    // Blocks (bounded) until the server has hung up, which it does at the latest as it dies. A server
    // killed before it took this connection from its queue resets it instead.
    bool HungUp() {
        char byte = 0;
        ssize_t got = recv(fd, &byte, 1, 0);
        return got == 0 || (got < 0 && errno == ECONNRESET);
    }
    // Blocks (bounded) until the killed server has ended as a process (gone, or a zombie): then every
    // connection it had is closed, not only this one.
    bool Ended() const {
        auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
        while (std::chrono::steady_clock::now() < giveUp) {
            std::ifstream stat("/proc/" + std::to_string(pid) + "/stat");
            std::string pidField, name, state;
            if (!(stat >> pidField >> name >> state) || state == "Z" || state == "X") {
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        return false;
    }
};

}  // namespace ce::test
