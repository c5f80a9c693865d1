// cedevice COMMAND ROOT [ARGUMENTS]: the command-line tool for a device root.
#include <filesystem>
#include <iostream>
#include <string>

#include "Commands.h"
#include "ce/device.h"

namespace cedevice {
namespace {

struct Command {
    const char* name;
    const char* usage;
    int (*run)(const std::string& root, const Arguments& arguments);
    bool createsDevice;  // every other command needs an existing device at ROOT
};

// New commands go here.
const Command kCommands[] = {
    {"init", "init ROOT [--kind pocketpc|smartphone] [--screen WxH]", InitDevice, true},
    {"install", "install ROOT [--build DIR]   (the built program and its data; DIR: " CE_BUILD_DIR ")",
     InstallProgram, false},
    {"run", "run ROOT DEVICE-PATH [COMMAND-LINE]", RunProgram, false},
    {"reg", "reg ROOT get KEY [NAME] | set KEY NAME dword|sz|binary VALUE | list KEY", EditRegistry, false},
    {"ls", "ls ROOT DEVICE-PATH", ListFolder, false},
    {"log", "log ROOT [NAME]", PrintLog, false},
    {"notify", "notify ROOT", ListNotifications, false},
    {"clock", "clock ROOT [set UTC-TIME | advance DURATION | real]", MoveClock, false},
    {"screenshot", "screenshot ROOT FILE   (the running program's screen, as PNG)", TakeScreenshot, false},
    {"tap", "tap ROOT X Y", TapScreen, false},
    {"hold", "hold ROOT X Y   (tap-and-hold)", HoldStylus, false},
    {"drag", "drag ROOT X1 Y1 X2 Y2 [MS]   (the stylus along the line in MS milliseconds, 200 by default)",
     DragStylus, false},
    {"key", "key ROOT NAME   (Left Right Up Down Enter Back SoftLeft SoftRight Home End ...)", PressKey, false},
    {"text", "text ROOT TEXT", TypeText, false},
};

int Usage(std::ostream& out, int code) {
    out << "usage: cedevice COMMAND ROOT ...\n";
    for (const Command& command : kCommands) {
        out << "  cedevice " << command.usage << "\n";
    }
    out << "KEY: HKLM|HKCU|HKCR\\path; DEVICE-PATH: \\Windows\\file.exe (letter case ignored)\n"
           "UTC-TIME: 2026-03-02T10:00:00Z; DURATION: 500ms, 90s, 15m, 2h, 1d\n"
           "exit codes: 0 done, 1 failed, 2 bad arguments, 3 no device at ROOT, 4 no such device path\n";
    return code;
}

}  // namespace

int Fail(int code, const std::string& message) {
    std::cerr << "cedevice: " << message << "\n";
    return code;
}

}  // namespace cedevice

int main(int argc, char** argv) {
    using namespace cedevice;
    std::string name = argc > 1 ? argv[1] : "";
    if (name == "-h" || name == "--help" || name == "help") {
        return Usage(std::cout, kExitDone);
    }
    for (const Command& command : kCommands) {
        if (name != command.name) {
            continue;
        }
        if (argc < 3 || std::string(argv[2]).empty()) {
            Fail(kExitUsage, "missing ROOT");
            return Usage(std::cerr, kExitUsage);
        }
        std::error_code error;
        std::string root = std::filesystem::absolute(argv[2], error).lexically_normal().string();
        while (root.size() > 1 && root.back() == '/') {
            root.pop_back();
        }
        if (!command.createsDevice && !std::filesystem::is_regular_file(root + "/device.ini", error)) {
            return Fail(kExitNoDevice,
                        "no device at " + root + " (create one with: cedevice init " + root + ")");
        }
        ce::SetDeviceRoot(root);
        return command.run(root, Arguments(argv + 3, argv + argc));
    }
    if (!name.empty()) {
        Fail(kExitUsage, "unknown command '" + name + "'");
    }
    return Usage(std::cerr, kExitUsage);
}
