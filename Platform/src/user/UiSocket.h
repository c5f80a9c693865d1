// This process's window-manager socket (UiProtocol.h): messages posted from other processes, and the
// commands of the device tool (screenshots, taps, keys). A listener thread answers it; it starts with the
// first published top-level window and is stopped and joined when the process ends.
#pragma once

#include <atomic>
#include <functional>
#include <mutex>
#include <optional>
#include <string>
#include <thread>

#include "devserver/Message.h"

namespace ce::detail {

class UiSocket {
public:
    static UiSocket& Instance();

    // Listens on the current device's run folder (again, when the device root changed).
    void EnsureListening();
    void Stop();

    // Sends one request to another process's socket; the reply, or nothing when it cannot be reached.
    static std::optional<ce::devserver::Message> Call(int64_t pid, const ce::devserver::Message& request);

private:
    UiSocket() = default;
    void Serve(int listener, int wake);
    // The reply to a request; a message for a window is left in `deliver`, to be posted once the caller
    // has its reply, since the message may end this process.
    static ce::devserver::Message Answer(const ce::devserver::Message& request, std::function<void()>& deliver);

    std::mutex lock_;
    std::thread thread_;
    std::string root_;
    std::string path_;
    int wake_[2] = {-1, -1};
};

}  // namespace ce::detail
