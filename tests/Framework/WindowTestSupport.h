// A throw-away device with the process's device information in place, for tests that drive real
// windows of the framework through injected input.
#pragma once

#include <memory>
#include <string>

#include "CSysInfo.h"
#include "Platform/TempDevice.h"
#include "Platform/UserTestSupport.h"
#include "ce/device.h"
#include "ce/kernel.h"

namespace framework::test {

class WindowDevice : public ce::test::TempDevice {
public:
    // The virtual clock stands still from the start, so that timers and gestures move only when told.
    explicit WindowDevice(int screenWidth = 240, int screenHeight = 320) {
        ce::SetProfileString("device", "screen_width", std::to_string(screenWidth));
        ce::SetProfileString("device", "screen_height", std::to_string(screenHeight));
        ce::ReloadProfile();
        ce::EnableVirtualClock(1'760'000'000'000ull);
        sysInfo_ = std::make_unique<CSysInfo>(GetModuleHandleW(nullptr));
        g_pSysInfo = sysInfo_.get();
    }
    ~WindowDevice() {
        g_pSysInfo = nullptr;
        ce::DisableVirtualClock();
    }

    CSysInfo& SysInfo() { return *sysInfo_; }

    // Runs everything that waits, injected input included.
    static void Pump() { ce::test::Pump(); }
    static void Advance(uint64_t milliseconds) {
        ce::AdvanceVirtualClock(milliseconds);
        ce::test::Pump();
    }

private:
    std::unique_ptr<CSysInfo> sysInfo_;
};

}  // namespace framework::test
