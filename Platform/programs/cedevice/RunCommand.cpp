// cedevice run: starts a device program, waits for it and prints its exit code.
#include <iostream>

#include "Commands.h"
#include "ce/kernel.h"

namespace cedevice {

int RunProgram(const std::string&, const Arguments& arguments) {
    if (arguments.empty()) {
        return Fail(kExitUsage, "run wants a DEVICE-PATH");
    }
    std::string commandLine;
    for (size_t i = 1; i < arguments.size(); ++i) {
        commandLine += (i > 1 ? " " : "") + arguments[i];
    }
    std::u16string program = ce::FromUtf8(arguments[0]);
    std::u16string line = ce::FromUtf8(commandLine);
    PROCESS_INFORMATION info{};
    if (!CreateProcessW(program.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, nullptr,
                        &info)) {
        DWORD error = GetLastError();
        if (error == ERROR_FILE_NOT_FOUND) {
            return Fail(kExitBadPath, "no program at " + arguments[0]);
        }
        return Fail(kExitFailed, "cannot start " + arguments[0] + " (error " + std::to_string(error) + ")");
    }
    CloseHandle(info.hThread);
    DWORD exitCode = 0;
    if (WaitForSingleObject(info.hProcess, INFINITE) != WAIT_OBJECT_0 ||
        !GetExitCodeProcess(info.hProcess, &exitCode)) {
        CloseHandle(info.hProcess);
        return Fail(kExitFailed, "lost track of " + arguments[0]);
    }
    CloseHandle(info.hProcess);
    std::cout << exitCode << "\n";
    return kExitDone;
}

}  // namespace cedevice
