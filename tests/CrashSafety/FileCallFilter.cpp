#include "FileCallFilter.h"

#include <fcntl.h>
#include <linux/filter.h>
#include <linux/seccomp.h>
#include <sched.h>
#include <stddef.h>
#include <sys/prctl.h>
#include <sys/syscall.h>
#include <unistd.h>

#include <chrono>
#include <fstream>
#include <string>
#include <vector>

namespace crash_test {
namespace {

constexpr auto kTracerLimit = std::chrono::seconds(30);

bool IsTraced() {
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line)) {
        if (line.rfind("TracerPid:", 0) == 0) {
            return std::stoi(line.substr(10)) != 0;
        }
    }
    return false;
}

std::vector<long> ChangingCalls() {
    return {
        SYS_write, SYS_writev, SYS_pwrite64, SYS_pwritev, SYS_pwritev2, SYS_ftruncate, SYS_fallocate,
        SYS_fsync, SYS_fdatasync, SYS_renameat, SYS_renameat2, SYS_unlinkat, SYS_mkdirat, SYS_close,
        SYS_sendto, SYS_sendmsg,
#ifdef SYS_rename
        SYS_rename, SYS_unlink, SYS_mkdir, SYS_creat,
#endif
    };
}

sock_filter Statement(uint16_t code, uint32_t value) { return BPF_STMT(code, value); }
sock_filter Jump(uint16_t code, uint32_t value, uint8_t ifTrue, uint8_t ifFalse) {
    return BPF_JUMP(code, value, ifTrue, ifFalse);
}

// An open is handed over only when its flags ask for writing. Another call skips the block with its
// number still loaded.
void AddOpenForWriting(std::vector<sock_filter>& program, long call, int flagsArgument) {
    constexpr uint32_t kWriting = O_WRONLY | O_RDWR | O_CREAT | O_TRUNC;
    program.push_back(Jump(BPF_JMP | BPF_JEQ | BPF_K, static_cast<uint32_t>(call), 0, 4));
    program.push_back(Statement(BPF_LD | BPF_W | BPF_ABS,
                                static_cast<uint32_t>(offsetof(seccomp_data, args) + flagsArgument * 8)));
    program.push_back(Jump(BPF_JMP | BPF_JSET | BPF_K, kWriting, 0, 1));
    program.push_back(Statement(BPF_RET | BPF_K, SECCOMP_RET_TRACE));
    program.push_back(Statement(BPF_RET | BPF_K, SECCOMP_RET_ALLOW));
}

}  // namespace

bool FileCallFilter::WaitForTracer() {
    const auto deadline = std::chrono::steady_clock::now() + kTracerLimit;
    while (!IsTraced()) {
        if (std::chrono::steady_clock::now() > deadline) {
            return false;
        }
        sched_yield();
    }
    return true;
}

bool FileCallFilter::Install() {
    std::vector<sock_filter> program;
    program.push_back(Statement(BPF_LD | BPF_W | BPF_ABS, offsetof(seccomp_data, nr)));
    for (long call : ChangingCalls()) {
        program.push_back(Jump(BPF_JMP | BPF_JEQ | BPF_K, static_cast<uint32_t>(call), 0, 1));
        program.push_back(Statement(BPF_RET | BPF_K, SECCOMP_RET_TRACE));
    }
    AddOpenForWriting(program, SYS_openat, 2);
#ifdef SYS_open
    AddOpenForWriting(program, SYS_open, 1);
#endif
    program.push_back(Statement(BPF_RET | BPF_K, SECCOMP_RET_ALLOW));
    sock_fprog filter{static_cast<unsigned short>(program.size()), program.data()};
    return prctl(PR_SET_NO_NEW_PRIVS, 1, 0, 0, 0) == 0 &&
           syscall(SYS_seccomp, SECCOMP_SET_MODE_FILTER, 0, &filter) == 0;
}

}  // namespace crash_test
