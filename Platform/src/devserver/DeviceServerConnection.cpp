#include "devserver/DeviceServerConnection.h"

#include <poll.h>
#include <unistd.h>

#include "ce/device.h"
#include "devserver/Protocol.h"

namespace ce::devserver {

DeviceServerConnection& DeviceServerConnection::Instance() {
    static auto* connection = new DeviceServerConnection;  // never destroyed: used until the process ends
    return *connection;
}

std::optional<Message> DeviceServerConnection::Call(const Message& request, uint64_t generation) {
    std::lock_guard guard(lock_);
    if (generation != 0) {
        if (fd_ < 0 || generation != generation_) {
            return std::nullopt;
        }
        auto reply = Exchange(request);
        if (!reply) {
            Disconnect();
        }
        return reply;
    }
    // A request that names no object may go again over a new connection: the first one can have hit a
    // server that was just ending for being idle.
    for (int attempt = 0; attempt < 2; ++attempt) {
        if (!EnsureConnected()) {
            return std::nullopt;
        }
        if (auto reply = Exchange(request)) {
            return reply;
        }
        Disconnect();
    }
    return std::nullopt;
}

uint64_t DeviceServerConnection::Generation() {
    std::lock_guard guard(lock_);
    return EnsureConnected() ? generation_ : 0;
}

bool DeviceServerConnection::Alive(uint64_t generation) {
    std::lock_guard guard(lock_);
    if (fd_ < 0 || generation != generation_) {
        return false;
    }
    pollfd watched{fd_, POLLRDHUP, 0};
    if (poll(&watched, 1, 0) != 0) {
        Disconnect();  // the server has gone (it never writes unasked)
        return false;
    }
    return true;
}

std::shared_ptr<SharedObjectArea> DeviceServerConnection::Area(uint64_t generation, uint64_t stamp) {
    std::lock_guard guard(lock_);
    if (fd_ < 0 || generation != generation_) {
        return nullptr;
    }
    if (!area_ || area_->Stamp() != stamp) {
        area_ = SharedObjectArea::Map(root_ + "/run");
    }
    return area_ && area_->Stamp() == stamp ? area_ : nullptr;
}

bool DeviceServerConnection::EnterProcess(int64_t parentPid, const std::string& imagePath,
                                          const std::string& imageName) {
    Message request(Request::EnterProcess);
    request.Add(parentPid).Add(imagePath).Add(imageName);
    {
        std::lock_guard guard(lock_);
        enterRequest_ = request;
        Disconnect();  // the next connection enters the process first
    }
    return Generation() != 0;
}

bool DeviceServerConnection::EnsureConnected() {
    std::string root = DeviceRoot();
    if (fd_ >= 0 && root == root_) {
        return true;
    }
    Disconnect();
    if (root.empty()) {
        return false;
    }
    for (int attempt = 0; attempt < 2 && fd_ < 0; ++attempt) {
        fd_ = ConnectToDeviceServer(root);
        if (fd_ >= 0 && enterRequest_ && !Exchange(*enterRequest_)) {
            Disconnect();
        }
    }
    if (fd_ < 0) {
        return false;
    }
    root_ = root;
    generation_ = ++lastGeneration_;
    return true;
}

void DeviceServerConnection::Disconnect() {
    if (fd_ >= 0) {
        close(fd_);
    }
    fd_ = -1;
    generation_ = 0;
    area_.reset();  // handles keep the area they use
}

std::optional<Message> DeviceServerConnection::Exchange(const Message& request) {
    if (!request.WriteTo(fd_)) {
        return std::nullopt;
    }
    auto reply = Message::ReadFrom(fd_);
    if (!reply || reply->Kind() != request.Kind()) {
        return std::nullopt;
    }
    return reply;
}

}  // namespace ce::devserver
