// Starts the program of a due user notification as CreateProcessW would, and records it in the device
// log "programs" (also when it cannot start: the notification is gone either way).
#pragma once

#include "devserver/NotificationRecord.h"

namespace ce::devserver {

class NotificationLauncher {
public:
    // The device is this process's device root. False when the program could not be started.
    static bool Launch(const NotificationRecord& notification);
};

}  // namespace ce::devserver
