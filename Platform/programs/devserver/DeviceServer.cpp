#include "DeviceServer.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/socket.h>
#include <sys/stat.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstdio>
#include <vector>

#include "NotificationLauncher.h"
#include "ce/device.h"
#include "ce/types.h"
#include "devserver/Protocol.h"
#include "devserver/SocketAddress.h"

namespace ce::devserver {
namespace {

Message Reply(const Message& request, uint32_t status) {
    Message reply(request.Kind());
    reply.Add(static_cast<int64_t>(status));
    return reply;
}

uint32_t Thread(const Message& request, size_t index) {
    return static_cast<uint32_t>(request.Int(index));
}

int64_t PeerPid(int fd) {
    ucred credentials{};
    socklen_t size = sizeof credentials;
    return getsockopt(fd, SOL_SOCKET, SO_PEERCRED, &credentials, &size) == 0 ? credentials.pid : 0;
}

}  // namespace

DeviceServer::DeviceServer(std::string root, int idleMs, int serverLock)
    : run_(root + "/run"),
      idle_(idleMs),
      serverLock_(serverLock),
      objects_(SharedObjectArea::Create(run_)),
      notifications_(run_ + "/" + kNotificationsName) {
    RegisterHandlers();
    std::string damage = notifications_.Load();
    if (!damage.empty()) {
        std::fprintf(stderr, "ce-devserver: %s\n", damage.c_str());
    }
}

DeviceServer::~DeviceServer() {
    for (auto& [id, client] : clients_) {
        close(client.fd);
    }
    if (listener_ >= 0) {
        close(listener_);
    }
    if (serverLock_ >= 0) {
        close(serverLock_);
    }
}

void DeviceServer::On(Request kind, Handler handler) {
    handlers_[static_cast<uint32_t>(kind)] = std::move(handler);
}

void DeviceServer::RegisterHandlers() {
    On(Request::EnterProcess, [this](ClientId client, const Message& request) {
        ProcessEntry entry{clients_[client].pid, request.Int(0), request.Text(2), request.Text(1)};
        processes_.Enter(client, std::move(entry));
        return Reply(request, 0);
    });
    On(Request::ListProcesses, [this](ClientId, const Message& request) {
        Message reply = Reply(request, 0);
        auto list = processes_.List();
        reply.Add(static_cast<int64_t>(list.size()));
        for (const ProcessEntry& entry : list) {
            reply.Add(entry.pid).Add(entry.parentPid).Add(entry.imageName).Add(entry.imagePath);
        }
        return reply;
    });
    auto opened = [this](const Message& request, const NamedObjectTable::Opened& result) {
        Message reply = Reply(request, result.status);
        reply.Add(static_cast<int64_t>(result.id)).Add(result.existed ? 1 : 0);
        return reply.Add(static_cast<int64_t>(result.slot)).Add(static_cast<int64_t>(objects_.Stamp()));
    };
    On(Request::CreateMutex, [this, opened](ClientId client, const Message& request) {
        SharedCaller owner;
        if (request.Int(2) != 0) {
            owner = {static_cast<int32_t>(clients_[client].pid), Thread(request, 1)};
        }
        return opened(request, objects_.CreateMutex(client, request.Text(0), owner));
    });
    On(Request::CreateEvent, [this, opened](ClientId client, const Message& request) {
        return opened(
            request, objects_.CreateEvent(client, request.Text(0), request.Int(1) != 0, request.Int(2) != 0));
    });
    On(Request::OpenEvent, [this, opened](ClientId client, const Message& request) {
        return opened(request, objects_.OpenEvent(client, request.Text(0)));
    });
    On(Request::CloseObject, [this](ClientId client, const Message& request) {
        return Reply(request, objects_.Close(client, request.Int(0)));
    });
    RegisterNotificationHandlers();
    RegisterWindowHandlers();
}

void DeviceServer::RegisterNotificationHandlers() {
    On(Request::SetNotification, [this](ClientId, const Message& request) {
        int64_t handle = request.Int(0);
        uint32_t status = notifications_.Set(NotificationRecord::ReadFrom(request, 1), handle);
        return Reply(request, status).Add(handle);
    });
    On(Request::ClearNotification, [this](ClientId, const Message& request) {
        return Reply(request, notifications_.Clear(request.Int(0)));
    });
    On(Request::ListNotifications, [this](ClientId, const Message& request) {
        Message reply = Reply(request, 0);
        std::vector<int64_t> handles = notifications_.Handles();
        reply.Add(static_cast<int64_t>(handles.size()));
        for (int64_t handle : handles) {
            reply.Add(handle);
        }
        return reply;
    });
    On(Request::GetNotification, [this](ClientId, const Message& request) {
        const NotificationRecord* record = notifications_.Find(request.Int(0));
        Message reply = Reply(request, record ? ERROR_SUCCESS : ERROR_INVALID_HANDLE);
        if (record) {
            record->AppendTo(reply);
        }
        return reply;
    });
}

void DeviceServer::FireDueNotifications() {
    if (notifications_.Empty()) {
        return;
    }
    for (const NotificationRecord& due : notifications_.TakeDue(static_cast<int64_t>(ClockUnixMs()))) {
        NotificationLauncher::Launch(due);
    }
}

int DeviceServer::PollTimeoutMs(int idleTimeoutMs) const {
    std::optional<int64_t> due = notifications_.NextDue();
    if (!due) {
        return idleTimeoutMs;
    }
    // The virtual clock moves without telling anyone, and the real one may be set: look again soon.
    const int64_t kVirtualCheckMs = 50;
    const int64_t kRealCheckMs = 1000;
    int64_t wait = VirtualClockEnabled()
                       ? kVirtualCheckMs
                       : std::clamp<int64_t>(*due - static_cast<int64_t>(ClockUnixMs()), 0, kRealCheckMs);
    return idleTimeoutMs < 0 ? static_cast<int>(wait) : static_cast<int>(std::min<int64_t>(wait, idleTimeoutMs));
}

void DeviceServer::RegisterWindowHandlers() {
    auto describe = [](Message& reply, const WindowEntry& entry) {
        reply.Add(entry.window).Add(entry.pid).Add(entry.className).Add(entry.title);
    };
    On(Request::PublishWindow, [this](ClientId client, const Message& request) {
        windows_.Publish(client, WindowEntry{request.Int(0), clients_[client].pid, request.Text(1), request.Text(2)});
        return Reply(request, 0);
    });
    On(Request::WithdrawWindow, [this](ClientId client, const Message& request) {
        windows_.Withdraw(client, request.Int(0));
        return Reply(request, 0);
    });
    On(Request::FindTopLevel, [this](ClientId, const Message& request) {
        std::optional<std::string> className, title;
        if (request.Int(0)) {
            className = request.Text(1);
        }
        if (request.Int(2)) {
            title = request.Text(3);
        }
        auto found = windows_.Find(className, title);
        Message reply = Reply(request, 0);
        return reply.Add(found ? found->window : 0).Add(found ? found->pid : 0);
    });
    On(Request::ListWindows, [this, describe](ClientId, const Message& request) {
        Message reply = Reply(request, 0);
        auto list = windows_.List();
        reply.Add(static_cast<int64_t>(list.size()));
        for (const WindowEntry& entry : list) {
            describe(reply, entry);
        }
        return reply;
    });
    On(Request::SetForeground, [this](ClientId, const Message& request) {
        windows_.SetForeground(request.Int(0));
        return Reply(request, 0);
    });
    On(Request::GetForeground, [this](ClientId, const Message& request) {
        auto found = windows_.Foreground();
        Message reply = Reply(request, 0);
        return reply.Add(found ? found->window : 0).Add(found ? found->pid : 0);
    });
}

Message DeviceServer::Dispatch(ClientId client, const Message& request) {
    auto handler = handlers_.find(request.Kind());
    if (handler == handlers_.end()) {
        return Reply(request, ERROR_CALL_NOT_IMPLEMENTED);
    }
    return handler->second(client, request);
}

bool DeviceServer::Listen() {
    SocketAddress address(run_, kSocketName);
    if (!address.Valid()) {
        return false;
    }
    listener_ = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC | SOCK_NONBLOCK, 0);
    if (listener_ < 0) {
        return false;
    }
    unlink((run_ + "/" + kSocketName).c_str());
    return bind(listener_, address.Get(), address.Size()) == 0 && listen(listener_, 64) == 0;
}

void DeviceServer::Accept() {
    for (;;) {
        int fd = accept4(listener_, nullptr, nullptr, SOCK_CLOEXEC);
        if (fd < 0) {
            return;
        }
        Client client;
        client.fd = fd;
        client.pid = PeerPid(fd);
        clients_.emplace(nextClient_++, std::move(client));
    }
}

bool DeviceServer::Serve(ClientId id, Client& client) {
    char buffer[4096];
    ssize_t got = recv(client.fd, buffer, sizeof buffer, MSG_DONTWAIT);
    if (got < 0 && (errno == EAGAIN || errno == EINTR)) {
        return true;
    }
    if (got <= 0) {
        return false;
    }
    client.input.append(buffer, static_cast<size_t>(got));
    for (;;) {
        bool damaged = false;
        auto request = Message::TakeFrame(client.input, damaged);
        if (damaged) {
            return false;
        }
        if (!request) {
            return true;
        }
        FireDueNotifications();  // so that an answer never shows a notification whose time has passed
        if (!Dispatch(id, *request).WriteTo(client.fd)) {
            return false;
        }
    }
}

void DeviceServer::Drop(ClientId id) {
    auto it = clients_.find(id);
    if (it == clients_.end()) {
        return;
    }
    close(it->second.fd);
    int64_t pid = it->second.pid;
    clients_.erase(it);
    bool processEnded = std::none_of(clients_.begin(), clients_.end(),
                                     [pid](const auto& entry) { return entry.second.pid == pid; });
    objects_.DropClient(id, processEnded ? pid : 0);
    processes_.Leave(id);
    windows_.DropClient(id);
}

bool DeviceServer::SocketStillThere() const {
    struct stat info {};
    return stat((run_ + "/" + kSocketName).c_str(), &info) == 0;
}

void DeviceServer::Run() {
    auto idleSince = std::chrono::steady_clock::now();
    const auto kIdleCheck = std::chrono::milliseconds(500);
    for (;;) {
        std::vector<pollfd> watched{{listener_, POLLIN, 0}};
        std::vector<ClientId> ids;
        for (const auto& [id, client] : clients_) {
            watched.push_back({client.fd, POLLIN, 0});
            ids.push_back(id);
        }
        FireDueNotifications();
        int timeout = PollTimeoutMs(clients_.empty() ? static_cast<int>(kIdleCheck.count()) : -1);
        if (poll(watched.data(), watched.size(), timeout) < 0 && errno != EINTR) {
            return;
        }
        for (size_t i = 1; i < watched.size(); ++i) {
            if (watched[i].revents != 0 && !Serve(ids[i - 1], clients_[ids[i - 1]])) {
                Drop(ids[i - 1]);
            }
        }
        if (watched[0].revents & POLLIN) {
            Accept();
        }
        if (!clients_.empty()) {
            idleSince = std::chrono::steady_clock::now();
            continue;
        }
        // A device whose folder has gone (a test's root removed) has nobody left to serve.
        if (!SocketStillThere()) {
            return;
        }
        if (!notifications_.Empty()) {
            idleSince = std::chrono::steady_clock::now();
            continue;
        }
        if (std::chrono::steady_clock::now() - idleSince >= idle_) {
            if (Shutdown()) {
                return;
            }
            idleSince = std::chrono::steady_clock::now();
        }
    }
}

bool DeviceServer::Shutdown() {
    int lock = open((run_ + "/" + kStartLockName).c_str(), O_RDWR | O_CREAT | O_CLOEXEC, 0644);
    if (lock >= 0) {
        while (flock(lock, LOCK_EX) != 0 && errno == EINTR) {
        }
    }
    // A process that connected while the idle time ran out is served after all.
    pollfd waiting{listener_, POLLIN, 0};
    if (poll(&waiting, 1, 0) == 1) {
        if (lock >= 0) {
            close(lock);
        }
        return false;
    }
    // Connections that arrived meanwhile are closed unanswered: their processes ask again and, finding no
    // socket, start a new server once this one has let go of the lock.
    unlink((run_ + "/" + kSocketName).c_str());
    unlink((run_ + "/" + kObjectAreaName).c_str());
    Accept();
    while (!clients_.empty()) {
        Drop(clients_.begin()->first);
    }
    close(listener_);
    listener_ = -1;
    close(serverLock_);  // before the start lock: the next server must find this lock free
    serverLock_ = -1;
    if (lock >= 0) {
        close(lock);
    }
    return true;
}

}  // namespace ce::devserver
