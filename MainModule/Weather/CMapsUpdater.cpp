#include "Weather/CMapsUpdater.h"

#include <cstdlib>
#include <cstring>
#include <memory>

#include "CHTTPDownloader.h"
#include "CSysInfo.h"
#include "CVOImage.h"
#include "Weather/CAtomicFileWriter.h"
#include "Weather/CForecastUpdater.h"
#include "Weather/CSettings.h"
#include "Weather/DeviceUtilities.h"
#include "Weather/GlobalServices.h"
#include "ce/kernel.h"

namespace {

constexpr LPCWSTR kCacheFolder = u"%INSTALL_DIR%\\Cache\\";
constexpr int kPathLength = 1024;

// A picture that the device cannot show must not take the place of one it can.
bool IsDecodablePicture(const BYTE* picture, DWORD size) {
    CVOImage image;
    if (!image.Load(nullptr, picture, size)) {
        return false;
    }
    DeleteObject(image.TakeBitmap());
    return true;
}

}  // namespace

CMapsUpdater::~CMapsUpdater() { Shutdown(); }

bool CMapsUpdater::Initialize() {
    WCHAR id[32];
    if (!GetDeviceId(id, 32)) {
        return false;
    }
    m_deviceId = id;
    return true;
}

void CMapsUpdater::AddListener(const CDelegate* listener) {
    if (listener == nullptr) {
        return;
    }
    std::deque<std::u16string> queued;
    {
        std::lock_guard guard(m_lock);
        if (m_running) {
            queued = m_queue;
        }
    }
    for (const std::u16string& id : queued) {
        listener->Invoke(kStatusQueued, reinterpret_cast<INT_PTR>(id.c_str()), 0, 0, 0);
    }
    m_listeners.Add(listener);
}

void CMapsUpdater::RemoveListener(const CDelegate* listener) {
    if (listener != nullptr) {
        m_listeners.Remove(listener);
    }
}

bool CMapsUpdater::IsQueued(LPCWSTR id) const {
    if (id == nullptr) {
        return false;
    }
    std::lock_guard guard(m_lock);
    for (const std::u16string& queued : m_queue) {
        if (queued == id) {
            return true;
        }
    }
    return false;
}

// A new worker starts suspended, so that the listeners hear of the id before of its download.
bool CMapsUpdater::QueueMap(LPCWSTR id) {
    if (id == nullptr) {
        return false;
    }
    const std::u16string queued = id;
    std::vector<HANDLE> ended;
    HANDLE started = nullptr;
    {
        std::lock_guard guard(m_lock);
        if (!m_running) {
            ended = m_workers.TakeAllButCurrent();
            DWORD threadId = 0;
            started = CreateThread(nullptr, 0, ThreadProc, this, CREATE_SUSPENDED, &threadId);
            if (started == nullptr) {
                return false;
            }
            m_running = true;
            m_workers.Add(started, threadId);
        }
        m_queue.push_back(queued);
    }
    m_listeners.InvokeAll(kStatusQueued, reinterpret_cast<INT_PTR>(queued.c_str()), 0, 0, 0);
    if (started != nullptr) {
        ResumeThread(started);
    }
    CWorkerThreads::Join(ended);
    return true;
}

void CMapsUpdater::Shutdown() {
    for (;;) {
        std::vector<HANDLE> workers;
        {
            std::lock_guard guard(m_lock);
            m_cancelled = true;
            m_queue.clear();
            if (m_downloader != nullptr) {
                m_downloader->Cancel();
            }
            workers = m_workers.TakeAllButCurrent();
        }
        if (workers.empty()) {
            return;
        }
        CWorkerThreads::Join(workers);
    }
}

bool CMapsUpdater::GetMapCachePath(LPCWSTR id, std::u16string* path) {
    WCHAR folder[kPathLength];
    if (id == nullptr || path == nullptr || !CSysInfo::ExpandPath(kCacheFolder, folder, kPathLength)) {
        return false;
    }
    std::u16string name = id;
    size_t dot = name.rfind(u'.');
    if (dot != std::u16string::npos) {
        name.erase(dot);
    }
    for (char16_t& c : name) {
        if (c < u'0') {
            c = u'_';
        }
    }
    std::u16string base = folder;
    if (!base.empty() && base.back() == u'\\') {
        base.pop_back();
    }
    *path = base + u"\\" + name + u".map";
    return true;
}

bool CMapsUpdater::SplitMapReply(const BYTE* reply, DWORD size, const BYTE** picture, DWORD* pictureSize) {
    if (reply == nullptr || picture == nullptr || pictureSize == nullptr) {
        return false;
    }
    const void* end = std::memchr(reply, 0, size);
    if (end == nullptr) {
        return false;
    }
    DWORD head = static_cast<DWORD>(static_cast<const BYTE*>(end) - reply);
    *picture = reply + head + 1;
    *pictureSize = size - head - 1;
    return *pictureSize > 0;
}

DWORD CMapsUpdater::ThreadProc(LPVOID self) {
    static_cast<CMapsUpdater*>(self)->DownloadQueue();
    return 0;
}

void CMapsUpdater::DownloadQueue() {
    CHTTPDownloader downloader;
    {
        std::lock_guard guard(m_lock);
        m_downloader = &downloader;
    }
    downloader.SetMemoryLimit(kMapReplyLimit);
    int result = CForecastUpdater::kResultUnknown;
    if (downloader.Init(CForecastUpdater::kAgent, nullptr, nullptr) && !m_cancelled) {
        // Connect clears the downloader's cancel flag: a shutdown during it is seen here.
        if (downloader.Connect(CForecastUpdater::kServerHost, GetSettings().connection, INTERNET_DEFAULT_HTTP_PORT)) {
            result = m_cancelled ? result : DownloadMaps(downloader);
        } else if (!m_cancelled) {
            result = CForecastUpdater::kResultNoConnection;
        }
    }
    downloader.Disconnect();
    OnRunEnding();
    {
        std::lock_guard guard(m_lock);
        // A worker started after this one's queue ran out may have put its own downloader here already.
        if (m_downloader == &downloader) {
            m_downloader = nullptr;
        }
        if (result < 0) {
            m_queue.clear();
            m_running = false;
        }
    }
    if (result < 0) {
        m_listeners.InvokeAll(kStatusFailed, result, 0, 0, 0);
    }
}

// 0 once the queue is empty; the first error ends the run.
int CMapsUpdater::DownloadMaps(CHTTPDownloader& downloader) {
    std::u16string id;
    while (TakeFront(&id)) {
        int result = m_cancelled ? CForecastUpdater::kResultUnknown : DownloadMap(downloader, id);
        if (result < 0) {
            return result;
        }
        {
            std::lock_guard guard(m_lock);
            if (!m_queue.empty() && m_queue.front() == id) {
                m_queue.pop_front();
            }
        }
        m_listeners.InvokeAll(kStatusDone, 0, reinterpret_cast<INT_PTR>(id.c_str()), 0, 0);
    }
    return 0;
}

bool CMapsUpdater::TakeFront(std::u16string* id) {
    std::lock_guard guard(m_lock);
    if (m_queue.empty()) {
        m_running = false;
        return false;
    }
    *id = m_queue.front();
    return true;
}

int CMapsUpdater::DownloadMap(CHTTPDownloader& downloader, const std::u16string& id) {
    WCHAR path[kPathLength];
    if (_snwprintf(path, kPathLength, u"%spic=%s&imei=%s&ver=%d&filterid=%d", CForecastUpdater::kRequestPath,
                   id.c_str(), m_deviceId.c_str(), CForecastUpdater::kProtocolVersion, kMapFilterId) < 0) {
        return CForecastUpdater::kResultUnknown;
    }
    DWORD size = 0;
    std::unique_ptr<BYTE, decltype(&std::free)> reply(downloader.GetToMemory(path, &size), &std::free);
    if (!reply) {
        return CForecastUpdater::kResultUnknown;
    }
    int serverCode = 0;
    if (CForecastUpdater::FindServerCode(reply.get(), size, &serverCode)) {
        return CForecastUpdater::ResultFromServerCode(serverCode);
    }
    const BYTE* picture = nullptr;
    DWORD pictureSize = 0;
    if (!SplitMapReply(reply.get(), size, &picture, &pictureSize) || !IsDecodablePicture(picture, pictureSize)) {
        return CForecastUpdater::kResultUnknown;
    }
    return StorePicture(id, picture, pictureSize);
}

// The picture replaces the old cache file only once it is written whole.
int CMapsUpdater::StorePicture(const std::u16string& id, const BYTE* picture, DWORD size) {
    std::u16string path;
    if (!GetMapCachePath(id.c_str(), &path)) {
        return CForecastUpdater::kResultUnknown;
    }
    std::u16string folder = path.substr(0, path.rfind(u'\\'));
    if (!CreateDirectoryW(folder.c_str(), nullptr) && GetLastError() != ERROR_ALREADY_EXISTS) {
        return CForecastUpdater::kResultUnknown;
    }
    return CAtomicFileWriter::Replace(path.c_str(), picture, size) ? 0 : CForecastUpdater::kResultUnknown;
}
