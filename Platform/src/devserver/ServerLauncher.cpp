// Finding the device server, and starting it on demand.
#include <fcntl.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>

#include "devserver/DeviceServerConnection.h"
#include "devserver/Protocol.h"
#include "devserver/SocketAddress.h"

extern char** environ;

namespace ce::devserver {
namespace {

int TryConnect(const std::string& run) {
    SocketAddress address(run, kSocketName);
    if (!address.Valid()) {
        return -1;
    }
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return -1;
    }
    if (connect(fd, address.Get(), address.Size()) != 0) {
        close(fd);
        return -1;
    }
    // A server that stops answering must not hang the process for ever.
    timeval limit{10, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &limit, sizeof limit);
    return fd;
}

std::string ServerProgram() {
    if (const char* path = std::getenv("CE_DEVSERVER")) {
        return path;
    }
    return CE_DEVSERVER_PATH;
}

// Runs the server program, which returns once its socket listens (or another server was found
// running). Its output goes to the run folder's log, never to the caller's streams.
bool SpawnServer(const std::string& root, const std::string& run) {
    std::string program = ServerProgram();
    std::string log = run + "/" + kLogName;
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 0, "/dev/null", O_RDONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 1, log.c_str(), O_WRONLY | O_CREAT | O_APPEND, 0644);
    posix_spawn_file_actions_adddup2(&actions, 1, 2);
    std::string rootArgument = root;
    char* arguments[] = {program.data(), rootArgument.data(), nullptr};
    pid_t child = 0;
    int failed = posix_spawn(&child, program.c_str(), &actions, nullptr, arguments, environ);
    posix_spawn_file_actions_destroy(&actions);
    if (failed != 0) {
        return false;
    }
    int status = 0;
    while (waitpid(child, &status, 0) < 0 && errno == EINTR) {
    }
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Starts a server unless another process did so first: starters take turns under a lock, and each
// looks for a running server again once it holds the lock.
int StartAndConnect(const std::string& root, const std::string& run) {
    int lock = open((run + "/" + kStartLockName).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (lock < 0) {
        return -1;
    }
    while (flock(lock, LOCK_EX) != 0 && errno == EINTR) {
    }
    int fd = TryConnect(run);
    if (fd < 0 && SpawnServer(root, run)) {
        fd = TryConnect(run);
    }
    close(lock);
    if (fd < 0) {
        // Named objects and the process table fail from here on; say why once, where a user looks.
        static std::once_flag told;
        std::call_once(told, [&] {
            std::fprintf(stderr, "ceplatform: the device server %s did not start for %s (see %s/%s)\n",
                         ServerProgram().c_str(), root.c_str(), run.c_str(), kLogName);
        });
    }
    return fd;
}

}  // namespace

int ConnectToDeviceServer(const std::string& root) {
    std::string run = root + "/run";
    int fd = TryConnect(run);
    if (fd >= 0) {
        return fd;
    }
    std::error_code ignored;
    std::filesystem::create_directories(run, ignored);
    return StartAndConnect(root, run);
}

}  // namespace ce::devserver
