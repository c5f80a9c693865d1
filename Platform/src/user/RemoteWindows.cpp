// Windows of other processes: published in the device server's table, reached through their
// process's window-manager socket.
#include <unistd.h>

#include "ce/device.h"
#include "ce/kernel.h"
#include "devserver/DeviceServerConnection.h"
#include "devserver/Protocol.h"
#include "user/UiProtocol.h"
#include "user/UiSocket.h"
#include "user/UserInternal.h"

using ce::devserver::DeviceServerConnection;
using ce::devserver::Message;
using ce::devserver::Request;

namespace ce::detail {
namespace {

int64_t AsNumber(HWND window) { return static_cast<int64_t>(reinterpret_cast<uintptr_t>(window)); }
HWND AsWindow(int64_t value) { return reinterpret_cast<HWND>(static_cast<uintptr_t>(value)); }

std::optional<Message> CallServer(const Message& request) {
    if (ce::DeviceRoot().empty()) {
        return std::nullopt;
    }
    auto reply = DeviceServerConnection::Instance().Call(request);
    if (!reply || reply->Int(0) != 0) {
        return std::nullopt;
    }
    return reply;
}

}  // namespace

// The process of the device's foreground window (the newest window when none was brought forward).
std::optional<int64_t> CallServerForForeground() {
    auto reply = CallServer(Message(Request::GetForeground));
    if (!reply || reply->Int(2) == 0) {
        return std::nullopt;
    }
    return reply->Int(2);
}

void PublishTopLevel(HWND window) {
    if (ce::DeviceRoot().empty()) {
        return;
    }
    std::string className, title;
    bool foreground;
    {
        WmLock guard(Wm().Lock());
        auto w = Wm().Find(window);
        if (!w || w->IsChild() || w->neverActive || w->destroying) {
            return;
        }
        className = ce::ToUtf8(w->windowClass->name);
        title = ce::ToUtf8(w->text);
        foreground = Wm().foreground == window;
    }
    UiSocket::Instance().EnsureListening();
    Message publish(Request::PublishWindow);
    publish.Add(AsNumber(window)).Add(className).Add(title);
    CallServer(publish);
    if (foreground) {
        Message front(Request::SetForeground);
        CallServer(front.Add(AsNumber(window)));
    }
}

void WithdrawTopLevel(HWND window) {
    if (ce::DeviceRoot().empty()) {
        return;
    }
    Message withdraw(Request::WithdrawWindow);
    CallServer(withdraw.Add(AsNumber(window)));
}

HWND RemoteFindWindow(LPCWSTR className, LPCWSTR title) {
    Message find(Request::FindTopLevel);
    find.Add(className ? 1 : 0).Add(className ? ce::ToUtf8(className) : std::string());
    find.Add(title ? 1 : 0).Add(title ? ce::ToUtf8(title) : std::string());
    auto reply = CallServer(find);
    return reply ? AsWindow(reply->Int(1)) : nullptr;
}

bool RemotePostMessage(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
    Message post(static_cast<uint32_t>(UiRequest::PostToWindow));
    post.Add(AsNumber(window)).Add(static_cast<int64_t>(message)).Add(static_cast<int64_t>(wParam)).Add(
        static_cast<int64_t>(lParam));
    auto reply = UiSocket::Call(WindowManager::ProcessOfHandle(window), post);
    if (!reply || reply->Int(0) != 0) {
        SetLastError(ERROR_INVALID_WINDOW_HANDLE);
        return false;
    }
    return true;
}

void RemoteBroadcast(UINT message, WPARAM wParam, LPARAM lParam) {
    auto reply = CallServer(Message(Request::ListWindows));
    if (!reply) {
        return;
    }
    int64_t count = reply->Int(1);
    for (int64_t i = 0; i < count; ++i) {
        HWND window = AsWindow(reply->Int(2 + static_cast<size_t>(i) * 4));
        if (!WindowManager::IsLocalHandle(window)) {
            RemotePostMessage(window, message, wParam, lParam);
        }
    }
}

bool RemoteSetForeground(HWND window) {
    Message request(static_cast<uint32_t>(UiRequest::SetForeground));
    request.Add(AsNumber(window));
    HWND plain = reinterpret_cast<HWND>(reinterpret_cast<uintptr_t>(window) & ~static_cast<uintptr_t>(1));
    auto reply = UiSocket::Call(WindowManager::ProcessOfHandle(plain), request);
    return reply && reply->Int(0) == 0;
}

}  // namespace ce::detail

// ---- the device tool's requests to the program on the screen -------------------------------------------
namespace ce {
namespace {

DWORD AskForegroundProgram(const Message& request) {
    auto foreground = ce::detail::CallServerForForeground();
    if (!foreground) {
        return ERROR_NOT_FOUND;
    }
    auto reply = ce::detail::UiSocket::Call(*foreground, request);
    return reply ? static_cast<DWORD>(reply->Int(0)) : ERROR_NOT_FOUND;
}

Message UiMessage(ce::detail::UiRequest kind) { return Message(static_cast<uint32_t>(kind)); }


}  // namespace

DWORD RemoteScreenshot(const std::string& hostPath) {
    return AskForegroundProgram(UiMessage(ce::detail::UiRequest::Screenshot).Add(hostPath));
}

DWORD RemoteTap(int x, int y) { return AskForegroundProgram(UiMessage(ce::detail::UiRequest::Tap).Add(x).Add(y)); }

DWORD RemoteStylus(RemoteStylusAction action, int x, int y) {
    return AskForegroundProgram(
        UiMessage(ce::detail::UiRequest::Stylus).Add(static_cast<int64_t>(action)).Add(x).Add(y));
}

DWORD RemoteKey(std::string_view keyName) {
    return AskForegroundProgram(UiMessage(ce::detail::UiRequest::Key).Add(keyName));
}

DWORD RemoteText(std::u16string_view text) {
    return AskForegroundProgram(UiMessage(ce::detail::UiRequest::Text).Add(ce::ToUtf8(text)));
}

}  // namespace ce
