// One user notification as the device server keeps it and as its requests carry it (Protocol.h): the
// fields in this order after a request's or reply's leading fields.
#pragma once

#include <cstdint>
#include <string>

#include "devserver/Message.h"

namespace ce::devserver {

struct NotificationRecord {
    int64_t handle = 0;
    std::string application;  // device path of the program to start
    std::string arguments;    // its command line
    int64_t event = 0;
    int64_t localStart = 0;  // FILETIME values of the trigger's local start and end times
    int64_t localEnd = 0;
    int64_t dueUnixMs = 0;  // the start as UTC ms since 1970, on the device's clock

    static constexpr size_t kFieldCount = 6;
    void AppendTo(Message& message) const;
    // Reads the fields from index first on; the handle is not among them.
    static NotificationRecord ReadFrom(const Message& message, size_t first);
};

}  // namespace ce::devserver
