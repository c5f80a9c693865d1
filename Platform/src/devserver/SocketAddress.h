// The address of a Unix socket in a folder. sun_path holds about a hundred bytes, fewer than a device
// root may need, so a long path is reached through an open descriptor of its folder
// (/proc/self/fd/N/name), which works for bind and connect alike.
#pragma once

#include <sys/socket.h>
#include <sys/un.h>

#include <string>

namespace ce::devserver {

class SocketAddress {
public:
    SocketAddress(const std::string& folder, const std::string& name);
    ~SocketAddress();
    SocketAddress(const SocketAddress&) = delete;
    SocketAddress& operator=(const SocketAddress&) = delete;

    bool Valid() const { return valid_; }
    const sockaddr* Get() const { return reinterpret_cast<const sockaddr*>(&address_); }
    socklen_t Size() const { return sizeof address_; }

private:
    sockaddr_un address_{};
    int folderFd_ = -1;
    bool valid_ = false;
};

}  // namespace ce::devserver
