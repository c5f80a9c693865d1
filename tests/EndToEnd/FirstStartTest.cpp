// A new user's first start on a fresh device, with the installed city data and the weather server
// serving the installed city table: the offered cities kept, one update, and every city has its
// forecast; and the same when the server knows one of them not.
#include <gtest/gtest.h>

#include <algorithm>
#include <chrono>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <memory>
#include <optional>
#include <string>
#include <thread>

#include "CRegistryStore.h"
#include "ProgramDevice.h"
#include "Shell/CMainWindow.h"
#include "Weather/CCityList.h"
#include "Weather/CSettings.h"
#include "Weather/ScheduledUpdates.h"
#include "WeatherServerProcess.h"
#include "ce/device.h"
#include "ce/user.h"

namespace endtoend {
namespace {

constexpr uint64_t kNoonUtc = 1796817600000;  // 2026-12-09 12:00 UTC
const std::string kCityTable = std::string(CE_TEST_BINARY_DIR) + "/data/cities.txt";
const char* const kFirstCities[] = {"RSXX0063", "UKXX0085", "USNY0996"};

// The installed city table without one city: a server that has no data for it.
std::string TableWithout(const std::string& id, const std::string& folder) {
    std::ifstream in(kCityTable);
    std::string path = folder + "/cities-without-" + id + ".txt";
    std::ofstream out(path);
    for (std::string line; std::getline(in, line);) {
        if (line.rfind(id + ";", 0) != 0) {
            out << line << '\n';
        }
    }
    return path;
}

struct Journey {
    const char* kind;
    LANGID language;  // 0: the language page is shown and its choice (English) kept
    const char* name;
};

class FirstStart : public ::testing::TestWithParam<Journey> {
protected:
    void Begin(const std::vector<std::string>& serverArguments) {
        server = std::make_unique<WeatherServerProcess>(serverArguments);
        ASSERT_TRUE(device.Ready()) << device.Problem();
        ASSERT_GT(server->Port(), 0);
        ASSERT_TRUE(ce::SetProfileString("hosts", "forecast.skyvane.example", "127.0.0.1:" + std::to_string(server->Port())));
        ce::ReloadProfile();
        ce::EnableVirtualClock(kNoonUtc);
        if (GetParam().language != 0) {
            CRegistryStore store;
            ASSERT_TRUE(store.Open(HKEY_LOCAL_MACHINE, u"Software\\Quillon Software\\Skyvane"));
            ASSERT_TRUE(store.SetDWORD(u"Language", GetParam().language));
        }
        program.emplace(device.Start(""));
    }
    void TearDown() override {
        if (HWND window = FindWindowW(CMainWindow::kClassName, nullptr)) {
            PostMessageW(window, WM_COMMAND, 3005, 0);
            EXPECT_EQ(WaitForExit(), 0);
        }
        ClearScheduledUpdates();
        ce::DisableVirtualClock();
    }

    static HWND FrontScreen() { return FindWindowW(u"Dialog", nullptr); }
    // The program's exit code once it ended, the device's time going on meanwhile; -1 when it did not.
    int WaitForExit() {
        for (int i = 0; i < 2000 && program->StillRunningAfter(std::chrono::milliseconds(10)); ++i) {
            ce::AdvanceVirtualClock(20);
        }
        return program->Wait(std::chrono::milliseconds(0));
    }
    // Answers Done on each page of the first start as it comes, the device's time going on meanwhile;
    // the number of pages answered once `ended` holds.
    template <typename Condition>
    int AnswerPagesUntil(int pages, Condition ended) {
        HWND answered = nullptr;
        int count = 0;
        for (int i = 0; i < 3000 && !ended(); ++i) {
            HWND front = FrontScreen();
            if (front != nullptr && front != answered && count < pages) {
                // Done goes to the page itself: a soft key goes to whichever window is in front when it
                // arrives, which under load can still be the window below a page that is just opening.
                EXPECT_TRUE(PostMessageW(front, WM_COMMAND, IDOK, 0));
                answered = front;
                ++count;
            }
            ce::AdvanceVirtualClock(20);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return count;
    }
    bool Cached(const std::string& id) const { return std::filesystem::exists(device.Installed("Cache/" + id + ".xml")); }
    // The list is saved after the last cache file: every city of it with its update time.
    static bool ListSavedUpdated(int count) {
        CCityList cities;
        CCity city;
        FILETIME updated{};
        bool saved = cities.Load() && cities.GetCount() == count;
        for (int index = 0; saved && index < count; ++index) {
            saved = cities.GetCity(index, &city);
            city.GetUpdateFileTime(&updated);
            saved = saved && updated.dwHighDateTime != 0;
        }
        return saved;
    }
    // The main window as the user sees it, kept beside the build for a look.
    // Waits (bounded) for the screen to differ from the one kept before and then to stay still while the
    // device's time goes on (a slide has ended).
    void KeepScreenshot(const std::string& name) {
        const std::string folder = std::string(CE_TEST_BINARY_DIR) + "/first-start";
        std::filesystem::create_directories(folder);
        const std::string path = folder + "/" + name + ".png";
        std::string shot;
        std::string before;
        for (int i = 0; i < 300 && (shot.empty() || shot == lastShot_ || shot != before); ++i) {
            before = shot;
            ce::AdvanceVirtualClock(50);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
            EXPECT_EQ(ce::RemoteScreenshot(path), 0u);
            std::ifstream in(path, std::ios::binary);
            shot.assign(std::istreambuf_iterator<char>(in), std::istreambuf_iterator<char>());
        }
        EXPECT_NE(shot, lastShot_) << name << " shows something new";
        EXPECT_EQ(shot, before) << name << " stays still";
        lastShot_ = shot;
    }
    int ExpectedPages() const { return GetParam().language == 0 ? 4 : 3; }

    ProgramDevice device{CE_DEVICE_TOOL, GetParam().kind};
    std::unique_ptr<WeatherServerProcess> server;
    std::optional<DeviceProgram> program;
    std::string lastShot_;
};

TEST_P(FirstStart, TheOfferedCitiesKeptGetTheirForecastsFromTheFirstUpdate) {
    Begin({"--date", "2026120912", "--cities", kCityTable});
    auto allCached = [&] { return Cached("RSXX0063") && Cached("UKXX0085") && Cached("USNY0996"); };
    EXPECT_EQ(AnswerPagesUntil(ExpectedPages(), [&] { return allCached() && ListSavedUpdated(3); }), ExpectedPages());
    ASSERT_TRUE(allCached()) << "every offered city has its cache file";

    CCityList cities;
    ASSERT_TRUE(cities.Load());
    ASSERT_EQ(cities.GetCount(), 3);
    for (int index = 0; index < 3; ++index) {
        CCity city;
        ASSERT_TRUE(cities.GetCity(index, &city));
        EXPECT_EQ(ce::ToUtf8(city.GetLocationId()), kFirstCities[index]);
        FILETIME updated;
        city.GetUpdateFileTime(&updated);
        EXPECT_NE(updated.dwHighDateTime, 0u) << kFirstCities[index] << " was updated and the list saved";
    }
    // The update's end redraws the window; no box follows a run that went well.
    for (int i = 0; i < 100 && FrontScreen() == nullptr; ++i) {
        ce::AdvanceVirtualClock(20);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    EXPECT_EQ(FrontScreen(), nullptr) << "no result box";
    // Each city in turn on the switch, as the user looks through them.
    for (int index = 0; index < 3; ++index) {
        if (index > 0) {
            EXPECT_EQ(ce::RemoteKey("Right"), 0u);
        }
        KeepScreenshot(std::string("main-window-") + GetParam().name + "-" + kFirstCities[index]);
    }
}

TEST_P(FirstStart, ACityTheServerDoesNotKnowLeavesTheOthersUpdatedAndIsNamed) {
    const std::string folder = device.Root();
    Begin({"--date", "2026120912", "--cities", TableWithout("UKXX0085", folder)});
    auto othersCached = [&] { return Cached("RSXX0063") && Cached("USNY0996"); };
    EXPECT_EQ(AnswerPagesUntil(ExpectedPages(), othersCached), ExpectedPages());
    ASSERT_TRUE(othersCached());
    EXPECT_FALSE(Cached("UKXX0085"));

    // The run's result comes up over the window.
    HWND box = nullptr;
    for (int i = 0; i < 1000 && box == nullptr; ++i) {
        box = FrontScreen();
        ce::AdvanceVirtualClock(20);
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
    }
    ASSERT_NE(box, nullptr) << "the result box";
    KeepScreenshot(std::string("no-data-box-") + GetParam().name);
    EXPECT_TRUE(PostMessageW(box, WM_COMMAND, IDOK, 0));

    CCityList cities;
    ASSERT_TRUE(cities.Load());
    ASSERT_EQ(cities.GetCount(), 3);
    FILETIME moscow, london;
    CCity city;
    ASSERT_TRUE(cities.GetCity(0, &city));
    city.GetUpdateFileTime(&moscow);
    ASSERT_TRUE(cities.GetCity(1, &city));
    city.GetUpdateFileTime(&london);
    EXPECT_NE(moscow.dwHighDateTime, 0u) << "the list is saved with the updated cities";
    EXPECT_EQ(london.dwHighDateTime, 0u) << "London stays not updated";

    // A silent update reports the same, naming the city.
    HWND window = FindWindowW(CMainWindow::kClassName, nullptr);
    ASSERT_NE(window, nullptr);
    PostMessageW(window, WM_COMMAND, 3005, 0);
    EXPECT_EQ(WaitForExit(), 0);
    EXPECT_EQ(device.Run("cmd_silent_update"), 0);
    std::vector<std::string> log = device.LogLines("Skyvane", 1);
    ASSERT_FALSE(log.empty());
    EXPECT_NE(log.back().find("\"result\":\"-9\""), std::string::npos) << log.back();
    EXPECT_NE(log.back().find("\"no data for\":\"London\""), std::string::npos) << log.back();
}

INSTANTIATE_TEST_SUITE_P(Devices, FirstStart,
                         ::testing::Values(Journey{"pocketpc", 0, "pocketpc-en"}, Journey{"pocketpc", 0x0407, "pocketpc-de"},
                                           Journey{"smartphone", 0, "smartphone-en"},
                                           Journey{"smartphone", 0x0407, "smartphone-de"}),
                         [](const auto& info) {
                             std::string name = info.param.name;
                             std::replace(name.begin(), name.end(), '-', '_');
                             return name;
                         });

}  // namespace
}  // namespace endtoend
