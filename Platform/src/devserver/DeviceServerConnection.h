// This process's connection to its device's server (Protocol.h). The first request connects, starting
// the server when none runs; the connection then stays open for the life of the process, because the
// server knows the process by it.
#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <optional>
#include <string>

#include "devserver/Message.h"
#include "devserver/SharedObjectArea.h"

namespace ce::devserver {

class DeviceServerConnection {
public:
    static DeviceServerConnection& Instance();

    // Sends a request and reads its reply; nullopt when the server cannot be reached. With a generation
    // (see Generation()) the request is about objects of that connection and fails once it is gone;
    // without one it goes to the server of the current device root, over a new connection if needed.
    std::optional<Message> Call(const Message& request, uint64_t generation = 0);
    // Names the current connection, connecting first; 0 when there is no server to reach.
    uint64_t Generation();
    // True while the connection of that generation stands; asks the socket only, not the server.
    bool Alive(uint64_t generation);
    // The shared object area of the connection of that generation, when its stamp is the one given.
    std::shared_ptr<SharedObjectArea> Area(uint64_t generation, uint64_t stamp);
    // Enters this process in the device's process table, again on every new connection.
    bool EnterProcess(int64_t parentPid, const std::string& imagePath, const std::string& imageName);

private:
    DeviceServerConnection() = default;
    bool EnsureConnected();
    void Disconnect();
    std::optional<Message> Exchange(const Message& request);

    std::mutex lock_;  // one request at a time; its reply belongs to it
    int fd_ = -1;
    std::string root_;
    uint64_t generation_ = 0;
    uint64_t lastGeneration_ = 0;
    std::optional<Message> enterRequest_;
    std::shared_ptr<SharedObjectArea> area_;  // of the current connection, mapped on first use
};

// Connects to the server of a device's run folder, starting one when none answers; -1 on failure.
int ConnectToDeviceServer(const std::string& root);

}  // namespace ce::devserver
