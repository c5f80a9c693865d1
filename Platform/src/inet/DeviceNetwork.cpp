// The device's network: the [hosts] map of its profile. Names outside the map do not resolve, so a
// device never reaches further than its profile says.
#include <strings.h>

#include <string>

#include "ce/device.h"
#include "inet/InternetHandles.h"

namespace ce::detail {
namespace {

bool IsLoopback(const std::string& host) {
    return host == "localhost" || host.rfind("127.", 0) == 0 || host == "[::1]" || host == "::1";
}

std::string MappedAddress(const std::string& host) {
    for (const ProfileEntry& entry : ProfileSection("hosts")) {
        if (strcasecmp(entry.key.c_str(), host.c_str()) == 0) {
            return entry.value;
        }
    }
    return {};
}

}  // namespace

bool ResolveDeviceHost(const std::string& host, INTERNET_PORT port, std::string& connectTo) {
    connectTo.clear();
    std::string mapped = MappedAddress(host);
    if (!mapped.empty()) {
        // A map entry without a port keeps the requested one.
        if (mapped.find(':') == std::string::npos) {
            mapped += ':';
            mapped += std::to_string(port);
        }
        connectTo = host + ":" + std::to_string(port) + ":" + mapped;
        return true;
    }
    return IsLoopback(host);
}

bool ResolveDeviceProxy(const std::string& proxy, std::string& address) {
    size_t colon = proxy.rfind(':');
    std::string host = colon == std::string::npos ? proxy : proxy.substr(0, colon);
    std::string mapped = MappedAddress(host);
    if (!mapped.empty()) {
        address = mapped.find(':') != std::string::npos || colon == std::string::npos ? mapped
                                                                                        : mapped + proxy.substr(colon);
        return true;
    }
    address = proxy;
    return IsLoopback(host);
}

}  // namespace ce::detail
