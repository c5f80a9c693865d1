#include "ProgramDevice.h"

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/syscall.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <thread>

#include "ce/device.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

// Its standard output goes nowhere: the tests read what a program did from the device.
pid_t Spawn(std::vector<std::string> arguments) {
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, STDOUT_FILENO, "/dev/null", O_WRONLY, 0);
    pid_t pid = -1;
    int spawned = posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return spawned == 0 ? pid : -1;
}

// Waits for the end of a child at most this long; true when it ended (its status in *status).
bool WaitForEnd(pid_t pid, std::chrono::milliseconds limit, int* status) {
    int handle = static_cast<int>(syscall(SYS_pidfd_open, pid, 0));
    if (handle >= 0) {
        pollfd ended{handle, POLLIN, 0};
        poll(&ended, 1, static_cast<int>(limit.count()));
        close(handle);
    }
    return waitpid(pid, status, WNOHANG) == pid;
}

}  // namespace

DeviceProgram::DeviceProgram(const std::string& hostPath, const std::string& commandLine) {
    std::vector<std::string> arguments{hostPath};
    if (!commandLine.empty()) {
        arguments.push_back(commandLine);
    }
    pid_ = Spawn(arguments);
}

DeviceProgram::DeviceProgram(DeviceProgram&& other) noexcept : pid_(other.pid_), exitCode_(other.exitCode_) {
    other.pid_ = -1;
}

DeviceProgram::~DeviceProgram() {
    if (pid_ > 0) {
        kill(pid_, SIGKILL);
        int status = 0;
        waitpid(pid_, &status, 0);
    }
}

int DeviceProgram::Wait(std::chrono::milliseconds limit) {
    if (StillRunningAfter(limit)) {
        kill(pid_, SIGKILL);
        int status = 0;
        waitpid(pid_, &status, 0);
        pid_ = -1;
        exitCode_ = -1;
    }
    return exitCode_;
}

bool DeviceProgram::StillRunningAfter(std::chrono::milliseconds limit) {
    if (pid_ <= 0) {
        return false;
    }
    int status = 0;
    if (!WaitForEnd(pid_, limit, &status)) {
        return true;
    }
    pid_ = -1;
    exitCode_ = WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    return false;
}

int RunHostProgram(const std::vector<std::string>& arguments) {
    pid_t pid = Spawn(arguments);
    int status = 0;
    if (pid <= 0 || waitpid(pid, &status, 0) != pid) {
        return -1;
    }
    return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
}

ProgramDevice::ProgramDevice(const std::string& deviceTool, const std::string& kind) {
    std::string pattern = (fs::temp_directory_path() / "skyvane-device-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        problem_ = "no temporary folder";
        return;
    }
    root_ = pattern;
    // init wants a new folder of its own.
    fs::remove(root_);
    if (RunHostProgram({deviceTool, "init", root_, "--kind", kind}) != 0) {
        problem_ = "cedevice init failed";
        return;
    }
    if (RunHostProgram({deviceTool, "install", root_}) != 0) {
        problem_ = "cedevice install failed";
        return;
    }
    ce::SetDeviceRoot(root_);
}

ProgramDevice::~ProgramDevice() {
    ce::SetDeviceRoot({});
    if (!root_.empty()) {
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }
}

DeviceProgram ProgramDevice::Start(const std::string& commandLine) const {
    return DeviceProgram(Installed("Skyvane.exe"), commandLine);
}

int ProgramDevice::Run(const std::string& commandLine) const { return Start(commandLine).Wait(); }

std::vector<std::string> ProgramDevice::LogLines(const std::string& name, size_t count) const {
    auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(20);
    std::vector<std::string> lines = ce::ReadDeviceLog(name);
    while (lines.size() < count && std::chrono::steady_clock::now() < giveUp) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        lines = ce::ReadDeviceLog(name);
    }
    return lines;
}
