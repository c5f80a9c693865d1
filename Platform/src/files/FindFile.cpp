// FindFirstFileW / FindNextFileW / FindClose: the entries of one folder whose names match a pattern,
// taken when the search starts and handed out in name order.
#include <dirent.h>
#include <sys/stat.h>

#include <algorithm>
#include <memory>
#include <vector>

#include "ce/device.h"
#include "files/FileAttributes.h"
#include "files/FileErrors.h"
#include "files/Wildcard.h"
#include "kernel/HandleTable.h"
#include "strings/CaseFold.h"
#include "time/FileTimeValue.h"

namespace ce::detail {
namespace {

class FindObject : public KernelObject {
public:
    explicit FindObject(std::vector<WIN32_FIND_DATAW> entries) : entries_(std::move(entries)) {}
    bool Next(WIN32_FIND_DATAW& data) {
        if (next_ >= entries_.size()) {
            return false;
        }
        data = entries_[next_++];
        return true;
    }

private:
    std::vector<WIN32_FIND_DATAW> entries_;
    size_t next_ = 0;
};

WIN32_FIND_DATAW FindDataOf(const std::string& hostPath, const std::u16string& name,
                            const struct stat& info) {
    WIN32_FIND_DATAW data{};
    data.dwFileAttributes = AttributesOf(hostPath, info);
    data.ftCreationTime = FileTimeFromTimespec(info.st_mtim);
    data.ftLastAccessTime = FileTimeFromTimespec(info.st_atim);
    data.ftLastWriteTime = FileTimeFromTimespec(info.st_mtim);
    if (!S_ISDIR(info.st_mode)) {
        data.nFileSizeHigh = static_cast<DWORD>(static_cast<uint64_t>(info.st_size) >> 32);
        data.nFileSizeLow = static_cast<DWORD>(info.st_size);
    }
    size_t length = std::min<size_t>(name.size(), MAX_PATH - 1);
    std::char_traits<char16_t>::copy(data.cFileName, name.data(), length);
    return data;
}

bool NameOrder(const WIN32_FIND_DATAW& a, const WIN32_FIND_DATAW& b) {
    std::u16string_view x(a.cFileName);
    std::u16string_view y(b.cFileName);
    return std::lexicographical_compare(x.begin(), x.end(), y.begin(), y.end(), [](char16_t l, char16_t r) {
        return FoldToLower(l) < FoldToLower(r);
    });
}

std::vector<WIN32_FIND_DATAW> MatchingEntries(const std::string& folder, std::u16string_view pattern) {
    std::vector<WIN32_FIND_DATAW> entries;
    DIR* dir = opendir(folder.c_str());
    if (dir == nullptr) {
        return entries;
    }
    while (dirent* entry = readdir(dir)) {
        std::string hostName = entry->d_name;
        std::u16string name = FromUtf8(hostName);
        struct stat info {};
        std::string hostPath = folder + "/" + hostName;
        if (hostName == "." || hostName == ".." || name.size() >= MAX_PATH ||
            !MatchesWildcard(pattern, name) || stat(hostPath.c_str(), &info) != 0) {
            continue;
        }
        entries.push_back(FindDataOf(hostPath, name, info));
    }
    closedir(dir);
    std::sort(entries.begin(), entries.end(), NameOrder);
    return entries;
}

}  // namespace
}  // namespace ce::detail

using namespace ce::detail;

extern "C" {

CE_API HANDLE FindFirstFileW(LPCWSTR pattern, LPWIN32_FIND_DATAW data) {
    if (pattern == nullptr || data == nullptr || *pattern == 0) {
        return Fail(ERROR_INVALID_PARAMETER, INVALID_HANDLE_VALUE);
    }
    std::u16string_view text(pattern);
    size_t cut = text.find_last_of(u"\\/");
    std::u16string_view folder = cut == std::u16string_view::npos ? u"\\" : text.substr(0, cut + 1);
    std::u16string_view namePattern = cut == std::u16string_view::npos ? text : text.substr(cut + 1);
    if (folder.find_first_of(u"*?") != std::u16string_view::npos) {
        return Fail(ERROR_INVALID_NAME, INVALID_HANDLE_VALUE);
    }
    std::string host = ce::HostPath(folder);
    struct stat info {};
    if (host.empty() || stat(host.c_str(), &info) != 0 || !S_ISDIR(info.st_mode)) {
        return Fail(ERROR_PATH_NOT_FOUND, INVALID_HANDLE_VALUE);
    }
    auto find = std::make_shared<FindObject>(MatchingEntries(host, namePattern));
    if (namePattern.empty() || !find->Next(*data)) {
        return Fail(ERROR_FILE_NOT_FOUND, INVALID_HANDLE_VALUE);
    }
    return InsertHandle(std::move(find));
}

CE_API BOOL FindNextFileW(HANDLE handle, LPWIN32_FIND_DATAW data) {
    auto find = LookupHandleAs<FindObject>(handle);
    if (!find || data == nullptr) {
        return Fail(find ? ERROR_INVALID_PARAMETER : ERROR_INVALID_HANDLE, FALSE);
    }
    if (!find->Next(*data)) {
        return Fail(ERROR_NO_MORE_FILES, FALSE);
    }
    return TRUE;
}

CE_API BOOL FindClose(HANDLE handle) {
    if (!LookupHandleAs<FindObject>(handle)) {
        return Fail(ERROR_INVALID_HANDLE, FALSE);
    }
    return CloseHandle(handle);
}

}  // extern "C"
