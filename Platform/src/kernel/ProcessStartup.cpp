#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <string>

#include "ce/device.h"
#include "ce/kernel.h"
#include "devserver/ProcessTableClient.h"

namespace {

struct StartupRecord {
    std::u16string commandLine;
    std::u16string imagePath;  // device path of the program, empty when it was not started from the device
};

StartupRecord& Record() {
    static StartupRecord* record = new StartupRecord;
    return *record;
}

// The host path the program was started by, with its folder made absolute but its own name kept, so a
// program started through a link in the device's file system keeps the link's device path. A name
// without a folder was found on PATH; then only the resolved file is known.
std::string InvokedPath(const char* argv0) {
    std::string path = argv0;
    size_t slash = path.rfind('/');
    char resolved[PATH_MAX];
    if (slash == std::string::npos) {
        ssize_t length = readlink("/proc/self/exe", resolved, sizeof resolved - 1);
        return length > 0 ? std::string(resolved, static_cast<size_t>(length)) : path;
    }
    std::string folder = slash == 0 ? "/" : path.substr(0, slash);
    if (realpath(folder.c_str(), resolved) == nullptr) {
        return path;
    }
    std::string base = resolved;
    return (base == "/" ? "" : base) + "/" + path.substr(slash + 1);
}

}  // namespace

namespace ce {

// The device's command line is everything after the program name, as one text: a program started by
// CreateProcessW gets it as its single argument; arguments typed in a shell are joined with spaces.
std::u16string StartDeviceProcess(int argc, char** argv) {
    std::string joined;
    for (int i = 1; i < argc; ++i) {
        if (i > 1) {
            joined += ' ';
        }
        joined += argv[i];
    }
    Record().commandLine = FromUtf8(joined);
    if (argc > 0 && !DeviceRoot().empty()) {
        Record().imagePath = DevicePath(InvokedPath(argv[0]));
        devserver::ProcessTableClient::Enter(Record().imagePath, argv[0]);
    }
    return Record().commandLine;
}

std::u16string ProcessImagePath() {
    return Record().imagePath;
}

}  // namespace ce

extern "C" CE_API LPWSTR GetCommandLineW(void) {
    return Record().commandLine.data();
}
