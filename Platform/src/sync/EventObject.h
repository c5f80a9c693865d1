// What an event handle offers, whether the event lives in this process or in the device server.
#pragma once

#include <optional>

#include "kernel/KernelObject.h"

namespace ce::detail {

class EventObject : public KernelObject {
public:
    bool IsWaitable() const override { return true; }
    // Each returns false when the event can no longer be reached.
    virtual bool Set() = 0;
    virtual bool Reset() = 0;
    // Lets through the threads waiting right now (a manual-reset event), or the one that waited
    // longest (auto reset), and leaves the event unset.
    virtual bool Pulse() = 0;
    virtual bool SetData(DWORD data) = 0;
    virtual std::optional<DWORD> Data() = 0;
};

}  // namespace ce::detail
