#include <mutex>
#include <string>

#include "ce/device.h"
#include "ce/kernel.h"

namespace {
std::u16string& CommandLineStore() {
    static std::u16string* text = new std::u16string;
    return *text;
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
    CommandLineStore() = FromUtf8(joined);
    return CommandLineStore();
}

}  // namespace ce

extern "C" CE_API LPWSTR GetCommandLineW(void) { return CommandLineStore().data(); }
