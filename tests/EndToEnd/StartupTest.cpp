// The start-up road: hand-off to a running instance, the modes this build cannot run yet, a start
// without the sprite library, the in-place updates of the message loop and the services' lifetimes.
#include <gtest/gtest.h>

#include <atomic>
#include <filesystem>
#include <future>
#include <thread>
#include <vector>

#include "ImageCodecs.h"
#include "Shell/CMainApplication.h"
#include "SkyvaneDevice.h"
#include "Weather/CForecastUpdater.h"
#include "Weather/CMapsUpdater.h"
#include "Weather/GlobalServices.h"
#include "ce/user.h"

namespace endtoend {
namespace {

// A window of the program's class in this process stands for a running first instance; it keeps the
// private messages that reach it.
class RunningInstance {
public:
    RunningInstance() {
        WNDCLASSW windowClass{};
        windowClass.lpfnWndProc = &Procedure;
        windowClass.lpszClassName = CMainApplication::kMainWindowClass;
        RegisterClassW(&windowClass);
        window_ = CreateWindowExW(0, CMainApplication::kMainWindowClass, u"Skyvane", WS_VISIBLE, 0, 0, 100, 100,
                                  nullptr, nullptr, nullptr, nullptr);
        Received().clear();
    }
    ~RunningInstance() {
        DestroyWindow(window_);
        UnregisterClassW(CMainApplication::kMainWindowClass, nullptr);
    }
    HWND Window() const { return window_; }

    // Runs the second start to its end while this instance takes its messages; its exit code.
    int Serve(DeviceProgram second) {
        for (int i = 0; i < 2000 && second.StillRunningAfter(std::chrono::milliseconds(5)); ++i) {
            Pump();
        }
        int exitCode = second.Wait(std::chrono::milliseconds(0));
        Pump();
        return exitCode;
    }
    static std::vector<std::pair<UINT, WPARAM>>& Received() {
        static std::vector<std::pair<UINT, WPARAM>> received;
        return received;
    }

private:
    static void Pump() {
        MSG message;
        while (PeekMessageW(&message, nullptr, 0, 0, PM_REMOVE)) {
            DispatchMessageW(&message);
        }
    }
    static LRESULT CALLBACK Procedure(HWND window, UINT message, WPARAM wParam, LPARAM lParam) {
        if (message >= CMainApplication::WMU_STARTUP && message <= CMainApplication::WMU_CHECK_ONLINE_UPDATE) {
            Received().emplace_back(message, wParam);
            return 0;
        }
        return DefWindowProcW(window, message, wParam, lParam);
    }

    HWND window_ = nullptr;
};

using Startup = SkyvaneDevice;

TEST_F(Startup, ASecondStartHandsItsCommandToTheRunningWindow) {
    WriteCities({u"DEBE0001"});
    RunningInstance running;
    ASSERT_NE(running.Window(), nullptr);
    using Received = std::vector<std::pair<UINT, WPARAM>>;

    EXPECT_EQ(running.Serve(device.Start("cmd_normal_mode:5")), 0);
    EXPECT_EQ(RunningInstance::Received(), (Received{{CMainApplication::WMU_SELECT_CITY, 5}}));

    RunningInstance::Received().clear();
    EXPECT_EQ(running.Serve(device.Start("CMD_NORMAL_MODE")), 0);
    EXPECT_TRUE(RunningInstance::Received().empty()) << "no index: only brought to the front";
    EXPECT_EQ(GetForegroundWindow(), running.Window());

    RunningInstance::Received().clear();
    EXPECT_EQ(running.Serve(device.Start("cmd_silent_update")), 0);
    EXPECT_EQ(running.Serve(device.Start("cmd_auto_update")), 0);
    EXPECT_EQ(RunningInstance::Received(), (Received{{CMainApplication::WMU_SILENT_UPDATE, 0},
                                                     {CMainApplication::WMU_AUTO_UPDATE, 0}}));
    EXPECT_EQ(ServerRequests(), 0u) << "the running instance updates, not the second start";
    EXPECT_TRUE(ProgramLog().empty()) << "a handed-off start initialises nothing";

    RunningInstance::Received().clear();
    EXPECT_EQ(running.Serve(device.Start("cmd_install_catalog")), 1) << "installation steps run beside it";
    EXPECT_TRUE(RunningInstance::Received().empty());
    EXPECT_TRUE(HasField(LastProgramLine(), "mode", "cmd_install_catalog"));
}

TEST_F(Startup, ACatalogStartWithoutItsPackageAndAnUnknownCommandLineFail) {
    EXPECT_EQ(device.Run("cmd_install_catalog"), 1) << "no catalog package in \\Temp";
    EXPECT_EQ(device.Run("no_such_mode"), 1);
    EXPECT_TRUE(HasField(LastProgramLine(), "event", "unknown command line"));
}

TEST_F(Startup, AStartWithoutTheSpriteLibraryShowsWhyAndFails) {
    std::filesystem::remove(device.Installed("Pictorra.dll"));
    WriteCities({u"DEBE0001"});
    DeviceProgram run = device.Start("cmd_silent_update");
    // Two boxes: the library's own and "InitApp fail"; each ends with its OK button.
    int answered = 0;
    for (int i = 0; i < 400 && run.StillRunningAfter(std::chrono::milliseconds(50)); ++i) {
        answered += ce::RemoteKey("Enter") == 0 ? 1 : 0;
    }
    EXPECT_EQ(run.Wait(std::chrono::milliseconds(0)), 1);
    EXPECT_GE(answered, 2);
    EXPECT_TRUE(HasField(LastProgramLine(), "step", "sprite library")) << LastProgramLine();
    EXPECT_EQ(ServerRequests(), 0u);
}

// The update messages start the update in place and the loop goes on at once; shutting down then
// cancels the stalled transfer instead of waiting for it.
TEST_F(Startup, TheLoopStartsUpdatesWithoutWaitingAndShutdownCancelsThem) {
    WriteCities({u"DEBE0001", u"FRXX0002"});
    SetFault("stall");
    std::promise<bool> runningAfterLoop;
    std::promise<void> shutDown;
    std::promise<void> requestSent;
    std::thread ui([&] {
        CMainApplication application;
        if (!application.InitApp(GetModuleHandleW(nullptr))) {
            runningAfterLoop.set_value(false);
            shutDown.set_value();
            return;
        }
        PostThreadMessageW(GetCurrentThreadId(), CMainApplication::WMU_SILENT_UPDATE, 0, 0);
        PostQuitMessage(0);
        application.RunMessageLoop();
        runningAfterLoop.set_value(g_pForecastUpdater->IsRunning());
        requestSent.get_future().wait();
        application.Uninit();
        shutDown.set_value();
    });
    std::future<bool> loopEnded = runningAfterLoop.get_future();
    std::future<void> uninitEnded = shutDown.get_future();
    bool loopInTime = loopEnded.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
    EXPECT_TRUE(loopInTime) << "the loop waited for the update";
    EXPECT_TRUE(WaitForServerRequests(1));
    requestSent.set_value();
    bool uninitInTime = loopInTime && uninitEnded.wait_for(std::chrono::seconds(10)) == std::future_status::ready;
    EXPECT_TRUE(!loopInTime || uninitInTime) << "shutdown waited for the stalled transfer";
    // A wrong build must not hang the suite: the watchdog ends the transfer.
    for (int i = 0; i < 20 && uninitEnded.wait_for(std::chrono::milliseconds(200)) != std::future_status::ready; ++i) {
        ce::AdvanceVirtualClock(121 * 1000);
    }
    ui.join();
    if (loopInTime) {
        EXPECT_TRUE(loopEnded.get()) << "the update was started and still ran";
    }
    EXPECT_EQ(ServerRequests(), 1u);
    EXPECT_EQ(ReadInstalled("Cities.dat"), oldList);
}

// The image codecs are made after COM at start and go before it at exit; a decoder library that was
// loaded on the way is freed with them.
TEST_F(Startup, TheImageCodecsLiveFromTheStartToTheExit) {
    ASSERT_EQ(GetModuleHandleW(u"imgdecmp.dll"), nullptr);
    CMainApplication application;
    ASSERT_TRUE(application.InitApp(GetModuleHandleW(nullptr)));
    EXPECT_NE(ImageCodecs::GetFactory(), nullptr) << "the imaging factory is made at start";
    ASSERT_NE(ImageCodecs::GetDecompressor(), nullptr);
    EXPECT_NE(GetModuleHandleW(u"imgdecmp.dll"), nullptr);
    application.Uninit();
    EXPECT_EQ(ImageCodecs::GetFactory(), nullptr);
    EXPECT_EQ(GetModuleHandleW(u"imgdecmp.dll"), nullptr) << "the decoder library is freed at exit";
}

// The maps updater lives from InitApp to Uninit; a map download stalled at shutdown is cancelled, not
// waited for.
TEST_F(Startup, TheMapsUpdaterLivesWithTheServicesAndShutdownCancelsItsDownload) {
    SetFault("stall");
    std::promise<bool> queued;
    std::promise<void> shutDown;
    // The run's end as the maps screen would hear it; a cancelled transfer ends as -11.
    static std::atomic<INT_PTR> ended{0};
    CDelegate listener(
        [](INT_PTR status, INT_PTR result, INT_PTR, INT_PTR, INT_PTR, INT_PTR) {
            ended = status == CMapsUpdater::kStatusQueued ? ended.load() : (status == CMapsUpdater::kStatusDone ? 1 : result);
            return 0;
        },
        0);
    std::thread ui([&] {
        CMainApplication application;
        bool made = application.InitApp(GetModuleHandleW(nullptr)) && g_pMapsUpdater != nullptr;
        if (made) {
            g_pMapsUpdater->AddListener(&listener);
        }
        queued.set_value(made && g_pMapsUpdater->QueueMap(u"europe_sat"));
        application.Uninit();
        shutDown.set_value();
    });
    std::future<bool> queuedResult = queued.get_future();
    std::future<void> uninitEnded = shutDown.get_future();
    EXPECT_EQ(uninitEnded.wait_for(std::chrono::seconds(10)), std::future_status::ready)
        << "shutdown waited for the stalled map";
    // A wrong build must not hang the suite: the watchdog ends the transfer.
    for (int i = 0; i < 20 && uninitEnded.wait_for(std::chrono::milliseconds(200)) != std::future_status::ready; ++i) {
        ce::AdvanceVirtualClock(121 * 1000);
    }
    ui.join();
    EXPECT_TRUE(queuedResult.get());
    EXPECT_EQ(g_pMapsUpdater, nullptr);
    EXPECT_EQ(ended.load(), CForecastUpdater::kResultUnknown);
    EXPECT_FALSE(Installed("Cache/europe_sat.map"));
}

}  // namespace
}  // namespace endtoend
