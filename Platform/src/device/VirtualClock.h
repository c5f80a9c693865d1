// The device's clock state: virtual clock on or off, its time, and the offset that SetSystemTime puts
// on the real clock. Kept in <root>/run/clock, mapped into every process of the device.
#pragma once

namespace ce::detail {

// Drops this process's mapping so that the next read opens the clock of the current device root.
void ForgetClockFile();

}  // namespace ce::detail
