// The maps updater against the real weather server on loopback, in a throw-away installed device.
#include <gtest/gtest.h>

#include <chrono>
#include <condition_variable>
#include <filesystem>
#include <future>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "CVOImage.h"
#include "InstalledDevice.h"
#include "Weather/CForecastUpdater.h"
#include "Weather/CMapsUpdater.h"
#include "Weather/CSettings.h"
#include "Weather/GlobalServices.h"
#include "WeatherServerProcess.h"
#include "ce/connmgr.h"
#include "ce/device.h"

namespace {

struct MapCall {
    INT_PTR status;
    INT_PTR result;
    std::u16string id;
};

class MapListener {
public:
    static int Record(INT_PTR status, INT_PTR second, INT_PTR third, INT_PTR, INT_PTR, INT_PTR context) {
        auto* self = reinterpret_cast<MapListener*>(context);
        LPCWSTR id = reinterpret_cast<LPCWSTR>(status == CMapsUpdater::kStatusQueued  ? second
                                               : status == CMapsUpdater::kStatusDone ? third
                                                                                      : 0);
        std::lock_guard guard(self->lock_);
        self->calls_.push_back({status, status == CMapsUpdater::kStatusQueued ? 0 : second, id ? id : u""});
        self->changed_.notify_all();
        return 0;
    }
    CDelegate Delegate() { return CDelegate(&Record, reinterpret_cast<INT_PTR>(this)); }
    std::vector<MapCall> Calls() {
        std::lock_guard guard(lock_);
        return calls_;
    }
    // Waits (at most 20 s) for this many calls that are not "queued".
    bool WaitForEnds(size_t ends) {
        std::unique_lock guard(lock_);
        return changed_.wait_for(guard, std::chrono::seconds(20), [&] { return CountEnds() >= ends; });
    }
    size_t Ends() {
        std::lock_guard guard(lock_);
        return CountEnds();
    }

private:
    size_t CountEnds() const {
        size_t seen = 0;
        for (const MapCall& call : calls_) {
            seen += call.status != CMapsUpdater::kStatusQueued ? 1 : 0;
        }
        return seen;
    }

    std::mutex lock_;
    std::condition_variable changed_;
    std::vector<MapCall> calls_;
};

// Holds its first run at the run's end until released: a map queued meanwhile starts a second worker
// while the first one is still on its way out.
class RunEndHeldUpdater : public CMapsUpdater {
public:
    ~RunEndHeldUpdater() override {
        Release();
        Shutdown();
    }
    // Waits (at most 20 s) for the first run to reach its end.
    bool WaitUntilHeld() {
        std::unique_lock guard(lock_);
        return changed_.wait_for(guard, std::chrono::seconds(20), [&] { return held_; });
    }
    void Release() {
        std::lock_guard guard(lock_);
        released_ = true;
        changed_.notify_all();
    }

protected:
    void OnRunEnding() override {
        std::unique_lock guard(lock_);
        if (held_) {
            return;
        }
        held_ = true;
        changed_.notify_all();
        changed_.wait(guard, [&] { return released_; });
    }

private:
    std::mutex lock_;
    std::condition_variable changed_;
    bool held_ = false;
    bool released_ = false;
};

class MapsUpdater : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_GT(server.Port(), 0);
        ce::SetProfileString("hosts", "forecast.skyvane.example", "127.0.0.1:" + std::to_string(server.Port()));
        ce::ReloadProfile();
        GetSettings().connection = IID_DestNetInternet;
        ASSERT_TRUE(updater.Initialize());
        updater.AddListener(&delegate);
    }
    void TearDown() override {
        updater.Shutdown();
        GetSettings().connection = GUID_NULL;
    }

    void SetFault(const std::string& spec) { ASSERT_EQ(server.Control("/control/fault?spec=" + spec), "ok\n"); }
    // Waits (at most 20 s) until the server holds this many stalled replies.
    bool WaitForHeldReplies(int count) {
        auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(20);
        while (server.Control("/control/held") != std::to_string(count) + "\n") {
            if (std::chrono::steady_clock::now() > deadline) {
                return false;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(5));
        }
        return true;
    }
    std::string CacheFile(const std::string& name) { return device.InstallFolder("Cache/" + name + ".map"); }
    // Queues the id and waits for the run to end; the last call the listener heard.
    MapCall QueueAndWait(LPCWSTR id) {
        size_t ends = listener.Ends();
        EXPECT_TRUE(updater.QueueMap(id));
        EXPECT_TRUE(listener.WaitForEnds(ends + 1));
        return listener.Calls().back();
    }
    static bool Decodes(const std::string& bytes) {
        CVOImage image;
        if (!image.Load(nullptr, reinterpret_cast<const BYTE*>(bytes.data()), static_cast<DWORD>(bytes.size()))) {
            return false;
        }
        DeleteObject(image.TakeBitmap());
        return true;
    }

    ce::test::InstalledDevice device;
    WeatherServerProcess server{{"--date", "2026120912"}};
    CMapsUpdater updater;
    MapListener listener;
    CDelegate delegate = listener.Delegate();
};

TEST_F(MapsUpdater, QueuedMapsAreStoredInQueueOrderUnderTheirCacheNames) {
    ASSERT_TRUE(updater.QueueMap(u"eu.sat"));
    ASSERT_TRUE(updater.QueueMap(u"us-east.sat.hi"));
    ASSERT_TRUE(listener.WaitForEnds(2));
    std::vector<MapCall> calls = listener.Calls();
    ASSERT_EQ(calls.size(), 4u);
    std::vector<std::u16string> done;
    for (size_t i = 0; i < calls.size(); ++i) {
        if (calls[i].status == CMapsUpdater::kStatusDone) {
            EXPECT_EQ(calls[i].result, 0);
            done.push_back(calls[i].id);
        }
    }
    EXPECT_EQ(done, (std::vector<std::u16string>{u"eu.sat", u"us-east.sat.hi"}));
    EXPECT_EQ(calls[0].status, CMapsUpdater::kStatusQueued);
    EXPECT_EQ(calls[0].id, u"eu.sat");
    for (const char* name : {"eu", "us_east_sat"}) {
        std::string picture = device.ReadHostFile(CacheFile(name));
        EXPECT_EQ(picture.substr(0, 4), "\x89PNG") << name;
        EXPECT_TRUE(Decodes(picture)) << name;
    }
    EXPECT_FALSE(updater.IsQueued(u"eu.sat"));
}

TEST_F(MapsUpdater, CacheNamesDropTheLastExtensionAndReplaceLowCharacters) {
    std::u16string path;
    ASSERT_TRUE(CMapsUpdater::GetMapCachePath(u"eu.sat", &path));
    EXPECT_EQ(path, u"\\Program Files\\Skyvane\\Cache\\eu.map");
    ASSERT_TRUE(CMapsUpdater::GetMapCachePath(u"us-east.sat.hi", &path));
    EXPECT_EQ(path, u"\\Program Files\\Skyvane\\Cache\\us_east_sat.map");
    ASSERT_TRUE(CMapsUpdater::GetMapCachePath(u"europe_sfc", &path));
    EXPECT_EQ(path, u"\\Program Files\\Skyvane\\Cache\\europe_sfc.map");
    ASSERT_TRUE(CMapsUpdater::GetMapCachePath(u"a b/c*d.x", &path));
    EXPECT_EQ(path, u"\\Program Files\\Skyvane\\Cache\\a_b_c_d.map");
    EXPECT_FALSE(CMapsUpdater::GetMapCachePath(nullptr, &path));
    EXPECT_FALSE(CMapsUpdater::GetMapCachePath(u"eu.sat", nullptr));
}

TEST_F(MapsUpdater, RepliesAreSplitAtTheirFirstNulAndNeedAPicture) {
    const BYTE reply[] = {'h', 'e', 'a', 'd', 0, 0x89, 'P', 0};
    const BYTE* picture = nullptr;
    DWORD size = 0;
    ASSERT_TRUE(CMapsUpdater::SplitMapReply(reply, sizeof reply, &picture, &size));
    EXPECT_EQ(picture, reply + 5);
    EXPECT_EQ(size, 3u);
    EXPECT_FALSE(CMapsUpdater::SplitMapReply(reply, 4, &picture, &size)) << "no NUL: nothing beyond the reply is read";
    EXPECT_FALSE(CMapsUpdater::SplitMapReply(reply, 5, &picture, &size)) << "a head alone has no picture";
}

TEST_F(MapsUpdater, AServerErrorEndsTheRunAndDropsEveryQueuedMap) {
    SetFault("code:2007");
    ASSERT_TRUE(updater.QueueMap(u"eu.sat"));
    ASSERT_TRUE(updater.QueueMap(u"eu.temp"));
    ASSERT_TRUE(listener.WaitForEnds(1));
    MapCall last = listener.Calls().back();
    EXPECT_EQ(last.status, CMapsUpdater::kStatusFailed);
    EXPECT_EQ(last.result, CForecastUpdater::kResultNoWeatherData);
    EXPECT_EQ(last.id, u"");
    EXPECT_FALSE(updater.IsQueued(u"eu.temp"));
    EXPECT_FALSE(std::filesystem::exists(CacheFile("eu")));

    SetFault("code:2003");
    EXPECT_EQ(QueueAndWait(u"eu.sat").result, CForecastUpdater::kResultUnknown) << "a code without its own result";
    server.Control("/control/reset");
    EXPECT_EQ(QueueAndWait(u"eu.sat").status, CMapsUpdater::kStatusDone) << "the next queued map starts a new run";
}

// A reply that is damaged, cut off or not a picture never takes the place of the good cached map.
TEST_F(MapsUpdater, HostileRepliesKeepTheCachedMap) {
    ASSERT_EQ(QueueAndWait(u"eu.sat").status, CMapsUpdater::kStatusDone);
    const std::string good = device.ReadHostFile(CacheFile("eu"));
    ASSERT_FALSE(good.empty());
    for (const char* fault : {"cut-picture", "no-separator", "drop-connection", "code:2008"}) {
        SetFault(fault);
        MapCall last = QueueAndWait(u"eu.sat");
        EXPECT_EQ(last.status, CMapsUpdater::kStatusFailed) << fault;
        EXPECT_LT(last.result, 0) << fault;
        EXPECT_EQ(device.ReadHostFile(CacheFile("eu")), good) << fault;
        EXPECT_FALSE(std::filesystem::exists(CacheFile("eu") + ".tmp")) << fault;
    }
}

TEST_F(MapsUpdater, AnUnknownConnectionGivesNoConnection) {
    GetSettings().connection = {0x12345678, 0x1234, 0x1234, {1, 2, 3, 4, 5, 6, 7, 8}};
    MapCall last = QueueAndWait(u"eu.sat");
    EXPECT_EQ(last.status, CMapsUpdater::kStatusFailed);
    EXPECT_EQ(last.result, CForecastUpdater::kResultNoConnection);
}

TEST_F(MapsUpdater, ALateListenerHearsTheQueueAndShutdownEndsAStalledRun) {
    SetFault("stall");
    ASSERT_TRUE(updater.QueueMap(u"eu.sat"));
    ASSERT_TRUE(updater.QueueMap(u"eu.temp"));
    EXPECT_TRUE(updater.IsQueued(u"eu.temp"));
    EXPECT_FALSE(updater.IsQueued(u"EU.TEMP"));
    MapListener late;
    CDelegate lateDelegate = late.Delegate();
    updater.AddListener(&lateDelegate);
    std::vector<MapCall> calls = late.Calls();
    ASSERT_EQ(calls.size(), 2u);
    EXPECT_EQ(calls[0].id, u"eu.sat");
    EXPECT_EQ(calls[1].id, u"eu.temp");
    updater.Shutdown();
    server.Control("/control/release");
    EXPECT_EQ(listener.Calls().back().status, CMapsUpdater::kStatusFailed);
    EXPECT_FALSE(updater.IsQueued(u"eu.temp"));
    EXPECT_FALSE(std::filesystem::exists(CacheFile("eu")));
}

// A run that ends just as the next map starts a worker must leave the new worker's transfer where
// Shutdown finds it to cancel.
TEST_F(MapsUpdater, ARunEndingAsTheNextStartsLeavesTheNewTransferToShutdown) {
    RunEndHeldUpdater held;
    ASSERT_TRUE(held.Initialize());
    held.AddListener(&delegate);
    ASSERT_TRUE(held.QueueMap(u"eu.sat"));
    ASSERT_TRUE(held.WaitUntilHeld()) << "the first run stored its map and found the queue empty";
    SetFault("stall");
    // Queueing joins the worker that ended, the held one: it runs on a thread of its own.
    std::thread queuer([&] { EXPECT_TRUE(held.QueueMap(u"world.temp")); });
    ASSERT_TRUE(WaitForHeldReplies(1)) << "the second worker's request reached the server";
    held.Release();
    queuer.join();

    auto shutdown = std::async(std::launch::async, [&] { held.Shutdown(); });
    const bool cancelled = shutdown.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
    server.Control("/control/release");  // a wrong build must not hang the suite
    shutdown.wait();
    EXPECT_TRUE(cancelled) << "Shutdown waited on a transfer it could not cancel";
    EXPECT_EQ(listener.Calls().back().status, CMapsUpdater::kStatusFailed);
    EXPECT_TRUE(std::filesystem::exists(CacheFile("eu")));
    EXPECT_FALSE(std::filesystem::exists(CacheFile("world")));
}

// The listener runs on the worker; queueing from there must neither deadlock nor lose the map.
TEST_F(MapsUpdater, AListenerMayQueueTheNextMapFromTheWorker) {
    struct Chain {
        CMapsUpdater* updater;
        bool queued = false;
    } chain{&updater};
    CDelegate next(
        [](INT_PTR status, INT_PTR, INT_PTR, INT_PTR, INT_PTR, INT_PTR context) {
            auto* self = reinterpret_cast<Chain*>(context);
            if (status == CMapsUpdater::kStatusDone && !self->queued) {
                self->queued = true;
                self->updater->QueueMap(u"world.temp");
            }
            return 0;
        },
        reinterpret_cast<INT_PTR>(&chain));
    updater.AddListener(&next);
    ASSERT_TRUE(updater.QueueMap(u"world.sat"));
    ASSERT_TRUE(listener.WaitForEnds(2));
    EXPECT_EQ(listener.Calls().back().id, u"world.temp");
    EXPECT_TRUE(std::filesystem::exists(CacheFile("world")));
    updater.RemoveListener(&next);
}

}  // namespace
