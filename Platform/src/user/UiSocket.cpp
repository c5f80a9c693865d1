#include "user/UiSocket.h"

#include <fcntl.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>

#include "ce/device.h"
#include "ce/kernel.h"
#include "devserver/SocketAddress.h"
#include "user/UiProtocol.h"
#include "user/UserInternal.h"

using ce::devserver::Message;
using ce::devserver::SocketAddress;

namespace ce::detail {
namespace {

Message Reply(const Message& request, int64_t status) {
    Message reply(request.Kind());
    reply.Add(status);
    return reply;
}

DWORD InjectStylus(int64_t action, int x, int y) {
    switch (static_cast<ce::RemoteStylusAction>(action)) {
    case ce::RemoteStylusAction::Down: ce::InjectStylusDown(x, y); return 0;
    case ce::RemoteStylusAction::Move: ce::InjectStylusMove(x, y); return 0;
    case ce::RemoteStylusAction::Up: ce::InjectStylusUp(x, y); return 0;
    }
    return ERROR_INVALID_PARAMETER;
}

HWND AsWindow(int64_t value) { return reinterpret_cast<HWND>(static_cast<uintptr_t>(value)); }

}  // namespace

UiSocket& UiSocket::Instance() {
    static UiSocket* socket = [] {
        auto* made = new UiSocket;
        std::atexit([] { UiSocket::Instance().Stop(); });
        return made;
    }();
    return *socket;
}

void UiSocket::EnsureListening() {
    std::string root = ce::DeviceRoot();
    std::lock_guard guard(lock_);
    if (root.empty() || root == root_) {
        return;
    }
    if (thread_.joinable()) {
        write(wake_[1], "x", 1);
        thread_.join();
        close(wake_[0]), close(wake_[1]);
        unlink(path_.c_str());
    }
    root_ = root;
    std::string run = root + "/run";
    std::error_code ignored;
    std::filesystem::create_directories(run, ignored);
    std::string name = UiSocketName(getpid());
    path_ = run + "/" + name;
    SocketAddress address(run, name);
    int listener = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    unlink(path_.c_str());
    if (!address.Valid() || listener < 0 || bind(listener, address.Get(), address.Size()) != 0 ||
        listen(listener, 16) != 0 || pipe2(wake_, O_CLOEXEC) != 0) {
        if (listener >= 0) {
            close(listener);
        }
        return;
    }
    thread_ = std::thread([this, listener, wake = wake_[0]] { Serve(listener, wake); });
}

void UiSocket::Stop() {
    std::lock_guard guard(lock_);
    if (!thread_.joinable()) {
        return;
    }
    write(wake_[1], "x", 1);
    thread_.join();
    close(wake_[0]), close(wake_[1]);
    unlink(path_.c_str());
    root_.clear();
}

void UiSocket::Serve(int listener, int wake) {
    for (;;) {
        pollfd fds[2] = {{listener, POLLIN, 0}, {wake, POLLIN, 0}};
        if (poll(fds, 2, -1) < 0) {
            continue;
        }
        if (fds[1].revents) {
            break;
        }
        int client = accept4(listener, nullptr, nullptr, SOCK_CLOEXEC);
        if (client < 0) {
            continue;
        }
        timeval timeout{5, 0};
        setsockopt(client, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
        std::function<void()> deliver;
        if (auto request = Message::ReadFrom(client)) {
            Answer(*request, deliver).WriteTo(client);
        }
        close(client);
        if (deliver) {
            deliver();
        }
    }
    close(listener);
}

// Runs on the listener thread: everything it does reaches the program through its queues.
Message UiSocket::Answer(const Message& request, std::function<void()>& deliver) {
    switch (static_cast<UiRequest>(request.Kind())) {
    case UiRequest::PostToWindow: {
        HWND window = AsWindow(request.Int(0));
        if (!IsWindow(window)) {
            return Reply(request, ERROR_INVALID_WINDOW_HANDLE);
        }
        auto message = static_cast<UINT>(request.Int(1));
        auto wParam = static_cast<WPARAM>(request.Int(2));
        auto lParam = static_cast<LPARAM>(request.Int(3));
        deliver = [=] { PostMessageW(window, message, wParam, lParam); };
        return Reply(request, 0);
    }
    case UiRequest::SetForeground: {
        HWND window = AsWindow(request.Int(0) & ~static_cast<int64_t>(1));
        if (!IsWindow(window)) {
            return Reply(request, ERROR_INVALID_WINDOW_HANDLE);
        }
        WPARAM lastPopup = request.Int(0) & 1;
        deliver = [=] { PostMessageW(window, kActivateMessage, lastPopup, 0); };
        return Reply(request, 0);
    }
    case UiRequest::Screenshot:
        return Reply(request, WriteScreenPng(request.Text(0)) ? 0 : ERROR_WRITE_FAULT);
    case UiRequest::Tap:
        ce::InjectTap(static_cast<int>(request.Int(0)), static_cast<int>(request.Int(1)));
        return Reply(request, 0);
    case UiRequest::Drag:
        ce::InjectDrag(static_cast<int>(request.Int(0)), static_cast<int>(request.Int(1)),
                       static_cast<int>(request.Int(2)), static_cast<int>(request.Int(3)), 8);
        return Reply(request, 0);
    case UiRequest::Stylus:
        return Reply(request, InjectStylus(request.Int(0), static_cast<int>(request.Int(1)),
                                           static_cast<int>(request.Int(2))));
    case UiRequest::Key: {
        UINT key = ce::VirtualKeyFromName(request.Text(0));
        if (key == 0) {
            return Reply(request, ERROR_INVALID_PARAMETER);
        }
        ce::InjectKey(key);
        return Reply(request, 0);
    }
    case UiRequest::Text:
        ce::InjectText(ce::FromUtf8(request.Text(0)));
        return Reply(request, 0);
    default:
        return Reply(request, ERROR_CALL_NOT_IMPLEMENTED);
    }
}

std::optional<Message> UiSocket::Call(int64_t pid, const Message& request) {
    std::string root = ce::DeviceRoot();
    if (root.empty()) {
        return std::nullopt;
    }
    SocketAddress address(root + "/run", UiSocketName(pid));
    int fd = socket(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0);
    if (fd < 0) {
        return std::nullopt;
    }
    timeval timeout{5, 0};
    setsockopt(fd, SOL_SOCKET, SO_RCVTIMEO, &timeout, sizeof timeout);
    std::optional<Message> reply;
    if (address.Valid() && connect(fd, address.Get(), address.Size()) == 0 && request.WriteTo(fd)) {
        reply = Message::ReadFrom(fd);
    }
    close(fd);
    return reply;
}

}  // namespace ce::detail
