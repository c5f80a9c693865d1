#include "SkyvaneDevice.h"

#include <thread>

namespace endtoend {

bool SkyvaneDevice::WaitForServerRequests(size_t count) const {
    for (int i = 0; i < 1000; ++i) {
        if (ServerRequests() >= count) {
            return true;
        }
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    return false;
}

int SkyvaneDevice::AdvanceUntilEnd(DeviceProgram& run, uint64_t stepMs) const {
    for (int i = 0; i < 20; ++i) {
        ce::AdvanceVirtualClock(stepMs);
        if (!run.StillRunningAfter(std::chrono::milliseconds(500))) {
            return run.Wait();
        }
    }
    return run.Wait(std::chrono::milliseconds(0));
}

}  // namespace endtoend
