// The forecast updater against the real weather server on loopback, in a throw-away installed device on
// the virtual clock.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "InstalledDevice.h"
#include "Weather/CCityList.h"
#include "Weather/CForecastUpdater.h"
#include "Weather/Crc32.h"
#include "WeatherServerProcess.h"
#include "ce/com.h"
#include "ce/connmgr.h"
#include "ce/device.h"
#include "support/SavedCityTimes.h"

namespace {

using ce::test::LocalNow;
using ce::test::SavedUpdateTime;

constexpr uint64_t kNoonUtc = 1796817600000;  // 2026-12-09 12:00 UTC
const std::vector<std::u16string> kTwoCities = {u"DEBE0001", u"FRXX0002"};

struct Call {
    INT_PTR status;
    INT_PTR result;
    INT_PTR last;
};

class ListenerRecord {
public:
    static int Record(INT_PTR status, INT_PTR result, INT_PTR, INT_PTR, INT_PTR last, INT_PTR context) {
        auto* self = reinterpret_cast<ListenerRecord*>(context);
        std::lock_guard guard(self->lock_);
        self->calls_.push_back({status, result, last});
        self->changed_.notify_all();
        return 0;
    }
    CDelegate Delegate() { return CDelegate(&Record, reinterpret_cast<INT_PTR>(this)); }
    std::vector<Call> Calls() {
        std::lock_guard guard(lock_);
        return calls_;
    }
    // Waits (at most 20 s) until this many runs have ended.
    bool WaitForEnds(size_t ends) {
        std::unique_lock guard(lock_);
        return changed_.wait_for(guard, std::chrono::seconds(20), [&] {
            size_t seen = 0;
            for (const Call& call : calls_) {
                seen += call.status != CForecastUpdater::kStatusStarted ? 1 : 0;
            }
            return seen >= ends;
        });
    }

private:
    std::mutex lock_;
    std::condition_variable changed_;
    std::vector<Call> calls_;
};

CCity MakeCity(const char16_t* id, const char16_t* name) {
    CCity city;
    city.SetLocationId(id);
    city.SetName(name);
    FILETIME old = {0x12345678, 0x01D00000};
    city.SetUpdateFileTime(&old);
    return city;
}

class ForecastUpdater : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_GT(server.Port(), 0);
        ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
        ce::SetProfileString("hosts", "forecast.skyvane.example", "127.0.0.1:" + std::to_string(server.Port()));
        ce::ReloadProfile();
        ce::EnableVirtualClock(kNoonUtc);
        cities.AddCity(MakeCity(u"DEBE0001", u"Berlin"));
        cities.AddCity(MakeCity(u"FRXX0002", u"Paris"));
        ASSERT_TRUE(cities.Save());
        oldList = device.ReadHostFile(device.InstallFolder("Cities.dat"));
        ASSERT_TRUE(updater.Initialize());
        CDelegate delegate = listener.Delegate();
        updater.AddListener(&delegate);
    }
    void TearDown() override {
        updater.Shutdown();
        ce::DisableVirtualClock();
        CoUninitialize();
    }

    // One run that the test waits for; the result code the listeners heard.
    INT_PTR RunAndWait(const std::vector<std::u16string>& ids, DWORD attempts = 1) {
        size_t before = listener.Calls().size();
        EXPECT_TRUE(updater.Start(ids, true, attempts, 0));
        std::vector<Call> calls = listener.Calls();
        return calls.size() > before ? calls.back().result : 99;
    }
    void SetFault(const std::string& spec) { ASSERT_EQ(server.Control("/control/fault?spec=" + spec), "ok\n"); }
    bool CacheExists(const std::string& id) { return std::filesystem::exists(device.InstallFolder("Cache/" + id + ".xml")); }
    bool WaitForServerRequests(size_t count) {
        for (int i = 0; i < 500; ++i) {
            std::string requests = server.Control("/control/requests");
            if (static_cast<size_t>(std::count(requests.begin(), requests.end(), '\n')) >= count) {
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }

    ce::test::InstalledDevice device;
    WeatherServerProcess server{{"--date", "2026120912"}};
    CCityList cities;
    CForecastUpdater updater{&cities, IID_DestNetInternet};
    ListenerRecord listener;
    std::string oldList;
};

TEST_F(ForecastUpdater, UpdatesEveryCityAndSavesTheListWithTheNewTimes) {
    EXPECT_EQ(RunAndWait(kTwoCities), CForecastUpdater::kResultSuccess);
    std::vector<Call> calls = listener.Calls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].status, CForecastUpdater::kStatusStarted);
    EXPECT_EQ(calls[1].status, CForecastUpdater::kStatusDone);
    EXPECT_EQ(calls[1].last, 1);
    EXPECT_TRUE(CacheExists("DEBE0001"));
    EXPECT_TRUE(CacheExists("FRXX0002"));

    FILETIME expected = LocalNow();
    for (int index = 0; index < 2; ++index) {
        FILETIME saved = SavedUpdateTime(index);
        EXPECT_EQ(CompareFileTime(&saved, &expected), 0) << index;
        CCity city;
        ASSERT_TRUE(cities.GetCity(index, &city));
        EXPECT_FALSE(city.GetDayForecasts().empty());
    }
    std::string requests = server.Control("/control/requests");
    EXPECT_NE(requests.find("posid=DEBE0001&imei="), std::string::npos);
    size_t imei = requests.find("imei=") + 5;
    EXPECT_EQ(requests.find('&', imei) - imei, 15u) << "a 15-digit device identifier";
}

TEST_F(ForecastUpdater, ASecondBadReplyKeepsTheFirstCityButNotTheList) {
    SetFault("damage-body@1*1");
    EXPECT_EQ(RunAndWait(kTwoCities), CForecastUpdater::kResultUnknown);
    EXPECT_EQ(listener.Calls().back().status, CForecastUpdater::kStatusFailed);
    EXPECT_TRUE(CacheExists("DEBE0001"));
    EXPECT_FALSE(CacheExists("FRXX0002"));
    EXPECT_EQ(device.ReadHostFile(device.InstallFolder("Cities.dat")), oldList) << "Cities.dat keeps its old times";
    CCity first;
    ASSERT_TRUE(cities.GetCity(0, &first));
    EXPECT_FALSE(first.GetDayForecasts().empty()) << "the first city shows its new forecast";
}

TEST_F(ForecastUpdater, ServerCodesAndDamagedPackagesEndTheRun) {
    const std::pair<const char*, int> cases[] = {
        {"code:2007", CForecastUpdater::kResultNoWeatherData}, {"code:2000", CForecastUpdater::kResultInvalidParameters},
        {"code:1999", CForecastUpdater::kResultUnknown},       {"damage-header", CForecastUpdater::kResultUnknown},
        {"damage-content", CForecastUpdater::kResultUnknown},  {"stale-signature", CForecastUpdater::kResultUnknown},
    };
    for (const auto& [fault, result] : cases) {
        SetFault(fault);
        EXPECT_EQ(RunAndWait({u"DEBE0001"}), result) << fault;
        EXPECT_FALSE(CacheExists("DEBE0001")) << fault;
    }
}

TEST_F(ForecastUpdater, ACityWithoutDataIsSkippedAndTheOthersAreUpdatedAndSaved) {
    SetFault("code:2007@0*1");
    EXPECT_EQ(RunAndWait(kTwoCities), CForecastUpdater::kResultNoWeatherData);
    EXPECT_EQ(listener.Calls().back().status, CForecastUpdater::kStatusFailed);
    EXPECT_EQ(updater.GetCitiesWithoutData(), u"Berlin");
    EXPECT_FALSE(CacheExists("DEBE0001"));
    EXPECT_TRUE(CacheExists("FRXX0002"));
    FILETIME old;
    MakeCity(u"DEBE0001", u"Berlin").GetUpdateFileTime(&old);
    FILETIME now = LocalNow();
    FILETIME berlin = SavedUpdateTime(0);
    FILETIME paris = SavedUpdateTime(1);
    EXPECT_EQ(CompareFileTime(&berlin, &old), 0) << "Berlin keeps its old time";
    EXPECT_EQ(CompareFileTime(&paris, &now), 0) << "the list is saved with Paris's new time";

    EXPECT_EQ(RunAndWait(kTwoCities), CForecastUpdater::kResultSuccess);
    EXPECT_EQ(updater.GetCitiesWithoutData(), u"") << "a new run starts over";
}

TEST_F(ForecastUpdater, AnOffDateStillStoresTheForecastWithResultTwo) {
    SetFault("off-date");
    EXPECT_EQ(RunAndWait({u"DEBE0001"}), CForecastUpdater::kResultIncorrectDate);
    EXPECT_EQ(listener.Calls().back().status, CForecastUpdater::kStatusDone);
    EXPECT_TRUE(CacheExists("DEBE0001"));
}

TEST_F(ForecastUpdater, AReplyForAnotherIdReplacesTheCityUnderTheRepliesId) {
    SetFault("wrong-id");
    EXPECT_EQ(RunAndWait({u"DEBE0001"}), CForecastUpdater::kResultSuccess);
    EXPECT_EQ(cities.FindIndexById(u"ZZXX9999"), 0);
    EXPECT_EQ(cities.FindIndexById(u"DEBE0001"), -1);
    EXPECT_TRUE(CacheExists("ZZXX9999"));
    EXPECT_FALSE(CacheExists("DEBE0001"));
}

TEST_F(ForecastUpdater, IdsNoLongerInTheListAreSkippedAndNoAttemptMeansNoConnection) {
    EXPECT_EQ(RunAndWait({u"GONE0001", u"DEBE0001"}), CForecastUpdater::kResultSuccess);
    EXPECT_TRUE(CacheExists("DEBE0001"));
    EXPECT_EQ(RunAndWait(kTwoCities, 0), CForecastUpdater::kResultNoConnection);
    EXPECT_EQ(RunAndWait({}), CForecastUpdater::kResultSuccess);
}

TEST_F(ForecastUpdater, OneRunAtATimeAndShutdownCancelsIt) {
    SetFault("stall");
    ASSERT_TRUE(updater.Start(kTwoCities, false, 1, 0));
    ASSERT_TRUE(WaitForServerRequests(1));
    EXPECT_FALSE(updater.Start(kTwoCities, false, 1, 0));
    ListenerRecord late;
    CDelegate lateDelegate = late.Delegate();
    updater.AddListener(&lateDelegate);
    ASSERT_EQ(late.Calls().size(), 1u) << "a listener added during a run hears that it runs";
    EXPECT_EQ(late.Calls()[0].status, CForecastUpdater::kStatusStarted);
    updater.Shutdown();
    EXPECT_FALSE(updater.IsRunning());
    EXPECT_EQ(listener.Calls().back().status, CForecastUpdater::kStatusFailed);
    EXPECT_EQ(device.ReadHostFile(device.InstallFolder("Cities.dat")), oldList);
}

// A waited run goes on its caller's thread; a shutdown from elsewhere still cancels it and returns only
// once it has ended.
TEST_F(ForecastUpdater, AShutdownWaitsForARunOnItsCallersThread) {
    SetFault("stall");
    std::thread caller([this] { EXPECT_TRUE(updater.Start(kTwoCities, true, 1, 0)); });
    ASSERT_TRUE(WaitForServerRequests(1));
    EXPECT_FALSE(updater.Start(kTwoCities, true, 1, 0)) << "one run at a time";
    updater.Shutdown();
    EXPECT_FALSE(updater.IsRunning());
    ASSERT_FALSE(listener.Calls().empty());
    EXPECT_EQ(listener.Calls().back().status, CForecastUpdater::kStatusFailed);
    caller.join();
    EXPECT_EQ(device.ReadHostFile(device.InstallFolder("Cities.dat")), oldList);
}

TEST_F(ForecastUpdater, ARunOfAnotherProcessKeepsThisOneFromRunning) {
    // Another holder of the update lock, as the scheduled run of a second process would be.
    HANDLE otherRun = CreateMutexW(nullptr, TRUE, CForecastUpdater::kUpdateMutexName);
    ASSERT_NE(otherRun, nullptr);
    EXPECT_TRUE(updater.Start(kTwoCities, true, 1, 0));
    EXPECT_TRUE(listener.Calls().empty()) << "a run that finds the lock taken tells no one";
    EXPECT_EQ(server.Control("/control/requests"), "");
    ReleaseMutex(otherRun);
    CloseHandle(otherRun);
    EXPECT_EQ(RunAndWait({u"DEBE0001"}), CForecastUpdater::kResultSuccess);
}

// The end is told once the updater is idle and the update lock is free, so a listener can go on.
TEST_F(ForecastUpdater, AListenerMayStartTheNextRun) {
    struct Chain {
        CForecastUpdater* updater;
        int started = 0;
    } chain{&updater};
    CDelegate again(
        [](INT_PTR status, INT_PTR, INT_PTR, INT_PTR, INT_PTR, INT_PTR context) {
            auto* c = reinterpret_cast<Chain*>(context);
            if (status == CForecastUpdater::kStatusDone && c->started++ == 0) {
                EXPECT_TRUE(c->updater->Start({u"DEBE0001"}, false, 1, 0));
            }
            return 0;
        },
        reinterpret_cast<INT_PTR>(&chain));
    updater.AddListener(&again);
    ASSERT_TRUE(updater.Start({u"DEBE0001"}, false, 1, 0));
    ASSERT_TRUE(listener.WaitForEnds(2));
    EXPECT_EQ(listener.Calls().back().result, CForecastUpdater::kResultSuccess);
    EXPECT_TRUE(WaitForServerRequests(2));
    updater.RemoveListener(&again);
}

// A screen that closes as the run ends leaves during its call: the window after it still hears the end,
// with the last flag that makes it show the result.
TEST_F(ForecastUpdater, AListenerLeavingDuringTheEndStillLetsTheLastOneHearIt) {
    CDelegate first = listener.Delegate();
    updater.RemoveListener(&first);
    struct Leaving {
        CForecastUpdater* updater;
        CDelegate self;
        std::vector<INT_PTR> lastFlags;
    } leaving{&updater, {}, {}};
    leaving.self = CDelegate(
        [](INT_PTR status, INT_PTR, INT_PTR, INT_PTR, INT_PTR last, INT_PTR context) {
            auto* screen = reinterpret_cast<Leaving*>(context);
            screen->lastFlags.push_back(last);
            if (status != CForecastUpdater::kStatusStarted) {
                screen->updater->RemoveListener(&screen->self);
            }
            return 0;
        },
        reinterpret_cast<INT_PTR>(&leaving));
    updater.AddListener(&leaving.self);
    ListenerRecord window;
    CDelegate windowDelegate = window.Delegate();
    updater.AddListener(&windowDelegate);

    ASSERT_TRUE(updater.Start({u"DEBE0001"}, false, 1, 0));
    ASSERT_TRUE(window.WaitForEnds(1)) << "the window after the leaving screen is called";
    const std::vector<Call> calls = window.Calls();
    EXPECT_EQ(calls.back().status, CForecastUpdater::kStatusDone);
    EXPECT_EQ(calls.back().last, 1);
    EXPECT_EQ(leaving.lastFlags, (std::vector<INT_PTR>{0, 0}));
    updater.RemoveListener(&windowDelegate);
}

TEST(ForecastPackage, StatedLengthsBeyondTheDataOrLimitAreRefused) {
    auto header = [](uint32_t total, uint32_t zlibLength, uint32_t inflated, const std::string& body) {
        std::string bytes(20, '\0');
        auto put = [&](size_t at, uint32_t v) {
            for (int i = 0; i < 4; ++i) bytes[at + i] = static_cast<char>(v >> (8 * i));
        };
        put(4, total);
        put(8, zlibLength);
        put(12, inflated);
        put(16, ComputeCrc32(0, reinterpret_cast<const uint8_t*>(body.data()), body.size()));
        put(0, ComputeCrc32(0, reinterpret_cast<const uint8_t*>(bytes.data()) + 4, 16));
        return bytes + body;
    };
    PublicKeyRecord key{};
    std::string content;
    std::string body(64, 'x');
    std::string huge = header(84, 64, 4 * 1024 * 1024 + 1, body);
    EXPECT_FALSE(CForecastUpdater::UnpackPackage(reinterpret_cast<const BYTE*>(huge.data()),
                                                 static_cast<DWORD>(huge.size()), key, &content));
    std::string longer = header(184, 64, 100, body);
    EXPECT_FALSE(CForecastUpdater::UnpackPackage(reinterpret_cast<const BYTE*>(longer.data()),
                                                 static_cast<DWORD>(longer.size()), key, &content));
    std::string shortHeader = huge.substr(0, 12);
    EXPECT_FALSE(CForecastUpdater::UnpackPackage(reinterpret_cast<const BYTE*>(shortHeader.data()), 12, key, &content));

    int code = 0;
    const char page[] = "<html><title>2007</title>";
    EXPECT_TRUE(CForecastUpdater::FindServerCode(reinterpret_cast<const BYTE*>(page), sizeof page - 1, &code));
    EXPECT_EQ(code, 2007);
    const char cut[] = "<html><title>20";
    EXPECT_TRUE(CForecastUpdater::FindServerCode(reinterpret_cast<const BYTE*>(cut), sizeof cut - 1, &code));
    EXPECT_EQ(CForecastUpdater::ResultFromServerCode(code), CForecastUpdater::kResultUnknown);
    const char hidden[] = "abc\0<title>2007";
    EXPECT_FALSE(CForecastUpdater::FindServerCode(reinterpret_cast<const BYTE*>(hidden), sizeof hidden - 1, &code))
        << "the text ends at its first 0 byte";
}

}  // namespace
