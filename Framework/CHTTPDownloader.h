// The one HTTP client: a data connection through the connection manager, one server connection, and
// requests run one after the other on the caller's worker thread. Each request is guarded by a watchdog
// thread that closes the request when no data has come for two minutes; every transfer reports its
// progress through a delegate, and can register what it holds with a CMemoryController.
#pragma once

#include <atomic>
#include <mutex>
#include <string>

#include "CDelegate.h"
#include "CMemoryController.h"
#include "ce/com.h"
#include "ce/inet.h"

class CHTTPDownloader {
public:
    // First argument of the progress delegate; the second is the bytes received so far, the third the
    // reply's Content-Length (0 when the server gave none).
    enum ProgressCode {
        kProgressConnecting = 0,
        kProgressConnected = 1,
        kProgressRequestSent = 2,
        kProgressChunk = 3,
        kProgressFinished = 4,
        kProgressCancelled = 5,
        kProgressConnectFailed = 6,
    };
    static constexpr DWORD kChunkSize = 51200;
    static constexpr DWORD kGrowStep = 102400;
    static constexpr DWORD kStallTimeoutMs = 120000;
    static constexpr DWORD kConnectTimeoutMs = 60000;
    static constexpr int kAgentLength = 100;
    // The largest reply read into memory unless the caller sets another: forecasts and the catalog.
    static constexpr DWORD kDefaultMemoryLimit = 4 * 1024 * 1024;

    CHTTPDownloader() = default;
    CHTTPDownloader(const CHTTPDownloader&) = delete;
    CHTTPDownloader& operator=(const CHTTPDownloader&) = delete;
    virtual ~CHTTPDownloader();

    // Copies what is given (the agent to at most 99 characters) and creates the stop event.
    bool Init(LPCWSTR agent, const CDelegate* progress, CMemoryController* controller);
    bool Connect(LPCWSTR host, const GUID& destination, INTERNET_PORT port);
    bool IsConnected() const { return m_internet != nullptr && m_server != nullptr; }

    // A reply to memory larger than this fails before its memory is allocated: a stated length above it
    // at once, an endless one when it passes it. Bytes; at most 1 GiB.
    void SetMemoryLimit(DWORD bytes);
    DWORD GetMemoryLimit() const { return m_memoryLimit; }

    // A malloc block with the reply (free it with free), or null. Nothing follows the received bytes:
    // read it bounded by the size. The status of the reply is the caller's to judge.
    BYTE* PostToMemory(LPCWSTR pathAndQuery, LPCWSTR body, DWORD* size);
    BYTE* GetToMemory(LPCWSTR pathAndQuery, DWORD* size);
    // True when a 2xx reply arrived whole in the file; otherwise the file is deleted.
    bool GetToFile(LPCWSTR pathAndQuery, LPCWSTR filePath);

    // From any thread: sets the cancel flag and the stop event and closes the running request, so that
    // a blocked connect, send or read returns. Connect clears it again.
    void Cancel();
    bool IsCancelled() const;
    // The last request was cut off by the watchdog.
    bool HasTimedOut() const { return m_timedOut.load() != 0; }

    // Closes the server connection, the internet handle and the data connection, in this order.
    void Disconnect();
    void Shutdown();

private:
    HRESULT EstablishConnection(const GUID& destination, DWORD* accessType, std::u16string* proxy);
    HRESULT WaitForConnection(HANDLE connection, DWORD* status);
    static HRESULT QueryProxy(HANDLE connection, DWORD* accessType, std::u16string* proxy);

    BYTE* RequestToMemory(LPCWSTR verb, LPCWSTR pathAndQuery, const std::string& body, DWORD* size);
    // Starts the watchdog, opens and sends the request; the caller ends it with EndRequest either way.
    bool SendRequest(LPCWSTR verb, LPCWSTR pathAndQuery, const std::string& body, DWORD* length);
    bool ReadToFile(HINTERNET request, HANDLE file, DWORD length, DWORD* written);
    bool GrowReplyBlock(BYTE** data, DWORD* capacity, DWORD needed) const;
    bool ReadChunk(HINTERNET request, BYTE* buffer, DWORD size, DWORD* read);
    void EndRequest();
    HINTERNET CurrentRequest();
    void CloseRequest();

    bool StartWatchdog();
    void StopWatchdog();
    static DWORD WatchdogProc(LPVOID self);
    void WatchOverRequest();

    void Report(int code, DWORD received = 0, DWORD length = 0) const;
    void Track(const void* resource, int kind) const;
    // Takes a resource back from the controller: true while this downloader still owns it and must
    // release it, false when the controller has released it already (an abort).
    bool Untrack(const void* resource) const;

    HANDLE m_connection = nullptr;
    HINTERNET m_internet = nullptr;
    HINTERNET m_server = nullptr;
    HANDLE m_watchdog = nullptr;
    HANDLE m_watchdogStop = nullptr;
    HANDLE m_stopEvent = nullptr;  // manual reset; its event data is the cancel flag
    HANDLE m_keepAlive = nullptr;  // auto reset; set after every chunk
    std::atomic<LONG> m_timedOut{0};
    std::u16string m_agent;
    CDelegate m_progress;
    CMemoryController* m_controller = nullptr;
    DWORD m_memoryLimit = kDefaultMemoryLimit;

    // The request is closed by the worker, the watchdog or a canceller, whichever comes first.
    std::mutex m_requestLock;
    HINTERNET m_request = nullptr;
};
