// Named mutexes and events of a device used by two processes (this one and named-object-peer), beside
// a plain Unix-socket round trip between two processes measured in the same run. Each benchmark's
// "x_socket" counter is its time per operation over that round trip's.
#include <benchmark/benchmark.h>
#include <spawn.h>
#include <stdlib.h>
#include <sys/socket.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <string>
#include <vector>

#include "ce/device.h"
#include "ce/kernel.h"

extern char** environ;

namespace {

using Clock = std::chrono::steady_clock;

// A forked child that echoes every byte sent to it over a Unix socket pair.
class EchoChild {
public:
    EchoChild() {
        int pair[2];
        if (socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, pair) != 0) {
            return;
        }
        child_ = fork();
        if (child_ == 0) {
            close(pair[0]);
            char byte = 0;
            while (read(pair[1], &byte, 1) == 1 && write(pair[1], &byte, 1) == 1) {
            }
            _exit(0);
        }
        close(pair[1]);
        fd_ = pair[0];
    }
    ~EchoChild() {
        close(fd_);
        if (child_ > 0) {
            waitpid(child_, nullptr, 0);
        }
    }
    EchoChild(const EchoChild&) = delete;
    EchoChild& operator=(const EchoChild&) = delete;

    bool RoundTrip() {
        char byte = 'x';
        return write(fd_, &byte, 1) == 1 && read(fd_, &byte, 1) == 1;
    }

private:
    int fd_ = -1;
    pid_t child_ = -1;
};

// The median of many single-byte round trips, measured just before each repetition that it stands
// beside, so that both see the same load.
double SocketRoundTripMedianUs() {
    EchoChild echo;
    std::vector<double> samples;
    for (int i = 0; i < 2000; ++i) {
        auto start = Clock::now();
        if (!echo.RoundTrip()) {
            break;
        }
        samples.push_back(std::chrono::duration<double, std::micro>(Clock::now() - start).count());
    }
    if (samples.empty()) {
        return 0.0;
    }
    std::nth_element(samples.begin(), samples.begin() + samples.size() / 2, samples.end());
    return samples[samples.size() / 2];
}

// A device with the peer process running on it for the whole run.
class PeerDevice {
public:
    static PeerDevice& Instance() {
        static PeerDevice device;
        return device;
    }
    bool Ready() const { return ready_; }

private:
    PeerDevice() {
        char pattern[] = "/tmp/named-bench-XXXXXX";
        root_ = mkdtemp(pattern);
        std::filesystem::create_directories(root_ + "/fs");
        ce::SetDeviceRoot(root_);
        HANDLE ready = CreateEventW(nullptr, TRUE, FALSE, u"Bench peer ready");
        std::string peer = std::string(CE_TEST_BINARY_DIR) + "/tests/benchmarks/named-object-peer";
        char* arguments[] = {peer.data(), root_.data(), nullptr};
        ready_ = posix_spawn(&pid_, peer.c_str(), nullptr, nullptr, arguments, environ) == 0 &&
                 WaitForSingleObject(ready, 20000) == WAIT_OBJECT_0;
        CloseHandle(ready);
    }
    ~PeerDevice() {
        HANDLE stop = CreateEventW(nullptr, TRUE, FALSE, u"Bench stop");
        SetEvent(stop);
        if (pid_ > 0) {
            waitpid(pid_, nullptr, 0);
        }
        CloseHandle(stop);
        ce::SetDeviceRoot({});
        std::filesystem::remove_all(root_);
    }

    std::string root_;
    pid_t pid_ = -1;
    bool ready_ = false;
};

// Runs one operation per iteration and reports it beside the socket round trip.
template <class Operation>
void RunBesideSocket(benchmark::State& state, Operation operation) {
    if (!PeerDevice::Instance().Ready()) {
        state.SkipWithError("the peer process did not start");
        return;
    }
    const double socketUs = SocketRoundTripMedianUs();
    auto start = Clock::now();
    for (auto _ : state) {
        operation();
    }
    double perOperationUs =
        std::chrono::duration<double, std::micro>(Clock::now() - start).count() / state.iterations();
    state.counters["socket_us"] = socketUs;
    state.counters["x_socket"] = socketUs > 0 ? perOperationUs / socketUs : 0;
}

void UnixSocketRoundTrip(benchmark::State& state) {
    EchoChild echo;
    for (auto _ : state) {
        if (!echo.RoundTrip()) {
            state.SkipWithError("the echo child has gone");
            break;
        }
    }
}
BENCHMARK(UnixSocketRoundTrip)->Unit(benchmark::kMicrosecond)->Repetitions(10)->ReportAggregatesOnly(true);

void NamedMutexTakeAndRelease(benchmark::State& state) {
    HANDLE lock = CreateMutexW(nullptr, FALSE, u"Bench lock");
    RunBesideSocket(state, [lock] {
        WaitForSingleObject(lock, INFINITE);
        ReleaseMutex(lock);
    });
    CloseHandle(lock);
}
BENCHMARK(NamedMutexTakeAndRelease)->Unit(benchmark::kMicrosecond)->Repetitions(10)->ReportAggregatesOnly(true);

// What one scoped lock of the program does: create (the creator owns it, a later one waits), release,
// close.
void NamedMutexWholeScopedLock(benchmark::State& state) {
    HANDLE keep = CreateMutexW(nullptr, FALSE, u"Bench lock");
    RunBesideSocket(state, [] {
        HANDLE lock = CreateMutexW(nullptr, TRUE, u"Bench lock");
        if (GetLastError() == ERROR_ALREADY_EXISTS) {
            WaitForSingleObject(lock, INFINITE);
        }
        ReleaseMutex(lock);
        CloseHandle(lock);
    });
    CloseHandle(keep);
}
BENCHMARK(NamedMutexWholeScopedLock)->Unit(benchmark::kMicrosecond)->Repetitions(10)->ReportAggregatesOnly(true);

void NamedEventSetAndTake(benchmark::State& state) {
    HANDLE event = CreateEventW(nullptr, FALSE, FALSE, u"Bench ping free");
    RunBesideSocket(state, [event] {
        SetEvent(event);
        WaitForSingleObject(event, 0);
    });
    CloseHandle(event);
}
BENCHMARK(NamedEventSetAndTake)->Unit(benchmark::kMicrosecond)->Repetitions(10)->ReportAggregatesOnly(true);

void NamedEventDataSetAndGet(benchmark::State& state) {
    HANDLE event = CreateEventW(nullptr, FALSE, FALSE, u"Bench pong");
    DWORD value = 0;
    RunBesideSocket(state, [event, &value] {
        SetEventData(event, ++value);
        benchmark::DoNotOptimize(GetEventData(event));
    });
    CloseHandle(event);
}
BENCHMARK(NamedEventDataSetAndGet)->Unit(benchmark::kMicrosecond)->Repetitions(10)->ReportAggregatesOnly(true);

// The peer is woken and answers: a hand-over to another process and back.
void NamedEventPingPong(benchmark::State& state) {
    HANDLE ping = CreateEventW(nullptr, FALSE, FALSE, u"Bench ping");
    HANDLE pong = CreateEventW(nullptr, FALSE, FALSE, u"Bench pong");
    RunBesideSocket(state, [ping, pong] {
        SetEvent(ping);
        WaitForSingleObject(pong, 20000);
    });
    CloseHandle(ping);
    CloseHandle(pong);
}
BENCHMARK(NamedEventPingPong)->Unit(benchmark::kMicrosecond)->Repetitions(10)->ReportAggregatesOnly(true);

}  // namespace
