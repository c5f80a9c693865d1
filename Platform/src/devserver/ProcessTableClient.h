// This process's side of the device's process table.
#pragma once

#include <string>
#include <vector>

#include "ce/types.h"

namespace ce::devserver {

struct ProcessRecord {
    DWORD pid = 0;
    DWORD parentPid = 0;
    std::u16string imageName;  // "wceload.exe"
    std::u16string imagePath;  // "\Windows\wceload.exe"; empty for a program outside the device's files
};

class ProcessTableClient {
public:
    // Enters this process, started from hostProgram (its device path imagePath, when it has one);
    // false without a device root or server.
    static bool Enter(const std::u16string& imagePath, const std::string& hostProgram);
    // The device's processes in the order they started; empty when there is no server to ask.
    static std::vector<ProcessRecord> List();
};

}  // namespace ce::devserver
