// The read-only city database CityDB.dat: an index of countries (or "country#state" entries) read at
// Open, the front-coded city records of an entry read on demand, and the nearest-city search.
#pragma once

#include <memory>
#include <string>
#include <vector>

#include "Weather/CPrefixCodeDecoder.h"
#include "Weather/CityDBRecord.h"
#include "ce/types.h"

class CFSFile;

class CCityDB {
public:
    CCityDB();
    virtual ~CCityDB();
    CCityDB(const CCityDB&) = delete;
    CCityDB& operator=(const CCityDB&) = delete;

    bool Open(LPCWSTR path);
    int GetEntryCount() const { return static_cast<int>(entries_.size()); }
    LPCWSTR GetEntryName(int index) const;
    LPCWSTR GetEntrySubName(int index) const;
    bool ReadEntryCities(int index, std::vector<CityDBRecord>* out) const;
    // Latitude first, then longitude, in decimal degrees.
    bool FindNearbyCities(double first, double second, std::vector<NearbyCity>* out) const;
    // Great-circle distance in whole kilometres.
    static int GetDistanceKm(double first1, double second1, double first2, double second2);

private:
    struct Entry {
        std::u16string country;
        std::u16string state;
        bool hasState = false;
        uint32_t offset = 0;
        uint16_t count = 0;
    };

    bool ReadIndex(CFSFile& file);
    bool ReadEntry(CFSFile& file, Entry& entry) const;
    // The whole file in one read: the records of an entry lie where its offset says, and reading them
    // field by field from the file cost a system call each.
    bool ReadAllBytes(std::vector<uint8_t>* bytes) const;
    bool ParseEntryCities(const Entry& entry, const std::vector<uint8_t>& bytes, std::vector<CityDBRecord>* out) const;
    std::u16string ToWide(const char* text) const;
    static int AdmissionLimit(int nearest);

    std::u16string path_;
    uint16_t codePage_ = 1252;
    std::vector<Entry> entries_;
    std::unique_ptr<CPrefixCodeDecoder> decoder_;
};
