// ce-devserver ROOT: the server of the device in ROOT (named kernel objects, the process table, user
// notifications).
// Started on demand by the device's first process; returns as soon as its socket listens, and keeps
// running in the background until the device has been idle for a while.
#include <fcntl.h>
#include <signal.h>
#include <sys/file.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <string>

#include "DeviceServer.h"
#include "ce/device.h"
#include "devserver/Protocol.h"

namespace {

int IdleMs() {
    const char* text = std::getenv("CE_DEVSERVER_IDLE_MS");
    int value = text ? std::atoi(text) : 0;
    return value > 0 ? value : ce::devserver::kDefaultIdleMs;
}

// Tells the starter how it went and lets it return: '1' for a listening server (this one, or another
// that already ran), '0' for a failure.
void Report(int pipe, bool ok) {
    char answer = ok ? '1' : '0';
    (void)!write(pipe, &answer, 1);
    close(pipe);
}

int Serve(const std::string& root, int ready) {
    setsid();
    signal(SIGCHLD, SIG_IGN);  // the programs of notifications are reaped by the system
    ce::SetDeviceRoot(root);   // the device's clock, file system and log
    std::string run = root + "/run";
    int serverLock =
        open((run + "/" + ce::devserver::kServerLockName).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (serverLock < 0) {
        std::perror("ce-devserver: server lock");
        Report(ready, false);
        return 1;
    }
    if (flock(serverLock, LOCK_EX | LOCK_NB) != 0) {
        Report(ready, true);  // another server holds the device
        return 0;
    }
    ce::devserver::DeviceServer server(root, IdleMs(), serverLock);
    if (!server.Listen()) {
        std::perror("ce-devserver: listen");
        Report(ready, false);
        return 1;
    }
    Report(ready, true);
    server.Run();
    return 0;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 2 || argv[1][0] == '\0') {
        std::fprintf(stderr, "usage: ce-devserver DEVICE-ROOT\n");
        return 2;
    }
    // Nothing the starter had open may stay open here (a test runner waits for its pipes to close).
    close_range(3, ~0U, 0);
    int ready[2];
    if (pipe2(ready, O_CLOEXEC) != 0) {
        return 1;
    }
    pid_t child = fork();
    if (child < 0) {
        return 1;
    }
    if (child > 0) {
        close(ready[1]);
        char answer = '0';
        return read(ready[0], &answer, 1) == 1 && answer == '1' ? 0 : 1;
    }
    close(ready[0]);
    return Serve(argv[1], ready[1]);
}
