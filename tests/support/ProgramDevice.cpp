#include "ProgramDevice.h"

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
#include "ce/registry.h"

extern char** environ;

namespace {

namespace fs = std::filesystem;

pid_t Spawn(std::vector<std::string> arguments) {
    std::vector<char*> argv;
    for (std::string& argument : arguments) {
        argv.push_back(argument.data());
    }
    argv.push_back(nullptr);
    pid_t pid = -1;
    return posix_spawn(&pid, argv[0], nullptr, nullptr, argv.data(), environ) == 0 ? pid : -1;
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

ProgramDevice::ProgramDevice(const BuildFiles& build) {
    std::string pattern = (fs::temp_directory_path() / "skyvane-device-XXXXXX").string();
    if (mkdtemp(pattern.data()) == nullptr) {
        problem_ = "no temporary folder";
        return;
    }
    root_ = pattern;
    // init wants a new folder of its own.
    fs::remove(root_);
    if (RunHostProgram({build.deviceTool, "init", root_}) != 0) {
        problem_ = "cedevice init failed";
        return;
    }
    ce::SetDeviceRoot(root_);
    InstallByHand(build);
}

ProgramDevice::~ProgramDevice() {
    ce::SetDeviceRoot({});
    if (!root_.empty()) {
        std::error_code ignored;
        fs::remove_all(root_, ignored);
    }
}

// What the installer does: links to the built program, library and language files in the install
// folder, and the install folder in the registry.
bool ProgramDevice::InstallByHand(const BuildFiles& build) {
    std::error_code error;
    fs::create_directories(Installed("Loc"), error);
    fs::create_symlink(build.program, Installed("Skyvane.exe"), error);
    if (!error) {
        fs::create_symlink(build.spriteLibrary, Installed("Pictorra.dll"), error);
    }
    for (fs::directory_iterator it(build.languageFolder, error), end; !error && it != end; it.increment(error)) {
        fs::create_symlink(it->path(), Installed("Loc/" + it->path().filename().string()), error);
    }
    if (error) {
        problem_ = "cannot install: " + error.message();
        return false;
    }
    const std::u16string folder = u"\\Program Files\\Skyvane";
    HKEY key = nullptr;
    LONG result = RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"SOFTWARE\\Apps\\Quillon Software Skyvane", 0, nullptr, 0,
                                  KEY_ALL_ACCESS, nullptr, &key, nullptr);
    if (result == ERROR_SUCCESS) {
        result = RegSetValueExW(key, u"InstallDir", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                                static_cast<DWORD>((folder.size() + 1) * sizeof(char16_t)));
        RegCloseKey(key);
    }
    if (result != ERROR_SUCCESS) {
        problem_ = "cannot write the install folder";
        return false;
    }
    return true;
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
