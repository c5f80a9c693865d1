// The maps screen run for real over the installed maps database, with the program's maps updater
// fetching pictures from the weather server on loopback: what it shows for a map and its age, the
// requests it makes, the type steps, full screen, the region choice and what it remembers.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <memory>
#include <mutex>
#include <vector>

#include "CGdiFactory.h"
#include "CRegistryStore.h"
#include "CSysInfo.h"
#include "Controls/CMapViewControl.h"
#include "Controls/CSwitchControl.h"
#include "ScreenTest.h"
#include "Screens/CMapsDlg.h"
#include "Weather/CMapsUpdater.h"
#include "Weather/CSettings.h"
#include "Weather/GlobalServices.h"
#include "WeatherServerProcess.h"
#include "ce/connmgr.h"

namespace {

using namespace skin_test;
using UserInterface::CDlgControl;

constexpr uint64_t kHourMs = 3'600'000;

// The screen with the region picker played by the test: each call answers with the next row given.
class PickingMapsDlg : public CMapsDlg {
public:
    std::vector<Choice> offered;
    std::vector<int> answers;

protected:
    int ChooseFrom(const Choice& choice) override {
        offered.push_back(choice);
        const size_t turn = offered.size() - 1;
        return turn < answers.size() ? answers[turn] : -1;
    }
};
using ScriptedMaps = ScriptedScreen<PickingMapsDlg>;

// Counts the updater's "queued" calls per map.
struct QueueCounter {
    std::mutex lock;
    std::vector<std::u16string> queued;
    static int Record(INT_PTR status, INT_PTR id, INT_PTR, INT_PTR, INT_PTR, INT_PTR context) {
        auto* self = reinterpret_cast<QueueCounter*>(context);
        if (status == CMapsUpdater::kStatusQueued) {
            std::lock_guard guard(self->lock);
            self->queued.push_back(reinterpret_cast<LPCWSTR>(id));
        }
        return 0;
    }
    size_t Count() {
        std::lock_guard guard(lock);
        return queued.size();
    }
};

class MapsScreenTest : public FontScreenTest {
protected:
    void SetUp() override {
        FontScreenTest::SetUp();
        ASSERT_TRUE(registry_.Open(HKEY_LOCAL_MACHINE, u"Software\\Quillon Software\\Skyvane"));
        g_pRegistry = &registry_;
        std::filesystem::copy_file(std::string(CE_TEST_BINARY_DIR) + "/data/MapDB.dat",
                                   device_.InstallFolder("MapDB.dat"));
        ASSERT_GT(server_.Port(), 0);
        ce::SetProfileString("hosts", "forecast.skyvane.example", "127.0.0.1:" + std::to_string(server_.Port()));
        ce::ReloadProfile();
        GetSettings().connection = IID_DestNetInternet;
        GetSettings().language = 1033;
        ASSERT_TRUE(updater_.Initialize());
        g_pMapsUpdater = &updater_;
        updater_.AddListener(&counting_);
    }
    void TearDown() override {
        updater_.RemoveListener(&counting_);
        updater_.Shutdown();
        g_pMapsUpdater = nullptr;
        g_pRegistry = nullptr;
        GetSettings().connection = GUID_NULL;
        FontScreenTest::TearDown();
    }

    void SetLastMap(LPCWSTR id) { ASSERT_TRUE(registry_.SetString(CMapsDlg::kLastMapValue, id)); }
    std::u16string LastMap() {
        WCHAR id[261] = {};
        registry_.GetString(CMapsDlg::kLastMapValue, id, 261);
        return id;
    }
    void SetFault(const std::string& spec) { ASSERT_EQ(server_.Control("/control/fault?spec=" + spec), "ok\n"); }
    std::string CacheFile(const std::string& name) { return device_.InstallFolder("Cache/" + name + ".map"); }

    static CSwitchControl* Header(CMapsDlg& d) {
        return static_cast<CSwitchControl*>(d.GetLayout()->FindControl(CMapsDlg::kHeaderId));
    }
    static CMapViewControl* View(CMapsDlg& d) {
        return static_cast<CMapViewControl*>(d.GetLayout()->FindControl(CMapsDlg::kMapViewId));
    }
    static bool HasPicture(CMapsDlg& d) {
        SIZE size = View(d)->GetScaledSize();
        return size.cx > 0 && size.cy > 0;
    }
    static void Command(CMapsDlg& d, int id) { PostMessageW(d.GetHandle(), WM_COMMAND, static_cast<WPARAM>(id), 0); }
    static bool Ended(CMapsDlg& d) { return d.GetResult() != -1; }

    // Opens the screen on the map, asks for its picture and waits for it; the screen ends with Back.
    void Fetch(LPCWSTR id) {
        SetLastMap(id);
        ScriptedMaps maps;
        maps.Then([](ScriptedMaps& d) { Command(d, CMapsDlg::kCmdUpdateMap); },
                  Soon<ScriptedMaps>(
                      [](ScriptedMaps& d) { return Header(d)->GetSecondText().rfind(u"Updated at ", 0) == 0; }));
        maps.Then([](ScriptedMaps& d) { Command(d, CMapsDlg::kCmdBack); }, Ended);
        EXPECT_EQ(maps.RunOverWindow(nullptr, nullptr, nullptr), IDOK);
    }

    CRegistryStore registry_;
    WeatherServerProcess server_{{"--date", "2026120912"}};
    CMapsUpdater updater_;
    QueueCounter counter_;
    CDelegate counting_{&QueueCounter::Record, reinterpret_cast<INT_PTR>(&counter_)};
};

TEST_F(MapsScreenTest, WithoutALastMapTheFirstRegionOpensAndTheMapShownIsRemembered) {
    for (LPCWSTR last : {u"", u"atlantis_sat"}) {
        SetLastMap(last);
        ScriptedMaps maps;
        maps.Then([](ScriptedMaps& d) {
            EXPECT_EQ(IdsOf(d), (std::vector<int>{0, 1, 2, 3}));
            EXPECT_EQ(d.GetCurrentMap().GetId(), u"africa_sat");
            EXPECT_EQ(Header(d)->GetFirstText(), u"Africa");
            EXPECT_EQ(Header(d)->GetSecondText(), u"Not updated");
            EXPECT_EQ(Header(d)->GetArrowState(CSwitchControl::kLeftArrow), CSwitchControl::kDisabled);
            EXPECT_EQ(Header(d)->GetArrowState(CSwitchControl::kRightArrow), CSwitchControl::kNormal);
            EXPECT_FALSE(HasPicture(d)) << "nothing cached yet";
            RECT header{};
            RECT toolbar{};
            d.GetLayout()->FindControl(CMapsDlg::kHeaderId)->GetRect(&header);
            d.GetLayout()->FindControl(CMapsDlg::kToolbarId)->GetRect(&toolbar);
            EXPECT_EQ(header.bottom - header.top, 40);
            EXPECT_EQ(toolbar.bottom - toolbar.top, 50);
            EXPECT_EQ(toolbar.bottom, d.GetClientHeight() - 2) << "along the bottom, inside the margin";
            EXPECT_FALSE(d.IsScrollable());
            ce::InjectKey(VK_TSOFT1);
        }, Ended);
        EXPECT_EQ(maps.RunOverWindow(nullptr, nullptr, nullptr), IDOK) << "Back";
        EXPECT_EQ(LastMap(), u"africa_sat");
    }
}

TEST_F(MapsScreenTest, AMissingDatabaseEndsTheScreenAtOnce) {
    std::filesystem::remove(device_.InstallFolder("MapDB.dat"));
    ScriptedMaps maps;
    EXPECT_EQ(maps.RunOverWindow(nullptr, nullptr, nullptr), IDCANCEL);
    EXPECT_EQ(LastMap(), u"") << "nothing shown, nothing remembered";
}

// The picture of a day ago is shown with its time until 24 whole hours have passed.
TEST_F(MapsScreenTest, AFetchedPictureShowsWithItsTimeForADay) {
    Fetch(u"europe_temp");
    ASSERT_TRUE(std::filesystem::exists(CacheFile("europe_temp")));
    EXPECT_EQ(LastMap(), u"europe_temp");
    for (const bool fresh : {true, false}) {
        ce::AdvanceVirtualClock(fresh ? 23 * kHourMs : kHourMs);
        ScriptedMaps maps;
        maps.Then([&](ScriptedMaps& d) {
            EXPECT_EQ(Header(d)->GetFirstText(), u"Europe");
            EXPECT_EQ(Header(d)->GetSecondText().rfind(fresh ? u"Updated at " : u"Not updated", 0), 0u)
                << ce::ToUtf8(Header(d)->GetSecondText());
            EXPECT_EQ(HasPicture(d), fresh);
            Command(d, CMapsDlg::kCmdBack);
        }, Ended);
        EXPECT_EQ(maps.RunOverWindow(nullptr, nullptr, nullptr), IDOK);
    }
}

// A cache file that is not a picture (a write cut short by a full disk, say) shows no picture.
TEST_F(MapsScreenTest, ACachedFileThatIsNoPictureShowsNothing) {
    std::filesystem::create_directories(device_.InstallFolder("Cache"));
    device_.WriteHostFile(CacheFile("oceania_sat"), std::string("\x89PNG\r\n\x1a\n cut short"));
    SetLastMap(u"oceania_sat");
    ScriptedMaps maps;
    maps.Then([](ScriptedMaps& d) {
        EXPECT_FALSE(HasPicture(d));
        Command(d, CMapsDlg::kCmdBack);
    }, Ended);
    EXPECT_EQ(maps.RunOverWindow(nullptr, nullptr, nullptr), IDOK);
}

TEST_F(MapsScreenTest, AskingAgainWhileTheMapIsQueuedQueuesNothingNew) {
    SetFault("stall");
    SetLastMap(u"world_sfc");
    ScriptedMaps maps;
    maps.Then([](ScriptedMaps& d) { Command(d, CMapsDlg::kCmdUpdateMap); },
              Soon<ScriptedMaps>([](ScriptedMaps& d) { return Header(d)->GetFirstText() == u"Downloading..."; }));
    maps.Then([](ScriptedMaps& d) {
        EXPECT_EQ(Header(d)->GetSecondText(), u"") << "one line while queued";
        Command(d, CMapsDlg::kCmdUpdateMap);
        Command(d, CMapsDlg::kCmdUpdateMap);
    });
    maps.Then([&](ScriptedMaps& d) {
        EXPECT_EQ(counter_.Count(), 1u);
        Command(d, CMapsDlg::kCmdBack);
    }, Ended);
    EXPECT_EQ(maps.RunOverWindow(nullptr, nullptr, nullptr), IDOK);
    updater_.Shutdown();
    server_.Control("/control/release");
}

// A failed request shows its result over the screen; the good picture of the map stays.
TEST_F(MapsScreenTest, AFailedDownloadShowsItsMessageAndKeepsTheCachedPicture) {
    Fetch(u"asia_sat");
    const std::string good = device_.ReadHostFile(CacheFile("asia_sat"));
    ASSERT_FALSE(good.empty());
    ClockTicker clock;  // the message box's transitions
    for (const char* fault : {"code:2007", "cut-picture", "drop-connection"}) {
        SetFault(fault);
        ScriptedMaps maps;
        maps.Then([](ScriptedMaps& d) { Command(d, CMapsDlg::kCmdUpdateMap); },
                  Soon<ScriptedMaps>([](ScriptedMaps& d) { return GetForegroundWindow() != d.GetHandle(); }));
        maps.Then([](ScriptedMaps&) { ce::InjectKey(VK_TSOFT1); },
                  Soon<ScriptedMaps>([](ScriptedMaps& d) { return GetForegroundWindow() == d.GetHandle(); }));
        maps.Then([&](ScriptedMaps& d) {
            EXPECT_TRUE(HasPicture(d)) << fault;
            EXPECT_EQ(Header(d)->GetSecondText().rfind(u"Updated at ", 0), 0u) << fault;
            Command(d, CMapsDlg::kCmdBack);
        }, Ended);
        EXPECT_EQ(maps.RunOverWindow(nullptr, nullptr, nullptr), IDOK) << fault;
        EXPECT_EQ(device_.ReadHostFile(CacheFile("asia_sat")), good) << fault;
        server_.Control("/control/reset");
    }
}

TEST_F(MapsScreenTest, TheArrowKeysStepThroughTheTypesOfTheSameArea) {
    SetLastMap(u"westeurope_sat");
    ClockTicker clock;
    ScriptedMaps maps;
    maps.Then([](ScriptedMaps&) { ce::InjectKey(VK_LEFT); });
    maps.Then([](ScriptedMaps& d) {
        EXPECT_EQ(d.GetCurrentMap().GetId(), u"westeurope_sat") << "no type below satellite";
        ce::InjectKey(VK_RIGHT);
    });
    maps.Then([](ScriptedMaps& d) {
        EXPECT_EQ(d.GetCurrentMap().GetId(), u"westeurope_temp");
        EXPECT_EQ(Header(d)->GetFirstText(), u"Western Europe");
        ce::InjectKey(VK_RIGHT);
    });
    maps.Then([](ScriptedMaps& d) {
        EXPECT_EQ(d.GetCurrentMap().GetId(), u"westeurope_sfc");
        EXPECT_EQ(Header(d)->GetArrowState(CSwitchControl::kRightArrow), CSwitchControl::kDisabled);
        EXPECT_FALSE(d.StepMapType(1, false));
        ce::InjectKey(VK_LEFT);
    });
    maps.Then([](ScriptedMaps& d) {
        EXPECT_EQ(d.GetCurrentMap().GetId(), u"westeurope_temp");
        Command(d, CMapsDlg::kCmdBack);
    }, Ended);
    EXPECT_EQ(maps.RunOverWindow(nullptr, nullptr, nullptr), IDOK);
    EXPECT_EQ(LastMap(), u"westeurope_temp");
}

TEST_F(MapsScreenTest, ASwipeStepsTheTypeOncePerStroke) {
    SetLastMap(u"usa_temp");
    ClockTicker clock;
    ScriptedMaps maps;
    maps.Then([](ScriptedMaps& d) {
        d.Down(200, 150);
        d.MoveTo(150, 150);
        d.MoveTo(100, 150);
        d.MoveTo(20, 150);
        d.Up(20, 150);
    });
    maps.Then([](ScriptedMaps& d) {
        EXPECT_EQ(d.GetCurrentMap().GetId(), u"usa_sfc") << "to the left: the next type, once";
        d.Down(20, 150);
        d.MoveTo(120, 150);
        d.Up(120, 150);
    });
    maps.Then([](ScriptedMaps& d) {
        EXPECT_EQ(d.GetCurrentMap().GetId(), u"usa_temp") << "to the right: the previous type";
        Command(d, CMapsDlg::kCmdBack);
    }, Ended);
    EXPECT_EQ(maps.RunOverWindow(nullptr, nullptr, nullptr), IDOK);
}

TEST_F(MapsScreenTest, FullScreenHidesTheBarsAndTheBackKeyBringsThemBack) {
    SetLastMap(u"world_sat");
    RECT normal{};
    ScriptedMaps maps;
    maps.passBackKeys = true;
    maps.Then([&](ScriptedMaps& d) {
        GetWindowRect(d.GetHandle(), &normal);
        ce::InjectKey(VK_RETURN);
    });
    maps.Then([](ScriptedMaps& d) {
        EXPECT_TRUE(d.IsFullScreen());
        EXPECT_TRUE(View(d)->IsFullScreen());
        EXPECT_FALSE(Header(d)->IsVisible());
        EXPECT_FALSE(d.GetLayout()->FindControl(CMapsDlg::kToolbarId)->IsVisible());
        EXPECT_FALSE(IsWindowVisible(d.GetMenuBar()));
        RECT window{};
        GetWindowRect(d.GetHandle(), &window);
        EXPECT_EQ(window.top, 0);
        EXPECT_EQ(window.bottom, 320);
        RECT view{};
        View(d)->GetRect(&view);
        EXPECT_EQ(view.bottom - view.top, 320 - 4) << "the map takes the whole screen";
        ce::InjectKey(VK_ESCAPE);
    });
    maps.Then([&](ScriptedMaps& d) {
        EXPECT_FALSE(d.IsFullScreen());
        EXPECT_TRUE(Header(d)->IsVisible());
        EXPECT_TRUE(IsWindowVisible(d.GetMenuBar()));
        RECT window{};
        GetWindowRect(d.GetHandle(), &window);
        EXPECT_EQ(window.top, normal.top);
        EXPECT_EQ(window.bottom, normal.bottom);
        Command(d, CMapsDlg::kCmdFullScreen);
    });
    maps.Then([](ScriptedMaps& d) {
        EXPECT_TRUE(d.IsFullScreen());
        Command(d, CMapsDlg::kCmdDayForecast);
    }, Ended);
    EXPECT_EQ(maps.RunOverWindow(nullptr, nullptr, nullptr), CMapsDlg::kCmdDayForecast) << "a view's command";
}

// On both kinds of device the arrows pan a full-screen map at once, without a tap first, and Enter
// leaves full screen.
TEST_F(MapsScreenTest, InFullScreenTheArrowsPanTheMapAndEnterLeaves) {
    Fetch(u"world_sat");
    for (const char* kind : {"pocketpc", "smartphone"}) {
        SCOPED_TRACE(kind);
        ce::SetProfileString("device", "kind", kind);
        ce::ReloadProfile();
        CSysInfo sysInfo(GetModuleHandleW(nullptr));
        g_pSysInfo = &sysInfo;
        POINT panned{};
        ScriptedMaps maps;
        maps.Then([](ScriptedMaps& d) { Command(d, CMapsDlg::kCmdFullScreen); },
                  [](ScriptedMaps& d) { return d.IsFullScreen(); });
        maps.Then([](ScriptedMaps& d) {
            ASSERT_TRUE(HasPicture(d));
            EXPECT_FALSE(IsWindowVisible(d.GetMenuBar())) << "no soft-key strip";
            EXPECT_EQ(View(d)->GetScrollPosition().x, 0);
            ce::InjectKey(VK_RIGHT);
            ce::InjectKey(VK_DOWN);
        }, [](ScriptedMaps& d) { return View(d)->GetScrollPosition().x > 0; });
        maps.Then([&](ScriptedMaps& d) {
            panned = View(d)->GetScrollPosition();
            ce::InjectKey(VK_RETURN);
        }, [](ScriptedMaps& d) { return !d.IsFullScreen(); });
        maps.Then([](ScriptedMaps& d) { Command(d, CMapsDlg::kCmdBack); }, Ended);
        EXPECT_EQ(maps.RunOverWindow(nullptr, nullptr, nullptr), IDOK);
        EXPECT_GT(panned.x, 0) << "Right panned the map";
        g_pSysInfo = &device_.SysInfo();
    }
    ce::SetProfileString("device", "kind", "pocketpc");
    ce::ReloadProfile();
}

TEST_F(MapsScreenTest, TheRegionChoiceListsTheRegionsOfTheTypeAndThenTheChosenRegionsMaps) {
    SetLastMap(u"westeurope_temp");
    ClockTicker clock;
    ScriptedMaps maps;
    maps.answers = {-2, -2};
    maps.Then([](ScriptedMaps& d) {
        const CMapsDlg::Choice regions = d.GetRegionChoice();
        ASSERT_FALSE(regions.names.empty());
        for (size_t i = 0; i < regions.records.size(); ++i) {
            EXPECT_EQ(regions.records[i].GetMapType(), 1u);
            if (i > 0) {
                EXPECT_LE(_wcsicmp(regions.names[i - 1].c_str(), regions.names[i].c_str()), 0);
            }
        }
        ASSERT_GE(regions.preselected, 0);
        EXPECT_EQ(regions.names[static_cast<size_t>(regions.preselected)], u"Europe") << "the current map's region";
        d.answers = {regions.preselected, -1};
        Command(d, CMapsDlg::kCmdSelectRegion);
    });
    maps.Then([](ScriptedMaps& d) {
        ASSERT_EQ(d.offered.size(), 2u) << "Europe has maps of its own";
        const CMapsDlg::Choice& inEurope = d.offered[1];
        EXPECT_EQ(inEurope.names, (std::vector<std::u16string>{u"Central Europe", u"Eastern Europe", u"Europe",
                                                               u"Northern Europe", u"Southern Europe",
                                                               u"Western Europe"}));
        EXPECT_EQ(inEurope.preselected, 5) << "the current map";
        EXPECT_EQ(d.GetCurrentMap().GetId(), u"westeurope_temp") << "nothing chosen, nothing changed";
        d.offered.clear();
        d.answers = {0, 0};
        Command(d, CMapsDlg::kCmdSelectRegion);
    });
    maps.Then([](ScriptedMaps& d) {
        const std::u16string first = d.offered[0].records[0].GetId();
        EXPECT_EQ(d.GetCurrentMap().GetMapType(), 1u);
        EXPECT_EQ(d.GetCurrentMap().GetId(), d.offered.size() == 2 ? d.offered[1].records[0].GetId() : first);
        Command(d, CMapsDlg::kCmdBack);
    }, Ended);
    EXPECT_EQ(maps.RunOverWindow(nullptr, nullptr, nullptr), IDOK);
}

}  // namespace
