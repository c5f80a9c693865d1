// The device's running processes, as Toolhelp lists them: each entered by its own connection and gone
// with it.
#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

namespace ce::devserver {

using ClientId = uint64_t;

struct ProcessEntry {
    int64_t pid = 0;
    int64_t parentPid = 0;
    std::string imageName;  // "wceload.exe"
    std::string imagePath;  // "\Windows\wceload.exe", empty for a program outside the device's files
};

class ProcessTable {
public:
    void Enter(ClientId client, ProcessEntry entry);
    void Leave(ClientId client);
    // In the order the processes were entered.
    std::vector<ProcessEntry> List() const;

private:
    std::vector<std::pair<ClientId, ProcessEntry>> entries_;
};

}  // namespace ce::devserver
