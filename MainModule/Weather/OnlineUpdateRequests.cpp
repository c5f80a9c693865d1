#include "Weather/OnlineUpdateRequests.h"

#include <cstdlib>
#include <memory>

#include "CHTTPDownloader.h"
#include "CLocalization.h"
#include "CSysInfo.h"

namespace OnlineUpdate {
namespace {

constexpr int kAgentSize = 256;
constexpr LPCWSTR kHttpPrefix = u"http://";

// Sets up the downloader with the device description as its user agent and connects it to the host.
int Connect(CHTTPDownloader& downloader, LPCWSTR host, const GUID& destination, INT_PTR progress,
            INT_PTR controller) {
    WCHAR agent[kAgentSize] = {};
    if (g_pSysInfo != nullptr) {
        g_pSysInfo->GetDeviceString(agent, kAgentSize);
    }
    if (!downloader.Init(agent, reinterpret_cast<const CDelegate*>(progress),
                         reinterpret_cast<CMemoryController*>(controller))) {
        return kJobFailed;
    }
    return downloader.Connect(host, destination, INTERNET_DEFAULT_HTTP_PORT) ? kJobSucceeded : kJobNoConnection;
}

DWORD FileSize(LPCWSTR path) {
    HANDLE file = CreateFileW(path, GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL,
                              nullptr);
    if (file == INVALID_HANDLE_VALUE) {
        return INVALID_FILE_SIZE;
    }
    DWORD size = GetFileSize(file, nullptr);
    CloseHandle(file);
    return size;
}

}  // namespace

int ProductId() {
    bool smartphone = g_pSysInfo != nullptr && g_pSysInfo->IsSmartphone();
    LPCWSTR text = LoadLocalizedString(smartphone ? "IDS_PRODUCT_ID_SP" : "IDS_PRODUCT_ID_PPC");
    return text != nullptr && text[0] != 0 ? static_cast<int>(_wtol(text)) : -1;
}

bool SplitPackageUrl(LPCWSTR url, std::u16string* host, std::u16string* path) {
    if (url == nullptr || host == nullptr || path == nullptr) {
        return false;
    }
    std::u16string_view rest(url);
    if (rest.size() >= 7 && _wcsnicmp(url, kHttpPrefix, 7) == 0) {
        rest.remove_prefix(7);
    }
    size_t slash = rest.find(u'/');
    if (slash == std::u16string_view::npos || slash == 0) {
        return false;
    }
    host->assign(rest.substr(0, slash));
    path->assign(rest.substr(slash));
    return true;
}

int CatalogRequestJob(INT_PTR progress, INT_PTR controller, INT_PTR, INT_PTR, INT_PTR, INT_PTR record) {
    auto* request = reinterpret_cast<CatalogRequest*>(record);
    if (request == nullptr) {
        return kJobBadArgument;
    }
    int productId = ProductId();
    if (productId < 0) {
        return kJobFailed;
    }
    CHTTPDownloader downloader;
    int connected = Connect(downloader, kServerHost, request->destination, progress, controller);
    if (connected != kJobSucceeded) {
        downloader.Shutdown();
        return connected;
    }
    WCHAR body[128];
    wsprintfW(body, u"protocol=%d&id=%d&compress=0&mod=&html2plain=0", kCatalogProtocol, productId);
    DWORD size = 0;
    BYTE* reply = downloader.PostToMemory(kCatalogPath, body, &size);
    downloader.Shutdown();
    if (reply == nullptr) {
        return kJobFailed;
    }
    auto* terminated = static_cast<BYTE*>(std::realloc(reply, size + 1));
    if (terminated == nullptr) {
        std::free(reply);
        return kJobOutOfMemory;
    }
    terminated[size] = 0;
    std::free(request->reply);
    request->reply = terminated;
    request->replySize = size + 1;
    return kJobSucceeded;
}

int PackageRequestJob(INT_PTR progress, INT_PTR controller, INT_PTR, INT_PTR, INT_PTR, INT_PTR record) {
    auto* request = reinterpret_cast<PackageRequest*>(record);
    std::u16string host;
    std::u16string path;
    if (request == nullptr || request->filePath[0] == 0 || !SplitPackageUrl(request->url, &host, &path)) {
        return kJobBadArgument;
    }
    CHTTPDownloader downloader;
    int connected = Connect(downloader, host.c_str(), request->destination, progress, controller);
    if (connected != kJobSucceeded) {
        downloader.Shutdown();
        return connected;
    }
    bool fetched = downloader.GetToFile(path.c_str(), request->filePath);
    downloader.Shutdown();
    if (!fetched) {
        return kJobFailed;
    }
    if (request->expectedSize != 0 && FileSize(request->filePath) != request->expectedSize) {
        DeleteFileW(request->filePath);
        return kJobFailed;
    }
    return kJobSucceeded;
}

}  // namespace OnlineUpdate
