#include "ProcessTable.h"

#include <algorithm>

namespace ce::devserver {

void ProcessTable::Enter(ClientId client, ProcessEntry entry) {
    Leave(client);
    entries_.emplace_back(client, std::move(entry));
}

void ProcessTable::Leave(ClientId client) {
    std::erase_if(entries_, [client](const auto& entry) { return entry.first == client; });
}

std::vector<ProcessEntry> ProcessTable::List() const {
    std::vector<ProcessEntry> list;
    list.reserve(entries_.size());
    for (const auto& entry : entries_) {
        list.push_back(entry.second);
    }
    return list;
}

}  // namespace ce::devserver
