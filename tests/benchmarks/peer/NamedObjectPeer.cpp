// named-object-peer ROOT: the second process of the named object benchmarks. It opens the benchmark's
// mutex and events on the device in ROOT, answers each "Bench ping" with a "Bench pong", and ends when
// "Bench stop" is set or its starter has gone.
#include <unistd.h>

#include "ce/device.h"
#include "ce/kernel.h"

int main(int argc, char** argv) {
    if (argc != 2) {
        return 2;
    }
    ce::SetDeviceRoot(argv[1]);
    const pid_t starter = getppid();
    HANDLE lock = CreateMutexW(nullptr, FALSE, u"Bench lock");
    HANDLE ping = CreateEventW(nullptr, FALSE, FALSE, u"Bench ping");
    HANDLE pong = CreateEventW(nullptr, FALSE, FALSE, u"Bench pong");
    HANDLE stop = CreateEventW(nullptr, TRUE, FALSE, u"Bench stop");
    SetEvent(CreateEventW(nullptr, TRUE, FALSE, u"Bench peer ready"));
    HANDLE waited[2] = {ping, stop};
    for (;;) {
        DWORD woken = WaitForMultipleObjects(2, waited, FALSE, 500);
        if (woken == WAIT_OBJECT_0) {
            SetEvent(pong);
        } else if (woken != WAIT_TIMEOUT || getppid() != starter) {
            break;
        }
    }
    CloseHandle(lock);
    return 0;
}
