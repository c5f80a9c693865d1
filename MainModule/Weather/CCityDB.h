// The read-only city database CityDB.dat: an index of countries (or "country#state" entries) read at
// Open, the front-coded city records of an entry read on demand, and the nearest-city search.
#pragma once

#include <array>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include "Weather/CPrefixCodeDecoder.h"
#include "Weather/CityDBRecord.h"
#include "ce/types.h"

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
        uint32_t end = 0;  // its records end here at the latest: the next entry's offset, or the file's end
    };
    // One record's full text, while the entry's records are walked: the id, the name and the two
    // coordinates lie between its semicolons. The text is in the file's bytes where its code page has
    // one character a byte (converted only for the records kept), else converted.
    template <class Char>
    struct RecordText {
        std::basic_string_view<Char> text;
        size_t firstSemicolon;
        size_t secondSemicolon;
    };
    class ByteReader;

    bool ReadIndex(ByteReader& reader);
    bool ReadEntry(ByteReader& reader, Entry& entry) const;
    // The whole file in one read: the records of an entry lie where its offset says, and reading them
    // field by field from the file cost a system call each.
    bool ReadAllBytes(std::vector<uint8_t>* bytes) const;
    // The bytes of the file from offset to end (fewer where the file is shorter), in one read; the
    // file's size to fileSize when given.
    bool ReadRange(uint32_t offset, uint32_t end, std::vector<uint8_t>* bytes, uint32_t* fileSize = nullptr) const;
    // The header and the index from the file's first bytes; false also when they end within it.
    bool ReadIndexFrom(const std::vector<uint8_t>& bytes);
    void FindEntryEnds(size_t fileSize);
    // A record's header, and where its coded text lies in the bytes.
    struct CodedRecord {
        size_t shared = 0;
        size_t codedAt = 0;
        size_t codedLength = 0;
    };
    // The record at position, and position past it; false when it is cut short or too long.
    static bool ReadCodedRecord(const std::vector<uint8_t>& bytes, size_t& position, CodedRecord& record);
    static bool SharesWithPrevious(const CodedRecord& record, size_t index, size_t previousLength);
    static CBitStream StreamOf(const std::vector<uint8_t>& bytes, const CodedRecord& record);
    // Finds the record text's semicolons and visits it; false when they are not there.
    template <class Char, class Visit>
    [[gnu::always_inline]] static inline bool VisitText(std::basic_string_view<Char> full, Visit& visit);
    // Calls visit(record text) for each record of the entry, in file order; false when the entry's
    // records are damaged (those before the damage have been visited). bytes[0] is the file's byte at base.
    template <class Visit>
    bool ForEachRecord(const Entry& entry, const std::vector<uint8_t>& bytes, uint32_t base, Visit visit) const;
    template <class Char, class Visit>
    bool ForEachRecordAs(const Entry& entry, const std::vector<uint8_t>& bytes, uint32_t base, Visit visit) const;
    // Decodes the record's rest to where its shared characters end (its terminator and what the
    // decoder writes after it fit the text buffer); its length, or -1.
    int DecodeRest(CBitStream& stream, char* out) const;
    int DecodeRest(CBitStream& stream, char16_t* out) const;
    // Appends the converted text at out; the number of characters written, or -1 when they do not fit.
    int AppendWide(const char* text, char16_t* out, size_t capacity) const;
    void BuildByteTable();
    std::u16string ToWide(const char* text) const;
    template <class Char>
    CityDBRecord MakeRecord(const RecordText<Char>& record, const Entry& entry) const;
    void CopyField(WCHAR* target, std::string_view text) const;
    void CopyField(WCHAR* target, std::u16string_view text) const;
    template <class Char>
    static double ReadCoordinate(std::basic_string_view<Char> text);
    // Exponents, blanks, long numbers and the like: kept out of line, as the file's numbers are plain.
    template <class Char>
    [[gnu::noinline]] static double ReadOtherNumber(std::basic_string_view<Char> text);
    static int AdmissionLimit(int nearest);

    std::u16string path_;
    uint16_t codePage_ = 1252;
    std::vector<Entry> entries_;
    std::unique_ptr<CPrefixCodeDecoder> decoder_;
    // Each byte's character where the code page has one character a byte; empty otherwise.
    std::vector<char16_t> byteToWide_;
    // Whether records are walked in their bytes: a table that keeps ASCII as it is.
    bool recordsInBytes_ = false;
};
