// The device's top-level windows, as their processes publish them: for FindWindow, for messages
// posted to another process's window and for broadcasts. Each entry goes with its process's connection.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "ProcessTable.h"

namespace ce::devserver {

struct WindowEntry {
    int64_t window = 0;
    int64_t pid = 0;
    std::string className;  // UTF-8
    std::string title;
};

class WindowTable {
public:
    // Enters or updates a window; the newest comes first, as the top of the z-order.
    void Publish(ClientId client, WindowEntry entry);
    void Withdraw(ClientId client, int64_t window);
    void DropClient(ClientId client);
    // Class and title compare as the platform does: the class without case, the title exactly; an
    // absent one matches any.
    std::optional<WindowEntry> Find(const std::optional<std::string>& className,
                                    const std::optional<std::string>& title) const;
    std::optional<WindowEntry> Lookup(int64_t window) const;
    std::vector<WindowEntry> List() const;

    void SetForeground(int64_t window) { foreground_ = window; }
    // The foreground window while it is published; else the newest window.
    std::optional<WindowEntry> Foreground() const;

private:
    struct Slot {
        ClientId client;
        WindowEntry entry;
    };
    std::vector<Slot> slots_;
    int64_t foreground_ = 0;
};

}  // namespace ce::devserver
