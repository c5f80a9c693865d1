#include <cstdlib>
#include <mutex>

#include "ce/device.h"
#include "device/VirtualClock.h"

namespace ce {
namespace {

struct RootState {
    std::mutex lock;
    bool known = false;
    std::string root;
};

RootState& State() {
    static RootState* state = new RootState;  // outlives static destructors of other libraries
    return *state;
}

std::string WithoutTrailingSlash(std::string path) {
    while (path.size() > 1 && path.back() == '/') {
        path.pop_back();
    }
    return path;
}

}  // namespace

std::string DeviceRoot() {
    RootState& state = State();
    std::lock_guard guard(state.lock);
    if (!state.known) {
        const char* value = std::getenv("CE_DEVICE_ROOT");
        state.root = WithoutTrailingSlash(value ? value : "");
        state.known = true;
    }
    return state.root;
}

void SetDeviceRoot(const std::string& root) {
    {
        RootState& state = State();
        std::lock_guard guard(state.lock);
        state.root = WithoutTrailingSlash(root);
        state.known = true;
        if (state.root.empty()) {
            unsetenv("CE_DEVICE_ROOT");
        } else {
            setenv("CE_DEVICE_ROOT", state.root.c_str(), 1);
        }
    }
    ReloadProfile();
    detail::ForgetClockFile();
}

}  // namespace ce
