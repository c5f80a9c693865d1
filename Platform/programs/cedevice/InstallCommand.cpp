// cedevice install: puts the built program, its libraries and its data into a device, as the program's
// installer would: "\Program Files\Skyvane" with links to the built binaries and the read-only data
// (the two start-screen plug-ins also in "\Windows"),
// copies of what the program deletes or moves after use, and the install folder in the registry.
//
// The build folder names its binaries in device-install.txt ("Pictorra.dll=/host/path", empty when not
// built); the staged data lies in its data/ folder.
#include <algorithm>
#include <filesystem>
#include <fstream>
#include <iostream>
#include <map>
#include <system_error>
#include <vector>

#include "Commands.h"
#include "ce/device.h"
#include "ce/registry.h"

namespace cedevice {
namespace {

namespace fs = std::filesystem;

constexpr char16_t kInstallDir[] = u"\\Program Files\\Skyvane";
constexpr char16_t kHomeTemplateDir[] = u"\\Temp\\HomeXML";
constexpr char16_t kInstallKey[] = u"SOFTWARE\\Apps\\Quillon Software Skyvane";

// Placed by link or by copy. The program never writes into a linked file; it deletes rasterize.xml
// after use and moves the Home templates away, so those are its own copies. Folders are always real,
// because the program writes Cities.dat, Cache\ and the render caches beside the data.
enum class Placement { Link, Copy };

struct Item {
    fs::path source;
    std::u16string folder;  // device folder
    std::string name;
    Placement placement;
};

bool ParseOptions(const Arguments& arguments, std::string* build, std::string* error) {
    for (size_t i = 0; i < arguments.size(); ++i) {
        if (arguments[i] != "--build" || i + 1 == arguments.size() || arguments[i + 1].empty()) {
            *error = "unknown or incomplete option '" + arguments[i] + "' (install ROOT [--build DIR])";
            return false;
        }
        *build = arguments[++i];
    }
    return true;
}

// The start screen loads the plug-ins from \Windows, where their registrations name them.
bool IsStartScreenPlugin(const std::string& name) { return name == "Dawnlet.dll" || name == "Lanternet.dll"; }

bool IsFile(const fs::path& path) {
    std::error_code error;
    return fs::is_regular_file(path, error);
}

// The regular files of a folder with the extension, in name order. The staged data folders are also
// CMake's binary folders, so the extension keeps its files out.
std::vector<fs::path> FilesIn(const fs::path& folder, const std::string& extension) {
    std::vector<fs::path> files;
    std::error_code error;
    for (fs::directory_iterator it(folder, error), end; !error && it != end; it.increment(error)) {
        if (IsFile(it->path()) && it->path().extension() == extension) {
            files.push_back(it->path());
        }
    }
    std::sort(files.begin(), files.end());
    return files;
}

// Everything to place, checked before the device is touched so that a refused install changes nothing.
bool PlanInstall(const fs::path& build, std::vector<Item>* items, std::vector<std::string>* notBuilt,
                 std::string* error) {
    const fs::path manifestFile = build / "device-install.txt";
    if (!IsFile(manifestFile)) {
        *error = build.string() + " is not a build folder of Skyvane (no device-install.txt)";
        return false;
    }
    std::map<std::string, std::string> manifest = ReadManifest(manifestFile);
    for (const char* name : {"Skyvane.exe", "Pictorra.dll", "Dawnlet.dll", "Lanternet.dll"}) {
        const std::string& built = manifest[name];
        if (!built.empty() && IsFile(built)) {
            items->push_back({built, kInstallDir, name, Placement::Link});
            if (IsStartScreenPlugin(name)) {
                items->push_back({built, u"\\Windows", name, Placement::Link});
            }
        } else if (std::string(name) == "Pictorra.dll") {
            *error = "Pictorra.dll is not built in " + build.string();
            return false;
        } else {
            notBuilt->push_back(name);
        }
    }
    const fs::path data = build / "data";
    for (const char* name : {"CityDB.dat", "MapDB.dat"}) {
        if (!IsFile(data / name)) {
            *error = (data / name).string() + " is missing; build the data first";
            return false;
        }
        items->push_back({data / name, kInstallDir, name, Placement::Link});
    }
    std::vector<fs::path> languages = FilesIn(data / "Loc", ".txt");
    if (languages.empty()) {
        *error = "no language files in " + (data / "Loc").string();
        return false;
    }
    const std::u16string dataDir = std::u16string(kInstallDir) + u"\\Data";
    std::vector<std::pair<std::vector<fs::path>, std::u16string>> linked = {
        {languages, std::u16string(kInstallDir) + u"\\Loc"}, {FilesIn(data / "Data", ".pak"), dataDir}};
    for (const auto& [files, folder] : linked) {
        for (const fs::path& file : files) {
            items->push_back({file, folder, file.filename().string(), Placement::Link});
        }
    }
    if (IsFile(data / "Data" / "rasterize.xml")) {
        items->push_back({data / "Data" / "rasterize.xml", dataDir, "rasterize.xml", Placement::Copy});
    }
    for (const fs::path& file : FilesIn(data / "HomeXML", ".xml")) {
        items->push_back({file, kHomeTemplateDir, file.filename().string(), Placement::Copy});
    }
    return true;
}

// A real folder of the device; a link standing where it belongs is replaced.
bool MakeFolder(const std::string& host, std::string* error) {
    std::error_code fsError;
    if (fs::is_symlink(host, fsError)) {
        fs::remove(host, fsError);
    }
    if (!fs::create_directories(host, fsError) && !fs::is_directory(host, fsError)) {
        *error = "cannot create " + host + ": " + fsError.message();
        return false;
    }
    return true;
}

// Replaces the target at once, so that a running program sees the old file or the new one.
bool Place(const Item& item, const std::string& target, std::string* error) {
    const std::string temporary = target + ".tmp";
    std::error_code fsError;
    fs::remove(temporary, fsError);
    if (item.placement == Placement::Link) {
        fs::create_symlink(fs::absolute(item.source), temporary, fsError);
    } else {
        fs::copy_file(item.source, temporary, fsError);
    }
    if (!fsError) {
        fs::rename(temporary, target, fsError);
    }
    if (fsError) {
        fs::remove(temporary, fsError);
        *error = "cannot place " + target + ": " + fsError.message();
        return false;
    }
    return true;
}

bool WriteInstallDir(std::string* error) {
    HKEY key = nullptr;
    LONG result = RegCreateKeyExW(HKEY_LOCAL_MACHINE, kInstallKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                  nullptr);
    if (result == ERROR_SUCCESS) {
        const std::u16string folder = kInstallDir;
        result = RegSetValueExW(key, u"InstallDir", 0, REG_SZ, reinterpret_cast<const BYTE*>(folder.c_str()),
                                static_cast<DWORD>((folder.size() + 1) * sizeof(char16_t)));
        RegCloseKey(key);
    }
    if (result == ERROR_SUCCESS) {
        result = RegFlushKey(HKEY_LOCAL_MACHINE);
    }
    if (result != ERROR_SUCCESS) {
        *error = "cannot write the install folder to the registry (error " + std::to_string(result) + ")";
        return false;
    }
    return true;
}

}  // namespace

int InstallProgram(const std::string&, const Arguments& arguments) {
    std::string build = CE_BUILD_DIR;
    std::string error;
    if (!ParseOptions(arguments, &build, &error)) {
        return Fail(kExitUsage, error);
    }
    std::vector<Item> items;
    std::vector<std::string> notBuilt;
    if (!PlanInstall(fs::absolute(build).lexically_normal(), &items, &notBuilt, &error)) {
        return Fail(kExitFailed, error);
    }
    for (const Item& item : items) {
        const std::string folder = ce::HostPath(item.folder);
        const std::string target = ce::HostPath(item.folder + u"\\" + ce::FromUtf8(item.name));
        if (!MakeFolder(folder, &error) || !Place(item, target, &error)) {
            return Fail(kExitFailed, error);
        }
    }
    if (!WriteInstallDir(&error)) {
        return Fail(kExitFailed, error);
    }
    std::cout << "installed " << items.size() << " files into " << ce::ToUtf8(kInstallDir) << "\n";
    for (const std::string& name : notBuilt) {
        std::cout << "not built yet: " << name << "\n";
    }
    return kExitDone;
}

}  // namespace cedevice
