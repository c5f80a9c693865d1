#include "ce/inet.h"
#include "inet/CurlCalls.h"
#include "inet/InternetHandles.h"
#include "kernel/HandleTable.h"

using ce::detail::HttpRequest;
using ce::detail::InsertHandle;
using ce::detail::InternetConnection;
using ce::detail::InternetHandle;
using ce::detail::InternetSession;
using ce::detail::LookupHandleAs;

namespace {

std::string Narrow(LPCWSTR text) { return text == nullptr ? std::string() : ce::ToUtf8(text); }

template <class T>
std::shared_ptr<T> Lookup(HINTERNET handle) {
    auto object = LookupHandleAs<T>(handle);
    if (!object) {
        SetLastError(ERROR_INVALID_HANDLE);
    }
    return object;
}

// Header lines "Name: value" separated by CR LF.
std::vector<std::string> SplitHeaders(LPCWSTR headers, DWORD length) {
    std::vector<std::string> lines;
    if (headers == nullptr) {
        return lines;
    }
    std::u16string text = length == static_cast<DWORD>(-1) ? std::u16string(headers) : std::u16string(headers, length);
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find(u"\r\n", start);
        std::u16string line = text.substr(start, end == std::u16string::npos ? std::u16string::npos : end - start);
        if (!line.empty()) {
            lines.push_back(ce::ToUtf8(line));
        }
        if (end == std::u16string::npos) {
            break;
        }
        start = end + 2;
    }
    return lines;
}

}  // namespace

extern "C" {

CE_API HINTERNET InternetOpenW(LPCWSTR agent, DWORD accessType, LPCWSTR proxy, LPCWSTR, DWORD) {
    if (ce::detail::Curl() == nullptr) {
        SetLastError(ERROR_MOD_NOT_FOUND);
        return nullptr;
    }
    auto session = std::make_shared<InternetSession>();
    session->agent = Narrow(agent);
    if (accessType == INTERNET_OPEN_TYPE_PROXY) {
        session->proxy = Narrow(proxy);
        if (session->proxy.empty()) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return nullptr;
        }
    }
    return InsertHandle(session);
}

CE_API BOOL InternetSetOptionW(HINTERNET handle, DWORD option, LPVOID buffer, DWORD length) {
    auto object = Lookup<InternetHandle>(handle);
    if (!object) {
        return FALSE;
    }
    if (option == INTERNET_OPTION_CONNECT_TIMEOUT) {
        auto session = std::dynamic_pointer_cast<InternetSession>(object);
        if (!session || buffer == nullptr || length < sizeof(DWORD)) {
            SetLastError(ERROR_INVALID_PARAMETER);
            return FALSE;
        }
        session->connectTimeoutMs = *static_cast<DWORD*>(buffer);
    }
    // The cache options have nothing to act on: the device keeps no cache of replies.
    return TRUE;
}

CE_API HINTERNET InternetConnectW(HINTERNET internet, LPCWSTR server, INTERNET_PORT port, LPCWSTR, LPCWSTR,
                                  DWORD service, DWORD, DWORD_PTR) {
    auto session = Lookup<InternetSession>(internet);
    if (!session) {
        return nullptr;
    }
    if (server == nullptr || server[0] == 0 || service != INTERNET_SERVICE_HTTP) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return nullptr;
    }
    auto connection = std::make_shared<InternetConnection>();
    connection->session = session;
    connection->host = Narrow(server);
    connection->port = port == 0 ? INTERNET_DEFAULT_HTTP_PORT : port;
    HINTERNET handle = InsertHandle(connection);
    session->AddChild(handle);
    return handle;
}

CE_API HINTERNET HttpOpenRequestW(HINTERNET connectionHandle, LPCWSTR verb, LPCWSTR objectName, LPCWSTR, LPCWSTR,
                                  LPCWSTR*, DWORD, DWORD_PTR) {
    auto connection = Lookup<InternetConnection>(connectionHandle);
    if (!connection) {
        return nullptr;
    }
    std::string method = verb == nullptr || verb[0] == 0 ? "GET" : Narrow(verb);
    auto request = std::make_shared<HttpRequest>(connection, method, Narrow(objectName));
    HINTERNET handle = InsertHandle(request);
    connection->AddChild(handle);
    return handle;
}

CE_API BOOL HttpSendRequestW(HINTERNET request, LPCWSTR headers, DWORD headersLength, LPVOID optional,
                             DWORD optionalLength) {
    auto object = Lookup<HttpRequest>(request);
    if (!object) {
        return FALSE;
    }
    std::string body = optional == nullptr ? std::string() : std::string(static_cast<char*>(optional), optionalLength);
    return object->Send(std::move(body), SplitHeaders(headers, headersLength)) ? TRUE : FALSE;
}

CE_API BOOL HttpQueryInfoW(HINTERNET request, DWORD infoLevel, LPVOID buffer, LPDWORD bufferLength, LPDWORD) {
    auto object = Lookup<HttpRequest>(request);
    if (!object) {
        return FALSE;
    }
    if (bufferLength == nullptr) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    std::optional<uint64_t> value;
    switch (infoLevel & 0xFFFF) {
        case HTTP_QUERY_CONTENT_LENGTH: value = object->ContentLength(); break;
        case HTTP_QUERY_STATUS_CODE: value = object->StatusCode(); break;
        default: SetLastError(ERROR_HTTP_HEADER_NOT_FOUND); return FALSE;
    }
    if (!value) {
        SetLastError(ERROR_HTTP_HEADER_NOT_FOUND);
        return FALSE;
    }
    if (infoLevel & HTTP_QUERY_FLAG_NUMBER) {
        if (*bufferLength < sizeof(DWORD) || buffer == nullptr) {
            *bufferLength = sizeof(DWORD);
            SetLastError(ERROR_INSUFFICIENT_BUFFER);
            return FALSE;
        }
        *static_cast<DWORD*>(buffer) = static_cast<DWORD>(*value);
        *bufferLength = sizeof(DWORD);
        return TRUE;
    }
    std::u16string text = ce::FromUtf8(std::to_string(*value));
    DWORD needed = static_cast<DWORD>((text.size() + 1) * sizeof(WCHAR));
    if (buffer == nullptr || *bufferLength < needed) {
        *bufferLength = needed;
        SetLastError(ERROR_INSUFFICIENT_BUFFER);
        return FALSE;
    }
    std::copy(text.c_str(), text.c_str() + text.size() + 1, static_cast<WCHAR*>(buffer));
    *bufferLength = needed - sizeof(WCHAR);
    return TRUE;
}

CE_API BOOL InternetReadFile(HINTERNET file, LPVOID buffer, DWORD toRead, LPDWORD read) {
    DWORD ignored = 0;
    LPDWORD count = read == nullptr ? &ignored : read;
    *count = 0;
    auto object = Lookup<HttpRequest>(file);
    if (!object) {
        return FALSE;
    }
    if (buffer == nullptr && toRead > 0) {
        SetLastError(ERROR_INVALID_PARAMETER);
        return FALSE;
    }
    return object->Read(buffer, toRead, count) ? TRUE : FALSE;
}

CE_API BOOL InternetCloseHandle(HINTERNET handle) {
    auto object = Lookup<InternetHandle>(handle);
    if (!object || !ce::detail::RemoveHandle(handle)) {
        SetLastError(ERROR_INVALID_HANDLE);
        return FALSE;
    }
    for (HINTERNET child : object->TakeChildren()) {
        InternetCloseHandle(child);  // already closed children are simply not found
    }
    object->Close();
    return TRUE;
}

}  // extern "C"
