// startup-timer: times a device program's start-up on the device of CE_DEVICE_ROOT, ten runs each,
// and prints the median; with a reference, the runs of the two alternate, so that both see the same
// load, and a second line gives the reference's figures.
//   startup-timer frame PROGRAM [ARGUMENTS] [--beside REFERENCE [ARGUMENTS]]
//       process start to its first complete frame: the screen is asked for its picture over and over
//       (the device's screenshot request) for 1.5 s; the first picture that is shown again half a
//       second or more later is the first complete frame. Also the program's peak memory (VmHWM) at
//       the end, and the median time between two pictures (the poll's resolution: a figure is known
//       to within that). The reference is another device program.
//   startup-timer exit PROGRAM [ARGUMENTS] [--beside-host COMMAND [ARGUMENTS]]
//       process start to its end; the reference is a command of the host, run the same way.
// The program is ended by a kill after each frame run.
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "ce/device.h"
#include "ce/kernel.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;
constexpr int kRuns = 10;
constexpr auto kSettleTime = std::chrono::milliseconds(1500);
constexpr double kStillShownMs = 500;

double MillisecondsSince(Clock::time_point start) {
    return std::chrono::duration<double, std::milli>(Clock::now() - start).count();
}

double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

std::string ReadFile(const std::string& path) {
    std::ifstream file(path, std::ios::binary);
    std::ostringstream text;
    text << file.rdbuf();
    return text.str();
}

// The peak resident set of a running process, in MB.
double PeakMemoryMb(DWORD pid) {
    std::ifstream status("/proc/" + std::to_string(pid) + "/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("VmHWM:", 0) == 0) {
            return std::stod(line.substr(6)) / 1024.0;
        }
    }
    return 0;
}

struct Started {
    PROCESS_INFORMATION info{};
    Clock::time_point at;
};

bool Start(const std::u16string& program, std::u16string commandLine, Started& started) {
    started.at = Clock::now();
    if (!CreateProcessW(program.c_str(), commandLine.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr,
                        nullptr, &started.info)) {
        return false;
    }
    CloseHandle(started.info.hThread);
    return true;
}

struct FrameRun {
    double firstShownMs = -1;  // the first picture the screen gave at all
    double firstCompleteMs = -1;
    double peakMb = 0;
    double pollMs = 0;  // median time between two pictures
};

FrameRun TimeFirstFrame(const std::u16string& program, const std::u16string& commandLine,
                        const std::string& shot) {
    FrameRun run;
    Started started;
    if (!Start(program, commandLine, started)) {
        return run;
    }
    std::vector<std::pair<double, std::string>> pictures;
    while (Clock::now() - started.at < kSettleTime) {
        if (ce::RemoteScreenshot(shot) == ERROR_SUCCESS) {
            pictures.emplace_back(MillisecondsSince(started.at), ReadFile(shot));
        }
    }
    run.peakMb = PeakMemoryMb(started.info.dwProcessId);
    kill(static_cast<pid_t>(started.info.dwProcessId), SIGKILL);
    WaitForSingleObject(started.info.hProcess, 10000);
    CloseHandle(started.info.hProcess);
    if (pictures.empty()) {
        return run;
    }
    run.firstShownMs = pictures.front().first;
    std::vector<double> gaps;
    for (size_t i = 1; i < pictures.size(); ++i) {
        gaps.push_back(pictures[i].first - pictures[i - 1].first);
    }
    run.pollMs = gaps.empty() ? 0 : Median(gaps);
    // A frame still drawn, or an animation's step, is not on the screen for long; a complete frame is
    // still (or again, with a blinking caret) shown a while later.
    for (size_t first = 0; first < pictures.size() && run.firstCompleteMs < 0; ++first) {
        for (size_t later = first + 1; later < pictures.size(); ++later) {
            if (pictures[later].first - pictures[first].first >= kStillShownMs &&
                pictures[later].second == pictures[first].second) {
                run.firstCompleteMs = pictures[first].first;
                break;
            }
        }
    }
    return run;
}

double TimeToExit(const std::u16string& program, const std::u16string& commandLine) {
    Started started;
    if (!Start(program, commandLine, started)) {
        return -1;
    }
    WaitForSingleObject(started.info.hProcess, INFINITE);
    double ms = MillisecondsSince(started.at);
    CloseHandle(started.info.hProcess);
    return ms;
}

double TimeHostCommandToExit(const std::vector<std::string>& command) {
    std::vector<char*> arguments;
    for (const std::string& argument : command) {
        arguments.push_back(const_cast<char*>(argument.c_str()));
    }
    arguments.push_back(nullptr);
    const auto start = Clock::now();
    pid_t pid = -1;
    int status = 0;
    if (posix_spawnp(&pid, arguments[0], nullptr, nullptr, arguments.data(), environ) != 0 ||
        waitpid(pid, &status, 0) != pid) {
        return -1;
    }
    const double ms = MillisecondsSince(start);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0 ? ms : -1;
}

// What is timed: a device program with its command line, or a command of the host.
struct Subject {
    std::string name;
    std::u16string program;
    std::u16string commandLine;
    std::vector<std::string> hostCommand;  // not empty for a command of the host
};

Subject DeviceProgram(char** words, int count) {
    Subject subject;
    subject.name = words[0];
    subject.program = ce::FromUtf8(words[0]);
    std::string joined;
    for (int i = 1; i < count; ++i) {
        if (i > 1) {
            joined += ' ';
        }
        joined += words[i];
    }
    subject.commandLine = ce::FromUtf8(joined);
    return subject;
}

Subject HostCommand(char** words, int count) {
    Subject subject;
    subject.name = words[0];
    subject.hostCommand.assign(words, words + count);
    return subject;
}

// The figures of one subject over its runs.
struct Figures {
    std::vector<double> times;
    std::vector<double> peaks;
    std::vector<double> shown;
    std::vector<double> polls;

    // False when the run gave no figure.
    bool Measure(const std::string& mode, const Subject& subject, const std::string& shot) {
        if (!subject.hostCommand.empty()) {
            times.push_back(TimeHostCommandToExit(subject.hostCommand));
        } else if (mode == "frame") {
            FrameRun measured = TimeFirstFrame(subject.program, subject.commandLine, shot);
            times.push_back(measured.firstCompleteMs);
            if (measured.firstCompleteMs >= 0) {
                peaks.push_back(measured.peakMb);
                shown.push_back(measured.firstShownMs);
                polls.push_back(measured.pollMs);
            }
        } else {
            times.push_back(TimeToExit(subject.program, subject.commandLine));
        }
        if (times.back() >= 0) {
            return true;
        }
        times.pop_back();
        return false;
    }

    void Print() const {
        std::printf("median_ms %.2f runs %zu", Median(times), times.size());
        if (!peaks.empty()) {
            std::printf(" peak_mb %.2f first_shown_ms %.2f poll_ms %.2f", Median(peaks), Median(shown),
                        Median(polls));
        }
        std::printf("\n");
    }
};

int Usage() {
    std::fprintf(stderr, "usage: startup-timer frame PROGRAM [ARGUMENTS] [--beside PROGRAM [ARGUMENTS]]\n");
    std::fprintf(stderr, "       startup-timer exit PROGRAM [ARGUMENTS] [--beside-host COMMAND [ARGUMENTS]]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3 || ce::DeviceRoot().empty()) {
        return Usage();
    }
    const std::string mode = argv[1];
    const std::string besideFlag = mode == "frame" ? "--beside" : "--beside-host";
    if (mode != "frame" && mode != "exit") {
        return Usage();
    }
    int split = 2;
    while (split < argc && argv[split] != besideFlag) {
        ++split;
    }
    std::vector<Subject> subjects{DeviceProgram(argv + 2, split - 2)};
    if (split + 1 < argc) {
        subjects.push_back(mode == "frame" ? DeviceProgram(argv + split + 1, argc - split - 1)
                                           : HostCommand(argv + split + 1, argc - split - 1));
    } else if (split < argc) {
        return Usage();
    }
    std::vector<Figures> figures(subjects.size());
    const std::string shot = ce::DeviceRoot() + "/startup-timer.png";
    for (int run = 0; run < kRuns; ++run) {
        for (size_t i = 0; i < subjects.size(); ++i) {
            if (!figures[i].Measure(mode, subjects[i], shot)) {
                std::fprintf(stderr, "startup-timer: run %d: %s did not start, failed or showed no frame\n",
                             run + 1, subjects[i].name.c_str());
            }
        }
    }
    unlink(shot.c_str());
    for (const Figures& each : figures) {
        if (each.times.empty()) {
            return 1;
        }
    }
    for (const Figures& each : figures) {
        each.Print();
    }
    return 0;
}
