// The device's telephony as far as programs ask about it: one line device, "Cellular Line", whose
// registration status the device profile gives. Line applications and open lines are this process's.
#include <strings.h>

#include <algorithm>
#include <cstring>
#include <map>
#include <mutex>
#include <optional>
#include <set>
#include <string>

#include "ce/device.h"
#include "ce/tapi.h"

namespace {

constexpr DWORD kLowestVersion = 0x00010003;
constexpr char16_t kCellularLineName[] = u"Cellular Line";

// The registration the profile gives; nullopt when the device has no cellular line.
std::optional<DWORD> ProfileRegistration() {
    struct Named {
        const char* name;
        DWORD status;
    };
    static constexpr Named kStates[] = {
        {"home", LINEREGSTATUS_HOME},
        {"roaming", LINEREGSTATUS_ROAM},
        {"denied", LINEREGSTATUS_DENIED},
        {"unregistered", LINEREGSTATUS_UNREGISTERED},
        {"attempting", LINEREGSTATUS_ATTEMPTING},
    };
    std::string registration = ce::ProfileString("device", "registration");
    if (registration.empty()) {
        return ce::ProfileInt("device", "roaming", 0) != 0 ? LINEREGSTATUS_ROAM : LINEREGSTATUS_HOME;
    }
    if (strcasecmp(registration.c_str(), "none") == 0) {
        return std::nullopt;
    }
    for (const Named& state : kStates) {
        if (strcasecmp(registration.c_str(), state.name) == 0) {
            return state.status;
        }
    }
    return LINEREGSTATUS_UNKNOWN;
}

DWORD LineDeviceCount() {
    return ProfileRegistration() ? 1 : 0;
}

class LineTable {
public:
    static LineTable& Instance() {
        static LineTable* table = new LineTable;
        return *table;
    }

    HLINEAPP AddApp() {
        std::lock_guard guard(lock_);
        apps_.insert(next_);
        return next_++;
    }
    bool HasApp(HLINEAPP app) {
        std::lock_guard guard(lock_);
        return apps_.count(app) != 0;
    }
    // Forgets the application and closes its lines.
    bool RemoveApp(HLINEAPP app) {
        std::lock_guard guard(lock_);
        if (apps_.erase(app) == 0) {
            return false;
        }
        std::erase_if(lines_, [app](const auto& line) { return line.second == app; });
        return true;
    }
    std::optional<HLINE> OpenLine(HLINEAPP app) {
        std::lock_guard guard(lock_);
        if (apps_.count(app) == 0) {
            return std::nullopt;
        }
        lines_[next_] = app;
        return next_++;
    }
    bool HasLine(HLINE line) {
        std::lock_guard guard(lock_);
        return lines_.count(line) != 0;
    }
    bool CloseLine(HLINE line) {
        std::lock_guard guard(lock_);
        return lines_.erase(line) != 0;
    }

private:
    std::mutex lock_;
    std::set<HLINEAPP> apps_;
    std::map<HLINE, HLINEAPP> lines_;
    DWORD next_ = 1;
};

bool IsKnownDevice(DWORD deviceId) {
    return deviceId < LineDeviceCount();
}

// What a request about one line device with a negotiated version checks first; 0 when it may go on.
LONG CheckDeviceRequest(HLINEAPP lineApp, DWORD deviceId, DWORD apiVersion, const void* output) {
    if (!LineTable::Instance().HasApp(lineApp)) {
        return LINEERR_INVALAPPHANDLE;
    }
    if (!IsKnownDevice(deviceId)) {
        return LINEERR_BADDEVICEID;
    }
    if (apiVersion < kLowestVersion || apiVersion > TAPI_CURRENT_VERSION) {
        return LINEERR_INCOMPATIBLEAPIVERSION;
    }
    return output == nullptr ? LINEERR_INVALPOINTER : 0;
}

void FillCaps(LPLINEDEVCAPS caps) {
    DWORD total = caps->dwTotalSize;
    const DWORD nameBytes = sizeof kCellularLineName;
    std::memset(caps, 0, sizeof *caps);
    caps->dwTotalSize = total;
    caps->dwNeededSize = sizeof *caps + nameBytes;
    caps->dwUsedSize = sizeof *caps;
    caps->dwStringFormat = STRINGFORMAT_UNICODE;
    caps->dwNumAddresses = 1;
    caps->dwMediaModes = LINEMEDIAMODE_INTERACTIVEVOICE | LINEMEDIAMODE_DATAMODEM;
    if (total >= caps->dwNeededSize) {
        std::memcpy(reinterpret_cast<BYTE*>(caps) + sizeof *caps, kCellularLineName, nameBytes);
        caps->dwLineNameOffset = sizeof *caps;
        caps->dwLineNameSize = nameBytes;
        caps->dwUsedSize = caps->dwNeededSize;
    }
}

}  // namespace

extern "C" {

CE_API LONG lineInitializeEx(LPHLINEAPP lineApp, HINSTANCE, LINECALLBACK, LPCWSTR, LPDWORD deviceCount,
                             LPDWORD apiVersion, LPLINEINITIALIZEEXPARAMS) {
    if (lineApp == nullptr || deviceCount == nullptr || apiVersion == nullptr) {
        return LINEERR_INVALPOINTER;
    }
    if (*apiVersion < kLowestVersion) {
        return LINEERR_INCOMPATIBLEAPIVERSION;
    }
    *apiVersion = std::min<DWORD>(*apiVersion, TAPI_CURRENT_VERSION);
    *lineApp = LineTable::Instance().AddApp();
    *deviceCount = LineDeviceCount();
    return 0;
}

CE_API LONG lineShutdown(HLINEAPP lineApp) {
    return LineTable::Instance().RemoveApp(lineApp) ? 0 : LINEERR_INVALAPPHANDLE;
}

CE_API LONG lineNegotiateAPIVersion(HLINEAPP lineApp, DWORD deviceId, DWORD lowVersion, DWORD highVersion,
                                    LPDWORD apiVersion, LPLINEEXTENSIONID extensionId) {
    if (!LineTable::Instance().HasApp(lineApp)) {
        return LINEERR_INVALAPPHANDLE;
    }
    if (!IsKnownDevice(deviceId)) {
        return LINEERR_BADDEVICEID;
    }
    if (apiVersion == nullptr) {
        return LINEERR_INVALPOINTER;
    }
    DWORD agreed = std::min<DWORD>(highVersion, TAPI_CURRENT_VERSION);
    if (lowVersion > highVersion || agreed < std::max(lowVersion, kLowestVersion)) {
        return LINEERR_INCOMPATIBLEAPIVERSION;
    }
    *apiVersion = agreed;
    if (extensionId != nullptr) {
        *extensionId = LINEEXTENSIONID{};
    }
    return 0;
}

CE_API LONG lineGetDevCaps(HLINEAPP lineApp, DWORD deviceId, DWORD apiVersion, DWORD, LPLINEDEVCAPS caps) {
    if (LONG refused = CheckDeviceRequest(lineApp, deviceId, apiVersion, caps)) {
        return refused;
    }
    if (caps->dwTotalSize < sizeof *caps) {
        return LINEERR_STRUCTURETOOSMALL;
    }
    FillCaps(caps);
    return 0;
}

CE_API LONG lineOpen(HLINEAPP lineApp, DWORD deviceId, LPHLINE line, DWORD apiVersion, DWORD, DWORD_PTR,
                     DWORD, DWORD, LPLINECALLPARAMS) {
    if (LONG refused = CheckDeviceRequest(lineApp, deviceId, apiVersion, line)) {
        return refused;
    }
    std::optional<HLINE> opened = LineTable::Instance().OpenLine(lineApp);
    if (!opened) {
        return LINEERR_INVALAPPHANDLE;
    }
    *line = *opened;
    return 0;
}

CE_API LONG lineClose(HLINE line) {
    return LineTable::Instance().CloseLine(line) ? 0 : LINEERR_INVALLINEHANDLE;
}

CE_API HRESULT lineGetRegisterStatus(HLINE line, LPDWORD status) {
    if (!LineTable::Instance().HasLine(line)) {
        return LINEERR_INVALLINEHANDLE;
    }
    if (status == nullptr) {
        return LINEERR_INVALPOINTER;
    }
    std::optional<DWORD> registration = ProfileRegistration();
    if (!registration) {
        return LINEERR_OPERATIONFAILED;  // the cellular line went away while open
    }
    *status = *registration;
    return 0;
}

}  // extern "C"
