// A throw-away device with the program installed, made by the device tool as a user would make one, and
// the program's runs in it as real processes. The device becomes this process's device too, so a test
// can read its files, logs, registry and notifications, and move its virtual clock.
#pragma once

#include <sys/types.h>

#include <chrono>
#include <string>
#include <vector>

// One run of a device program, killed when still running at its end.
class DeviceProgram {
public:
    DeviceProgram() = default;
    DeviceProgram(const std::string& hostPath, const std::string& commandLine);
    ~DeviceProgram();
    DeviceProgram(DeviceProgram&& other) noexcept;
    DeviceProgram& operator=(DeviceProgram&&) = delete;
    DeviceProgram(const DeviceProgram&) = delete;
    DeviceProgram& operator=(const DeviceProgram&) = delete;

    bool Started() const { return pid_ > 0; }
    // Its exit code once it ended (within the limit); -1 when it did not (it is then killed), was killed
    // or never started.
    int Wait(std::chrono::milliseconds limit = std::chrono::seconds(30));
    // True while it runs, after waiting for its end at most this long; Wait() then gives the exit code.
    bool StillRunningAfter(std::chrono::milliseconds limit);

private:
    pid_t pid_ = -1;
    int exitCode_ = -1;
};

class ProgramDevice {
public:
    static constexpr const char* kInstallFolder = "Program Files/Skyvane/";

    // Made with the device tool of a build tree: `cedevice init` (a device of that kind: "pocketpc" or
    // "smartphone"), then `cedevice install`, which installs what that tree built.
    explicit ProgramDevice(const std::string& deviceTool, const std::string& kind = "pocketpc");
    ~ProgramDevice();
    ProgramDevice(const ProgramDevice&) = delete;
    ProgramDevice& operator=(const ProgramDevice&) = delete;

    // False when the device could not be made; the reason is in Problem().
    bool Ready() const { return problem_.empty(); }
    const std::string& Problem() const { return problem_; }
    const std::string& Root() const { return root_; }
    // A host path below the device's file system, or below its install folder.
    std::string Fs(const std::string& relative) const { return root_ + "/fs/" + relative; }
    std::string Installed(const std::string& relative) const { return Fs(kInstallFolder + relative); }

    // Starts Skyvane.exe with this command line, as the device starts a program.
    DeviceProgram Start(const std::string& commandLine) const;
    // Starts it and waits for its end; its exit code or -1.
    int Run(const std::string& commandLine) const;
    // The lines of a device log, with a bounded wait for at least `count` of them.
    std::vector<std::string> LogLines(const std::string& name, size_t count = 0) const;

private:
    std::string root_;
    std::string problem_;
};

// Runs a host program to its end; its exit code or -1.
int RunHostProgram(const std::vector<std::string>& arguments);
