// The storage manager's description of a storage card's volume (the cards themselves are found with
// FindFirstFlashCard of kernel.h). The cards and their stores' names come from the device profile:
// [storage] cards=Storage Card:SD Memory;... (a card without a store name has the folder's).
#pragma once

#include "ce/types.h"

#define STORENAMESIZE 32
#define PARTITIONNAMESIZE 32

typedef enum CE_VOLUME_INFO_LEVEL { CeVolumeInfoLevelStandard = 0 } CE_VOLUME_INFO_LEVEL;

// cbSize is set by the caller.
typedef struct CE_VOLUME_INFO {
    DWORD cbSize;
    DWORD dwAttributes;
    DWORD dwFlags;
    DWORD dwBlockSize;
    WCHAR szStoreName[STORENAMESIZE];
    WCHAR szPartitionName[PARTITIONNAMESIZE];
} CE_VOLUME_INFO, *LPCE_VOLUME_INFO;

extern "C" {

// The volume of the storage card that holds the path (any path on the card); ERROR_PATH_NOT_FOUND for
// a path off the inserted cards.
CE_API BOOL CeGetVolumeInfoW(LPCWSTR rootPath, CE_VOLUME_INFO_LEVEL level, LPCE_VOLUME_INFO info);
}
