// Storage cards: the folders of the device's root that the profile names as cards ([storage] cards=
// Storage Card;...), each with the name of its store after a colon (cards=Storage Card:SD Memory;...;
// without one the store is named as the folder). A card whose folder is missing is not inserted. The
// search is a file search of the root that passes over everything but cards, so FindClose ends it
// like any other.
#include <algorithm>
#include <string>
#include <vector>

#include "ce/device.h"
#include "ce/kernel.h"
#include "ce/storage.h"
#include "strings/CaseFold.h"

namespace {

struct ProfileCard {
    std::u16string folder;
    std::u16string store;
};

std::u16string Trimmed(std::u16string text) {
    text.erase(0, text.find_first_not_of(u' '));
    text.erase(text.find_last_not_of(u' ') + 1);
    return text;
}

std::vector<ProfileCard> ProfileCards() {
    std::vector<ProfileCard> cards;
    std::u16string list = ce::FromUtf8(ce::ProfileString("storage", "cards"));
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = std::min(list.find(u';', start), list.size());
        std::u16string entry = list.substr(start, end - start);
        size_t colon = entry.find(u':');
        ProfileCard card{Trimmed(entry.substr(0, colon)), {}};
        card.store = colon == std::u16string::npos ? card.folder : Trimmed(entry.substr(colon + 1));
        if (!card.folder.empty()) {
            cards.push_back(card);
        }
        start = end + 1;
    }
    return cards;
}

bool IsCard(const WIN32_FIND_DATAW& entry, const std::vector<ProfileCard>& cards) {
    if ((entry.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) == 0) {
        return false;
    }
    return std::any_of(cards.begin(), cards.end(), [&entry](const ProfileCard& card) {
        return ce::detail::EqualNoCase(card.folder, entry.cFileName);
    });
}

// Moves the search on to the next card (the current entry included); false when none is left.
bool SkipToCard(HANDLE find, WIN32_FIND_DATAW& entry, bool checkCurrent) {
    std::vector<ProfileCard> cards = ProfileCards();
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

// The card that holds a device path ("\Storage Card\Maps" is on "Storage Card"), when it is inserted.
const ProfileCard* CardOfPath(std::u16string_view path, const std::vector<ProfileCard>& cards) {
    path.remove_prefix(std::min(path.find_first_not_of(u'\\'), path.size()));
    std::u16string_view folder = path.substr(0, path.find(u'\\'));
    for (const ProfileCard& card : cards) {
        if (!folder.empty() && ce::detail::EqualNoCase(card.folder, folder)) {
            DWORD attributes = GetFileAttributesW((u"\\" + card.folder).c_str());
            bool inserted = attributes != INVALID_FILE_ATTRIBUTES && (attributes & FILE_ATTRIBUTE_DIRECTORY) != 0;
            return inserted ? &card : nullptr;
        }
    }
    return nullptr;
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

CE_API BOOL CeGetVolumeInfoW(LPCWSTR rootPath, CE_VOLUME_INFO_LEVEL level, LPCE_VOLUME_INFO info) {
    if (rootPath == nullptr || info == nullptr || info->cbSize != sizeof(CE_VOLUME_INFO) ||
        level != CeVolumeInfoLevelStandard) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::vector<ProfileCard> cards = ProfileCards();
    const ProfileCard* card = CardOfPath(rootPath, cards);
    if (card == nullptr) {
        SetLastError(ERROR_PATH_NOT_FOUND);
        return FALSE;
    }
    *info = CE_VOLUME_INFO{};
    info->cbSize = sizeof(CE_VOLUME_INFO);
    info->dwBlockSize = 512;
    lstrcpynW(info->szStoreName, card->store.c_str(), STORENAMESIZE);
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
