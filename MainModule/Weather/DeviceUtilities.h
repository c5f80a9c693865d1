// Free functions over the device that the services share. The keep-awake and wait-cursor state is
// process-wide.
#pragma once

#include <cstdint>
#include <string>

#include "ce/types.h"

// The device identifier sent with every server request: 15 decimal digits from the device's unique id
// for this program. The output needs at least 17 characters; false when the system has no id.
bool GetDeviceId(LPWSTR id, int size);

// Keeps the device from going idle while downloads run: a thread resets the system idle timer a second
// before the shortest idle time-out that applies. A start while it runs changes nothing; a stop ends
// it; a stop with none running does nothing.
bool StartKeepAwake();
void StopKeepAwake();
// The time between two idle-timer resets for the power manager's time-outs (seconds; 0: none).
DWORD KeepAwakePeriodMs(DWORD batterySeconds, DWORD externalSeconds, DWORD wakeupSeconds);

// Nested: the first begin shows the wait cursor, the last end brings back the cursor shown before.
void BeginWaitCursor();
void EndWaitCursor();

// Switches the device fully on, as before a scheduled update.
void WakeUpDevice();

// The cellular line's registration: 0 home, 1 roaming, 2 not registered (denied, unregistered or
// attempting), 3 digital, 4 analog, -1 no cellular line or no answer.
int GetCellularRegistrationStatus();

// The running processes whose executable file name is this one, in any letter case; 0 when the
// processes cannot be listed.
int CountRunningProcesses(LPCWSTR executableName);
// The id of the first running process of that executable file name (any letter case); 0 when none runs.
DWORD FindRunningProcess(LPCWSTR executableName);

struct StorageCardInfo {
    std::u16string name;
    std::u16string path;
    uint64_t freeBytes = 0;
};

int GetStorageCardCount();
// False for a null output, an index beyond the last card or a card whose free space cannot be read.
bool GetStorageCardInfo(int index, StorageCardInfo* info);
