// Device paths ("\Program Files\Skyvane\Cities.dat") and their host files below <root>/fs.
#include <dirent.h>
#include <sys/stat.h>
#include <unistd.h>

#include <climits>
#include <cstdlib>
#include <vector>

#include "ce/device.h"
#include "strings/CaseFold.h"

namespace ce {
namespace {

bool IsSeparator(char16_t c) {
    return c == u'\\' || c == u'/';
}

// The components of a device path with "." dropped and ".." applied; false when ".." would leave "\".
bool SplitDevicePath(std::u16string_view path, std::vector<std::u16string>& components) {
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = start;
        while (end < path.size() && !IsSeparator(path[end])) {
            ++end;
        }
        std::u16string_view part = path.substr(start, end - start);
        if (part == u"..") {
            if (components.empty()) {
                return false;
            }
            components.pop_back();
        } else if (!part.empty() && part != u".") {
            components.emplace_back(part);
        }
        start = end + 1;
    }
    return true;
}

// The entry of the folder whose name equals the wanted one without regard to case; empty when none.
std::string FindEntryNoCase(const std::string& folder, std::u16string_view wanted) {
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) {
        return {};
    }
    std::string found;
    while (dirent* entry = readdir(dir)) {
        if (detail::EqualNoCase(FromUtf8(entry->d_name), wanted)) {
            found = entry->d_name;
            break;
        }
    }
    closedir(dir);
    return found;
}

// Collapses "//", "/./" and "/../" without touching the file system.
std::string NormalizeHostPath(const std::string& path) {
    std::vector<std::string> parts;
    size_t start = 0;
    while (start <= path.size()) {
        size_t end = path.find('/', start);
        if (end == std::string::npos) {
            end = path.size();
        }
        std::string part = path.substr(start, end - start);
        if (part == "..") {
            if (!parts.empty()) {
                parts.pop_back();
            }
        } else if (!part.empty() && part != ".") {
            parts.push_back(part);
        }
        start = end + 1;
    }
    std::string normalized;
    for (const std::string& part : parts) {
        normalized += "/" + part;
    }
    return normalized.empty() ? "/" : normalized;
}

std::u16string DevicePathBelow(const std::string& path, const std::string& base) {
    if (path == base) {
        return u"\\";
    }
    if (base.empty() || path.compare(0, base.size(), base) != 0 || path[base.size()] != '/') {
        return {};
    }
    std::u16string device = FromUtf8(path.substr(base.size()));
    for (char16_t& c : device) {
        if (c == u'/') {
            c = u'\\';
        }
    }
    return device;
}

}  // namespace

std::string HostPath(std::u16string_view devicePath) {
    std::string root = DeviceRoot();
    std::vector<std::u16string> components;
    if (root.empty() || devicePath.find(u'\0') != std::u16string_view::npos ||
        !SplitDevicePath(devicePath, components)) {
        return {};
    }
    std::string host = root + "/fs";
    bool parentExists = true;
    for (const std::u16string& component : components) {
        std::string name = ToUtf8(component);
        struct stat info {};
        if (parentExists && lstat((host + "/" + name).c_str(), &info) != 0) {
            std::string match = FindEntryNoCase(host, component);
            if (match.empty()) {
                parentExists = false;  // nothing below a missing folder exists either
            } else {
                name = match;
            }
        }
        host += "/" + name;
    }
    return host;
}

std::u16string DevicePath(const std::string& hostPath) {
    std::string root = DeviceRoot();
    if (root.empty() || hostPath.empty()) {
        return {};
    }
    std::string absolute = hostPath;
    if (absolute[0] != '/') {
        char cwd[PATH_MAX];
        if (getcwd(cwd, sizeof cwd) == nullptr) {
            return {};
        }
        absolute = std::string(cwd) + "/" + absolute;
    }
    absolute = NormalizeHostPath(absolute);
    std::string fs = root + "/fs";
    std::u16string device = DevicePathBelow(absolute, NormalizeHostPath(fs));
    char resolved[PATH_MAX];
    if (device.empty() && realpath(fs.c_str(), resolved) != nullptr) {
        device = DevicePathBelow(absolute, resolved);
    }
    return device;
}

}  // namespace ce
