#include "MainProgramStarter.h"

#include <string>

#include "CSysInfo.h"

void MainProgramStarter::StartMainProgram(int cityIndex) {
    std::u16string line = u"cmd_normal_mode:";
    for (char c : std::to_string(cityIndex)) {
        line += static_cast<char16_t>(c);
    }
    Start(line.c_str());
}

void MainProgramStarter::StartSilentUpdate() { Start(u"cmd_silent_update"); }

void MainProgramStarter::Start(const char16_t* commandLine) {
    WCHAR program[MAX_PATH] = {};
    if (!CSysInfo::ExpandPath(u"%INSTALL_DIR%\\Skyvane.exe", program, MAX_PATH)) {
        return;
    }
    std::u16string line = commandLine;
    PROCESS_INFORMATION info{};
    if (CreateProcessW(program, line.data(), nullptr, nullptr, FALSE, 0, nullptr, nullptr, nullptr, &info)) {
        CloseHandle(info.hThread);
        CloseHandle(info.hProcess);
    }
}
