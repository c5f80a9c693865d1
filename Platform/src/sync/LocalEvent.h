// An event of this process (unnamed, or named without a device server).
#pragma once

#include "sync/EventObject.h"

namespace ce::detail {

class LocalEvent : public EventObject {
public:
    LocalEvent(bool manualReset, bool initialState) : manualReset_(manualReset), signaled_(initialState) {}

    bool IsSignaled(DWORD threadId) override;
    void Acquire(DWORD threadId) override;

    bool Set() override;
    bool Reset() override;
    bool Pulse() override;
    bool SetData(DWORD data) override;
    std::optional<DWORD> Data() override;

private:
    const bool manualReset_;
    bool signaled_;  // state and data under the wait lock
    DWORD data_ = 0;
};

}  // namespace ce::detail
