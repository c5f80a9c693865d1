#include "NamedObjectTable.h"

#include "ce/types.h"

namespace ce::devserver {

NamedObjectTable::NamedObjectTable(std::shared_ptr<SharedObjectArea> area) : area_(std::move(area)) {
    if (!area_) {
        return;
    }
    for (uint32_t slot = SharedObjectArea::kSlotCount; slot > 0; --slot) {
        freeSlots_.push_back(slot - 1);
    }
}

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
        result.slot = object.slot;
        return result;
    }
    if (freeSlots_.empty()) {
        result.status = ERROR_NOT_ENOUGH_MEMORY;
        return result;
    }
    result.id = nextId_++;
    result.slot = freeSlots_.back();
    freeSlots_.pop_back();
    Object& object = objects_[result.id];
    object.kind = kind;
    object.name = name;
    object.slot = result.slot;
    object.references[client] = 1;
    names_[name] = result.id;
    created = true;
    return result;
}

NamedObjectTable::Opened NamedObjectTable::CreateMutex(ClientId client, const std::string& name,
                                                       SharedCaller initialOwner) {
    bool created = false;
    Opened result = Open(client, name, Kind::Mutex, created);
    // As on the device, the initial ownership is granted only to the creator of the mutex.
    if (created) {
        area_->Slot(result.slot).MakeMutex(initialOwner);
    }
    return result;
}

NamedObjectTable::Opened NamedObjectTable::CreateEvent(ClientId client, const std::string& name,
                                                       bool manualReset, bool initialState) {
    bool created = false;
    Opened result = Open(client, name, Kind::Event, created);
    if (created) {
        area_->Slot(result.slot).MakeEvent(manualReset, initialState);
    }
    return result;
}

NamedObjectTable::Opened NamedObjectTable::OpenEvent(ClientId client, const std::string& name) {
    if (!names_.contains(name)) {
        Opened result;
        result.status = ERROR_FILE_NOT_FOUND;
        return result;
    }
    bool created = false;
    return Open(client, name, Kind::Event, created);
}

uint32_t NamedObjectTable::Close(ClientId client, uint64_t id) {
    auto it = objects_.find(id);
    if (it == objects_.end() || !it->second.references.contains(client)) {
        return ERROR_INVALID_HANDLE;
    }
    Unreference(id, client, false);
    return 0;
}

void NamedObjectTable::DropClient(ClientId client, int64_t pid) {
    std::vector<uint64_t> held;
    for (auto& [id, object] : objects_) {
        if (pid != 0) {
            area_->Slot(object.slot).DropProcess(static_cast<int32_t>(pid));
        }
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
        area_->Slot(object.slot).Free();
        freeSlots_.push_back(object.slot);
        names_.erase(object.name);
        objects_.erase(id);
    }
}

}  // namespace ce::devserver
