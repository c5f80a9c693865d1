#include "devserver/RemoteEvent.h"

namespace ce::devserver {

void RemoteEvent::Untake(DWORD threadId) {
    if (SharedSlot* slot = link_.Slot()) {
        slot->Untake(RemoteLink::Caller(threadId));
    }
}

void RemoteEvent::WaitEnded(DWORD threadId) {
    if (SharedSlot* slot = link_.Slot()) {
        slot->WaitEnded(RemoteLink::Caller(threadId));
    }
}

bool RemoteEvent::Set() {
    SharedSlot* slot = link_.Slot();
    if (slot == nullptr) {
        return false;
    }
    slot->SetEvent();
    RemoteLink::WakeWaitersHere();
    return true;
}

bool RemoteEvent::Reset() {
    SharedSlot* slot = link_.Slot();
    if (slot != nullptr) {
        slot->ResetEvent();
    }
    return slot != nullptr;
}

bool RemoteEvent::Pulse() {
    SharedSlot* slot = link_.Slot();
    if (slot == nullptr) {
        return false;
    }
    slot->PulseEvent();
    RemoteLink::WakeWaitersHere();
    return true;
}

bool RemoteEvent::SetData(DWORD data) {
    SharedSlot* slot = link_.Slot();
    if (slot != nullptr) {
        slot->SetData(data);
    }
    return slot != nullptr;
}

std::optional<DWORD> RemoteEvent::Data() {
    SharedSlot* slot = link_.Slot();
    if (slot == nullptr) {
        return std::nullopt;
    }
    return slot->Data();
}

}  // namespace ce::devserver
