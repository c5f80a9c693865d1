#include "NotificationTable.h"

#include <algorithm>
#include <cstdio>

#include "ce/types.h"
#include "device/AtomicFile.h"

namespace ce::devserver {
namespace {

constexpr uint32_t kHeaderFrame = 1;
constexpr uint32_t kEntryFrame = 2;

}  // namespace

std::string NotificationTable::Load() {
    std::string contents;
    if (!detail::ReadWholeFile(path_, contents)) {
        return {};  // none kept yet
    }
    bool damaged = false;
    while (auto frame = Message::TakeFrame(contents, damaged)) {
        if (frame->Kind() == kHeaderFrame) {
            nextHandle_ = std::max<int64_t>(nextHandle_, frame->Int(0));
        } else if (frame->Kind() == kEntryFrame && frame->Int(0) > 0) {
            NotificationRecord record = NotificationRecord::ReadFrom(*frame, 1);
            record.handle = frame->Int(0);
            nextHandle_ = std::max(nextHandle_, record.handle + 1);
            entries_[record.handle] = std::move(record);
        } else {
            damaged = true;
            break;
        }
    }
    if (!damaged && contents.empty()) {
        return {};
    }
    std::string aside = path_ + ".damaged";
    std::rename(path_.c_str(), aside.c_str());
    Save();
    return "damaged notification file set aside as " + aside + "; kept " + std::to_string(entries_.size()) +
           " notifications";
}

uint32_t NotificationTable::Set(NotificationRecord record, int64_t& handle) {
    std::optional<NotificationRecord> replaced;
    if (handle != 0) {
        auto it = entries_.find(handle);
        if (it == entries_.end()) {
            return ERROR_INVALID_HANDLE;
        }
        replaced = it->second;
    }
    int64_t oldNext = nextHandle_;
    if (handle == 0) {
        handle = nextHandle_++;
    }
    record.handle = handle;
    entries_[handle] = std::move(record);
    if (Save()) {
        return ERROR_SUCCESS;
    }
    if (replaced) {
        entries_[handle] = *replaced;
    } else {
        entries_.erase(handle);
        nextHandle_ = oldNext;
        handle = 0;
    }
    return ERROR_WRITE_FAULT;
}

uint32_t NotificationTable::Clear(int64_t handle) {
    auto it = entries_.find(handle);
    if (it == entries_.end()) {
        return ERROR_INVALID_HANDLE;
    }
    NotificationRecord removed = std::move(it->second);
    entries_.erase(it);
    if (Save()) {
        return ERROR_SUCCESS;
    }
    entries_[handle] = std::move(removed);
    return ERROR_WRITE_FAULT;
}

const NotificationRecord* NotificationTable::Find(int64_t handle) const {
    auto it = entries_.find(handle);
    return it == entries_.end() ? nullptr : &it->second;
}

std::vector<int64_t> NotificationTable::Handles() const {
    std::vector<int64_t> handles;
    for (const auto& [handle, record] : entries_) {
        handles.push_back(handle);
    }
    return handles;
}

std::optional<int64_t> NotificationTable::NextDue() const {
    std::optional<int64_t> next;
    for (const auto& [handle, record] : entries_) {
        if (!next || record.dueUnixMs < *next) {
            next = record.dueUnixMs;
        }
    }
    return next;
}

std::vector<NotificationRecord> NotificationTable::TakeDue(int64_t nowUnixMs) {
    std::vector<NotificationRecord> due;
    for (auto it = entries_.begin(); it != entries_.end();) {
        if (it->second.dueUnixMs <= nowUnixMs) {
            due.push_back(std::move(it->second));
            it = entries_.erase(it);
        } else {
            ++it;
        }
    }
    if (due.empty()) {
        return due;
    }
    std::stable_sort(due.begin(), due.end(), [](const NotificationRecord& a, const NotificationRecord& b) {
        return a.dueUnixMs < b.dueUnixMs;
    });
    Save();  // when it cannot be written they still start: missing a start is worse than a repeat later
    return due;
}

bool NotificationTable::Save() const {
    std::string contents = Message(kHeaderFrame).Add(nextHandle_).Encode();
    for (const auto& [handle, record] : entries_) {
        Message entry(kEntryFrame);
        entry.Add(handle);
        record.AppendTo(entry);
        contents += entry.Encode();
    }
    return detail::ReplaceFileAtomically(path_, contents);
}

}  // namespace ce::devserver
