// User notifications: kept and fired by the device server (Protocol.h); this side turns the trigger's
// local times into the device clock's UTC due time and lays notifications out for the caller.
#include <cstring>
#include <optional>
#include <string>

#include "ce/device.h"
#include "ce/notify.h"
#include "devserver/DeviceServerConnection.h"
#include "devserver/NotificationRecord.h"
#include "devserver/Protocol.h"
#include "time/FileTimeValue.h"

using ce::devserver::DeviceServerConnection;
using ce::devserver::Message;
using ce::devserver::NotificationRecord;
using ce::devserver::Request;

namespace {

template <class T>
T Fail(DWORD error, T result) {
    SetLastError(error);
    return result;
}

HANDLE HandleOf(int64_t id) {
    return reinterpret_cast<HANDLE>(static_cast<intptr_t>(id));
}
int64_t IdOf(HANDLE handle) {
    return static_cast<int64_t>(reinterpret_cast<intptr_t>(handle));
}

// The reply to a request, or nullopt with the last error set (ERROR_BUSY: no device server to ask).
std::optional<Message> Ask(const Message& request) {
    if (ce::DeviceRoot().empty()) {
        return Fail(ERROR_BUSY, std::nullopt);
    }
    std::optional<Message> reply = DeviceServerConnection::Instance().Call(request);
    if (!reply) {
        return Fail(ERROR_BUSY, std::nullopt);
    }
    if (reply->Int(0) != ERROR_SUCCESS) {
        return Fail(static_cast<DWORD>(reply->Int(0)), std::nullopt);
    }
    return reply;
}

// A local SYSTEMTIME as a local FILETIME value; nullopt when it is no valid time.
std::optional<int64_t> LocalFileTime(const SYSTEMTIME& local) {
    FILETIME time{};
    if (!SystemTimeToFileTime(&local, &time)) {
        return std::nullopt;
    }
    return static_cast<int64_t>(ce::detail::FileTimeValue(time));
}

int64_t UtcUnixMsOfLocal(int64_t localFileTime) {
    FILETIME local = ce::detail::MakeFileTime(static_cast<uint64_t>(localFileTime));
    FILETIME utc{};
    LocalFileTimeToFileTime(&local, &utc);
    return ce::detail::UnixMsFromFileTime(utc);
}

SYSTEMTIME SystemTimeOf(int64_t localFileTime) {
    FILETIME time = ce::detail::MakeFileTime(static_cast<uint64_t>(localFileTime));
    SYSTEMTIME system{};
    FileTimeToSystemTime(&time, &system);
    return system;
}

std::optional<NotificationRecord> RecordOf(const CE_NOTIFICATION_TRIGGER& trigger) {
    // Bounded so that a request always fits the server's frames (an oversized one would cost this
    // process its connection, and with it its named objects).
    const int kLongestArguments = 32767;
    if (trigger.lpszApplication == nullptr || trigger.lpszApplication[0] == u'\0' ||
        lstrlenW(trigger.lpszApplication) >= MAX_PATH ||
        (trigger.lpszArguments && lstrlenW(trigger.lpszArguments) > kLongestArguments)) {
        return Fail(ERROR_INVALID_PARAMETER, std::nullopt);
    }
    std::optional<int64_t> start = LocalFileTime(trigger.stStartTime);
    if (!start) {
        return Fail(ERROR_INVALID_PARAMETER, std::nullopt);
    }
    NotificationRecord record;
    record.application = ce::ToUtf8(trigger.lpszApplication);
    record.arguments = trigger.lpszArguments ? ce::ToUtf8(trigger.lpszArguments) : std::string();
    record.event = trigger.dwEvent;
    record.localStart = *start;
    record.localEnd = LocalFileTime(trigger.stEndTime).value_or(*start);
    record.dueUnixMs = UtcUnixMsOfLocal(*start);
    return record;
}

constexpr size_t AlignUp(size_t value, size_t alignment) {
    return (value + alignment - 1) / alignment * alignment;
}

// The buffer of CeGetUserNotification: header, trigger, then the two strings with their terminators.
struct InfoLayout {
    size_t trigger;
    size_t application;
    size_t arguments;
    size_t total;

    InfoLayout(const std::u16string& application, const std::u16string& arguments) {
        trigger = AlignUp(sizeof(CE_NOTIFICATION_INFO_HEADER), alignof(CE_NOTIFICATION_TRIGGER));
        this->application = trigger + sizeof(CE_NOTIFICATION_TRIGGER);
        this->arguments = this->application + (application.size() + 1) * sizeof(char16_t);
        total = this->arguments + (arguments.size() + 1) * sizeof(char16_t);
    }
};

void WriteInfo(HANDLE handle, const NotificationRecord& record, const std::u16string& application,
               const std::u16string& arguments, const InfoLayout& layout, BYTE* buffer) {
    std::memcpy(buffer + layout.application, application.c_str(),
                (application.size() + 1) * sizeof(char16_t));
    std::memcpy(buffer + layout.arguments, arguments.c_str(), (arguments.size() + 1) * sizeof(char16_t));
    CE_NOTIFICATION_TRIGGER trigger{};
    trigger.dwSize = sizeof trigger;
    trigger.dwType = CNT_TIME;
    trigger.dwEvent = static_cast<DWORD>(record.event);
    trigger.lpszApplication = reinterpret_cast<WCHAR*>(buffer + layout.application);
    trigger.lpszArguments = reinterpret_cast<WCHAR*>(buffer + layout.arguments);
    trigger.stStartTime = SystemTimeOf(record.localStart);
    trigger.stEndTime = SystemTimeOf(record.localEnd);
    std::memcpy(buffer + layout.trigger, &trigger, sizeof trigger);
    CE_NOTIFICATION_INFO_HEADER header{};
    header.hNotification = handle;
    header.dwStatus = 0;
    header.pcent = reinterpret_cast<CE_NOTIFICATION_TRIGGER*>(buffer + layout.trigger);
    header.pceun = nullptr;
    std::memcpy(buffer, &header, sizeof header);
}

}  // namespace

extern "C" {

CE_API HANDLE CeSetUserNotificationEx(HANDLE notification, CE_NOTIFICATION_TRIGGER* trigger,
                                      CE_USER_NOTIFICATION* /*userNotification: no dialogs or sounds here*/) {
    if (trigger == nullptr) {
        return Fail(ERROR_INVALID_PARAMETER, HANDLE{});
    }
    if (trigger->dwType != CNT_TIME) {
        return Fail(ERROR_NOT_SUPPORTED, HANDLE{});
    }
    std::optional<NotificationRecord> record = RecordOf(*trigger);
    if (!record) {
        return nullptr;
    }
    Message request(Request::SetNotification);
    request.Add(IdOf(notification));
    record->AppendTo(request);
    std::optional<Message> reply = Ask(request);
    return reply ? HandleOf(reply->Int(1)) : nullptr;
}

CE_API BOOL CeClearUserNotification(HANDLE notification) {
    return Ask(Message(Request::ClearNotification).Add(IdOf(notification))) ? TRUE : FALSE;
}

CE_API BOOL CeGetUserNotificationHandles(HANDLE* handles, DWORD count, LPDWORD needed) {
    if (needed == nullptr || (count > 0 && handles == nullptr)) {
        return Fail(ERROR_INVALID_PARAMETER, FALSE);
    }
    std::optional<Message> reply = Ask(Message(Request::ListNotifications));
    if (!reply) {
        return FALSE;
    }
    auto pending = static_cast<DWORD>(reply->Int(1));
    *needed = pending;
    if (count == 0) {
        return TRUE;  // the count alone was asked for
    }
    for (DWORD i = 0; i < pending && i < count; ++i) {
        handles[i] = HandleOf(reply->Int(2 + i));
    }
    return count >= pending ? TRUE : Fail(ERROR_INSUFFICIENT_BUFFER, FALSE);
}

CE_API BOOL CeGetUserNotification(HANDLE notification, DWORD size, LPDWORD needed, LPBYTE buffer) {
    if (needed == nullptr || (size > 0 && buffer == nullptr)) {
        return Fail(ERROR_INVALID_PARAMETER, FALSE);
    }
    std::optional<Message> reply = Ask(Message(Request::GetNotification).Add(IdOf(notification)));
    if (!reply) {
        return FALSE;
    }
    NotificationRecord record = NotificationRecord::ReadFrom(*reply, 1);
    std::u16string application = ce::FromUtf8(record.application);
    std::u16string arguments = ce::FromUtf8(record.arguments);
    InfoLayout layout(application, arguments);
    *needed = static_cast<DWORD>(layout.total);
    if (size < layout.total) {
        return Fail(ERROR_INSUFFICIENT_BUFFER, FALSE);
    }
    WriteInfo(notification, record, application, arguments, layout, buffer);
    return TRUE;
}

}  // extern "C"
