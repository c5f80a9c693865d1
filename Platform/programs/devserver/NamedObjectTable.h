// The device's named mutexes and events. Their state lives in the shared object area, where every
// process takes and sets them without asking the server; the table keeps what needs one owner: the
// names, the kind of each object, the references that the connections hold (one per open handle) and
// which slot of the area each object has. An object goes when its last reference does. When a
// connection closes, its process has ended: its references go, and so do its mutex ownerships (the
// next thread that asks gets the mutex) and its waits.
#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "ProcessTable.h"
#include "devserver/SharedObjectArea.h"

namespace ce::devserver {

class NamedObjectTable {
public:
    struct Opened {
        uint32_t status = 0;  // 0 or a platform error code
        uint64_t id = 0;
        bool existed = false;
        uint32_t slot = 0;
    };

    // Takes the area the server made; without one every create fails.
    explicit NamedObjectTable(std::shared_ptr<SharedObjectArea> area);

    Opened CreateMutex(ClientId client, const std::string& name, SharedCaller initialOwner);
    Opened CreateEvent(ClientId client, const std::string& name, bool manualReset, bool initialState);
    Opened OpenEvent(ClientId client, const std::string& name);
    uint32_t Close(ClientId client, uint64_t id);

    // A connection has closed; pid names its process when that has no other connection left (else 0).
    void DropClient(ClientId client, int64_t pid);
    uint64_t Stamp() const { return area_ ? area_->Stamp() : 0; }

private:
    enum class Kind { Mutex, Event };

    struct Object {
        Kind kind = Kind::Mutex;
        std::string name;
        uint32_t slot = 0;
        std::map<ClientId, int> references;
    };

    Opened Open(ClientId client, const std::string& name, Kind kind, bool& created);
    void Unreference(uint64_t id, ClientId client, bool all);

    std::shared_ptr<SharedObjectArea> area_;
    std::vector<uint32_t> freeSlots_;  // the next one handed out last
    std::map<uint64_t, Object> objects_;
    std::map<std::string, uint64_t> names_;
    uint64_t nextId_ = 1;
};

}  // namespace ce::devserver
