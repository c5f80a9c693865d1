// cedevice ls: the entries of a device folder (folders end with a backslash, files show their size), or
// the one file that the path names.
#include <algorithm>
#include <iostream>
#include <vector>

#include "Commands.h"
#include "ce/kernel.h"

namespace cedevice {
namespace {

std::string EntryLine(const WIN32_FIND_DATAW& entry) {
    std::string name = ce::ToUtf8(entry.cFileName);
    if (entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
        return name + "\\";
    }
    uint64_t size = (static_cast<uint64_t>(entry.nFileSizeHigh) << 32) | entry.nFileSizeLow;
    return name + "\t" + std::to_string(size);
}

}  // namespace

int ListFolder(const std::string&, const Arguments& arguments) {
    if (arguments.size() != 1) {
        return Fail(kExitUsage, "ls wants one DEVICE-PATH");
    }
    std::u16string path = ce::FromUtf8(arguments[0]);
    DWORD attributes = GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES) {
        return Fail(kExitBadPath, "no such device path: " + arguments[0]);
    }
    std::u16string pattern = path;
    if (attributes & FILE_ATTRIBUTE_DIRECTORY) {
        pattern += (pattern.empty() || pattern.back() != u'\\') ? u"\\*" : u"*";
    }
    WIN32_FIND_DATAW entry;
    HANDLE find = FindFirstFileW(pattern.c_str(), &entry);
    std::vector<std::string> lines;
    if (find != INVALID_HANDLE_VALUE) {
        do {
            lines.push_back(EntryLine(entry));
        } while (FindNextFileW(find, &entry));
        FindClose(find);
    }
    std::sort(lines.begin(), lines.end());
    for (const std::string& line : lines) {
        std::cout << line << "\n";
    }
    return kExitDone;
}

}  // namespace cedevice
