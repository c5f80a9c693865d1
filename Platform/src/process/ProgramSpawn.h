// Starting the host file of a device program: the device's command line is its single argument (none when
// empty) and CE_DEVICE_ROOT names the device; the program's entry shim does the rest. Shared by
// CreateProcessW and the device server, which starts the programs of user notifications.
#pragma once

#include <sys/types.h>

#include <string>

namespace ce::detail {

// The child starts with default signal handling and nothing blocked. 0, or the errno of the failure.
int SpawnDeviceProgram(const std::string& host, const std::string& commandLine, const std::string& root,
                       pid_t* pid);

}  // namespace ce::detail
