#include "devserver/NotificationRecord.h"

namespace ce::devserver {

void NotificationRecord::AppendTo(Message& message) const {
    message.Add(application).Add(arguments).Add(event).Add(localStart).Add(localEnd).Add(dueUnixMs);
}

NotificationRecord NotificationRecord::ReadFrom(const Message& message, size_t first) {
    NotificationRecord record;
    record.application = message.Text(first);
    record.arguments = message.Text(first + 1);
    record.event = message.Int(first + 2);
    record.localStart = message.Int(first + 3);
    record.localEnd = message.Int(first + 4);
    record.dueUnixMs = message.Int(first + 5);
    return record;
}

}  // namespace ce::devserver
