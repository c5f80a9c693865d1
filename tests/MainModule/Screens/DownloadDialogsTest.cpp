// The download screens run for real on the skinned device: what the progress screen shows as a job
// reports, how the screens end with the job's result, the abort question, and an abort of a real
// package download from the weather server that leaves nothing open.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <functional>
#include <memory>
#include <thread>

#include "CGdiFactory.h"
#include "CHTTPDownloader.h"
#include "ScreenTest.h"
#include "Screens/CDownloadProgressViewDlg.h"
#include "Screens/CDownloadWaitViewDlg.h"
#include "Screens/DownloadDialogs.h"
#include "UserInterface/CDlgAnimationControl.h"
#include "UserInterface/CDlgProgressBar.h"
#include "Weather/GlobalServices.h"
#include "Weather/OnlineUpdateRequests.h"
#include "WeatherServerProcess.h"
#include "ce/connmgr.h"
#include "ce/inet.h"

namespace {

using namespace skin_test;
using UserInterface::CDlgControl;
using UserInterface::CDlgProgressBar;
using ScriptedProgress = ScriptedScreen<CDownloadProgressViewDlg>;
using ScriptedWait = ScriptedScreen<CDownloadWaitViewDlg>;

// A job that the test steps: it reports what it is told and returns once released, or once the dialog
// cut the internet handle that it registered, as a transfer's closed connection ends a real job.
struct SteppedJob {
    std::atomic<bool> released{false};
    std::atomic<bool> ran{false};
    std::atomic<bool> returned{false};
    int result = 0;
    std::function<void(const CDelegate&, const std::function<bool()>&)> report;

    static int Run(INT_PTR progress, INT_PTR controller, INT_PTR, INT_PTR, INT_PTR, INT_PTR context) {
        auto* self = reinterpret_cast<SteppedJob*>(context);
        auto* resources = reinterpret_cast<CMemoryController*>(controller);
        self->ran = true;
        HINTERNET session = InternetOpenW(u"Skyvane", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
        EXPECT_NE(session, nullptr);
        resources->Register(session, kResourceInternetHandle);
        const auto going = [&] { return !self->released && resources->GetCount() > 0; };
        if (self->report) {
            self->report(*reinterpret_cast<const CDelegate*>(progress), going);
        }
        for (int i = 0; i < 20000 && going(); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        int result = 1;
        if (resources->Unregister(session)) {
            InternetCloseHandle(session);
            result = self->result;
        }
        self->returned = true;
        return result;
    }
    CDelegate Delegate() { return CDelegate(&Run, reinterpret_cast<INT_PTR>(this)); }
};

class DownloadDialogsTest : public FontScreenTest {
protected:
    template <class Screen>
    static std::u16string TextOfId(Screen& d, int id) {
        return TextOf(d.GetLayout()->FindControl(id));
    }
    template <class Screen>
    static RECT RectOf(Screen& d, int id) {
        RECT rect{};
        d.GetLayout()->FindControl(id)->GetRect(&rect);
        return rect;
    }
    static CDlgProgressBar::Progress BarOf(ScriptedProgress& d) {
        CDlgProgressBar::Progress progress{};
        static_cast<CDlgProgressBar*>(d.GetLayout()->FindControl(CDownloadProgressViewDlg::kBarId))->GetProgress(&progress);
        return progress;
    }
};

TEST_F(DownloadDialogsTest, SizesReadInWholeKilobytesAndTheEstimateNeverWrapsAround) {
    EXPECT_EQ(CDownloadProgressViewDlg::ProgressText(1'750'000, 3'500'000), u"1.7 MB of 3.3 MB");
    EXPECT_EQ(CDownloadProgressViewDlg::ProgressText(300, 900), u"300 bytes of 900 bytes");
    EXPECT_EQ(CDownloadProgressViewDlg::ProgressText(1536, 900'000), u"1.5 KB of 878.9 KB");
    EXPECT_EQ(CDownloadProgressViewDlg::RemainingText(4), u"About 4 min. left");
    // A quarter in one minute leaves three more, plus the one under way.
    EXPECT_EQ(CDownloadProgressViewDlg::RemainingMinutes(60'000, 1000, 4000), 4u);
    EXPECT_EQ(CDownloadProgressViewDlg::RemainingMinutes(60'000, 0, 4000), 5u) << "nothing to divide by";
    EXPECT_EQ(CDownloadProgressViewDlg::RemainingMinutes(60'000, 5000, 4000), 1u) << "more than announced";
}

TEST_F(DownloadDialogsTest, TheProgressScreenFollowsTheTransferAndEndsDoneWithTheJob) {
    SteppedJob job;
    job.report = [](const CDelegate& progress, const std::function<bool()>&) {
        progress.Invoke(CHTTPDownloader::kProgressConnecting, 0, 0);
        progress.Invoke(CHTTPDownloader::kProgressRequestSent, 0, 4000);
        ce::AdvanceVirtualClock(60'000);
        progress.Invoke(CHTTPDownloader::kProgressChunk, 1000, 4000);
    };
    ScriptedProgress screen;
    screen.Then([&](ScriptedProgress& d) {
        EXPECT_EQ(IdsOf(d), (std::vector<int>{1, 2, 3}));
        EXPECT_EQ(d.GetMenuInfo().GetCommand(0), CGenericDownloadDlg::kAbortCommand);
        EXPECT_FALSE(d.GetMenuInfo().HasKey(1));
    }, Soon<ScriptedProgress>([](ScriptedProgress& d) { return TextOfId(d, 3) == u"About 4 min. left"; }));
    screen.Then([&](ScriptedProgress& d) {
        EXPECT_EQ(TextOfId(d, 1), u"1000 bytes of 3.9 KB");
        EXPECT_TRUE(d.GetLayout()->FindControl(3)->IsVisible());
        const CDlgProgressBar::Progress bar = BarOf(d);
        EXPECT_EQ(bar.position, 1000u);
        EXPECT_EQ(bar.maximum, 4000u);
        // Status, bar and estimate stacked around the bar's middle at two thirds of the height.
        const RECT status = RectOf(d, 1);
        const RECT barRect = RectOf(d, 2);
        const RECT remaining = RectOf(d, 3);
        EXPECT_NEAR((barRect.top + barRect.bottom) / 2, d.GetClientHeight() * 2 / 3, 1);
        EXPECT_EQ(barRect.bottom - barRect.top, 25);
        EXPECT_LT(status.bottom, barRect.top);
        EXPECT_GT(remaining.top, barRect.bottom);
        EXPECT_GT(status.bottom - status.top, 8);
        job.released = true;
    }, Soon<ScriptedProgress>([](ScriptedProgress& d) { return d.GetResult() != -1; }));
    const CDelegate delegate = job.Delegate();
    EXPECT_EQ(screen.Run(nullptr, &delegate, nullptr), CGenericDownloadDlg::kEndedDone);
    EXPECT_EQ(screen.GetJobResult(), 0u);
}

TEST_F(DownloadDialogsTest, TheEstimateShowsOnlyOnceBytesOfAKnownTotalArriveAndReadsZeroAtTheEnd) {
    EXPECT_FALSE(CDownloadProgressViewDlg::HasEstimate(0, 4000)) << "nothing arrived";
    EXPECT_FALSE(CDownloadProgressViewDlg::HasEstimate(1000, 0)) << "the total unknown";
    EXPECT_TRUE(CDownloadProgressViewDlg::HasEstimate(1000, 4000));
    std::atomic<int> step{0};
    SteppedJob job;
    job.report = [&](const CDelegate& progress, const std::function<bool()>& going) {
        progress.Invoke(CHTTPDownloader::kProgressRequestSent, 0, 4000);
        while (step < 1 && going()) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
        ce::AdvanceVirtualClock(60'000);
        progress.Invoke(CHTTPDownloader::kProgressChunk, 4000, 4000);
    };
    ScriptedProgress screen;
    screen.Then([](ScriptedProgress&) {}, Soon<ScriptedProgress>([](ScriptedProgress& d) {
                    return TextOfId(d, 1) == u"0 bytes of 3.9 KB";
                }));
    screen.Then([&](ScriptedProgress& d) {
        EXPECT_FALSE(d.GetLayout()->FindControl(3)->IsVisible()) << "no estimate before a byte arrived";
        step = 1;
    }, Soon<ScriptedProgress>([](ScriptedProgress& d) { return d.GetLayout()->FindControl(3)->IsVisible(); }));
    screen.Then([&](ScriptedProgress& d) {
        EXPECT_EQ(TextOfId(d, 3), u"About 0 min. left") << "everything is there";
        job.released = true;
    }, Soon<ScriptedProgress>([](ScriptedProgress& d) { return d.GetResult() != -1; }));
    const CDelegate delegate = job.Delegate();
    EXPECT_EQ(screen.Run(nullptr, &delegate, nullptr), CGenericDownloadDlg::kEndedDone);
}

TEST_F(DownloadDialogsTest, BeforeTheTransferTheScreenSaysConnectingWithoutAnEstimate) {
    SteppedJob job;
    ScriptedProgress screen;
    screen.Then([&](ScriptedProgress& d) {
        EXPECT_EQ(TextOfId(d, 1), u"Connecting to the server...");
        EXPECT_FALSE(d.GetLayout()->FindControl(3)->IsVisible());
        job.result = 7;
        job.released = true;
    }, Soon<ScriptedProgress>([](ScriptedProgress& d) { return d.GetResult() != -1; }));
    const CDelegate delegate = job.Delegate();
    EXPECT_EQ(screen.Run(nullptr, &delegate, nullptr), CGenericDownloadDlg::kEndedFailed) << "a failed job";
    EXPECT_EQ(screen.GetJobResult(), 7u) << "the job's own value";
}

TEST_F(DownloadDialogsTest, AnUnboundJobIsRefusedWithoutAScreen) {
    CDownloadProgressViewDlg screen;
    const CDelegate unbound;
    EXPECT_EQ(screen.Run(nullptr, &unbound, nullptr), CGenericDownloadDlg::kEndedFailed);
    EXPECT_EQ(screen.Run(nullptr, nullptr, nullptr), CGenericDownloadDlg::kEndedFailed);
    EXPECT_EQ(screen.GetHandle(), nullptr);
    EXPECT_EQ(screen.GetJobResult(), CGenericDownloadDlg::kNoJobResult);
}

TEST_F(DownloadDialogsTest, AMissingAbortCaptionFailsTheScreenBeforeAnyJobRuns) {
    InstallEnglish({{u"IDS_CAP_ABORT", nullptr}});
    SteppedJob job;
    job.released = true;
    CDownloadProgressViewDlg screen;
    const CDelegate delegate = job.Delegate();
    EXPECT_EQ(screen.Run(nullptr, &delegate, nullptr), CGenericDownloadDlg::kEndedFailed);
    EXPECT_FALSE(job.ran);
}

TEST_F(DownloadDialogsTest, TheWaitScreenCentresItsTextOverTheAnimationAndIgnoresProgress) {
    SteppedJob job;
    job.report = [](const CDelegate& progress, const std::function<bool()>&) {
        progress.Invoke(CHTTPDownloader::kProgressChunk, 10, 20);
    };
    ScriptedWait screen;
    screen.Then([&](ScriptedWait& d) {
        EXPECT_EQ(IdsOf(d), (std::vector<int>{1, 2}));
        EXPECT_EQ(TextOfId(d, 1), u"Looking for updates");
        const RECT text = RectOf(d, 1);
        const RECT animation = RectOf(d, 2);
        EXPECT_EQ(animation.bottom - animation.top, 80);
        EXPECT_EQ(animation.top - text.bottom, 2) << "the layout's gap";
        EXPECT_NEAR(text.top - 0, d.GetClientHeight() - animation.bottom, 1) << "one block, centred";
        job.released = true;
    }, Soon<ScriptedWait>([](ScriptedWait& d) { return d.GetResult() != -1; }));
    const CDelegate delegate = job.Delegate();
    EXPECT_EQ(screen.RunWithText(nullptr, &delegate, u"Looking for updates", nullptr), CGenericDownloadDlg::kEndedDone);

    SteppedJob silent;
    ScriptedWait bare;
    bare.Then([&](ScriptedWait& d) {
        EXPECT_EQ(IdsOf(d), (std::vector<int>{2}));
        const RECT animation = RectOf(d, 2);
        EXPECT_NEAR(animation.top, d.GetClientHeight() - animation.bottom, 1);
        silent.released = true;
    }, Soon<ScriptedWait>([](ScriptedWait& d) { return d.GetResult() != -1; }));
    const CDelegate quiet = silent.Delegate();
    EXPECT_EQ(bare.RunWithText(nullptr, &quiet, nullptr, nullptr), CGenericDownloadDlg::kEndedDone);
}

// A job that runs on until the user aborts: No lets it go on, Yes ends the screen with 3.
TEST_F(DownloadDialogsTest, NoToTheAbortQuestionKeepsTheJobGoingAndYesAbortsIt) {
    std::atomic<int> chunks{0};
    SteppedJob job;
    job.report = [&](const CDelegate& progress, const std::function<bool()>& going) {
        progress.Invoke(CHTTPDownloader::kProgressRequestSent, 0, 1'000'000);
        for (int i = 1; i < 2000 && going(); ++i) {
            progress.Invoke(CHTTPDownloader::kProgressChunk, i * 100, 1'000'000);
            chunks = i;
            std::this_thread::sleep_for(std::chrono::milliseconds(2));
        }
    };
    ClockTicker clock;  // the question's transitions
    ScriptedProgress screen;
    screen.passBackKeys = true;
    int before = 0;
    screen.Then([](ScriptedProgress&) { ce::InjectKey(VK_TSOFT1); },
                Soon<ScriptedProgress>([](ScriptedProgress& d) { return GetForegroundWindow() != d.GetHandle(); }));
    screen.Then([&](ScriptedProgress&) {
        before = chunks;
        ce::InjectKey(VK_TSOFT2);
    }, Soon<ScriptedProgress>([](ScriptedProgress& d) { return GetForegroundWindow() == d.GetHandle(); }));
    screen.Then([&](ScriptedProgress& d) {
        EXPECT_EQ(d.GetResult(), -1) << "No: the screen stays";
    }, Soon<ScriptedProgress>([&](ScriptedProgress&) { return chunks > before + 5; }));
    screen.Then([](ScriptedProgress&) { ce::InjectKey(VK_ESCAPE); },
                Soon<ScriptedProgress>([](ScriptedProgress& d) { return GetForegroundWindow() != d.GetHandle(); }));
    screen.Then([](ScriptedProgress&) { ce::InjectKey(VK_TSOFT1); },
                Soon<ScriptedProgress>([](ScriptedProgress& d) { return d.GetResult() != -1; }));
    const CDelegate delegate = job.Delegate();
    EXPECT_EQ(screen.Run(nullptr, &delegate, nullptr), CGenericDownloadDlg::kEndedFailed);
    EXPECT_EQ(screen.GetJobResult(), CGenericDownloadDlg::kJobAborted);
}

// A job that succeeds while the abort question is open keeps its result: Yes comes too late to throw
// the finished package away.
TEST_F(DownloadDialogsTest, AJobThatSucceedsWhileTheAbortQuestionIsOpenKeepsItsResult) {
    SteppedJob job;
    ClockTicker clock;  // the question's transitions
    ScriptedProgress screen;
    screen.Then([](ScriptedProgress&) { ce::InjectKey(VK_TSOFT1); },
                Soon<ScriptedProgress>([&](ScriptedProgress& d) { return job.ran && GetForegroundWindow() != d.GetHandle(); }));
    screen.Then([&](ScriptedProgress&) { job.released = true; },
                Soon<ScriptedProgress>([&](ScriptedProgress&) { return job.returned.load(); }));
    screen.Then([](ScriptedProgress&) { ce::InjectKey(VK_TSOFT1); },
                Soon<ScriptedProgress>([](ScriptedProgress& d) { return d.GetResult() != -1; }));
    const CDelegate delegate = job.Delegate();
    EXPECT_EQ(screen.Run(nullptr, &delegate, nullptr), CGenericDownloadDlg::kEndedDone);
    EXPECT_EQ(screen.GetJobResult(), 0u);
}

// The real package download against a server that never answers: the abort releases the transfer's
// handles, the worker ends, and nothing the job opened stays open.
TEST_F(DownloadDialogsTest, AbortingAStalledDownloadEndsTheScreenAndLeavesNoPackage) {
    WeatherServerProcess server;
    ASSERT_GT(server.Port(), 0);
    ce::SetProfileString("hosts", "update.skyvane.example", "127.0.0.1:" + std::to_string(server.Port()));
    ce::ReloadProfile();
    ASSERT_EQ(server.Control("/control/fault?spec=stall"), "ok\n");
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
    std::filesystem::create_directories(device_.Fs("Temp"));
    PackageRequest request;
    request.destination = IID_DestNetInternet;
    lstrcpynW(request.filePath, u"\\Temp\\Skyvane.arm.cab", MAX_PATH);
    lstrcpynW(request.url, u"http://update.skyvane.example/updates/Skyvane.arm.cab", MAX_PATH);
    const CDelegate job(&OnlineUpdate::PackageRequestJob, reinterpret_cast<INT_PTR>(&request));

    ClockTicker clock;
    ScriptedProgress screen;
    screen.Then([](ScriptedProgress&) {},
                Soon<ScriptedProgress>([&](ScriptedProgress&) { return server.Control("/control/update-requests").find("package") != std::string::npos; }));
    screen.Then([](ScriptedProgress&) { ce::InjectKey(VK_TSOFT1); },
                Soon<ScriptedProgress>([](ScriptedProgress& d) { return GetForegroundWindow() != d.GetHandle(); }));
    screen.Then([](ScriptedProgress&) { ce::InjectKey(VK_TSOFT1); },
                Soon<ScriptedProgress>([](ScriptedProgress& d) { return d.GetResult() != -1; }));
    EXPECT_EQ(screen.Run(nullptr, &job, nullptr), CGenericDownloadDlg::kEndedFailed);
    EXPECT_EQ(screen.GetJobResult(), CGenericDownloadDlg::kJobAborted);
    EXPECT_FALSE(std::filesystem::exists(device_.Fs("Temp/Skyvane.arm.cab"))) << "no part of a package is left";
    server.Control("/control/release");
    CoUninitialize();
}

// The connection that never comes up: the abort reaches the download's wait for it at once, well before
// the wait's own time limit.
TEST_F(DownloadDialogsTest, AnAbortWhileConnectingEndsTheScreenWithinASecond) {
    ce::SetProfileString("connection", "state", "waiting");
    ce::ReloadProfile();
    ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED)));
    PackageRequest request;
    request.destination = IID_DestNetInternet;
    lstrcpynW(request.filePath, u"\\Temp\\Skyvane.arm.cab", MAX_PATH);
    lstrcpynW(request.url, u"http://update.skyvane.example/updates/Skyvane.arm.cab", MAX_PATH);
    const CDelegate job(&OnlineUpdate::PackageRequestJob, reinterpret_cast<INT_PTR>(&request));

    ClockTicker clock(2);  // slow enough that the screen's own steps take little virtual time
    ScriptedProgress screen;
    DWORD answered = 0;
    screen.Then([](ScriptedProgress&) { ce::InjectKey(VK_TSOFT1); },
                Soon<ScriptedProgress>([](ScriptedProgress& d) { return GetForegroundWindow() != d.GetHandle(); }));
    screen.Then([&](ScriptedProgress&) {
        answered = GetTickCount();
        ce::InjectKey(VK_TSOFT1);
    }, Soon<ScriptedProgress>([](ScriptedProgress& d) { return d.GetResult() != -1; }));
    EXPECT_EQ(screen.Run(nullptr, &job, nullptr), CGenericDownloadDlg::kEndedFailed);
    EXPECT_EQ(screen.GetJobResult(), CGenericDownloadDlg::kJobAborted);
    EXPECT_LT(GetTickCount() - answered, 1000u) << "virtual milliseconds from Yes to the screen's end";
    ce::SetProfileString("connection", "state", "connected");
    ce::ReloadProfile();
    CoUninitialize();
}

// The program-update check's screens: the job's own value comes back with the screen's result.
TEST_F(DownloadDialogsTest, TheUpdateCheckRunsBothScreensWithTheJobsResult) {
    ClockTicker clock;  // the check's transitions
    COnlineUpdateMgr check;
    check.SetDuration(0);
    SteppedJob done;
    done.released = true;
    unsigned result = 9;
    EXPECT_EQ(RunDownloadDialog(check, nullptr, IOnlineUpdateScreens::kCatalogQuery, u"Looking", done.Delegate(),
                                &result),
              CGenericDownloadDlg::kEndedDone);
    EXPECT_EQ(result, 0u);
    SteppedJob failing;
    failing.released = true;
    failing.result = 2;
    EXPECT_EQ(RunDownloadDialog(check, nullptr, IOnlineUpdateScreens::kPackageDownload, nullptr, failing.Delegate(),
                                &result),
              CGenericDownloadDlg::kEndedFailed);
    EXPECT_EQ(result, 2u) << "no connection, as the job said";
}

}  // namespace
