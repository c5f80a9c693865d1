// The serial-port calls on a handle from CreateFileW("COM1:").
#include <termios.h>

#include "files/FileErrors.h"
#include "files/SerialPort.h"
#include "kernel/HandleTable.h"

using namespace ce::detail;

namespace {

std::shared_ptr<SerialPort> PortOf(HANDLE handle) {
    auto port = LookupHandleAs<SerialPort>(handle);
    if (!port) {
        SetLastError(ERROR_INVALID_HANDLE);
    }
    return port;
}

}  // namespace

extern "C" {

CE_API BOOL SetCommTimeouts(HANDLE handle, LPCOMMTIMEOUTS timeouts) {
    auto port = PortOf(handle);
    if (!port || timeouts == nullptr) {
        return port ? Fail(ERROR_INVALID_PARAMETER, FALSE) : FALSE;
    }
    port->SetTimeouts(*timeouts);
    return TRUE;
}

CE_API BOOL GetCommTimeouts(HANDLE handle, LPCOMMTIMEOUTS timeouts) {
    auto port = PortOf(handle);
    if (!port || timeouts == nullptr) {
        return port ? Fail(ERROR_INVALID_PARAMETER, FALSE) : FALSE;
    }
    *timeouts = port->Timeouts();
    return TRUE;
}

CE_API BOOL PurgeComm(HANDLE handle, DWORD flags) {
    auto port = PortOf(handle);
    if (!port) {
        return FALSE;
    }
    bool input = flags & (PURGE_RXCLEAR | PURGE_RXABORT);
    bool output = flags & (PURGE_TXCLEAR | PURGE_TXABORT);
    if (input || output) {
        tcflush(port->Descriptor(), input && output ? TCIOFLUSH : input ? TCIFLUSH : TCOFLUSH);
    }
    return TRUE;
}

CE_API BOOL SetCommMask(HANDLE handle, DWORD mask) {
    auto port = PortOf(handle);
    if (!port) {
        return FALSE;
    }
    port->SetMask(mask);
    return TRUE;
}

CE_API BOOL GetCommMask(HANDLE handle, LPDWORD mask) {
    auto port = PortOf(handle);
    if (!port || mask == nullptr) {
        return port ? Fail(ERROR_INVALID_PARAMETER, FALSE) : FALSE;
    }
    *mask = port->Mask();
    return TRUE;
}

}  // extern "C"
