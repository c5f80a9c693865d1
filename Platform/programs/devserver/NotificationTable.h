// The device's pending user notifications, kept in a file of the run folder so that they outlive the
// server: every change replaces the file atomically before it is answered.
//
// The file is a sequence of protocol frames (Message.h): first one holding the next handle to give out,
// then one per notification (its handle, then NotificationRecord's fields).
#pragma once

#include <cstdint>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "devserver/NotificationRecord.h"

namespace ce::devserver {

class NotificationTable {
public:
    explicit NotificationTable(std::string path) : path_(std::move(path)) {}

    // Reads the file. One that cannot be read whole is set aside as "<file>.damaged" (never lost) and
    // what it held up to the damage is kept. Returns a line for the server's log, or empty.
    std::string Load();

    // Adds a notification (handle 0) or replaces the one of its handle; the status (0, ERROR_INVALID_HANDLE,
    // ERROR_WRITE_FAULT when it cannot be kept, which leaves the table as it was) and the handle.
    uint32_t Set(NotificationRecord record, int64_t& handle);
    uint32_t Clear(int64_t handle);
    const NotificationRecord* Find(int64_t handle) const;
    std::vector<int64_t> Handles() const;
    bool Empty() const { return entries_.empty(); }
    // The earliest due time, when any is pending.
    std::optional<int64_t> NextDue() const;
    // Takes out the notifications due at nowUnixMs, earliest first. They are gone from the file before
    // they are returned: a server that dies while starting them does not start them twice.
    std::vector<NotificationRecord> TakeDue(int64_t nowUnixMs);

private:
    bool Save() const;

    std::string path_;
    std::map<int64_t, NotificationRecord> entries_;
    int64_t nextHandle_ = 1;
};

}  // namespace ce::devserver
