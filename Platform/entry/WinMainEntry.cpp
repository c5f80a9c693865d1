// The program's Linux entry: hands the command line to the program's WinMain as the device would.
#include <string>

#include "ce/device.h"
#include "ce/kernel.h"

extern "C" int WINAPI WinMain(HINSTANCE instance, HINSTANCE previous, LPWSTR commandLine, int show);

int main(int argc, char** argv) {
    std::u16string commandLine = ce::StartDeviceProcess(argc, argv);
    const int kShowNormal = 1;
    int exitCode = WinMain(GetModuleHandleW(nullptr), nullptr, commandLine.data(), kShowNormal);
    ExitProcess(static_cast<UINT>(exitCode));
}
