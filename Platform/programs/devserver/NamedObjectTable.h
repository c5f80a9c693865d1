// The device's named mutexes and events. A process reaches an object through the references its
// connection holds (one per open handle); the object goes when the last reference does. Mutex ownership
// belongs to a thread of a connection and is dropped when that connection closes, so a mutex held by a
// process that died goes to the next thread that asks.
#pragma once

#include <cstdint>
#include <map>
#include <string>
#include <utility>
#include <vector>

#include "ProcessTable.h"

namespace ce::devserver {

class NamedObjectTable {
public:
    struct Opened {
        uint32_t status = 0;  // 0 or a platform error code
        uint64_t id = 0;
        bool existed = false;
    };

    Opened CreateMutex(ClientId client, const std::string& name, uint32_t thread, bool initialOwner);
    uint32_t ReleaseMutex(ClientId client, uint64_t id, uint32_t thread);
    uint32_t AbandonMutex(ClientId client, uint64_t id, uint32_t thread);

    Opened CreateEvent(ClientId client, const std::string& name, bool manualReset, bool initialState);
    Opened OpenEvent(ClientId client, const std::string& name);
    uint32_t SetEvent(ClientId client, uint64_t id);
    uint32_t ResetEvent(ClientId client, uint64_t id);
    uint32_t PulseEvent(ClientId client, uint64_t id);
    uint32_t SetEventData(ClientId client, uint64_t id, uint32_t data);
    uint32_t GetEventData(ClientId client, uint64_t id, uint32_t& data);

    uint32_t TryAcquire(ClientId client, uint64_t id, uint32_t thread, bool& taken);
    uint32_t Untake(ClientId client, uint64_t id, uint32_t thread);
    uint32_t WaitEnded(ClientId client, uint64_t id, uint32_t thread);
    uint32_t Close(ClientId client, uint64_t id);

    // The connection has closed: its references and mutex ownerships go.
    void DropClient(ClientId client);

private:
    enum class Kind { Mutex, Event };
    using Caller = std::pair<ClientId, uint32_t>;  // a thread of a connection

    struct Object {
        Kind kind = Kind::Mutex;
        std::string name;
        std::map<ClientId, int> references;
        // mutex
        Caller owner{0, 0};
        uint32_t count = 0;
        // event
        bool manualReset = false;
        bool signaled = false;
        uint32_t data = 0;
        std::vector<Caller> waiting;  // threads that found the event unset, oldest first
        std::vector<Caller> pulsed;   // threads a PulseEvent let through, not yet told
    };

    Opened Open(ClientId client, const std::string& name, Kind kind, bool& created);
    // The object with this id when the client holds a reference to it.
    Object* Find(ClientId client, uint64_t id, Kind kind);
    Object* FindAny(ClientId client, uint64_t id);
    void Unreference(uint64_t id, ClientId client, bool all);

    std::map<uint64_t, Object> objects_;
    std::map<std::string, uint64_t> names_;
    uint64_t nextId_ = 1;
};

}  // namespace ce::devserver
