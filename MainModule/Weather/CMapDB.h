// The read-only maps database MapDB.dat: regions, each with its maps, named in several languages.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "Weather/CMapDBRecord.h"

class CFSFile;

class CMapDB {
public:
    // False when the file cannot be opened; a file cut short keeps the records read before the cut.
    bool Load(LPCWSTR path);
    bool FindRecord(LPCWSTR id, CMapDBRecord* out) const;
    bool FindParentRecord(LPCWSTR id, CMapDBRecord* out) const;
    bool GetRegion(int index, CMapDBRecord* out) const;
    bool GetRegions(std::vector<CMapDBRecord>* out) const;
    bool FindRecordByName(LPCWSTR name, uint32_t languageId, uint32_t mapType, CMapDBRecord* out) const;

private:
    // Calls visit(record, parent) in key order, a region's maps right after it; stops when visit says so.
    template <class Visit>
    static bool Walk(const std::map<std::u16string, CMapDBRecord>& records, const CMapDBRecord* parent, Visit& visit);
    static bool ReadRecord(CFSFile& file, const std::vector<uint32_t>& languages, CMapDBRecord& record,
                           std::u16string& parentId);
    void AddRecord(CMapDBRecord record, const std::u16string& parentId);

    std::map<std::u16string, CMapDBRecord> regions_;
};
