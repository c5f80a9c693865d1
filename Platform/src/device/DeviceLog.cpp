// The records of the stand-in programs: <root>/log/<name>.jsonl, one JSON object a line.
#include <fcntl.h>
#include <sys/file.h>
#include <unistd.h>

#include <cerrno>
#include <cstdio>

#include "ce/device.h"
#include "device/AtomicFile.h"

namespace ce {
namespace {

bool IsLogName(const std::string& name) {
    return !name.empty() && name != "." && name != ".." &&
           name.find_first_of(std::string("/\\\0", 3)) == std::string::npos;
}

std::string LogPath(const std::string& name) {
    std::string root = DeviceRoot();
    return root.empty() || !IsLogName(name) ? std::string() : root + "/log/" + name + ".jsonl";
}

}  // namespace

std::string JsonEscape(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '"':
                out += "\\\"";
                break;
            case '\\':
                out += "\\\\";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            case '\t':
                out += "\\t";
                break;
            case '\b':
                out += "\\b";
                break;
            case '\f':
                out += "\\f";
                break;
            default:
                if (static_cast<unsigned char>(c) < 0x20) {
                    char escaped[8];
                    std::snprintf(escaped, sizeof escaped, "\\u%04x", static_cast<unsigned>(c));
                    out += escaped;
                } else {
                    out += c;
                }
        }
    }
    return out;
}

// One write() of the whole line under an exclusive lock, so that lines of several processes never mix.
bool AppendDeviceLog(const std::string& name,
                     const std::vector<std::pair<std::string, std::string>>& fields) {
    std::string path = LogPath(name);
    if (path.empty() || !detail::MakeFolders(DeviceRoot() + "/log")) {
        return false;
    }
    std::string line = "{";
    for (size_t i = 0; i < fields.size(); ++i) {
        line +=
            (i ? ",\"" : "\"") + JsonEscape(fields[i].first) + "\":\"" + JsonEscape(fields[i].second) + "\"";
    }
    line += "}\n";
    int fd = open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
    if (fd < 0) {
        return false;
    }
    while (flock(fd, LOCK_EX) != 0 && errno == EINTR) {
    }
    ssize_t written = write(fd, line.data(), line.size());
    bool ok = written == static_cast<ssize_t>(line.size());
    ok = close(fd) == 0 && ok;
    return ok;
}

std::vector<std::string> ReadDeviceLog(const std::string& name) {
    std::vector<std::string> lines;
    std::string text;
    std::string path = LogPath(name);
    if (path.empty() || !detail::ReadWholeFile(path, text)) {
        return lines;
    }
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) {
            break;  // a line still being written is not a record yet
        }
        if (end > start) {
            lines.push_back(text.substr(start, end - start));
        }
        start = end + 1;
    }
    return lines;
}

}  // namespace ce
