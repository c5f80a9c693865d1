// The installer's package format: our own small, documented format that stands in for the system's
// cabinet files. Every number is little-endian.
//
//   offset  size  field
//        0     4  magic "DIPK"
//        4     4  format version: 1
//        8     4  total size of the package in bytes, header included; bytes after it are no part of it
//                 (a cabinet keeps its size at the same offset, and the program cuts a downloaded file
//                 to it on old systems)
//       12     4  record count
//       16     4  CRC-32 (the zlib polynomial) of the bytes from offset 20 up to the total size
//       20        the records, one after the other:
//                   1 byte   kind: 1 application, 2 folder, 3 file, 4 run
//                   2 bytes  name length, then the name (UTF-8)
//                   4 bytes  data length, then the data
//
// Application: the name under HKLM\Software\Apps whose "Instl" the installer sets to 1 once every step
// ran (at most one such record). Folder: a device path to create. File: a device path and the file's
// bytes. Run: a device program and, as data, its command line (UTF-8); it runs after every file is in
// place, and the installer waits for its end.
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace installpkg {

enum class RecordKind : uint8_t { Application = 1, Folder = 2, File = 3, Run = 4 };

struct Record {
    RecordKind kind = RecordKind::File;
    std::string name;
    std::string data;
};

constexpr char kMagic[4] = {'D', 'I', 'P', 'K'};
constexpr uint32_t kVersion = 1;
constexpr size_t kHeaderSize = 20;
constexpr size_t kTotalSizeOffset = 8;
constexpr size_t kMaxNameLength = 520;
constexpr uint32_t kMaxRecords = 4096;
constexpr uint32_t kMaxPackageSize = 64u << 20;

// The package of these records; empty when a name or the whole would exceed the format's limits.
std::string Write(const std::vector<Record>& records);

// Reads a package from the start of the bytes (bytes after its total size are ignored). False, with the
// reason in error, for anything that is not a whole, undamaged package of known record kinds.
bool Read(std::string_view bytes, std::vector<Record>* records, std::string* error);

}  // namespace installpkg
