#include "NotificationLauncher.h"

#include <sys/stat.h>

#include <cerrno>
#include <cstring>

#include "ce/device.h"
#include "process/ProgramSpawn.h"

namespace ce::devserver {
namespace {

// A bare file name is looked for in \Windows, as the device does for a program without a folder.
std::string HostProgram(const std::string& application) {
    std::u16string path = FromUtf8(application);
    if (path.find(u'\\') == std::u16string::npos) {
        path = u"\\Windows\\" + path;
    }
    std::string host = HostPath(path);
    struct stat info {};
    return !host.empty() && stat(host.c_str(), &info) == 0 && S_ISREG(info.st_mode) ? host : std::string();
}

}  // namespace

bool NotificationLauncher::Launch(const NotificationRecord& notification) {
    std::string host = HostProgram(notification.application);
    pid_t pid = 0;
    int error =
        host.empty() ? ENOENT : detail::SpawnDeviceProgram(host, notification.arguments, DeviceRoot(), &pid);
    std::string status = error == 0 ? "started" : std::string("not started: ") + std::strerror(error);
    AppendDeviceLog("programs", {{"program", notification.application},
                                 {"arguments", notification.arguments},
                                 {"by", "notification"},
                                 {"status", status}});
    return error == 0;
}

}  // namespace ce::devserver
