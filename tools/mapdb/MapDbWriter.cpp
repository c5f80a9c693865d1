// mapdb: writes MapDB.dat from the region table: every area in all three map types, each map named
// after its area in English (1033) and German (1031), so that the maps screen finds the same area in
// another type by its name. Map ids are "<area>_sat", "<area>_temp" and "<area>_sfc". An area without a
// parent is a region in each type; an area with one is a map inside its parent's region of the same type.
//
// usage: mapdb regions.txt MapDB.dat maps.txt   (maps.txt: "id;type" lines for the weather server)
#include <cstdio>

#include <set>
#include <string>
#include <vector>

#include "HostFile.h"
#include "ce/types.h"

namespace {

struct Region {
    std::string id;
    std::string english;
    std::string german;
    std::string parent;  // empty for a top-level area
};

struct MapType {
    const char* suffix;
    unsigned char type;
};

constexpr MapType kMapTypes[] = {{"_sat", 0}, {"_temp", 1}, {"_sfc", 2}};

// The map cache file name rule: cut at the last '.', characters below '0' become '_'.
std::string CacheName(const std::string& id) {
    std::string name = id.substr(0, id.rfind('.'));
    for (char& c : name) {
        if (static_cast<unsigned char>(c) < '0') {
            c = '_';
        }
    }
    return name;
}

class Writer {
public:
    void U8(unsigned value) { bytes_ += static_cast<char>(value & 0xFF); }
    void U16(unsigned value) {
        U8(value);
        U8(value >> 8);
    }
    void U32(unsigned value) {
        U16(value & 0xFFFF);
        U16(value >> 16);
    }
    bool Text(const std::string& utf8) {
        std::u16string text = ce::FromUtf8(utf8);
        if (text.size() > 255) {
            return false;
        }
        U8(static_cast<unsigned>(text.size()));
        for (char16_t c : text) {
            U16(c);
        }
        return true;
    }
    const std::string& Bytes() const { return bytes_; }

private:
    std::string bytes_;
};

bool ReadRegions(const std::string& path, std::vector<Region>& regions, std::string& error) {
    std::vector<std::string> lines;
    if (!HostFile::ReadDataLines(path, lines)) {
        error = "cannot read " + path;
        return false;
    }
    for (const std::string& line : lines) {
        size_t a = line.find(';');
        size_t b = a == std::string::npos ? a : line.find(';', a + 1);
        if (b == std::string::npos || a == 0) {
            error = path + ": expected 'id;English;German[;parent]' in '" + line + "'";
            return false;
        }
        size_t c = line.find(';', b + 1);
        std::string german = line.substr(b + 1, c == std::string::npos ? c : c - b - 1);
        std::string parent = c == std::string::npos ? std::string() : line.substr(c + 1);
        regions.push_back({line.substr(0, a), line.substr(a + 1, b - a - 1), german, parent});
    }
    for (const Region& region : regions) {
        bool known = region.parent.empty();
        for (const Region& other : regions) {
            known = known || (other.id == region.parent && other.parent.empty());
        }
        if (!known) {
            error = path + ": the parent of " + region.id + " is not a top-level area";
            return false;
        }
    }
    return !regions.empty() || (error = "no regions", false);
}

}  // namespace

int main(int argc, char** argv) {
    if (argc != 4) {
        std::fprintf(stderr, "usage: mapdb regions.txt MapDB.dat maps.txt\n");
        return 2;
    }
    std::vector<Region> regions;
    std::string error;
    if (!ReadRegions(argv[1], regions, error)) {
        std::fprintf(stderr, "mapdb: %s\n", error.c_str());
        return 1;
    }
    Writer writer;
    writer.U32(static_cast<unsigned>(regions.size() * 3));
    writer.U16(2);
    writer.U32(1033);
    writer.U32(1031);
    std::set<std::string> cacheNames;
    std::string mapList = "# map id;map type\n";
    bool ok = true;
    for (const Region& region : regions) {
        for (const MapType& type : kMapTypes) {
            std::string id = region.id + type.suffix;
            // Two maps sharing a cache file would show each other's pictures.
            if (!cacheNames.insert(CacheName(id)).second) {
                std::fprintf(stderr, "mapdb: the map id %s shares its cache file with another map\n", id.c_str());
                return 1;
            }
            mapList += id + ";" + std::to_string(type.type) + "\n";
            ok = ok && writer.Text(id) && writer.Text(region.parent.empty() ? "" : region.parent + type.suffix);
            writer.U8(type.type);
            ok = ok && writer.Text(region.english) && writer.Text(region.german);
        }
    }
    if (!ok) {
        std::fprintf(stderr, "mapdb: a text is longer than 255 characters\n");
        return 1;
    }
    if (!HostFile::WriteAtomically(argv[2], writer.Bytes()) || !HostFile::WriteAtomically(argv[3], mapList)) {
        std::fprintf(stderr, "mapdb: cannot write the output files\n");
        return 1;
    }
    std::printf("mapdb: %zu areas, %zu maps\n", regions.size(), regions.size() * 3);
    return 0;
}
