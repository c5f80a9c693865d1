// A day's four parts (morning, day, evening, night): copies of the hours 07:00, 13:00, 19:00 and 23:00.
#pragma once

#include <memory>

#include "CDate.h"
#include "Weather/CHourForecast.h"

class CDayPartsForecast {
public:
    static constexpr int kPartCount = 4;
    static constexpr WORD kPartHours[kPartCount] = {7, 13, 19, 23};

    CDayPartsForecast() = default;
    CDayPartsForecast(const CDayPartsForecast& other) { Assign(other); }
    CDayPartsForecast& operator=(const CDayPartsForecast& other) {
        Assign(other);
        return *this;
    }
    virtual ~CDayPartsForecast() = default;

    void Clear();
    void Assign(const CDayPartsForecast& other);
    void SetDate(const CDate& date) { m_date = date; }
    const CDate& GetDate() const { return m_date; }
    // Replaces the slot's hour by a copy of the given one; null empties the slot.
    bool SetPart(int slot, const CHourForecast* hour);
    bool GetPart(int slot, CHourForecast* hour) const;

    int FindNextPart(int slot) const;
    int FindPreviousPart(int slot) const;
    int FindFirstPart() const { return FindNextPart(-1); }
    int FindLastPart() const { return FindPreviousPart(kPartCount); }
    int CountParts() const;

private:
    bool HasPart(int slot) const { return slot >= 0 && slot < kPartCount && m_parts[slot] != nullptr; }

    CDate m_date;
    std::unique_ptr<CHourForecast> m_parts[kPartCount];
};

// The day screens' page record: one day followed by its parts.
class CDayForecast;

struct DayPageRecord {
    CDayForecast* day = nullptr;
    CDayPartsForecast* parts = nullptr;
};
void DestroyDayPageRecord(DayPageRecord* record);
