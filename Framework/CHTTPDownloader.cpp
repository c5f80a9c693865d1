#include "CHTTPDownloader.h"

#include <algorithm>
#include <cstdlib>
#include <memory>

#include "ce/connmgr.h"

CHTTPDownloader::~CHTTPDownloader() { Shutdown(); }

bool CHTTPDownloader::Init(LPCWSTR agent, const CDelegate* progress, CMemoryController* controller) {
    m_agent = agent != nullptr ? std::u16string(agent).substr(0, kAgentLength - 1) : std::u16string();
    m_progress = progress != nullptr ? *progress : CDelegate();
    m_controller = controller;
    if (m_stopEvent == nullptr) {
        m_stopEvent = CreateEventW(nullptr, TRUE, FALSE, nullptr);
        Track(m_stopEvent, kResourceKernelHandle);
    }
    // An interruption of the controller reaches the wait for the connection too.
    if (m_controller != nullptr && m_stopEvent != nullptr) {
        m_controller->AddStopEvent(m_stopEvent);
    }
    return m_stopEvent != nullptr;
}

bool CHTTPDownloader::Connect(LPCWSTR host, const GUID& destination, INTERNET_PORT port) {
    if (host == nullptr || host[0] == 0 || m_stopEvent == nullptr) {
        return false;
    }
    ResetEvent(m_stopEvent);
    SetEventData(m_stopEvent, 0);
    Report(kProgressConnecting);
    Disconnect();
    DWORD accessType = INTERNET_OPEN_TYPE_DIRECT;
    std::u16string proxy;
    if (SUCCEEDED(EstablishConnection(destination, &accessType, &proxy))) {
        m_internet = InternetOpenW(m_agent.c_str(), accessType, proxy.empty() ? nullptr : proxy.c_str(), nullptr, 0);
        Track(m_internet, kResourceInternetHandle);
    }
    if (m_internet != nullptr) {
        DWORD bypass = 1;
        DWORD cacheTimeout = 5000000;
        InternetSetOptionW(m_internet, INTERNET_OPTION_RESET_URLCACHE_SESSION, nullptr, 0);
        InternetSetOptionW(m_internet, INTERNET_OPTION_BYPASS_EDITED_ENTRY, &bypass, sizeof bypass);
        InternetSetOptionW(m_internet, INTERNET_OPTION_FROM_CACHE_TIMEOUT, &cacheTimeout, sizeof cacheTimeout);
        m_server = InternetConnectW(m_internet, host, port, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 1);
        Track(m_server, kResourceInternetHandle);
    }
    if (IsConnected() && !IsCancelled()) {
        Report(kProgressConnected);
        return true;
    }
    Disconnect();
    Report(IsCancelled() ? kProgressCancelled : kProgressConnectFailed);
    return false;
}

// A connection that ends up without a path is released at once; only a made one is kept.
HRESULT CHTTPDownloader::EstablishConnection(const GUID& destination, DWORD* accessType, std::u16string* proxy) {
    CONNMGR_CONNECTIONINFO info{};
    info.cbSize = sizeof info;
    info.dwParams = CONNMGR_PARAM_GUIDDESTNET;
    info.dwFlags = CONNMGR_FLAG_PROXY_HTTP;
    info.dwPriority = CONNMGR_PRIORITY_USERINTERACTIVE;
    info.guidDestNet = destination;
    HANDLE connection = nullptr;
    HRESULT result = ConnMgrEstablishConnection(&info, &connection);
    if (FAILED(result)) {
        return result;
    }
    DWORD status = CONNMGR_STATUS_UNKNOWN;
    result = WaitForConnection(connection, &status);
    if (SUCCEEDED(result) && status != CONNMGR_STATUS_CONNECTED) {
        result = E_FAIL;
    }
    if (SUCCEEDED(result)) {
        result = QueryProxy(connection, accessType, proxy);
    }
    if (FAILED(result)) {
        ConnMgrReleaseConnection(connection, 0);
        return result;
    }
    m_connection = connection;
    Track(m_connection, kResourceConnection);
    return S_OK;
}

HRESULT CHTTPDownloader::WaitForConnection(HANDLE connection, DWORD* status) {
    const HANDLE handles[2] = {connection, m_stopEvent};
    DWORD start = GetTickCount();
    while (GetTickCount() - start < kConnectTimeoutMs) {
        DWORD waited = WaitForMultipleObjects(2, handles, FALSE, 2000);
        if (waited == WAIT_OBJECT_0 + 1) {
            return E_ABORT;
        }
        if (waited == WAIT_FAILED) {
            return HRESULT_FROM_WIN32(GetLastError());
        }
        if (waited != WAIT_OBJECT_0) {
            continue;
        }
        HRESULT result = ConnMgrConnectionStatus(connection, status);
        if (FAILED(result)) {
            return result;
        }
        switch (*status) {
            case CONNMGR_STATUS_UNKNOWN:
            case CONNMGR_STATUS_CONNECTED:
            case CONNMGR_STATUS_WAITINGFORNETWORK: return S_OK;
            default:
                if (*status >= CONNMGR_STATUS_CONNECTIONFAILED && *status <= CONNMGR_STATUS_WAITINGFORPATH) {
                    return S_OK;
                }
        }
    }
    return S_OK;
}

HRESULT CHTTPDownloader::QueryProxy(HANDLE connection, DWORD* accessType, std::u16string* proxy) {
    PROXY_CONFIG config{};
    HRESULT result = ConnMgrProviderMessage(connection, &IID_ConnPrv_IProxyExtension, nullptr, 0, 0,
                                            reinterpret_cast<PBYTE>(&config), sizeof config);
    if (result == E_NOINTERFACE) {
        *accessType = INTERNET_OPEN_TYPE_DIRECT;
        proxy->clear();
        return S_OK;
    }
    if (FAILED(result)) {
        return result;
    }
    *accessType = INTERNET_OPEN_TYPE_PROXY;
    config.szProxyServer[MAX_PATH - 1] = 0;
    *proxy = config.szProxyServer;
    return S_OK;
}

BYTE* CHTTPDownloader::PostToMemory(LPCWSTR pathAndQuery, LPCWSTR body, DWORD* size) {
    std::string narrow;
    if (body != nullptr) {
        int characters = lstrlenW(body);
        narrow.resize(static_cast<size_t>(characters) + 1);
        int converted = WideCharToMultiByte(CP_ACP, 0, body, characters, narrow.data(), characters + 1, nullptr, nullptr);
        narrow.resize(converted > 0 ? static_cast<size_t>(converted) : 0);
    }
    return RequestToMemory(u"POST", pathAndQuery, narrow, size);
}

BYTE* CHTTPDownloader::GetToMemory(LPCWSTR pathAndQuery, DWORD* size) {
    return RequestToMemory(nullptr, pathAndQuery, {}, size);
}

void CHTTPDownloader::SetMemoryLimit(DWORD bytes) {
    constexpr DWORD kLargestLimit = 1024 * 1024 * 1024;
    m_memoryLimit = std::min(bytes, kLargestLimit);
}

// Grows the reply's block in steps, never past one byte over the limit (the byte that tells an
// over-limit reply), so that the 32-bit sizes cannot wrap.
bool CHTTPDownloader::GrowReplyBlock(BYTE** data, DWORD* capacity, DWORD needed) const {
    if (needed <= *capacity) {
        return true;
    }
    const DWORD grown = std::max(needed, std::min(*capacity + kGrowStep, m_memoryLimit + 1));
    if (!Untrack(*data)) {
        *data = nullptr;  // released with the controller's resources: an abort
        return false;
    }
    auto* block = static_cast<BYTE*>(std::realloc(*data, grown));
    if (block == nullptr) {
        Track(*data, kResourceHeapBlock);
        return false;
    }
    *data = block;
    *capacity = grown;
    Track(*data, kResourceHeapBlock);
    return true;
}

BYTE* CHTTPDownloader::RequestToMemory(LPCWSTR verb, LPCWSTR pathAndQuery, const std::string& body, DWORD* size) {
    if (size != nullptr) {
        *size = 0;
    }
    DWORD length = 0;
    bool ok = SendRequest(verb, pathAndQuery, body, &length) && length <= m_memoryLimit;
    HINTERNET request = CurrentRequest();
    BYTE* data = nullptr;
    DWORD capacity = 0;
    DWORD received = 0;
    while (ok && !IsCancelled()) {
        // Reading one byte past the limit tells a reply that is too long.
        const DWORD wanted = std::min(kChunkSize, m_memoryLimit + 1 - received);
        if (!GrowReplyBlock(&data, &capacity, received + wanted)) {
            ok = false;
            break;
        }
        DWORD read = 0;
        ok = ReadChunk(request, data + received, wanted, &read);
        if (!ok || read == 0) {
            break;
        }
        received += read;
        if (received > m_memoryLimit) {
            ok = false;
            break;
        }
        Report(kProgressChunk, received, length);
    }
    EndRequest();
    if (!Untrack(data)) {
        data = nullptr;  // released with the controller's resources
        ok = false;
    }
    if (IsCancelled() || !ok) {
        std::free(data);
        if (IsCancelled()) {
            Report(kProgressCancelled);
        }
        return nullptr;
    }
    Report(kProgressFinished, received, length);
    if (size != nullptr) {
        *size = received;
    }
    return data;
}

bool CHTTPDownloader::GetToFile(LPCWSTR pathAndQuery, LPCWSTR filePath) {
    if (filePath == nullptr || !IsConnected() || m_stopEvent == nullptr) {
        return false;
    }
    HANDLE file = CreateFileW(filePath, GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return false;
    }
    Track(file, kResourceKernelHandle);
    DWORD length = 0;
    DWORD written = 0;
    bool ok = SendRequest(nullptr, pathAndQuery, {}, &length);
    HINTERNET request = CurrentRequest();
    DWORD status = 0;
    DWORD statusSize = sizeof status;
    ok = ok && HttpQueryInfoW(request, HTTP_QUERY_STATUS_CODE | HTTP_QUERY_FLAG_NUMBER, &status, &statusSize, nullptr) &&
         status >= 200 && status <= 299;
    ok = ok && ReadToFile(request, file, length, &written);
    EndRequest();
    ok = Untrack(file) && CloseHandle(file) && ok && !IsCancelled() && (length == 0 || written >= length);
    if (!ok) {
        DeleteFileW(filePath);
        if (IsCancelled()) {
            Report(kProgressCancelled);
        }
        return false;
    }
    Report(kProgressFinished, written, length);
    return true;
}

// Fills one buffer before each write, so that the file grows in whole chunks.
bool CHTTPDownloader::ReadToFile(HINTERNET request, HANDLE file, DWORD length, DWORD* written) {
    std::unique_ptr<BYTE, decltype(&std::free)> buffer(static_cast<BYTE*>(std::malloc(kChunkSize)), &std::free);
    if (!buffer) {
        return false;
    }
    bool ended = false;
    while (!ended && !IsCancelled()) {
        DWORD filled = 0;
        while (filled < kChunkSize && !IsCancelled()) {
            DWORD read = 0;
            if (!ReadChunk(request, buffer.get() + filled, kChunkSize - filled, &read)) {
                return false;
            }
            ended = read == 0;
            if (ended) {
                break;
            }
            filled += read;
        }
        if (filled == 0) {
            break;
        }
        DWORD put = 0;
        if (!WriteFile(file, buffer.get(), filled, &put, nullptr) || put != filled) {
            return false;
        }
        *written += filled;
        Report(kProgressChunk, *written, length);
    }
    return true;
}

bool CHTTPDownloader::ReadChunk(HINTERNET request, BYTE* buffer, DWORD size, DWORD* read) {
    *read = 0;
    BOOL ok = InternetReadFile(request, buffer, size, read);
    SetEvent(m_keepAlive);
    return ok != FALSE;
}

bool CHTTPDownloader::SendRequest(LPCWSTR verb, LPCWSTR pathAndQuery, const std::string& body, DWORD* length) {
    *length = 0;
    // The watchdog runs before anything is sent, so that a server that never answers is cut off too.
    if (!IsConnected() || m_stopEvent == nullptr || IsCancelled() || !StartWatchdog()) {
        return false;
    }
    HINTERNET request = HttpOpenRequestW(m_server, verb, pathAndQuery, nullptr, nullptr, nullptr,
                                         INTERNET_FLAG_NO_CACHE_WRITE, 1);
    if (request == nullptr) {
        return false;
    }
    {
        std::lock_guard guard(m_requestLock);
        m_request = request;
        Track(request, kResourceInternetHandle);
    }
    // A cancel that came before the request was registered found nothing to close.
    if (IsCancelled()) {
        return false;
    }
    std::string optional = body;
    if (!HttpSendRequestW(request, nullptr, 0, optional.empty() ? nullptr : optional.data(),
                          static_cast<DWORD>(optional.size()))) {
        return false;
    }
    DWORD size = sizeof *length;
    if (!HttpQueryInfoW(request, HTTP_QUERY_CONTENT_LENGTH | HTTP_QUERY_FLAG_NUMBER, length, &size, nullptr)) {
        *length = 0;
    }
    Report(kProgressRequestSent, 0, *length);
    return true;
}

// A request cut off by the watchdog leaves the connection unusable: it is closed here, on the worker.
void CHTTPDownloader::EndRequest() {
    StopWatchdog();
    CloseRequest();
    if (HasTimedOut()) {
        Disconnect();
    }
}

HINTERNET CHTTPDownloader::CurrentRequest() {
    std::lock_guard guard(m_requestLock);
    return m_request;
}

void CHTTPDownloader::CloseRequest() {
    std::lock_guard guard(m_requestLock);
    if (m_request != nullptr) {
        if (Untrack(m_request)) {
            InternetCloseHandle(m_request);
        }
        m_request = nullptr;
    }
}

void CHTTPDownloader::Cancel() {
    if (m_stopEvent == nullptr) {
        return;
    }
    SetEventData(m_stopEvent, 1);
    SetEvent(m_stopEvent);
    CloseRequest();
}

bool CHTTPDownloader::IsCancelled() const { return m_stopEvent != nullptr && GetEventData(m_stopEvent) != 0; }

bool CHTTPDownloader::StartWatchdog() {
    m_timedOut = 0;
    if (m_watchdog != nullptr) {
        return true;
    }
    m_keepAlive = CreateEventW(nullptr, FALSE, FALSE, nullptr);
    m_watchdogStop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    if (m_keepAlive != nullptr && m_watchdogStop != nullptr) {
        m_watchdog = CreateThread(nullptr, 0, WatchdogProc, this, 0, nullptr);
    }
    if (m_watchdog == nullptr) {
        StopWatchdog();
        return false;
    }
    Track(m_keepAlive, kResourceKernelHandle);
    if (m_controller != nullptr) {
        m_controller->RegisterThread(m_watchdog, m_watchdogStop);
    }
    return true;
}

void CHTTPDownloader::StopWatchdog() {
    // A watchdog that the controller released was joined there, its stop event closed with it.
    const bool ownsWatchdog = m_watchdog == nullptr || Untrack(m_watchdog);
    if (m_watchdog != nullptr && ownsWatchdog) {
        SetEvent(m_watchdogStop);
        WaitForSingleObject(m_watchdog, INFINITE);
        CloseHandle(m_watchdog);
    }
    m_watchdog = nullptr;
    if (m_watchdogStop != nullptr && ownsWatchdog) {
        CloseHandle(m_watchdogStop);
    }
    m_watchdogStop = nullptr;
    if (m_keepAlive != nullptr && Untrack(m_keepAlive)) {
        CloseHandle(m_keepAlive);
    }
    m_keepAlive = nullptr;
}

DWORD CHTTPDownloader::WatchdogProc(LPVOID self) {
    static_cast<CHTTPDownloader*>(self)->WatchOverRequest();
    return 0;
}

// Touches only the timed-out flag and the request, which it closes: the worker's blocked call then
// fails and the worker cleans up.
void CHTTPDownloader::WatchOverRequest() {
    const HANDLE handles[2] = {m_watchdogStop, m_keepAlive};
    for (;;) {
        DWORD waited = WaitForMultipleObjects(2, handles, FALSE, kStallTimeoutMs);
        if (waited == WAIT_OBJECT_0 + 1) {
            continue;
        }
        if (waited == WAIT_TIMEOUT) {
            m_timedOut = 1;
            CloseRequest();
        }
        return;
    }
}

void CHTTPDownloader::Disconnect() {
    if (m_server != nullptr && Untrack(m_server)) {
        InternetCloseHandle(m_server);
    }
    m_server = nullptr;
    if (m_internet != nullptr && Untrack(m_internet)) {
        InternetCloseHandle(m_internet);
    }
    m_internet = nullptr;
    if (m_connection != nullptr && Untrack(m_connection)) {
        ConnMgrReleaseConnection(m_connection, 0);
    }
    m_connection = nullptr;
}

void CHTTPDownloader::Shutdown() {
    StopWatchdog();
    CloseRequest();
    Disconnect();
    if (m_controller != nullptr && m_stopEvent != nullptr) {
        m_controller->RemoveStopEvent(m_stopEvent);
    }
    if (m_stopEvent != nullptr && Untrack(m_stopEvent)) {
        CloseHandle(m_stopEvent);
    }
    m_stopEvent = nullptr;
    m_agent.clear();
    m_progress.Clear();
    m_controller = nullptr;
}

void CHTTPDownloader::Report(int code, DWORD received, DWORD length) const {
    m_progress.Invoke(code, static_cast<INT_PTR>(received), static_cast<INT_PTR>(length), 0, 0);
}

void CHTTPDownloader::Track(const void* resource, int kind) const {
    if (m_controller != nullptr && resource != nullptr) {
        m_controller->Register(resource, kind);
    }
}

bool CHTTPDownloader::Untrack(const void* resource) const {
    return m_controller == nullptr || resource == nullptr || m_controller->Unregister(resource) != 0;
}
