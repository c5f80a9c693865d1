// cedevice init: a new device with its profile, file system folders and registry.
#include <filesystem>
#include <iostream>

#include "Commands.h"
#include "ce/device.h"
#include "ce/kernel.h"
#include "ce/registry.h"

namespace cedevice {
namespace {

struct InitOptions {
    std::string kind = "pocketpc";
    int width = 0;  // 0: the kind's own screen
    int height = 0;
};

const char16_t* const kFolders[] = {u"\\Windows", u"\\Program Files", u"\\Temp", u"\\My Documents",
                                    u"\\Application Data"};

// "240x320" with both sides within what a handheld screen can be.
bool ParseScreen(const std::string& text, int* width, int* height) {
    size_t x = text.find('x');
    if (x == std::string::npos || x == 0 || x + 1 == text.size() ||
        text.find_first_not_of("0123456789x") != std::string::npos || text.size() > 9) {
        return false;
    }
    *width = std::stoi(text.substr(0, x));
    *height = std::stoi(text.substr(x + 1));
    const int kMaxSide = 2048;
    return *width > 0 && *height > 0 && *width <= kMaxSide && *height <= kMaxSide;
}

bool ParseOptions(const Arguments& arguments, InitOptions* options, std::string* error) {
    for (size_t i = 0; i < arguments.size(); ++i) {
        const std::string& option = arguments[i];
        if (i + 1 == arguments.size() || (option != "--kind" && option != "--screen")) {
            *error = "unknown or incomplete option '" + option + "'";
            return false;
        }
        const std::string& value = arguments[++i];
        if (option == "--kind" && value != "pocketpc" && value != "smartphone") {
            *error = "--kind is pocketpc or smartphone, not '" + value + "'";
            return false;
        }
        if (option == "--kind") {
            options->kind = value;
        } else if (!ParseScreen(value, &options->width, &options->height)) {
            *error = "--screen wants WIDTHxHEIGHT, e.g. 240x320, not '" + value + "'";
            return false;
        }
    }
    if (options->width == 0) {
        bool smartphone = options->kind == "smartphone";
        options->width = smartphone ? 176 : 240;
        options->height = smartphone ? 220 : 320;
    }
    return true;
}

bool WriteProfile(const InitOptions& options) {
    return ce::SetProfileString("device", "kind", options.kind) &&
           ce::SetProfileString("device", "screen_width", std::to_string(options.width)) &&
           ce::SetProfileString("device", "screen_height", std::to_string(options.height));
}

// The built stand-ins of the system programs, linked into \Windows; those this build lacks are left out.
bool LinkSystemPrograms(std::string* error) {
    for (const auto& [name, built] : ReadManifest(std::string(CE_BUILD_DIR) + "/device-system.txt")) {
        std::error_code fsError;
        if (built.empty() || !std::filesystem::is_regular_file(built, fsError)) {
            continue;
        }
        const std::string target = ce::HostPath(u"\\Windows\\" + ce::FromUtf8(name));
        std::filesystem::create_symlink(std::filesystem::absolute(built), target, fsError);
        if (target.empty() || fsError) {
            *error = "cannot link " + name + " into \\Windows: " + fsError.message();
            return false;
        }
    }
    return true;
}

bool CreateRegistry() {
    for (HKEY root : {HKEY_LOCAL_MACHINE, HKEY_CURRENT_USER}) {
        HKEY software = nullptr;
        if (RegCreateKeyExW(root, u"Software", 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &software, nullptr) !=
            ERROR_SUCCESS) {
            return false;
        }
        RegCloseKey(software);
    }
    return RegFlushKey(HKEY_LOCAL_MACHINE) == ERROR_SUCCESS;
}

}  // namespace

int InitDevice(const std::string& root, const Arguments& arguments) {
    InitOptions options;
    std::string error;
    if (!ParseOptions(arguments, &options, &error)) {
        return Fail(kExitUsage, error);
    }
    std::error_code fsError;
    if (std::filesystem::exists(root + "/device.ini", fsError)) {
        return Fail(kExitFailed, root + " is a device already; nothing changed");
    }
    for (const char* folder : {"/fs", "/log", "/run"}) {
        if (!std::filesystem::create_directories(root + folder, fsError) && fsError) {
            return Fail(kExitFailed, "cannot create " + root + folder + ": " + fsError.message());
        }
    }
    for (const char16_t* folder : kFolders) {
        if (!CreateDirectoryW(folder, nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
            return Fail(kExitFailed, "cannot create " + ce::ToUtf8(folder) + " (error " +
                                         std::to_string(GetLastError()) + ")");
        }
    }
    if (!LinkSystemPrograms(&error)) {
        return Fail(kExitFailed, error);
    }
    if (!CreateRegistry()) {
        return Fail(kExitFailed, "cannot create the registry in " + root);
    }
    // The profile comes last: its presence marks a complete device.
    if (!WriteProfile(options)) {
        return Fail(kExitFailed, "cannot write " + root + "/device.ini");
    }
    std::cout << "created " << options.kind << " device " << options.width << "x" << options.height << " at "
              << root << "\n";
    return kExitDone;
}

}  // namespace cedevice
