#include "NamedObjectTable.h"

#include <algorithm>

#include "ce/types.h"

namespace ce::devserver {
namespace {

template <class List, class Item>
bool Contains(const List& list, const Item& item) {
    return std::find(list.begin(), list.end(), item) != list.end();
}

template <class List, class Item>
bool RemoveFrom(List& list, const Item& item) {
    auto it = std::find(list.begin(), list.end(), item);
    if (it == list.end()) {
        return false;
    }
    list.erase(it);
    return true;
}

}  // namespace

NamedObjectTable::Opened NamedObjectTable::Open(ClientId client, const std::string& name, Kind kind,
                                                bool& created) {
    created = false;
    Opened result;
    auto named = names_.find(name);
    if (named != names_.end()) {
        Object& object = objects_[named->second];
        if (object.kind != kind) {
            result.status = ERROR_INVALID_HANDLE;  // the name belongs to an object of another type
            return result;
        }
        ++object.references[client];
        result.id = named->second;
        result.existed = true;
        return result;
    }
    result.id = nextId_++;
    Object& object = objects_[result.id];
    object.kind = kind;
    object.name = name;
    object.references[client] = 1;
    names_[name] = result.id;
    created = true;
    return result;
}

NamedObjectTable::Object* NamedObjectTable::FindAny(ClientId client, uint64_t id) {
    auto it = objects_.find(id);
    if (it == objects_.end() || !it->second.references.contains(client)) {
        return nullptr;
    }
    return &it->second;
}

NamedObjectTable::Object* NamedObjectTable::Find(ClientId client, uint64_t id, Kind kind) {
    Object* object = FindAny(client, id);
    return object && object->kind == kind ? object : nullptr;
}

NamedObjectTable::Opened NamedObjectTable::CreateMutex(ClientId client, const std::string& name,
                                                       uint32_t thread, bool initialOwner) {
    bool created = false;
    Opened result = Open(client, name, Kind::Mutex, created);
    // As on the device, the initial ownership is granted only to the creator of the mutex.
    if (created && initialOwner) {
        Object& object = objects_[result.id];
        object.owner = {client, thread};
        object.count = 1;
    }
    return result;
}

uint32_t NamedObjectTable::ReleaseMutex(ClientId client, uint64_t id, uint32_t thread) {
    Object* mutex = Find(client, id, Kind::Mutex);
    if (!mutex) {
        return ERROR_INVALID_HANDLE;
    }
    if (mutex->count == 0 || mutex->owner != Caller{client, thread}) {
        return ERROR_NOT_OWNER;
    }
    if (--mutex->count == 0) {
        mutex->owner = {0, 0};
    }
    return 0;
}

uint32_t NamedObjectTable::AbandonMutex(ClientId client, uint64_t id, uint32_t thread) {
    Object* mutex = Find(client, id, Kind::Mutex);
    if (!mutex) {
        return ERROR_INVALID_HANDLE;
    }
    if (mutex->count != 0 && mutex->owner == Caller{client, thread}) {
        mutex->owner = {0, 0};
        mutex->count = 0;
    }
    return 0;
}

NamedObjectTable::Opened NamedObjectTable::CreateEvent(ClientId client, const std::string& name,
                                                       bool manualReset, bool initialState) {
    bool created = false;
    Opened result = Open(client, name, Kind::Event, created);
    if (created) {
        Object& object = objects_[result.id];
        object.manualReset = manualReset;
        object.signaled = initialState;
    }
    return result;
}

NamedObjectTable::Opened NamedObjectTable::OpenEvent(ClientId client, const std::string& name) {
    auto named = names_.find(name);
    if (named == names_.end()) {
        Opened result;
        result.status = ERROR_FILE_NOT_FOUND;
        return result;
    }
    bool created = false;
    return Open(client, name, Kind::Event, created);
}

uint32_t NamedObjectTable::SetEvent(ClientId client, uint64_t id) {
    Object* event = Find(client, id, Kind::Event);
    if (!event) {
        return ERROR_INVALID_HANDLE;
    }
    event->signaled = true;
    return 0;
}

uint32_t NamedObjectTable::ResetEvent(ClientId client, uint64_t id) {
    Object* event = Find(client, id, Kind::Event);
    if (!event) {
        return ERROR_INVALID_HANDLE;
    }
    event->signaled = false;
    return 0;
}

uint32_t NamedObjectTable::PulseEvent(ClientId client, uint64_t id) {
    Object* event = Find(client, id, Kind::Event);
    if (!event) {
        return ERROR_INVALID_HANDLE;
    }
    for (const Caller& waiter : event->waiting) {
        if (!Contains(event->pulsed, waiter)) {
            event->pulsed.push_back(waiter);
        }
        if (!event->manualReset) {
            break;
        }
    }
    event->waiting.clear();
    event->signaled = false;
    return 0;
}

uint32_t NamedObjectTable::SetEventData(ClientId client, uint64_t id, uint32_t data) {
    Object* event = Find(client, id, Kind::Event);
    if (!event) {
        return ERROR_INVALID_HANDLE;
    }
    event->data = data;
    return 0;
}

uint32_t NamedObjectTable::GetEventData(ClientId client, uint64_t id, uint32_t& data) {
    Object* event = Find(client, id, Kind::Event);
    if (!event) {
        return ERROR_INVALID_HANDLE;
    }
    data = event->data;
    return 0;
}

uint32_t NamedObjectTable::TryAcquire(ClientId client, uint64_t id, uint32_t thread, bool& taken) {
    taken = false;
    Object* object = FindAny(client, id);
    if (!object) {
        return ERROR_INVALID_HANDLE;
    }
    Caller caller{client, thread};
    if (object->kind == Kind::Mutex) {
        if (object->count == 0 || object->owner == caller) {
            object->owner = caller;
            ++object->count;
            taken = true;
        }
        return 0;
    }
    if (RemoveFrom(object->pulsed, caller)) {
        taken = true;
    } else if (object->signaled) {
        object->signaled = object->manualReset;
        taken = true;
    }
    if (taken) {
        RemoveFrom(object->waiting, caller);
    } else if (!Contains(object->waiting, caller)) {
        object->waiting.push_back(caller);
    }
    return 0;
}

uint32_t NamedObjectTable::Untake(ClientId client, uint64_t id, uint32_t thread) {
    Object* object = FindAny(client, id);
    if (!object) {
        return ERROR_INVALID_HANDLE;
    }
    if (object->kind == Kind::Mutex) {
        return ReleaseMutex(client, id, thread);
    }
    if (!object->manualReset) {
        object->signaled = true;
    }
    return 0;
}

uint32_t NamedObjectTable::WaitEnded(ClientId client, uint64_t id, uint32_t thread) {
    Object* object = FindAny(client, id);
    if (!object) {
        return ERROR_INVALID_HANDLE;
    }
    RemoveFrom(object->waiting, Caller{client, thread});
    RemoveFrom(object->pulsed, Caller{client, thread});
    return 0;
}

uint32_t NamedObjectTable::Close(ClientId client, uint64_t id) {
    if (!FindAny(client, id)) {
        return ERROR_INVALID_HANDLE;
    }
    Unreference(id, client, false);
    return 0;
}

void NamedObjectTable::DropClient(ClientId client) {
    std::vector<uint64_t> held;
    for (auto& [id, object] : objects_) {
        if (object.owner.first == client) {
            object.owner = {0, 0};
            object.count = 0;
        }
        std::erase_if(object.waiting, [client](const Caller& caller) { return caller.first == client; });
        std::erase_if(object.pulsed, [client](const Caller& caller) { return caller.first == client; });
        if (object.references.contains(client)) {
            held.push_back(id);
        }
    }
    for (uint64_t id : held) {
        Unreference(id, client, true);
    }
}

void NamedObjectTable::Unreference(uint64_t id, ClientId client, bool all) {
    Object& object = objects_[id];
    auto reference = object.references.find(client);
    if (all || --reference->second == 0) {
        object.references.erase(reference);
    }
    if (object.references.empty()) {
        names_.erase(object.name);
        objects_.erase(id);
    }
}

}  // namespace ce::devserver
