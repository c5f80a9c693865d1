// The objects behind HINTERNET handles: a session (agent, proxy), a connection (one server) and a
// request (one transfer, driven by the threads that wait for it).
#pragma once

#include <curl/curl.h>

#include <atomic>
#include <condition_variable>
#include <memory>
#include <mutex>
#include <optional>
#include <string>
#include <vector>

#include "ce/inet.h"
#include "inet/CurlCalls.h"
#include "kernel/KernelObject.h"

namespace ce::detail {

class InternetHandle : public KernelObject {
public:
    // Handles opened from this one; closed with it.
    void AddChild(HINTERNET child);
    std::vector<HINTERNET> TakeChildren();
    // Ends whatever the object is doing; called once its handle is closed.
    virtual void Close() {}

private:
    std::mutex childLock_;
    std::vector<HINTERNET> children_;
};

class InternetSession : public InternetHandle {
public:
    std::string agent;
    std::string proxy;  // "host:port", empty: direct
    long connectTimeoutMs = 60000;
};

class InternetConnection : public InternetHandle {
public:
    std::shared_ptr<InternetSession> session;
    std::string host;
    INTERNET_PORT port = INTERNET_DEFAULT_HTTP_PORT;
};

// The transfer runs on the threads that wait for it: Send and Read drive libcurl until what they wait
// for has come, so a reply needs no thread of its own. One thread drives at a time; a Close from another
// thread wakes the driving one, which then ends the transfer.
class HttpRequest : public InternetHandle {
public:
    HttpRequest(std::shared_ptr<InternetConnection> connection, std::string verb, std::string path);
    ~HttpRequest() override;

    // Starts the transfer and waits for the reply's headers; false with the last error set otherwise.
    bool Send(std::string body, const std::vector<std::string>& headers);
    // Blocks for data; 0 bytes at the end of the reply; false on failure or once closed.
    bool Read(void* buffer, DWORD size, DWORD* read);
    std::optional<uint64_t> ContentLength();
    long StatusCode();
    void Close() override;

private:
    enum class State { Created, Sending, Receiving, Finished, Failed };
    using Lock = std::unique_lock<std::mutex>;

    void SetOptions(const CurlCalls& curl, CURL* easy, curl_slist* connectRules, const std::string& proxy);
    // Drives the transfer until the condition holds or the request is closed; called and returns locked.
    template <class Condition>
    void DriveUntil(Lock& guard, Condition done);
    // One round of libcurl's work; the result once the transfer has ended.
    std::optional<CURLcode> Perform(CURLM* multi);
    void Finish(CURLcode result);
    // Lets go of libcurl's handles.
    void EndTransfer(Lock& guard);
    size_t OnData(const char* data, size_t size);
    size_t OnHeader(const char* data, size_t size);

    std::shared_ptr<InternetConnection> connection_;
    std::string verb_;
    std::string path_;
    std::string body_;
    curl_slist* headers_ = nullptr;

    std::mutex lock_;
    std::condition_variable changed_;
    State state_ = State::Created;
    bool closed_ = false;
    bool driving_ = false;  // a thread is in libcurl with the handles below
    DWORD error_ = 0;
    std::string buffer_;  // received, not yet read
    long status_ = 0;
    std::optional<uint64_t> contentLength_;

    CURL* easy_ = nullptr;  // the transfer's handles, while it runs
    CURLM* multi_ = nullptr;
    curl_slist* connectRules_ = nullptr;
};

// Resolves a host of the device's network: the URL to request and the CONNECT_TO rule that sends it to
// the mapped address; false when the device cannot reach the host.
bool ResolveDeviceHost(const std::string& host, INTERNET_PORT port, std::string& connectTo);
// "host:port" of a proxy, mapped like any host.
bool ResolveDeviceProxy(const std::string& proxy, std::string& address);

}  // namespace ce::detail
