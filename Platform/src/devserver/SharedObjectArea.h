// The device's named mutexes and events as shared memory: <root>/run/objects, a file that the device
// server makes when it starts and every process of the device maps. It holds a fixed number of slots
// (SharedSlot.h); the server gives one to each named object it creates and tells the opener its index
// and the area's stamp, which names this server's area among those of servers before it.
#pragma once

#include <cstdint>
#include <memory>
#include <string>

#include "devserver/SharedSlot.h"

namespace ce::devserver {

inline constexpr const char* kObjectAreaName = "objects";

class SharedObjectArea {
public:
    static constexpr uint32_t kSlotCount = 512;

    // Server side: a new area in place of any earlier one, every slot free; nullptr on failure.
    static std::shared_ptr<SharedObjectArea> Create(const std::string& runFolder);
    // The area of the server now running; nullptr when there is none.
    static std::shared_ptr<SharedObjectArea> Map(const std::string& runFolder);

    ~SharedObjectArea();
    SharedObjectArea(const SharedObjectArea&) = delete;
    SharedObjectArea& operator=(const SharedObjectArea&) = delete;

    uint64_t Stamp() const;
    SharedSlot& Slot(uint32_t index);

private:
    struct Layout;
    SharedObjectArea(void* memory, size_t size) : memory_(memory), size_(size) {}
    Layout& Contents() const;

    void* memory_;
    size_t size_;
};

}  // namespace ce::devserver
