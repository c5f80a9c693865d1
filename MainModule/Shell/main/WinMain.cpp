// The program's entry.
#include "Shell/CMainApplication.h"

extern "C" int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPWSTR commandLine, int) {
    try {
        CMainApplication application;
        return application.Run(instance, commandLine) != 0 ? 0 : 1;
    } catch (...) {
        MessageBoxW(nullptr, u"Unhandled exception", u"Skyvane Error", MB_OK | MB_ICONERROR);
        return 1;
    }
}
