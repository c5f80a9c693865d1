#include "Weather/CDayPartsForecast.h"

#include "Weather/CDayForecast.h"

void CDayPartsForecast::Clear() {
    for (auto& part : m_parts) {
        part.reset();
    }
    m_date.Clear();
}

void CDayPartsForecast::Assign(const CDayPartsForecast& other) {
    if (this == &other) {
        return;
    }
    m_date = other.m_date;
    for (int slot = 0; slot < kPartCount; ++slot) {
        SetPart(slot, other.m_parts[slot].get());
    }
}

bool CDayPartsForecast::SetPart(int slot, const CHourForecast* hour) {
    if (slot < 0 || slot >= kPartCount) {
        return false;
    }
    m_parts[slot] = hour != nullptr ? std::make_unique<CHourForecast>(*hour) : nullptr;
    return true;
}

bool CDayPartsForecast::GetPart(int slot, CHourForecast* hour) const {
    if (hour == nullptr || !HasPart(slot)) {
        return false;
    }
    *hour = *m_parts[slot];
    return true;
}

int CDayPartsForecast::FindNextPart(int slot) const {
    for (int next = slot + 1; next < kPartCount; ++next) {
        if (HasPart(next)) {
            return next;
        }
    }
    return -1;
}

int CDayPartsForecast::FindPreviousPart(int slot) const {
    for (int previous = slot - 1; previous >= 0; --previous) {
        if (HasPart(previous)) {
            return previous;
        }
    }
    return -1;
}

int CDayPartsForecast::CountParts() const {
    int count = 0;
    for (int slot = 0; slot < kPartCount; ++slot) {
        count += HasPart(slot) ? 1 : 0;
    }
    return count;
}

void DestroyDayPageRecord(DayPageRecord* record) {
    if (record == nullptr) {
        return;
    }
    delete record->parts;
    delete record->day;
    record->parts = nullptr;
    record->day = nullptr;
}
