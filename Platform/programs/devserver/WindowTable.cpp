#include "WindowTable.h"

#include <algorithm>
#include <cctype>

namespace ce::devserver {
namespace {

// Window class names of the device are ASCII in practice; other characters compare exactly.
bool SameClass(const std::string& a, const std::string& b) {
    return a.size() == b.size() && std::equal(a.begin(), a.end(), b.begin(), [](char x, char y) {
               return std::tolower(static_cast<unsigned char>(x)) == std::tolower(static_cast<unsigned char>(y));
           });
}

}  // namespace

void WindowTable::Publish(ClientId client, WindowEntry entry) {
    Withdraw(client, entry.window);
    slots_.insert(slots_.begin(), Slot{client, std::move(entry)});
}

void WindowTable::Withdraw(ClientId client, int64_t window) {
    slots_.erase(std::remove_if(slots_.begin(), slots_.end(),
                                [&](const Slot& s) { return s.client == client && s.entry.window == window; }),
                 slots_.end());
}

void WindowTable::DropClient(ClientId client) {
    slots_.erase(std::remove_if(slots_.begin(), slots_.end(), [&](const Slot& s) { return s.client == client; }),
                 slots_.end());
}

std::optional<WindowEntry> WindowTable::Find(const std::optional<std::string>& className,
                                             const std::optional<std::string>& title) const {
    for (const Slot& slot : slots_) {
        if ((!className || SameClass(*className, slot.entry.className)) && (!title || *title == slot.entry.title)) {
            return slot.entry;
        }
    }
    return std::nullopt;
}

std::optional<WindowEntry> WindowTable::Lookup(int64_t window) const {
    for (const Slot& slot : slots_) {
        if (slot.entry.window == window) {
            return slot.entry;
        }
    }
    return std::nullopt;
}

std::vector<WindowEntry> WindowTable::List() const {
    std::vector<WindowEntry> out;
    for (const Slot& slot : slots_) {
        out.push_back(slot.entry);
    }
    return out;
}

std::optional<WindowEntry> WindowTable::Foreground() const {
    if (auto entry = Lookup(foreground_)) {
        return entry;
    }
    return slots_.empty() ? std::nullopt : std::optional<WindowEntry>(slots_.front().entry);
}

}  // namespace ce::devserver
