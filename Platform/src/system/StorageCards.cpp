// Storage cards: the folders of the device's root that the profile names as cards ([storage] cards=
// Storage Card;...). A card whose folder is missing is not inserted. The search is a file search of
// the root that passes over everything but cards, so FindClose ends it like any other.
#include <algorithm>
#include <string>
#include <vector>

#include "ce/device.h"
#include "ce/kernel.h"
#include "strings/CaseFold.h"

namespace {

std::vector<std::u16string> ProfileCards() {
    std::vector<std::u16string> cards;
    std::u16string list = ce::FromUtf8(ce::ProfileString("storage", "cards"));
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = std::min(list.find(u';', start), list.size());
        std::u16string name = list.substr(start, end - start);
        name.erase(0, name.find_first_not_of(u' '));
        name.erase(name.find_last_not_of(u' ') + 1);
        if (!name.empty()) {
            cards.push_back(name);
        }
        start = end + 1;
    }
    return cards;
}

bool IsCard(const WIN32_FIND_DATAW& entry, const std::vector<std::u16string>& cards) {
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        return false;
    }
    return std::any_of(cards.begin(), cards.end(), [&entry](const std::u16string& card) {
        return ce::detail::EqualNoCase(card, entry.cFileName);
    });
}

// Moves the search on to the next card (the current entry included); false when none is left.
bool SkipToCard(HANDLE find, WIN32_FIND_DATAW& entry, bool checkCurrent) {
    std::vector<std::u16string> cards = ProfileCards();
    if (checkCurrent && IsCard(entry, cards)) {
        return true;
    }
    while (FindNextFileW(find, &entry)) {
        if (IsCard(entry, cards)) {
            return true;
        }
    }
    return false;
}

void HandOut(WIN32_FIND_DATAW entry, LPWIN32_FIND_DATAW data) {
    entry.dwFileAttributes |= FILE_ATTRIBUTE_TEMPORARY;  // how the device marks a card's folder
    *data = entry;
}

}  // namespace

extern "C" {

CE_API HANDLE FindFirstFlashCard(LPWIN32_FIND_DATAW data) {
    if (data == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return INVALID_HANDLE_VALUE;
    }
    WIN32_FIND_DATAW entry{};
    HANDLE find = FindFirstFileW(u"\\*", &entry);
    if (find == INVALID_HANDLE_VALUE) {
        if (GetLastError() == ERROR_FILE_NOT_FOUND) {
            SetLastError(ERROR_NO_MORE_FILES);  // an empty root has no cards either
        }
        return find;
    }
    if (!SkipToCard(find, entry, true)) {
        FindClose(find);
        SetLastError(ERROR_NO_MORE_FILES);
        return INVALID_HANDLE_VALUE;
    }
    HandOut(entry, data);
    return find;
}

CE_API BOOL FindNextFlashCard(HANDLE find, LPWIN32_FIND_DATAW data) {
    if (data == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    WIN32_FIND_DATAW entry{};
    if (!SkipToCard(find, entry, false)) {
        return FALSE;  // FindNextFileW said why
    }
    HandOut(entry, data);
    return TRUE;
}

CE_API BOOL GetStoreInformation(LPSTORE_INFORMATION info) {
    if (info == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    ULARGE_INTEGER freeBytes{};
    ULARGE_INTEGER totalBytes{};
    if (!GetDiskFreeSpaceExW(u"\\", &freeBytes, &totalBytes, nullptr)) {
        return FALSE;
    }
    const ULONGLONG kMost = 0xFFFFFFFFull;
    info->dwStoreSize = static_cast<DWORD>(std::min(totalBytes.QuadPart, kMost));
    info->dwFreeSize = static_cast<DWORD>(std::min(freeBytes.QuadPart, kMost));
    return TRUE;
}

}  // extern "C"
