// A serial port ("COM1:") opened on the host device that the profile names for it. Reads follow the
// port's time-outs as the device does; under the virtual clock, which no one may be advancing while a
// read waits, a read waits only briefly in real time for bytes already on their way.
#pragma once

#include <mutex>
#include <optional>
#include <string>

#include "files/FileObject.h"

namespace ce::detail {

class SerialPort : public FileObject {
public:
    SerialPort(int fd, DWORD access) : FileObject(fd, access) {}

    DWORD Read(void* buffer, DWORD toRead, DWORD& read) override;
    void SetTimeouts(const COMMTIMEOUTS& timeouts);
    COMMTIMEOUTS Timeouts() const;
    void SetMask(DWORD mask);
    DWORD Mask() const;

private:
    // How long to wait for the next byte, in ms; -1 without limit, 0 when the read is over.
    int NextWait(DWORD got, DWORD toRead, uint64_t started, uint64_t lastByte) const;

    mutable std::mutex lock_;
    COMMTIMEOUTS timeouts_{};
    DWORD mask_ = 0;
};

// The host device for a port name such as "COM1:" or "gpd0:": nothing when the text is not a port
// name, an empty text when the profile names no device for the port.
std::optional<std::string> SerialDeviceFor(std::u16string_view name);

}  // namespace ce::detail
