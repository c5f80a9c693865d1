#include <strings.h>

#include <algorithm>
#include <cstring>
#include <utility>

#include "inet/CurlCalls.h"
#include "inet/InternetHandles.h"

namespace ce::detail {
namespace {

std::string EscapeRequestPath(const std::string& path) {
    static const char kHex[] = "0123456789ABCDEF";
    std::string out;
    for (unsigned char c : path) {
        if (c <= 0x20 || c >= 0x7F || c == '"' || c == '<' || c == '>' || c == '\\' || c == '^' || c == '`' ||
            c == '{' || c == '|' || c == '}') {
            out += '%';
            out += kHex[c >> 4];
            out += kHex[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out.empty() || out[0] != '/' ? "/" + out : out;
}

DWORD ErrorOf(CURLcode result) {
    switch (result) {
        case CURLE_COULDNT_RESOLVE_HOST:
        case CURLE_COULDNT_RESOLVE_PROXY: return ERROR_INTERNET_NAME_NOT_RESOLVED;
        case CURLE_COULDNT_CONNECT: return ERROR_INTERNET_CANNOT_CONNECT;
        case CURLE_OPERATION_TIMEDOUT: return ERROR_INTERNET_TIMEOUT;
        case CURLE_ABORTED_BY_CALLBACK: return ERROR_INTERNET_OPERATION_CANCELLED;
        default: return ERROR_INTERNET_CONNECTION_ABORTED;
    }
}

}  // namespace

HttpRequest::HttpRequest(std::shared_ptr<InternetConnection> connection, std::string verb, std::string path)
    : connection_(std::move(connection)), verb_(std::move(verb)), path_(std::move(path)) {}

HttpRequest::~HttpRequest() {
    Close();
    if (headers_ != nullptr) {
        Curl()->slistFreeAll(headers_);
    }
}

bool HttpRequest::Send(std::string body, const std::vector<std::string>& headers) {
    std::string connectTo;
    const InternetSession& session = *connection_->session;
    std::string proxy;
    if (!ResolveDeviceHost(connection_->host, connection_->port, connectTo) ||
        (!session.proxy.empty() && !ResolveDeviceProxy(session.proxy, proxy))) {
        SetLastError(ERROR_INTERNET_NAME_NOT_RESOLVED);
        return false;
    }
    {
        std::lock_guard guard(lock_);
        if (state_ != State::Created || closed_) {
            SetLastError(closed_ ? ERROR_INVALID_HANDLE : ERROR_INTERNET_INCORRECT_HANDLE_TYPE);
            return false;
        }
        state_ = State::Sending;
    }
    const CurlCalls& curl = *Curl();  // a request exists only in a session, which loaded the library
    body_ = std::move(body);
    headers_ = curl.slistAppend(headers_, "Expect:");  // no interim 100 reply
    for (const auto& header : headers) {
        headers_ = curl.slistAppend(headers_, header.c_str());
    }

    CURL* easy = curl.easyInit();
    CURLM* multi = curl.multiInit();
    if (easy == nullptr || multi == nullptr) {
        curl.easyCleanup(easy);
        curl.multiCleanup(multi);
        std::lock_guard guard(lock_);
        state_ = State::Failed;
        SetLastError(ERROR_NOT_ENOUGH_MEMORY);
        return false;
    }
    curl_slist* connectRules = connectTo.empty() ? nullptr : curl.slistAppend(nullptr, connectTo.c_str());
    SetOptions(curl, easy, connectRules, proxy);
    curl.multiAddHandle(multi, easy);

    Lock guard(lock_);
    easy_ = easy;
    multi_ = multi;
    connectRules_ = connectRules;
    DriveUntil(guard, [this] { return state_ != State::Sending; });
    if (closed_) {
        SetLastError(ERROR_INTERNET_OPERATION_CANCELLED);
        return false;
    }
    if (state_ == State::Failed) {
        SetLastError(error_);
        return false;
    }
    return true;
}

void HttpRequest::SetOptions(const CurlCalls& curl, CURL* easy, curl_slist* connectRules,
                             const std::string& proxy) {
    std::string url = "http://" + connection_->host + ":" + std::to_string(connection_->port) + EscapeRequestPath(path_);
    curl.easySetopt(easy, CURLOPT_URL, url.c_str());
    curl.easySetopt(easy, CURLOPT_CONNECT_TO, connectRules);
    curl.easySetopt(easy, CURLOPT_PROXY, proxy.c_str());  // empty: no proxy, whatever the environment says
    curl.easySetopt(easy, CURLOPT_USERAGENT, connection_->session->agent.c_str());
    curl.easySetopt(easy, CURLOPT_HTTPHEADER, headers_);
    curl.easySetopt(easy, CURLOPT_CONNECTTIMEOUT_MS, connection_->session->connectTimeoutMs);
    curl.easySetopt(easy, CURLOPT_NOSIGNAL, 1L);
    curl.easySetopt(easy, CURLOPT_PROTOCOLS_STR, "http");
    if (verb_ == "POST") {
        curl.easySetopt(easy, CURLOPT_POST, 1L);
        curl.easySetopt(easy, CURLOPT_POSTFIELDS, body_.data());
        curl.easySetopt(easy, CURLOPT_POSTFIELDSIZE_LARGE, static_cast<curl_off_t>(body_.size()));
    } else if (verb_ != "GET") {
        curl.easySetopt(easy, CURLOPT_CUSTOMREQUEST, verb_.c_str());
    }
    curl.easySetopt(easy, CURLOPT_WRITEFUNCTION, +[](char* data, size_t, size_t n, void* self) {
        return static_cast<HttpRequest*>(self)->OnData(data, n);
    });
    curl.easySetopt(easy, CURLOPT_WRITEDATA, this);
    curl.easySetopt(easy, CURLOPT_HEADERFUNCTION, +[](char* data, size_t, size_t n, void* self) {
        return static_cast<HttpRequest*>(self)->OnHeader(data, n);
    });
    curl.easySetopt(easy, CURLOPT_HEADERDATA, this);
}

template <class Condition>
void HttpRequest::DriveUntil(Lock& guard, Condition done) {
    changed_.wait(guard, [&] { return !driving_ || closed_ || done(); });
    if (driving_) {
        return;
    }
    driving_ = true;
    while (!closed_ && !done() && multi_ != nullptr) {
        CURLM* multi = multi_;
        guard.unlock();
        std::optional<CURLcode> ended = Perform(multi);
        guard.lock();
        if (ended) {
            Finish(*ended);
            EndTransfer(guard);
        } else if (!closed_ && !done()) {
            guard.unlock();
            // Returns early on socket activity or a wake-up from Close.
            Curl()->multiPoll(multi, nullptr, 0, 1000, nullptr);
            guard.lock();
        }
    }
    driving_ = false;
    if (closed_) {
        EndTransfer(guard);
    }
    changed_.notify_all();
}

std::optional<CURLcode> HttpRequest::Perform(CURLM* multi) {
    const CurlCalls& curl = *Curl();
    int running = 0;
    if (curl.multiPerform(multi, &running) != CURLM_OK) {
        return CURLE_RECV_ERROR;
    }
    if (running > 0) {
        return std::nullopt;
    }
    CURLcode result = CURLE_OK;
    int queued = 0;
    while (CURLMsg* message = curl.multiInfoRead(multi, &queued)) {
        if (message->msg == CURLMSG_DONE && result == CURLE_OK) {
            result = message->data.result;
        }
    }
    return result;
}

void HttpRequest::Finish(CURLcode result) {
    if (result == CURLE_OK && state_ != State::Sending) {
        state_ = State::Finished;
    } else {
        state_ = State::Failed;
        error_ = result == CURLE_OK ? ERROR_INTERNET_CONNECTION_ABORTED : ErrorOf(result);
    }
}

void HttpRequest::EndTransfer(Lock& guard) {
    CURL* easy = std::exchange(easy_, nullptr);
    CURLM* multi = std::exchange(multi_, nullptr);
    curl_slist* connectRules = std::exchange(connectRules_, nullptr);
    if (multi == nullptr) {
        return;
    }
    guard.unlock();
    const CurlCalls& curl = *Curl();
    curl.multiRemoveHandle(multi, easy);
    curl.easyCleanup(easy);
    curl.multiCleanup(multi);
    curl.slistFreeAll(connectRules);
    guard.lock();
}

size_t HttpRequest::OnHeader(const char* data, size_t size) {
    std::string line(data, size);
    std::lock_guard guard(lock_);
    if (strncasecmp(line.c_str(), "HTTP/", 5) == 0) {
        size_t space = line.find(' ');
        status_ = space == std::string::npos ? 0 : std::strtol(line.c_str() + space + 1, nullptr, 10);
        contentLength_.reset();
    } else if (strncasecmp(line.c_str(), "Content-Length:", 15) == 0) {
        char* end = nullptr;
        unsigned long long length = std::strtoull(line.c_str() + 15, &end, 10);
        if (end != line.c_str() + 15) {
            contentLength_ = length;
        }
    } else if ((line == "\r\n" || line == "\n") && status_ >= 200) {
        state_ = State::Receiving;  // the end of the final reply's headers: the sender may go on
    }
    return size;
}

// Data comes only while a reader drives the transfer, and a reader drives it only once all that came
// before has been read: what waits here is at most one round of libcurl's work.
size_t HttpRequest::OnData(const char* data, size_t size) {
    std::lock_guard guard(lock_);
    if (closed_) {
        return 0;  // aborts the transfer
    }
    buffer_.append(data, size);
    return size;
}

bool HttpRequest::Read(void* buffer, DWORD size, DWORD* read) {
    *read = 0;
    Lock guard(lock_);
    DriveUntil(guard, [this] {
        return !buffer_.empty() || state_ == State::Finished || state_ == State::Failed ||
               state_ == State::Created;
    });
    if (closed_) {
        SetLastError(ERROR_INTERNET_OPERATION_CANCELLED);
        return false;
    }
    if (state_ == State::Created) {
        SetLastError(ERROR_INTERNET_INCORRECT_HANDLE_TYPE);
        return false;
    }
    if (!buffer_.empty()) {
        DWORD n = static_cast<DWORD>(std::min<size_t>(size, buffer_.size()));
        std::memcpy(buffer, buffer_.data(), n);
        buffer_.erase(0, n);
        *read = n;
        return true;
    }
    if (state_ == State::Failed) {
        SetLastError(error_);
        return false;
    }
    return true;  // finished: the end of the reply
}

std::optional<uint64_t> HttpRequest::ContentLength() {
    std::lock_guard guard(lock_);
    return contentLength_;
}

long HttpRequest::StatusCode() {
    std::lock_guard guard(lock_);
    return status_;
}

// A thread driving the transfer is woken and ends it; otherwise it ends here.
void HttpRequest::Close() {
    Lock guard(lock_);
    closed_ = true;
    changed_.notify_all();
    if (driving_) {
        if (multi_ != nullptr) {
            Curl()->multiWakeup(multi_);
        }
        return;
    }
    EndTransfer(guard);
}

void InternetHandle::AddChild(HINTERNET child) {
    std::lock_guard guard(childLock_);
    children_.push_back(child);
}

std::vector<HINTERNET> InternetHandle::TakeChildren() {
    std::lock_guard guard(childLock_);
    return std::move(children_);
}

}  // namespace ce::detail
