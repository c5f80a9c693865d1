// cedevice log: the records that the stand-in programs kept, one JSON object a line. Without a NAME,
// every record file, each line led by its name.
#include <algorithm>
#include <filesystem>
#include <iostream>
#include <vector>

#include "Commands.h"
#include "ce/device.h"

namespace cedevice {
namespace {

std::vector<std::string> LogNames(const std::string& root) {
    std::vector<std::string> names;
    std::error_code error;
    for (const auto& entry : std::filesystem::directory_iterator(root + "/log", error)) {
        if (entry.path().extension() == ".jsonl") {
            names.push_back(entry.path().stem().string());
        }
    }
    std::sort(names.begin(), names.end());
    return names;
}

}  // namespace

int PrintLog(const std::string& root, const Arguments& arguments) {
    if (arguments.size() > 1) {
        return Fail(kExitUsage, "log wants at most one NAME");
    }
    if (arguments.size() == 1) {
        if (arguments[0].empty() || arguments[0].find_first_of("/\\.") != std::string::npos) {
            return Fail(kExitUsage, "not a record name: '" + arguments[0] + "'");
        }
        for (const std::string& line : ce::ReadDeviceLog(arguments[0])) {
            std::cout << line << "\n";
        }
        return kExitDone;
    }
    for (const std::string& name : LogNames(root)) {
        for (const std::string& line : ce::ReadDeviceLog(name)) {
            std::cout << name << ": " << line << "\n";
        }
    }
    return kExitDone;
}

}  // namespace cedevice
