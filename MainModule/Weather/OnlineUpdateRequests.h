// The two exchanges with the update server, as jobs that a download dialog runs on its worker thread:
// the catalog query (a POST whose reply is the catalog) and the package download (a GET of the chosen
// product's URL into a file). Each job is a DelegateFunction called as
//   job(progress delegate*, CMemoryController*, 0, 0, 0, request record*)
// and returns one of the JobResult codes.
#pragma once

#include <string>

#include "CDelegate.h"
#include "ce/com.h"

enum JobResult {
    kJobSucceeded = 0,
    kJobFailed = 1,        // no product id, no downloader, no reply, or the transfer into the file failed
    kJobNoConnection = 2,  // the connection to the server could not be made
    kJobBadArgument = 4,   // a null record, or a URL without a path
    kJobOutOfMemory = 5,   // the reply could not be terminated
};

struct CatalogRequest {
    GUID destination = {};    // the connection-manager destination chosen for program updates
    BYTE* reply = nullptr;    // malloc block, NUL-terminated; the caller frees it with free()
    DWORD replySize = 0;      // bytes of the reply including that NUL
};

struct PackageRequest {
    GUID destination = {};
    WCHAR filePath[MAX_PATH] = {};
    WCHAR url[MAX_PATH] = {};
    // The size that the catalog gave; a package of another size is cut off or damaged and is not kept.
    // 0: not checked.
    DWORD expectedSize = 0;
};

namespace OnlineUpdate {

constexpr LPCWSTR kServerHost = u"update.skyvane.example";
constexpr LPCWSTR kCatalogPath = u"/fcgid/sou.fcg?";
constexpr int kCatalogProtocol = 3;

int CatalogRequestJob(INT_PTR progress, INT_PTR controller, INT_PTR, INT_PTR, INT_PTR, INT_PTR record);
int PackageRequestJob(INT_PTR progress, INT_PTR controller, INT_PTR, INT_PTR, INT_PTR, INT_PTR record);

// The update server's product id of this kind of device, from the language files; -1 when missing.
int ProductId();
// A package URL split into host and path: a leading "http://" (any case) is dropped, the host ends before
// the first '/', which the path keeps. False when there is no '/' after a non-empty host.
bool SplitPackageUrl(LPCWSTR url, std::u16string* host, std::u16string* path);

}  // namespace OnlineUpdate
