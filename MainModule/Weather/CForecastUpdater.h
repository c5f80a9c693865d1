// Downloads the forecasts of a list of cities, checks every signed package, stores each city's forecast
// and cache file, saves the city list, and tells its listeners how the run went. One run at a time
// across all processes (named mutex "Skyvane_UpdateLock"), each on a worker thread that the updater
// starts and joins, or on the thread of a caller that waits for it.
#pragma once

#include <atomic>
#include <condition_variable>
#include <mutex>
#include <string>
#include <vector>

#include "CDelegateArray.h"
#include "Weather/CWorkerThreads.h"
#include "Weather/RsaSignature.h"
#include "ce/com.h"
#include "ce/kernel.h"

class CAppMessageBox;
struct MessageBoxLink;
class CCityList;
class CDate;
class CHTTPDownloader;
namespace UserInterface {
class CSmartDialog;
class IDlgScreenCapture;
}  // namespace UserInterface

class CForecastUpdater {
public:
    static constexpr LPCWSTR kServerHost = u"forecast.skyvane.example";
    static constexpr LPCWSTR kRequestPath = u"/fcgid/zarezivavad_wm.fcg?";
    static constexpr LPCWSTR kAgent = u"Skyvane";
    static constexpr LPCWSTR kUpdateMutexName = u"Skyvane_UpdateLock";
    static constexpr int kProtocolVersion = 40;
    static constexpr int kFilterId = 43;
    // Larger stated packages are refused before anything is allocated for them.
    static constexpr uint32_t kMaxInflatedLength = 4 * 1024 * 1024;

    // First listener argument.
    enum Status { kStatusStarted = 0, kStatusDone = 1, kStatusFailed = 2 };
    // Second listener argument.
    enum Result {
        kResultSuccess = 0,
        kResultIncorrectDate = 2,
        kResultNoConnection = -1,
        kResultInvalidParameters = -4,
        kResultBlocked = -5,
        kResultDayLimitExceeded = -8,
        kResultNoWeatherData = -9,
        kResultInternal = -10,
        kResultUnknown = -11,
    };

    // The city list is the one the program shows; the connection is the destination network to use.
    CForecastUpdater(CCityList* cities, const GUID& connection);
    CForecastUpdater(const CForecastUpdater&) = delete;
    CForecastUpdater& operator=(const CForecastUpdater&) = delete;
    // Cancels a run and joins it.
    virtual ~CForecastUpdater();

    // Takes the device identifier and builds the public key record; false without an identifier.
    bool Initialize();
    void SetConnection(const GUID& connection);

    // A null delegate is ignored. One added during a run is first told (0, 0, 0, 0, 0).
    void AddListener(const CDelegate* listener);
    void RemoveListener(const CDelegate* listener);

    // False while a run is under way or when the thread cannot be started; with the wait flag the run
    // goes on the caller's thread, and Start returns once it has ended and its listeners have been told.
    // Its arguments by name:
    static constexpr bool kReturnAtOnce = false;
    static constexpr bool kWaitForEnd = true;
    static constexpr DWORD kOneAttempt = 1;
    static constexpr DWORD kNoDelay = 0;
    bool Start(const std::vector<std::u16string>& locationIds, bool wait, DWORD connectionAttempts, DWORD delayMs);
    bool IsRunning() const { return m_running.load(); }
    // Cancels the transfer of a run under way and joins every worker (and waits for a run on a waiting
    // caller's thread).
    void Shutdown();

    // The record of the forecast server's public signing key, built here rather than read from a file.
    static PublicKeyRecord BuildPublicKey();
    // The localized text of a result code; false for a code without one.
    static bool GetResultText(int result, std::u16string* text);
    // The names of the cities for which the server had no data in the last run, in list order, joined by
    // ", "; empty when it had data for every city.
    std::u16string GetCitiesWithoutData() const;

    // Shows the text of a result in a message box over the screen, with the support link for the results
    // that need the user to write to support; true once the box has closed, false (and nothing shown) for
    // a result without text. The value and the date are those the listener was given.
    static bool ShowResultMessage(UserInterface::CSmartDialog* parent, UserInterface::IDlgScreenCapture* capture,
                                  int result, INT_PTR value, const CDate* date);
    // The same in the box it is handed; false also when the box could not be shown. The box of the no-data
    // result is headed by the names of the cities without data (those of GetCitiesWithoutData), when given.
    static bool ShowResultMessage(CAppMessageBox& box, UserInterface::CSmartDialog* parent,
                                  UserInterface::IDlgScreenCapture* capture, int result,
                                  const std::u16string& citiesWithoutData = {});
    // The same over a window.
    static bool ShowResultMessage(CAppMessageBox& box, HWND window, int result,
                                  const std::u16string& citiesWithoutData = {});
    // The result code of a server error code.
    static int ResultFromServerCode(int serverCode);
    // A reply that holds "<title>" is a server error page; its code follows the tag.
    static bool FindServerCode(const BYTE* reply, DWORD size, int* serverCode);
    // Checks both levels of a signed package and gives its content (the forecast XML text); false for a
    // package that fails any check.
    static bool UnpackPackage(const BYTE* package, DWORD size, const PublicKeyRecord& key, std::string* content);

private:
    static bool ComposeResultMessage(int result, std::u16string* text, MessageBoxLink* link);
    static LPCWSTR HeadingOf(int result, const std::u16string& citiesWithoutData);
    static DWORD ThreadProc(LPVOID self);
    // Called with the lock held.
    bool StartWorker();
    void RunOnce();
    int UpdateWorker();
    int UpdateCity(CHTTPDownloader& downloader, const std::u16string& id, const SYSTEMTIME& updateTime,
                   bool* dateChecked);
    void TellListeners(int status, int result);
    void NoteCityWithoutData(const std::u16string& id);

    CCityList* m_cities;
    GUID m_connection;
    DWORD m_delayMs = 0;
    DWORD m_connectionAttempts = 0;
    std::u16string m_deviceId;
    std::vector<std::u16string> m_locationIds;
    CDelegateArray m_listeners;
    PublicKeyRecord m_key = {};

    // Guards the fields below and the start of a run.
    mutable std::mutex m_lock;
    // Told when a run on a waiting caller's thread has ended.
    std::condition_variable m_runEnded;
    std::atomic<bool> m_running{false};
    std::atomic<bool> m_cancelled{false};
    DWORD m_callerRunning = 0;  // the thread of a run that its caller waits for
    std::vector<std::u16string> m_citiesWithoutData;  // names, of the last run
    // Joined after letting go of the lock, since a worker's listener may be waiting for it.
    CWorkerThreads m_workers;
    CHTTPDownloader* m_downloader = nullptr;
};
