// A device with the program's install folder for the start-screen installers: the process's device
// information, the virtual clock standing still (the installers wait for the shell in virtual time), and
// a top-level window that records the broadcasts the shell gets.
#pragma once

#include <chrono>
#include <future>
#include <memory>
#include <string>

#include "CSysInfo.h"
#include "MainModule/InstalledDevice.h"
#include "Platform/UserTestSupport.h"

namespace mainmodule::test {

class StartScreenDevice : public ce::test::InstalledDevice {
public:
    StartScreenDevice(const char* kind, int screenWidth) {
        ce::SetProfileString("device", "kind", kind);
        ce::SetProfileString("device", "screen_width", std::to_string(screenWidth));
        ce::SetProfileString("device", "screen_height", std::to_string(screenWidth * 4 / 3));
        ce::ReloadProfile();
        ce::EnableVirtualClock(1'760'000'000'000ull);
        sysInfo_ = std::make_unique<CSysInfo>(GetModuleHandleW(nullptr));
        g_pSysInfo = sysInfo_.get();
        ce::test::Recorder::Reset();
        ce::test::Recorder::Register();
        shell_ = CreateWindowExW(0, u"Recorder", u"shell", WS_VISIBLE, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    }
    ~StartScreenDevice() {
        DestroyWindow(shell_);
        ce::test::Pump();
        ce::test::Recorder::Reset();
        g_pSysInfo = nullptr;
        ce::DisableVirtualClock();
    }

    // Runs a call that sleeps in virtual time on a thread of its own, moving the clock on until it ends
    // (bounded); its result, or -1 when it did not end.
    template <class Call>
    static int RunWithClock(Call call) {
        auto result = std::async(std::launch::async, call);
        for (int i = 0; i < 2000; ++i) {
            if (result.wait_for(std::chrono::milliseconds(5)) == std::future_status::ready) {
                return result.get();
            }
            ce::AdvanceVirtualClock(250);
        }
        return result.wait_for(std::chrono::seconds(10)) == std::future_status::ready ? result.get() : -1;
    }

    // The WM_SETTINGCHANGE wParams the shell's window got so far.
    std::vector<WPARAM> SettingChanges() const {
        ce::test::Pump();
        std::vector<WPARAM> found;
        for (const ce::test::Received& received : ce::test::Recorder::Of(shell_, WM_SETTINGCHANGE)) {
            found.push_back(received.wParam);
        }
        return found;
    }
    HWND ShellWindow() const { return shell_; }

private:
    std::unique_ptr<CSysInfo> sysInfo_;
    HWND shell_ = nullptr;
};

}  // namespace mainmodule::test
