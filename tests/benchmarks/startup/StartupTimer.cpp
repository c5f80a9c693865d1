// startup-timer: times a device program's start-up on the device of CE_DEVICE_ROOT, ten runs each,
// and prints the median.
//   startup-timer frame PROGRAM [ARGUMENTS]  process start to its first complete frame: the screen is
//       asked for its picture over and over (the device's screenshot request) for 1.5 s; the first
//       picture that is shown again half a second or more later is the first complete frame. Also the
//       program's peak memory (VmHWM) at the end, and the median time between two pictures (the poll's
//       resolution: a figure is known to within that).
//   startup-timer exit PROGRAM [ARGUMENTS]   process start to its end.
// The program is ended by a kill after each frame run.
#include <signal.h>
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

int Usage() {
    std::fprintf(stderr, "usage: startup-timer frame|exit DEVICE-PROGRAM [ARGUMENTS]\n");
    return 2;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 3 || ce::DeviceRoot().empty()) {
        return Usage();
    }
    std::string mode = argv[1];
    std::u16string program = ce::FromUtf8(argv[2]);
    std::string joined;
    for (int i = 3; i < argc; ++i) {
        if (i > 3) {
            joined += ' ';
        }
        joined += argv[i];
    }
    std::u16string commandLine = ce::FromUtf8(joined);
    std::vector<double> times;
    std::vector<double> peaks;
    std::vector<double> shown;
    std::vector<double> polls;
    std::string shot = ce::DeviceRoot() + "/startup-timer.png";
    for (int run = 0; run < kRuns; ++run) {
        if (mode == "frame") {
            FrameRun measured = TimeFirstFrame(program, commandLine, shot);
            times.push_back(measured.firstCompleteMs);
            if (measured.firstCompleteMs >= 0) {
                peaks.push_back(measured.peakMb);
                shown.push_back(measured.firstShownMs);
                polls.push_back(measured.pollMs);
            }
        } else if (mode == "exit") {
            times.push_back(TimeToExit(program, commandLine));
        } else {
            return Usage();
        }
        if (times.back() < 0) {
            std::fprintf(stderr, "startup-timer: run %d: %s did not start or showed no frame\n", run + 1, argv[2]);
            times.pop_back();
        }
    }
    if (times.empty()) {
        return 1;
    }
    std::printf("median_ms %.2f runs %zu", Median(times), times.size());
    if (!peaks.empty()) {
        std::printf(" peak_mb %.2f first_shown_ms %.2f poll_ms %.2f", Median(peaks), Median(shown), Median(polls));
    }
    std::printf("\n");
    unlink(shot.c_str());
    return 0;
}
