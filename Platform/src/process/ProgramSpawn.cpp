#include "process/ProgramSpawn.h"

#include <signal.h>
#include <spawn.h>

#include <cstring>
#include <vector>

extern char** environ;

namespace ce::detail {
namespace {

// This process's environment with CE_DEVICE_ROOT naming the device.
std::vector<std::string> ChildEnvironment(const std::string& root) {
    std::vector<std::string> environment;
    for (char** variable = environ; *variable != nullptr; ++variable) {
        if (std::strncmp(*variable, "CE_DEVICE_ROOT=", 15) != 0) {
            environment.emplace_back(*variable);
        }
    }
    environment.push_back("CE_DEVICE_ROOT=" + root);
    return environment;
}

std::vector<char*> Pointers(std::vector<std::string>& texts) {
    std::vector<char*> pointers;
    for (std::string& text : texts) {
        pointers.push_back(text.data());
    }
    pointers.push_back(nullptr);
    return pointers;
}

}  // namespace

int SpawnDeviceProgram(const std::string& host, const std::string& commandLine, const std::string& root,
                       pid_t* pid) {
    std::vector<std::string> arguments{host};
    if (!commandLine.empty()) {
        arguments.push_back(commandLine);
    }
    std::vector<std::string> environment = ChildEnvironment(root);
    posix_spawnattr_t attributes;
    posix_spawnattr_init(&attributes);
    sigset_t none;
    sigset_t all;
    sigemptyset(&none);
    sigfillset(&all);
    posix_spawnattr_setsigmask(&attributes, &none);
    posix_spawnattr_setsigdefault(&attributes, &all);
    posix_spawnattr_setflags(&attributes, POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF);
    std::vector<char*> argv = Pointers(arguments);
    std::vector<char*> envp = Pointers(environment);
    int result = posix_spawn(pid, host.c_str(), nullptr, &attributes, argv.data(), envp.data());
    posix_spawnattr_destroy(&attributes);
    return result;
}

}  // namespace ce::detail
