// Fetches weather map pictures from the forecast server, one map id at a time, on a worker thread of
// its own, and keeps each picture as the map's cache file "<install>\Cache\<adjusted id>.map". The
// worker is started by the first queued map, ends when the queue is empty or on the first error, and
// is joined by the thread that starts the next one or by Shutdown.
#pragma once

#include <atomic>
#include <deque>
#include <mutex>
#include <string>

#include "CDelegateArray.h"
#include "Weather/CWorkerThreads.h"
#include "ce/types.h"

class CHTTPDownloader;

class CMapsUpdater {
public:
    static constexpr int kMapFilterId = 11;
    // A map reply is a picture: larger than the forecast replies, still bounded.
    static constexpr DWORD kMapReplyLimit = 16 * 1024 * 1024;

    // First listener argument. Queued: (0, id, 0, 0, 0); done: (1, 0, id, 0, 0); failed: (2, result, 0,
    // 0, 0). An id is a LPCWSTR valid for the call only.
    enum Status { kStatusQueued = 0, kStatusDone = 1, kStatusFailed = 2 };

    CMapsUpdater() = default;
    CMapsUpdater(const CMapsUpdater&) = delete;
    CMapsUpdater& operator=(const CMapsUpdater&) = delete;
    // Cancels a download under way and joins the worker.
    virtual ~CMapsUpdater();

    // Takes the device identifier; false without one.
    bool Initialize();

    // While a worker runs, the new listener first hears (0, id) of every queued id. Null is ignored.
    void AddListener(const CDelegate* listener);
    void RemoveListener(const CDelegate* listener);

    bool IsQueued(LPCWSTR id) const;
    // Appends the id (callers ask IsQueued first), tells the listeners and starts the worker unless one
    // runs; false for a null id or when no thread can be started.
    bool QueueMap(LPCWSTR id);
    // Cancels the transfer under way, drops the queue and joins every worker.
    void Shutdown();

    // The cache file of a map; false for a null argument or when the install folder is unknown.
    static bool GetMapCachePath(LPCWSTR id, std::u16string* path);
    // The picture of a map reply: the bytes after the first NUL of the reply. False for a reply
    // without a NUL or without picture bytes.
    static bool SplitMapReply(const BYTE* reply, DWORD size, const BYTE** picture, DWORD* pictureSize);

protected:
    // Called on the worker after the run's last look at the queue, before it lets go of its downloader;
    // after a run that emptied the queue, a map queued from here on starts a worker of its own. Does
    // nothing; tests hold a worker here.
    virtual void OnRunEnding() {}

private:
    static DWORD ThreadProc(LPVOID self);
    void DownloadQueue();
    int DownloadMaps(CHTTPDownloader& downloader);
    int DownloadMap(CHTTPDownloader& downloader, const std::u16string& id);
    static int StorePicture(const std::u16string& id, const BYTE* picture, DWORD size);
    // The front id, or false when the queue is empty; an empty queue ends the run under the same lock,
    // so that an id queued afterwards starts a new worker.
    bool TakeFront(std::u16string* id);

    std::u16string m_deviceId;
    CDelegateArray m_listeners;

    // Guards the fields below.
    mutable std::mutex m_lock;
    std::deque<std::u16string> m_queue;
    bool m_running = false;
    std::atomic<bool> m_cancelled{false};
    // A listener may queue a map from the worker itself.
    CWorkerThreads m_workers;
    CHTTPDownloader* m_downloader = nullptr;
};
