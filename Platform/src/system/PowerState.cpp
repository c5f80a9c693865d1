// Power requests have no effect on the host; the device log "power" keeps them so that what the
// programs asked for can be seen (and checked on the virtual clock).
#include <cstdio>
#include <string>

#include "ce/device.h"
#include "ce/kernel.h"

namespace {

std::string Hex(DWORD value) {
    char text[16];
    std::snprintf(text, sizeof text, "0x%08X", static_cast<unsigned>(value));
    return text;
}

std::string Now() {
    return std::to_string(ce::ClockUnixMs());
}

}  // namespace

extern "C" {

CE_API DWORD SetSystemPowerState(LPCWSTR state, DWORD stateFlags, DWORD options) {
    ce::AppendDeviceLog("power", {{"call", "SetSystemPowerState"},
                                  {"state", state ? ce::ToUtf8(state) : std::string()},
                                  {"flags", Hex(stateFlags)},
                                  {"options", Hex(options)},
                                  {"at", Now()}});
    return ERROR_SUCCESS;
}

CE_API void SystemIdleTimerReset(void) {
    ce::AppendDeviceLog("power", {{"call", "SystemIdleTimerReset"}, {"at", Now()}});
}

}  // extern "C"
