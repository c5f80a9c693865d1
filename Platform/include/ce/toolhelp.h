// Process snapshots.
#pragma once

#include "ce/kernel.h"

#define TH32CS_SNAPHEAPLIST 0x00000001
#define TH32CS_SNAPPROCESS 0x00000002
#define TH32CS_SNAPTHREAD 0x00000004
#define TH32CS_SNAPMODULE 0x00000008

typedef struct tagPROCESSENTRY32W {
    DWORD dwSize;
    DWORD cntUsage;
    DWORD th32ProcessID;
    DWORD th32DefaultHeapID;
    DWORD th32ModuleID;
    DWORD cntThreads;
    DWORD th32ParentProcessID;
    LONG pcPriClassBase;
    DWORD dwFlags;
    WCHAR szExeFile[MAX_PATH];  // the image's file name, e.g. "wceload.exe"
    DWORD th32MemoryBase;
    DWORD th32AccessKey;
} PROCESSENTRY32W, *PPROCESSENTRY32W, *LPPROCESSENTRY32W;
typedef PROCESSENTRY32W PROCESSENTRY32;

extern "C" {
CE_API HANDLE CreateToolhelp32Snapshot(DWORD flags, DWORD processId);
CE_API BOOL Process32FirstW(HANDLE snapshot, LPPROCESSENTRY32W entry);
CE_API BOOL Process32NextW(HANDLE snapshot, LPPROCESSENTRY32W entry);
CE_API BOOL CloseToolhelp32Snapshot(HANDLE snapshot);
}

#define Process32First Process32FirstW
#define Process32Next Process32NextW
