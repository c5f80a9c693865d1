#include "modules/DeviceImage.h"

#include <sys/stat.h>

#include "ce/device.h"

namespace ce::detail {
namespace {

std::string ExistingFile(std::u16string_view devicePath) {
    std::string host = HostPath(devicePath);
    struct stat info {};
    return !host.empty() && stat(host.c_str(), &info) == 0 && S_ISREG(info.st_mode) ? host : std::string();
}

}  // namespace

std::u16string_view DeviceFileName(std::u16string_view path) {
    size_t slash = path.rfind(u'\\');
    return slash == std::u16string_view::npos ? path : path.substr(slash + 1);
}

std::string ResolveDeviceImage(std::u16string_view name) {
    if (name.empty()) {
        return {};
    }
    if (name.find(u'\\') != std::u16string_view::npos) {
        return ExistingFile(name);
    }
    std::u16string program = ProcessImagePath();
    std::u16string programFolder = program.substr(0, program.size() - DeviceFileName(program).size());
    for (const std::u16string& folder : {programFolder, std::u16string(u"\\Windows\\")}) {
        if (folder.empty()) {
            continue;
        }
        std::string host = ExistingFile(folder + std::u16string(name));
        if (!host.empty()) {
            return host;
        }
    }
    return {};
}

}  // namespace ce::detail
