#include "devserver/SocketAddress.h"

#include <fcntl.h>
#include <unistd.h>

#include <cstring>

namespace ce::devserver {

SocketAddress::SocketAddress(const std::string& folder, const std::string& name) {
    address_.sun_family = AF_UNIX;
    std::string path = folder + "/" + name;
    if (path.size() >= sizeof address_.sun_path) {
        folderFd_ = open(folder.c_str(), O_PATH | O_DIRECTORY | O_CLOEXEC);
        if (folderFd_ < 0) {
            return;
        }
        path = "/proc/self/fd/" + std::to_string(folderFd_) + "/" + name;
        if (path.size() >= sizeof address_.sun_path) {
            return;
        }
    }
    std::memcpy(address_.sun_path, path.c_str(), path.size() + 1);
    valid_ = true;
}

SocketAddress::~SocketAddress() {
    if (folderFd_ >= 0) {
        close(folderFd_);
    }
}

}  // namespace ce::devserver
