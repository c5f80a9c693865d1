// The server of one device: accepts the connections of the device's processes on <root>/run and
// answers their requests (Protocol.h) one at a time on a single thread, so the tables need no locks.
// It ends once no process has been connected for the idle time, unless user notifications are pending:
// it stays to start their programs on time (and a server that was killed meanwhile leaves them in the
// run folder, where the next one finds them and starts those that have become due).
#pragma once

#include <chrono>
#include <cstdint>
#include <functional>
#include <map>
#include <string>
#include <unordered_map>

#include "NamedObjectTable.h"
#include "NotificationTable.h"
#include "ProcessTable.h"
#include "WindowTable.h"
#include "devserver/Message.h"
#include "devserver/Protocol.h"

namespace ce::devserver {

class DeviceServer {
public:
    // Takes over serverLock, the descriptor holding the server lock.
    DeviceServer(std::string root, int idleMs, int serverLock);
    ~DeviceServer();
    DeviceServer(const DeviceServer&) = delete;
    DeviceServer& operator=(const DeviceServer&) = delete;

    // Binds the socket, replacing one left by a server that died. The caller holds the server lock.
    bool Listen();
    // Serves until the device has been idle for the idle time.
    void Run();

private:
    struct Client {
        int fd = -1;
        int64_t pid = 0;
        std::string input;
    };
    using Handler = std::function<Message(ClientId, const Message&)>;

    void RegisterHandlers();
    void RegisterNotificationHandlers();
    void RegisterWindowHandlers();
    void On(Request kind, Handler handler);
    Message Dispatch(ClientId client, const Message& request);

    void Accept();
    // Reads what the client sent and answers every whole request; false when the client has gone.
    bool Serve(ClientId id, Client& client);
    void Drop(ClientId id);
    // Under the start lock, so that no process starts a new server while this one is going away; false
    // (the server goes on) when a connection is waiting to be taken.
    bool Shutdown();
    bool SocketStillThere() const;
    // Starts the programs of the notifications that the device's clock has reached.
    void FireDueNotifications();
    // How long poll may sleep: with notifications pending, no longer than until the next is due.
    int PollTimeoutMs(int idleTimeoutMs) const;

    std::string run_;
    std::chrono::milliseconds idle_;
    int serverLock_;
    int listener_ = -1;
    std::map<ClientId, Client> clients_;
    ClientId nextClient_ = 1;
    std::unordered_map<uint32_t, Handler> handlers_;
    NamedObjectTable objects_;
    ProcessTable processes_;
    NotificationTable notifications_;
    WindowTable windows_;
};

}  // namespace ce::devserver
