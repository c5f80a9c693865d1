// The tables through which a module (a program or a library) offers its exports by ordinal, its string
// table and its binary resources (dialog templates, menu bars, raw data). The module defines each table
// at most once, with the macros below, usually in one file that plays the part of its resource script;
// the loader finds them under fixed exported names and reads them in place.
//
//   CE_MODULE_ORDINALS(CE_ORDINAL(240, InitializeCustomItem), CE_ORDINAL(241, CustomItemOptionsDlgProc));
//   CE_MODULE_STRINGS({100, u"Skyvane"}, {101, u"Update"});
//   CE_MODULE_RESOURCES({RT_DIALOG, MAKEINTRESOURCEW(500), &kOptionsDialog, sizeof(kOptionsDialog)});
//
// A library also exports its entry point, which the loader calls with DLL_PROCESS_ATTACH on the first
// load and DLL_PROCESS_DETACH when the last reference is freed:
//   extern "C" CE_EXPORT BOOL WINAPI DllMain(HINSTANCE instance, DWORD reason, LPVOID reserved);
#pragma once

#include "ce/kernel.h"

struct CeOrdinalExport {
    WORD ordinal;
    FARPROC function;
};

struct CeStringResource {
    UINT id;
    LPCWSTR text;  // terminated
};

// type and name are each either MAKEINTRESOURCEW(number) or a string (matched without case).
struct CeBinaryResource {
    LPCWSTR type;
    LPCWSTR name;
    const void* data;
    DWORD size;
};

struct CeOrdinalTable {
    DWORD count;
    const CeOrdinalExport* entries;
};

struct CeStringTable {
    DWORD count;
    const CeStringResource* entries;
};

struct CeResourceTable {
    DWORD count;
    const CeBinaryResource* entries;
};

typedef BOOL(WINAPI* CeDllEntry)(HINSTANCE instance, DWORD reason, LPVOID reserved);

// The exported names that the loader looks up.
#define CE_ORDINAL_TABLE_SYMBOL "CeModuleOrdinals"
#define CE_STRING_TABLE_SYMBOL "CeModuleStrings"
#define CE_RESOURCE_TABLE_SYMBOL "CeModuleResources"
#define CE_DLL_ENTRY_SYMBOL "DllMain"

// Function pointers of other types pass through void (*)(), the type that converts to and from any other
// without a warning.
#define CE_ORDINAL(number, function)                                                \
    CeOrdinalExport {                                                               \
        (number), reinterpret_cast<FARPROC>(reinterpret_cast<void (*)()>(function)) \
    }

namespace ce {
// The typed function behind a GetProcAddressW result: ce::ProcAs<int (*)(int)>(proc).
template <class Function>
Function ProcAs(FARPROC proc) {
    return reinterpret_cast<Function>(reinterpret_cast<void (*)()>(proc));
}
}  // namespace ce

#define CE_TABLE_COUNT_(entries) static_cast<DWORD>(sizeof(entries) / sizeof((entries)[0]))

#define CE_MODULE_ORDINALS(...)                                                                             \
    static const CeOrdinalExport ceModuleOrdinalEntries_[] = {__VA_ARGS__};                                 \
    extern "C" CE_EXPORT const CeOrdinalTable CeModuleOrdinals = {CE_TABLE_COUNT_(ceModuleOrdinalEntries_), \
                                                                  ceModuleOrdinalEntries_}

#define CE_MODULE_STRINGS(...)                                                                           \
    static const CeStringResource ceModuleStringEntries_[] = {__VA_ARGS__};                              \
    extern "C" CE_EXPORT const CeStringTable CeModuleStrings = {CE_TABLE_COUNT_(ceModuleStringEntries_), \
                                                                ceModuleStringEntries_}

#define CE_MODULE_RESOURCES(...)                                              \
    static const CeBinaryResource ceModuleResourceEntries_[] = {__VA_ARGS__}; \
    extern "C" CE_EXPORT const CeResourceTable CeModuleResources = {          \
        CE_TABLE_COUNT_(ceModuleResourceEntries_), ceModuleResourceEntries_}
