// Destinations and connections as the device profile describes them:
//   [connection] destinations=The Internet;Work   (names; "The Internet" has its well-known GUID)
//                state=connected|failed|nopath|waiting   (what a new connection reaches)
//                proxy=host:port   (empty: direct)
#include <strings.h>

#include <memory>
#include <string>
#include <vector>

#include "ce/connmgr.h"
#include "ce/device.h"
#include "kernel/HandleTable.h"

namespace {

struct Destination {
    GUID guid;
    std::string name;
};

bool IsInternet(const std::string& name) {
    return strcasecmp(name.c_str(), "The Internet") == 0 || strcasecmp(name.c_str(), "Internet") == 0;
}

// A stable GUID for a named destination other than the Internet.
GUID GuidForName(const std::string& name) {
    uint64_t h = 1469598103934665603ull;
    for (unsigned char c : name) {
        h = (h ^ static_cast<unsigned char>(tolower(c))) * 1099511628211ull;
    }
    GUID guid{};
    guid.Data1 = static_cast<uint32_t>(h);
    guid.Data2 = static_cast<uint16_t>(h >> 32);
    guid.Data3 = static_cast<uint16_t>(0x4000 | ((h >> 48) & 0x0FFF));
    for (int i = 0; i < 8; ++i) {
        guid.Data4[i] = static_cast<uint8_t>((h >> (i * 7)) ^ (0x5A + i));
    }
    guid.Data4[0] = static_cast<uint8_t>(0x80 | (guid.Data4[0] & 0x3F));
    return guid;
}

std::vector<Destination> Destinations() {
    std::string list = ce::ProfileString("connection", "destinations", "The Internet");
    std::vector<Destination> result;
    size_t start = 0;
    while (start <= list.size()) {
        size_t end = list.find(';', start);
        std::string name = list.substr(start, end == std::string::npos ? std::string::npos : end - start);
        if (!name.empty()) {
            result.push_back({IsInternet(name) ? IID_DestNetInternet : GuidForName(name), name});
        }
        if (end == std::string::npos) {
            break;
        }
        start = end + 1;
    }
    return result;
}

DWORD StateFromProfile() {
    std::string state = ce::ProfileString("connection", "state", "connected");
    if (state == "failed") return CONNMGR_STATUS_CONNECTIONFAILED;
    if (state == "nopath") return CONNMGR_STATUS_NOPATHTODESTINATION;
    if (state == "waiting") return CONNMGR_STATUS_WAITINGCONNECTION;
    return CONNMGR_STATUS_CONNECTED;
}

class Connection : public ce::detail::KernelObject {
public:
    explicit Connection(DWORD status) : status_(status) {}
    DWORD Status() const { return status_; }
    bool IsWaitable() const override { return true; }
    // A connection that still waits never settles: the caller's own time limit ends the wait.
    bool IsSignaled(DWORD) override { return status_ != CONNMGR_STATUS_WAITINGCONNECTION; }

private:
    DWORD status_;
};

}  // namespace

extern "C" {

CE_API HRESULT ConnMgrEstablishConnection(CONNMGR_CONNECTIONINFO* info, HANDLE* connection) {
    if (info == nullptr || connection == nullptr) {
        return E_INVALIDARG;
    }
    *connection = nullptr;
    if ((info->dwParams & CONNMGR_PARAM_GUIDDESTNET) && info->guidDestNet != GUID_NULL) {
        bool known = false;
        for (const auto& destination : Destinations()) {
            known = known || destination.guid == info->guidDestNet;
        }
        if (!known) {
            return E_INVALIDARG;
        }
    }
    *connection = ce::detail::InsertHandle(std::make_shared<Connection>(StateFromProfile()));
    return S_OK;
}

CE_API HRESULT ConnMgrConnectionStatus(HANDLE connection, DWORD* status) {
    auto object = ce::detail::LookupHandleAs<Connection>(connection);
    if (!object || status == nullptr) {
        return E_INVALIDARG;
    }
    *status = object->Status();
    return S_OK;
}

CE_API HRESULT ConnMgrReleaseConnection(HANDLE connection, LONG) {
    if (!ce::detail::LookupHandleAs<Connection>(connection)) {
        return E_INVALIDARG;
    }
    ce::detail::RemoveHandle(connection);
    return S_OK;
}

CE_API HRESULT ConnMgrProviderMessage(HANDLE connection, const GUID* provider, DWORD*, DWORD, DWORD,
                                      PBYTE parameters, ULONG size) {
    auto object = ce::detail::LookupHandleAs<Connection>(connection);
    if (!object || provider == nullptr) {
        return E_INVALIDARG;
    }
    if (*provider != IID_ConnPrv_IProxyExtension) {
        return E_NOINTERFACE;
    }
    std::u16string proxy = ce::FromUtf8(ce::ProfileString("connection", "proxy"));
    if (proxy.empty()) {
        return E_NOINTERFACE;
    }
    if (parameters == nullptr || size < sizeof(PROXY_CONFIG) || proxy.size() >= MAX_PATH) {
        return E_INVALIDARG;
    }
    auto* config = reinterpret_cast<PROXY_CONFIG*>(parameters);
    *config = PROXY_CONFIG{};
    config->dwType = CONNMGR_FLAGS_PROXY_HTTP;
    config->dwEnable = TRUE;
    std::copy(proxy.begin(), proxy.end(), config->szProxyServer);
    return S_OK;
}

CE_API HRESULT ConnMgrEnumDestinations(int index, CONNMGR_DESTINATION_INFO* info) {
    std::vector<Destination> destinations = Destinations();
    if (info == nullptr || index < 0 || index >= static_cast<int>(destinations.size())) {
        return E_FAIL;
    }
    *info = CONNMGR_DESTINATION_INFO{};
    info->guid = destinations[index].guid;
    std::u16string name = ce::FromUtf8(destinations[index].name).substr(0, 127);
    std::copy(name.begin(), name.end(), info->szDescription);
    return S_OK;
}

}  // extern "C"
