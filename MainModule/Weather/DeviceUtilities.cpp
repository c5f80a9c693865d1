#include "Weather/DeviceUtilities.h"

#include <algorithm>
#include <cstring>
#include <mutex>

#include "ce/com.h"
#include "ce/cursor.h"
#include "ce/kernel.h"
#include "ce/storage.h"
#include "ce/tapi.h"
#include "ce/toolhelp.h"
#include "ce/user.h"

namespace {

// The application data that makes the identifier the program's own: its 16 characters, no terminator.
constexpr char16_t kApplicationData[] = u"Quillon Software";
constexpr int kDigits = 15;

}  // namespace

bool GetDeviceId(LPWSTR id, int size) {
    if (id == nullptr || size < kDigits + 2) {
        return false;
    }
    id[0] = 0;
    BYTE output[GETDEVICEUNIQUEID_V1_OUTPUT] = {};
    DWORD outputSize = sizeof output;
    BYTE data[16];
    for (int i = 0; i < 16; ++i) {
        data[i] = static_cast<BYTE>(kApplicationData[i]);
    }
    if (FAILED(GetDeviceUniqueID(data, sizeof data, GETDEVICEUNIQUEID_V1, output, &outputSize)) || outputSize < 16) {
        return false;
    }
    WCHAR digits[17] = {};
    for (int i = 0; i < 8; ++i) {
        int pair = (output[i] + output[i + 8]) % 100;
        digits[2 * i] = static_cast<WCHAR>(u'0' + pair / 10);
        digits[2 * i + 1] = static_cast<WCHAR>(u'0' + pair % 10);
    }
    digits[kDigits] = 0;
    lstrcpynW(id, digits, size);
    return true;
}

// ---- keep-awake -------------------------------------------------------------------------------------

namespace {

struct KeepAwakeState {
    std::mutex lock;
    uint32_t starts = 0;
    HANDLE thread = nullptr;
    HANDLE stop = nullptr;
};

KeepAwakeState& KeepAwake() {
    static KeepAwakeState state;
    return state;
}

DWORD IdleTimeout(UINT action) {
    DWORD seconds = 0;
    return SystemParametersInfoW(action, 0, &seconds, 0) ? seconds : 0;
}

DWORD WINAPI KeepAwakeProc(LPVOID stopEvent) {
    DWORD period = KeepAwakePeriodMs(IdleTimeout(SPI_GETBATTERYIDLETIMEOUT), IdleTimeout(SPI_GETEXTERNALIDLETIMEOUT),
                                     IdleTimeout(SPI_GETWAKEUPIDLETIMEOUT));
    do {
        SystemIdleTimerReset();
    } while (WaitForSingleObject(static_cast<HANDLE>(stopEvent), period) == WAIT_TIMEOUT);
    return 0;
}

}  // namespace

DWORD KeepAwakePeriodMs(DWORD batterySeconds, DWORD externalSeconds, DWORD wakeupSeconds) {
    DWORD seconds = batterySeconds;
    if (externalSeconds > 0 && externalSeconds < batterySeconds) {
        seconds = externalSeconds;
    } else if (wakeupSeconds > 0 && wakeupSeconds < batterySeconds) {
        seconds = wakeupSeconds;
    }
    const int64_t kMinimumMs = 1000;
    return static_cast<DWORD>(std::max<int64_t>(static_cast<int64_t>(seconds) * 1000 - 1000, kMinimumMs));
}

bool StartKeepAwake() {
    KeepAwakeState& state = KeepAwake();
    std::lock_guard guard(state.lock);
    if (state.thread != nullptr) {
        return true;
    }
    state.stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    state.thread = state.stop != nullptr ? CreateThread(nullptr, 0, KeepAwakeProc, state.stop, 0, nullptr) : nullptr;
    if (state.thread == nullptr) {
        if (state.stop != nullptr) {
            CloseHandle(state.stop);
            state.stop = nullptr;
        }
        return false;
    }
    ++state.starts;
    return true;
}

// A stop without a start must not wrap the counter: keep-awake would then never end.
void StopKeepAwake() {
    KeepAwakeState& state = KeepAwake();
    std::lock_guard guard(state.lock);
    if (state.starts == 0 || --state.starts != 0 || state.thread == nullptr) {
        return;
    }
    SetEvent(state.stop);
    WaitForSingleObject(state.thread, INFINITE);
    CloseHandle(state.thread);
    CloseHandle(state.stop);
    state.thread = nullptr;
    state.stop = nullptr;
}

// ---- wait cursor ------------------------------------------------------------------------------------

namespace {

struct WaitCursorState {
    std::mutex lock;
    uint32_t depth = 0;
    HCURSOR previous = nullptr;
};

WaitCursorState& WaitCursor() {
    static WaitCursorState state;
    return state;
}

}  // namespace

void BeginWaitCursor() {
    WaitCursorState& state = WaitCursor();
    std::lock_guard guard(state.lock);
    if (state.depth++ == 0) {
        state.previous = SetCursor(LoadCursorW(nullptr, IDC_WAIT));
        ShowCursor(TRUE);
    }
}

void EndWaitCursor() {
    WaitCursorState& state = WaitCursor();
    std::lock_guard guard(state.lock);
    if (state.depth == 0) {
        return;
    }
    if (--state.depth == 0) {
        ShowCursor(FALSE);
        SetCursor(state.previous);
        state.previous = nullptr;
    }
}

// ---- power, telephony, processes, storage cards -------------------------------------------------------

void WakeUpDevice() { SetSystemPowerState(nullptr, POWER_STATE_ON, 0); }

namespace {

constexpr char16_t kCellularLine[] = u"Cellular Line";
constexpr DWORD kTapiVersion = 0x00020000;

// The last line device named "Cellular Line"; -1 when there is none.
LONG FindCellularLine(HLINEAPP app, DWORD devices, DWORD* apiVersion) {
    LONG found = -1;
    for (DWORD device = 0; device < devices; ++device) {
        DWORD version = 0;
        LINEEXTENSIONID extension{};
        if (lineNegotiateAPIVersion(app, device, kTapiVersion, kTapiVersion, &version, &extension) != 0) {
            continue;
        }
        alignas(LINEDEVCAPS) BYTE buffer[sizeof(LINEDEVCAPS) + 256] = {};
        auto* caps = reinterpret_cast<LINEDEVCAPS*>(buffer);
        caps->dwTotalSize = sizeof buffer;
        if (lineGetDevCaps(app, device, version, 0, caps) != 0 || caps->dwStringFormat != STRINGFORMAT_UNICODE ||
            caps->dwLineNameOffset + caps->dwLineNameSize > caps->dwUsedSize || caps->dwLineNameSize < 2) {
            continue;
        }
        std::u16string name(caps->dwLineNameSize / 2, u'\0');
        std::memcpy(name.data(), buffer + caps->dwLineNameOffset, name.size() * 2);
        name.resize(std::char_traits<char16_t>::length(name.c_str()));
        if (name == kCellularLine) {
            found = static_cast<LONG>(device);
            *apiVersion = version;
        }
    }
    return found;
}

int MapRegistration(DWORD status) {
    switch (status) {
        case LINEREGSTATUS_DENIED:
        case LINEREGSTATUS_UNREGISTERED:
        case LINEREGSTATUS_ATTEMPTING: return 2;
        case LINEREGSTATUS_HOME: return 0;
        case LINEREGSTATUS_ROAM: return 1;
        case LINEREGSTATUS_DIGITAL: return 3;
        case LINEREGSTATUS_ANALOG: return 4;
        default: return -1;
    }
}

}  // namespace

int GetCellularRegistrationStatus() {
    HLINEAPP app = 0;
    DWORD devices = 0;
    DWORD apiVersion = kTapiVersion;
    LINEINITIALIZEEXPARAMS params{};
    params.dwTotalSize = sizeof params;
    params.dwOptions = LINEINITIALIZEEXOPTION_USEEVENT;
    if (lineInitializeEx(&app, nullptr, nullptr, u"Skyvane", &devices, &apiVersion, &params) != 0) {
        return -1;
    }
    int result = -1;
    DWORD lineVersion = 0;
    LONG device = FindCellularLine(app, devices, &lineVersion);
    HLINE line = 0;
    if (device >= 0 && lineOpen(app, static_cast<DWORD>(device), &line, lineVersion, 0, 0, LINECALLPRIVILEGE_NONE,
                                LINEMEDIAMODE_DATAMODEM, nullptr) == 0) {
        DWORD status = 0;
        if (SUCCEEDED(lineGetRegisterStatus(line, &status))) {
            result = MapRegistration(status);
        }
        lineClose(line);
    }
    lineShutdown(app);
    return result;
}

namespace {

// Calls visit with each running process of that executable name until it returns false.
template <class Visit>
void ForEachProcessNamed(LPCWSTR executableName, Visit visit) {
    if (executableName == nullptr) {
        return;
    }
    HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
    if (snapshot == INVALID_HANDLE_VALUE || snapshot == nullptr) {
        return;
    }
    PROCESSENTRY32W entry{};
    entry.dwSize = sizeof entry;
    for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
        if (lstrcmpiW(entry.szExeFile, executableName) == 0 && !visit(entry)) {
            break;
        }
    }
    CloseToolhelp32Snapshot(snapshot);
}

}  // namespace

int CountRunningProcesses(LPCWSTR executableName) {
    int count = 0;
    ForEachProcessNamed(executableName, [&](const PROCESSENTRY32W&) { return ++count > 0; });
    return count;
}

DWORD FindRunningProcess(LPCWSTR executableName) {
    DWORD id = 0;
    ForEachProcessNamed(executableName, [&](const PROCESSENTRY32W& entry) {
        id = entry.th32ProcessID;
        return false;
    });
    return id;
}

namespace {

// Walks the card enumeration to the card of this index; false when there are fewer cards.
bool FindCard(int index, WIN32_FIND_DATAW* card) {
    HANDLE find = FindFirstFlashCard(card);
    if (find == INVALID_HANDLE_VALUE || find == nullptr) {
        return false;
    }
    bool found = true;
    for (int at = 0; at < index && found; ++at) {
        found = FindNextFlashCard(find, card) != FALSE;
    }
    FindClose(find);
    return found;
}

}  // namespace

int GetStorageCardCount() {
    WIN32_FIND_DATAW card{};
    HANDLE find = FindFirstFlashCard(&card);
    if (find == INVALID_HANDLE_VALUE || find == nullptr) {
        return 0;
    }
    int count = 1;
    while (FindNextFlashCard(find, &card)) {
        ++count;
    }
    FindClose(find);
    return count;
}

bool GetStorageCardInfo(int index, StorageCardInfo* info) {
    WIN32_FIND_DATAW card{};
    if (info == nullptr || index < 0 || !FindCard(index, &card)) {
        return false;
    }
    std::u16string path = std::u16string(u"\\") + card.cFileName;
    CE_VOLUME_INFO volume{};
    volume.cbSize = sizeof volume;
    ULARGE_INTEGER free{};
    if (!CeGetVolumeInfoW(path.c_str(), CeVolumeInfoLevelStandard, &volume) ||
        !GetDiskFreeSpaceExW(path.c_str(), &free, nullptr, nullptr)) {
        return false;
    }
    info->name = volume.szStoreName;
    info->path = path;
    info->freeBytes = free.QuadPart;
    return true;
}
