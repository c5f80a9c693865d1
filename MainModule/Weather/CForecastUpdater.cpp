#include "Weather/CForecastUpdater.h"

#include <cstdlib>
#include <cstring>
#include <memory>
#include <string_view>

#include "CDate.h"
#include "CHTTPDownloader.h"
#include "CLocalization.h"
#include "CSOMutex.h"
#include "Screens/CAppMessageBox.h"
#include "Weather/CCityList.h"
#include "Weather/CForecastCacheFile.h"
#include "Weather/Crc32.h"
#include "Weather/DeviceUtilities.h"
#include "Weather/ZlibBinding.h"

namespace {

// The public half of the forecast server's signing key of this deployment.
constexpr std::string_view kModulusHex =
    "CB8B014D0811AF32453BCE25A0FED0CB8148389C27EFA82EB42B6CE825BC3369C97E6AB4A02A4186BF83E4D07D824E7B"
    "3F22D055524CB395AEB40AF5ACAF121B6A03885B4DC55C9ABD8AA063C58430C0CB1748E86C6D4F96AF2E11B6AA65C1E6"
    "24BC0D7755F3299B14092AB2C647B838B40F226FAFA06D7554D57CB72160411D";
constexpr std::string_view kExponentHex = "010001";

constexpr size_t kHeaderSize = 20;
constexpr char kValidDayTag[] = "DAY1FCST_VALID_DAY=\"";

struct ResultKey {
    int result;
    const char* key;
};
constexpr ResultKey kResultKeys[] = {
    {CForecastUpdater::kResultUnknown, "IDS_UNKNOWN_ERROR"},
    {CForecastUpdater::kResultInternal, "IDS_ERROR_INTERNAL"},
    {CForecastUpdater::kResultNoWeatherData, "IDS_ERROR_NO_WEATHER_DATA"},
    {CForecastUpdater::kResultDayLimitExceeded, "IDS_ERROR_DAY_LIMIT_EXCEEDED"},
    {CForecastUpdater::kResultBlocked, "IDS_ERROR_BLOCKED"},
    {CForecastUpdater::kResultInvalidParameters, "IDS_ERROR_INV_PARAMETERS"},
    {CForecastUpdater::kResultNoConnection, "IDS_ERROR_CONNECT"},
    {CForecastUpdater::kResultIncorrectDate, "IDS_INCORRECT_DATE"},
};

// A big-endian number, right-aligned in its 128 bytes.
void StoreHex(std::string_view hex, uint8_t* field, size_t size) {
    std::memset(field, 0, size);
    size_t bytes = hex.size() / 2;
    for (size_t i = 0; i < bytes && i < size; ++i) {
        field[size - bytes + i] = static_cast<uint8_t>(std::strtoul(std::string(hex.substr(2 * i, 2)).c_str(), nullptr, 16));
    }
}

struct PackageHeader {
    uint32_t headerCrc;
    uint32_t totalLength;
    uint32_t first;   // outer: zlib stream length; inner: content length
    uint32_t second;  // outer: inflated length; inner: signature length
    uint32_t bodyCrc;
};

// Reads a header and checks both of its CRCs against the bytes at hand.
bool ReadCheckedHeader(const BYTE* data, size_t size, PackageHeader* header) {
    if (size < kHeaderSize) {
        return false;
    }
    uint32_t words[5];
    for (int i = 0; i < 5; ++i) {
        words[i] = static_cast<uint32_t>(data[4 * i]) | static_cast<uint32_t>(data[4 * i + 1]) << 8 |
                   static_cast<uint32_t>(data[4 * i + 2]) << 16 | static_cast<uint32_t>(data[4 * i + 3]) << 24;
    }
    *header = {words[0], words[1], words[2], words[3], words[4]};
    if (ComputeCrc32(ComputeCrc32(0, nullptr, 0), data + 4, kHeaderSize - 4) != header->headerCrc ||
        header->totalLength < kHeaderSize || header->totalLength > size) {
        return false;
    }
    return ComputeCrc32(ComputeCrc32(0, nullptr, 0), data + kHeaderSize, header->totalLength - kHeaderSize) ==
           header->bodyCrc;
}

// The first day of the forecast, once a date has been found in this run.
bool ReadValidDay(const std::string& content, CDate* date) {
    size_t at = content.find(kValidDayTag);
    if (at == std::string::npos) {
        return false;
    }
    at += sizeof kValidDayTag - 1;
    if (content.size() < at + 8 || content.find_first_not_of("0123456789", at) < at + 8) {
        return false;
    }
    auto number = [&](size_t offset, size_t length) {
        return static_cast<DWORD>(std::strtoul(content.substr(at + offset, length).c_str(), nullptr, 10));
    };
    *date = CDate(number(0, 4), number(4, 2), number(6, 2));
    return date->IsValid();
}

}  // namespace

CForecastUpdater::CForecastUpdater(CCityList* cities, const GUID& connection)
    : m_cities(cities), m_connection(connection) {}

CForecastUpdater::~CForecastUpdater() { Shutdown(); }

bool CForecastUpdater::Initialize() {
    WCHAR id[32];
    if (!GetDeviceId(id, 32)) {
        return false;
    }
    m_deviceId = id;
    m_key = BuildPublicKey();
    return true;
}

PublicKeyRecord CForecastUpdater::BuildPublicKey() {
    PublicKeyRecord key{};
    key.bits = 1024;
    StoreHex(kModulusHex, key.modulus, sizeof key.modulus);
    StoreHex(kExponentHex, key.exponent, sizeof key.exponent);
    return key;
}

void CForecastUpdater::SetConnection(const GUID& connection) {
    std::lock_guard guard(m_lock);
    m_connection = connection;
}

void CForecastUpdater::AddListener(const CDelegate* listener) {
    if (listener == nullptr) {
        return;
    }
    if (m_running) {
        listener->Invoke(kStatusStarted, 0, 0, 0, 0);
    }
    m_listeners.Add(listener);
}

void CForecastUpdater::RemoveListener(const CDelegate* listener) {
    if (listener != nullptr) {
        m_listeners.Remove(listener);
    }
}

// A run that the caller waits for runs on the caller's thread: a thread of its own would only add its
// start to the wait.
bool CForecastUpdater::Start(const std::vector<std::u16string>& locationIds, bool wait, DWORD connectionAttempts,
                             DWORD delayMs) {
    std::vector<HANDLE> ended;
    bool started = false;
    {
        std::lock_guard guard(m_lock);
        if (m_running) {
            return false;
        }
        ended = m_workers.TakeAllButCurrent();
        m_locationIds = locationIds;
        m_citiesWithoutData.clear();
        m_connectionAttempts = connectionAttempts;
        m_delayMs = delayMs;
        m_cancelled = false;
        // Running from here on, before the worker can reach its end.
        m_running = true;
        if (wait) {
            m_callerRunning = GetCurrentThreadId();
        }
        started = wait || StartWorker();
        if (!started) {
            m_running = false;
        }
    }
    CWorkerThreads::Join(ended);
    if (!started) {
        return false;
    }
    if (wait) {
        ThreadProc(this);
        std::lock_guard guard(m_lock);
        m_callerRunning = 0;
        m_runEnded.notify_all();
    }
    return true;
}

bool CForecastUpdater::StartWorker() {
    DWORD threadId = 0;
    HANDLE thread = CreateThread(nullptr, 0, ThreadProc, this, 0, &threadId);
    if (thread == nullptr) {
        return false;
    }
    m_workers.Add(thread, threadId);
    return true;
}

void CForecastUpdater::Shutdown() {
    std::vector<HANDLE> workers;
    {
        std::lock_guard guard(m_lock);
        m_cancelled = true;
        if (m_downloader != nullptr) {
            m_downloader->Cancel();
        }
    }
    // A listener of the last run may start another: join until none is left.
    for (;;) {
        {
            std::lock_guard guard(m_lock);
            m_cancelled = true;
            workers = m_workers.TakeAllButCurrent();
        }
        if (workers.empty()) {
            break;
        }
        CWorkerThreads::Join(workers);
    }
    // A run on a waiting caller's thread ends there, unless this is that thread (a listener).
    std::unique_lock guard(m_lock);
    DWORD self = GetCurrentThreadId();
    m_runEnded.wait(guard, [&] { return m_callerRunning == 0 || m_callerRunning == self; });
}

DWORD CForecastUpdater::ThreadProc(LPVOID self) {
    // The forecast reader works on the XML DOM.
    bool com = SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED));
    static_cast<CForecastUpdater*>(self)->RunOnce();
    if (com) {
        CoUninitialize();
    }
    return 0;
}

// The listeners hear of the end once the updater is idle and the update lock is free, so that a
// listener may start the next run at once.
void CForecastUpdater::RunOnce() {
    HANDLE updateLock = CreateMutexW(nullptr, TRUE, kUpdateMutexName);
    bool ran = updateLock != nullptr && GetLastError() != ERROR_ALREADY_EXISTS;
    int result = kResultSuccess;
    if (ran) {
        result = UpdateWorker();
        ReleaseMutex(updateLock);
    }
    if (updateLock != nullptr) {
        CloseHandle(updateLock);
    }
    {
        std::lock_guard guard(m_lock);
        m_running = false;
    }
    if (ran) {
        TellListeners(result < 0 ? kStatusFailed : kStatusDone, result);
    }
}

int CForecastUpdater::UpdateWorker() {
    if (m_delayMs != 0) {
        Sleep(m_delayMs);
    }
    TellListeners(kStatusStarted, kResultSuccess);
    CHTTPDownloader downloader;
    GUID connection;
    {
        std::lock_guard guard(m_lock);
        connection = m_connection;
        m_downloader = &downloader;
    }
    struct Forget {
        CForecastUpdater* self;
        ~Forget() {
            std::lock_guard guard(self->m_lock);
            self->m_downloader = nullptr;
        }
    } forget{this};
    if (!downloader.Init(kAgent, nullptr, nullptr)) {
        return kResultUnknown;
    }
    bool connected = false;
    for (DWORD attempt = 0; attempt < m_connectionAttempts && !connected && !m_cancelled; ++attempt) {
        connected = downloader.Connect(kServerHost, connection, INTERNET_DEFAULT_HTTP_PORT);
    }
    if (!connected || m_cancelled) {
        return m_cancelled ? kResultUnknown : kResultNoConnection;
    }
    SYSTEMTIME updateTime;
    GetLocalTime(&updateTime);
    int outcome = kResultSuccess;
    bool dateChecked = false;
    for (const std::u16string& id : m_locationIds) {
        int result = m_cancelled ? kResultUnknown : UpdateCity(downloader, id, updateTime, &dateChecked);
        // A city the server has no data for keeps its old forecast; the others still get theirs.
        if (result == kResultNoWeatherData) {
            NoteCityWithoutData(id);
            outcome = kResultNoWeatherData;
            continue;
        }
        if (result < 0) {
            return result;
        }
        if (result == kResultIncorrectDate && outcome == kResultSuccess) {
            outcome = kResultIncorrectDate;
        }
    }
    return m_cities->Save() ? outcome : kResultUnknown;
}

void CForecastUpdater::NoteCityWithoutData(const std::u16string& id) {
    CCity city;
    std::u16string name = m_cities->GetCityById(id.c_str(), &city) && city.GetName()[0] != 0 ? city.GetName() : id;
    std::lock_guard guard(m_lock);
    m_citiesWithoutData.push_back(name);
}

std::u16string CForecastUpdater::GetCitiesWithoutData() const {
    std::lock_guard guard(m_lock);
    std::u16string names;
    for (const std::u16string& name : m_citiesWithoutData) {
        names += (names.empty() ? u"" : u", ") + name;
    }
    return names;
}

// A city removed from the list while the run was under way is skipped, not an error.
int CForecastUpdater::UpdateCity(CHTTPDownloader& downloader, const std::u16string& id,
                                 const SYSTEMTIME& updateTime, bool* dateChecked) {
    CCity city;
    if (!m_cities->GetCityById(id.c_str(), &city)) {
        return kResultSuccess;
    }
    WCHAR body[128];
    if (_snwprintf(body, 128, u"posid=%s&imei=%s&ver=%d&filterid=%d", id.c_str(), m_deviceId.c_str(),
                   kProtocolVersion, kFilterId) < 0) {
        return kResultUnknown;
    }
    DWORD size = 0;
    std::unique_ptr<BYTE, decltype(&std::free)> reply(downloader.PostToMemory(kRequestPath, body, &size), &std::free);
    if (!reply) {
        return kResultUnknown;
    }
    int serverCode = 0;
    if (FindServerCode(reply.get(), size, &serverCode)) {
        return ResultFromServerCode(serverCode);
    }
    std::string content;
    if (!UnpackPackage(reply.get(), size, m_key, &content)) {
        return kResultUnknown;
    }
    reply.reset();
    int result = kResultSuccess;
    CDate firstDay;
    if (!*dateChecked && ReadValidDay(content, &firstDay)) {
        *dateChecked = true;
        CDate today;
        today.SetToday();
        LONG days = today.DaysUntil(firstDay);
        if (days < -1 || days > 1) {
            result = kResultIncorrectDate;
        }
    }
    size_t xml = content.find('<');
    if (xml == std::string::npos || !city.ParseForecastXml(content.c_str() + xml)) {
        return kResultUnknown;
    }
    city.SetUpdateSystemTime(&updateTime);
    // The reply's own LOCATIONID, now the copy's id, names the cache file.
    if (!CForecastCacheFile::Write(city.GetLocationId(), content.c_str() + xml)) {
        return kResultUnknown;
    }
    m_cities->SetCityById(id.c_str(), &city);
    return result;
}

void CForecastUpdater::TellListeners(int status, int result) {
    CDate empty;
    INT_PTR date = status == kStatusDone ? reinterpret_cast<INT_PTR>(&empty) : 0;
    // The run is fixed when it starts: a listener that leaves meanwhile (a screen closing as the run
    // ends) is skipped without skipping the others, and the one called last gets the last flag.
    m_listeners.InvokeAllMarkingLast(status, result, 0, date);
}

bool CForecastUpdater::GetResultText(int result, std::u16string* text) {
    if (text == nullptr) {
        return false;
    }
    text->clear();
    for (const ResultKey& entry : kResultKeys) {
        if (entry.result == result) {
            LPCWSTR localized = LoadLocalizedString(entry.key);
            if (localized == nullptr || localized[0] == 0) {
                return false;
            }
            *text = localized;
            return true;
        }
    }
    return false;
}

int CForecastUpdater::ResultFromServerCode(int serverCode) {
    switch (serverCode) {
        case 2000: return kResultInvalidParameters;
        case 2005: return kResultDayLimitExceeded;
        case 2006: return kResultBlocked;
        case 2007: return kResultNoWeatherData;
        case 2008: return kResultInternal;
        default: return kResultUnknown;
    }
}

bool CForecastUpdater::FindServerCode(const BYTE* reply, DWORD size, int* serverCode) {
    std::string_view text(reinterpret_cast<const char*>(reply), size);
    text = text.substr(0, text.find('\0'));
    size_t at = text.find("<title>");
    if (at == std::string_view::npos) {
        return false;
    }
    std::string number(text.substr(at + 7, 16));
    *serverCode = std::atoi(number.c_str());
    return true;
}

bool CForecastUpdater::UnpackPackage(const BYTE* package, DWORD size, const PublicKeyRecord& key,
                                     std::string* content) {
    PackageHeader outer;
    if (package == nullptr || !ReadCheckedHeader(package, size, &outer) ||
        outer.first > outer.totalLength - kHeaderSize || outer.second > kMaxInflatedLength ||
        outer.second < kHeaderSize) {
        return false;
    }
    std::unique_ptr<uint8_t, decltype(&std::free)> inner(
        UncompressWithZlib(package + kHeaderSize, outer.first, outer.second), &std::free);
    PackageHeader header;
    if (!inner || !ReadCheckedHeader(inner.get(), outer.second, &header) ||
        static_cast<uint64_t>(header.first) + header.second != header.totalLength - kHeaderSize) {
        return false;
    }
    const uint8_t* text = inner.get() + kHeaderSize;
    if (VerifyPemSignature(text, header.first, reinterpret_cast<const char*>(text + header.first), header.second,
                           key) != 0) {
        return false;
    }
    content->assign(reinterpret_cast<const char*>(text), header.first);
    return true;
}

bool CForecastUpdater::ShowResultMessage(UserInterface::CSmartDialog* parent, UserInterface::IDlgScreenCapture* capture,
                                         int result, INT_PTR, const CDate*) {
    CAppMessageBox box;
    return ShowResultMessage(box, parent, capture, result);
}

// The results that only support can resolve carry the support link.
bool CForecastUpdater::ShowResultMessage(CAppMessageBox& box, UserInterface::CSmartDialog* parent,
                                         UserInterface::IDlgScreenCapture* capture, int result,
                                         const std::u16string& citiesWithoutData) {
    std::u16string text;
    MessageBoxLink link;
    if (!ComposeResultMessage(result, &text, &link)) {
        return false;
    }
    const MessageBoxLink* shownLink = link.text.empty() ? nullptr : &link;
    return CAppMessageBox::DoModalDoneOverDialog(box, parent, capture, text.c_str(),
                                                 HeadingOf(result, citiesWithoutData), shownLink) != 0;
}

bool CForecastUpdater::ShowResultMessage(CAppMessageBox& box, HWND window, int result,
                                         const std::u16string& citiesWithoutData) {
    std::u16string text;
    MessageBoxLink link;
    if (!ComposeResultMessage(result, &text, &link)) {
        return false;
    }
    const MessageBoxLink* shownLink = link.text.empty() ? nullptr : &link;
    return CAppMessageBox::DoModalDone(box, window, text.c_str(), HeadingOf(result, citiesWithoutData), shownLink) != 0;
}

// The text of the no-data result speaks of one city; the heading names which.
LPCWSTR CForecastUpdater::HeadingOf(int result, const std::u16string& citiesWithoutData) {
    return result == kResultNoWeatherData && !citiesWithoutData.empty() ? citiesWithoutData.c_str() : nullptr;
}

bool CForecastUpdater::ComposeResultMessage(int result, std::u16string* text, MessageBoxLink* link) {
    if (!GetResultText(result, text)) {
        return false;
    }
    if (result == kResultInvalidParameters || result == kResultBlocked || result == kResultInternal) {
        *link = CAppMessageBox::SupportLink();
    }
    return true;
}
