#include "files/FileAttributes.h"

#include <sys/xattr.h>

#include <cstdio>
#include <cstdlib>

namespace ce::detail {
namespace {

constexpr const char* kAttributeName = "user.ce.attributes";
constexpr DWORD kKeptBits =
    FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM | FILE_ATTRIBUTE_ARCHIVE | FILE_ATTRIBUTE_TEMPORARY;

}  // namespace

DWORD AttributesOf(const std::string& hostPath, const struct stat& info) {
    DWORD attributes = S_ISDIR(info.st_mode) ? FILE_ATTRIBUTE_DIRECTORY : FILE_ATTRIBUTE_ARCHIVE;
    char text[16] = {};
    ssize_t length = getxattr(hostPath.c_str(), kAttributeName, text, sizeof text - 1);
    if (length > 0) {
        attributes = (attributes & FILE_ATTRIBUTE_DIRECTORY) | (std::strtoul(text, nullptr, 10) & kKeptBits);
    }
    if ((info.st_mode & S_IWUSR) == 0) {
        attributes |= FILE_ATTRIBUTE_READONLY;
    }
    return attributes == 0 ? FILE_ATTRIBUTE_NORMAL : attributes;
}

bool ApplyAttributes(const std::string& hostPath, const struct stat& info, DWORD attributes) {
    mode_t mode = info.st_mode & 07777;
    mode = (attributes & FILE_ATTRIBUTE_READONLY) ? (mode & ~0222) : (mode | S_IWUSR);
    if (chmod(hostPath.c_str(), mode) != 0) {
        return false;
    }
    char text[16];
    std::snprintf(text, sizeof text, "%u", static_cast<unsigned>(attributes & kKeptBits));
    setxattr(hostPath.c_str(), kAttributeName, text, std::char_traits<char>::length(text), 0);
    return true;
}

}  // namespace ce::detail
