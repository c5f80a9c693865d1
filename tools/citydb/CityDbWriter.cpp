// citydb: writes CityDB.dat (code page, prefix-code table, index of countries and "country#state"
// entries, front-coded city records "IDname;latitude;longitude") and the weather server's city table.
//
// usage: citydb --cities cities.json --states us-states.txt --countries country-code-lookup/index.js
//               --country-extra country-codes-extra.txt --fixed-ids fixed-ids.txt
//               --out CityDB.dat --table cities.txt
#include <algorithm>
#include <cstdio>
#include <cstring>
#include <map>
#include <string>
#include <vector>

#include "CitySource.h"
#include "HostFile.h"
#include "PrefixCodeBuilder.h"

namespace {

constexpr uint16_t kCodePage = 1252;
// Countries with more cities than this are listed by state, so no list on the device grows too long.
constexpr size_t kSplitAbove = 300;
constexpr size_t kMaxSharedPrefix = 31;
constexpr size_t kMaxCodedRecord = 2047;

struct Entry {
    std::string text;  // "country" or "country#state"
    std::vector<const SourceCity*> cities;
};

void PutU16(std::string& out, uint32_t value) {
    out += static_cast<char>(value & 0xFF);
    out += static_cast<char>((value >> 8) & 0xFF);
}

void PutU32(std::string& out, uint32_t value) {
    PutU16(out, value & 0xFFFF);
    PutU16(out, value >> 16);
}

std::vector<Entry> BuildEntries(const std::vector<SourceCity>& cities) {
    std::map<std::string, size_t> perCountry;
    for (const auto& city : cities) {
        ++perCountry[city.country];
    }
    std::map<std::string, Entry> entries;
    for (const auto& city : cities) {
        bool byState = perCountry[city.country] > kSplitAbove && !city.state.empty();
        std::string text = byState ? city.country + "#" + city.state : city.country;
        entries[text].text = text;
        entries[text].cities.push_back(&city);
    }
    std::vector<Entry> result;
    for (auto& [text, entry] : entries) {
        std::sort(entry.cities.begin(), entry.cities.end(), [](const SourceCity* a, const SourceCity* b) {
            return a->name != b->name ? a->name < b->name : a->id < b->id;
        });
        result.push_back(std::move(entry));
    }
    return result;
}

std::string RecordText(const SourceCity& city) { return city.id + city.name + ";" + city.latitude + ";" + city.longitude; }

size_t SharedPrefix(const std::string& a, const std::string& b) {
    size_t n = 0;
    while (n < a.size() && n < b.size() && n < kMaxSharedPrefix && a[n] == b[n]) {
        ++n;
    }
    return n;
}

bool BuildDatabase(const std::vector<Entry>& entries, std::string& file, std::string& error) {
    PrefixCodeBuilder code;
    for (const auto& entry : entries) {
        code.Count(entry.text);
        std::string previous;
        for (const SourceCity* city : entry.cities) {
            std::string text = RecordText(*city);
            code.Count(text.substr(previous.empty() ? 0 : SharedPrefix(previous, text)));
            previous = text;
        }
    }
    if (!code.Build(error)) {
        return false;
    }
    std::string records;
    std::vector<uint32_t> offsets;
    std::string index;
    for (const auto& entry : entries) {
        offsets.push_back(static_cast<uint32_t>(records.size()));
        std::string previous;
        for (const SourceCity* city : entry.cities) {
            std::string text = RecordText(*city);
            size_t shared = previous.empty() ? 0 : SharedPrefix(previous, text);
            std::string coded = code.Encode(text.substr(shared));
            if (coded.size() > kMaxCodedRecord) {
                error = "the record of " + city->id + " is too long";
                return false;
            }
            PutU16(records, static_cast<uint32_t>(coded.size() | (shared << 11)));
            records += coded;
            previous = text;
        }
    }
    std::string table = code.Table();
    file.clear();
    PutU16(file, kCodePage);
    PutU16(file, static_cast<uint32_t>(table.size()));
    file += table;
    PutU16(file, static_cast<uint32_t>(entries.size()));
    size_t indexSize = 0;
    for (const auto& entry : entries) {
        indexSize += 1 + code.Encode(entry.text).size() + 4 + 2;
    }
    uint32_t recordsStart = static_cast<uint32_t>(file.size() + indexSize);
    for (size_t i = 0; i < entries.size(); ++i) {
        std::string coded = code.Encode(entries[i].text);
        if (coded.size() > 255 || entries[i].cities.size() > 0xFFFF) {
            error = "the index entry " + entries[i].text + " does not fit";
            return false;
        }
        file += static_cast<char>(coded.size());
        file += coded;
        PutU32(file, recordsStart + offsets[i]);
        PutU16(file, static_cast<uint32_t>(entries[i].cities.size()));
    }
    file += records;
    return true;
}

}  // namespace

int main(int argc, char** argv) {
    std::map<std::string, std::string> options;
    for (int i = 1; i + 1 < argc; i += 2) {
        options[argv[i]] = argv[i + 1];
    }
    for (const char* required :
         {"--cities", "--states", "--countries", "--country-extra", "--fixed-ids", "--out", "--table"}) {
        if (options[required].empty() || argc % 2 == 0) {
            std::fprintf(stderr,
                         "usage: citydb --cities cities.json --states us-states.txt --countries index.js "
                         "--country-extra codes.txt --fixed-ids fixed-ids.txt --out CityDB.dat --table cities.txt\n");
            return 2;
        }
    }
    CountryCodes countries;
    CitySource source;
    std::string error;
    if (!countries.LoadPackage(options["--countries"], error) ||
        !countries.LoadSupplement(options["--country-extra"], error) ||
        !source.LoadStateCodes(options["--states"], error) || !source.LoadFixedIds(options["--fixed-ids"], error) ||
        !source.Load(options["--cities"], countries, error)) {
        std::fprintf(stderr, "citydb: %s\n", error.c_str());
        return 1;
    }
    std::vector<Entry> entries = BuildEntries(source.Cities());
    std::string database;
    if (entries.empty() || entries.size() > 0xFFFF || !BuildDatabase(entries, database, error)) {
        std::fprintf(stderr, "citydb: %s\n", error.empty() ? "no cities" : error.c_str());
        return 1;
    }
    std::string table = "# location id;latitude;longitude\n";
    for (const auto& city : source.Cities()) {
        table += city.id + ";" + city.latitude + ";" + city.longitude + "\n";
    }
    if (!HostFile::WriteAtomically(options["--out"], database) || !HostFile::WriteAtomically(options["--table"], table)) {
        std::fprintf(stderr, "citydb: cannot write the output files\n");
        return 1;
    }
    std::printf("citydb: %zu cities in %zu entries, %zu bytes\n", source.Cities().size(), entries.size(),
                database.size());
    return 0;
}
