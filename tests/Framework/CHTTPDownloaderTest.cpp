// The downloader against the real weather server on loopback, reached through the device's [hosts] map.
#include <arpa/inet.h>
#include <gtest/gtest.h>
#include <netinet/in.h>
#include <poll.h>
#include <sys/socket.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <cstring>
#include <filesystem>
#include <fstream>
#include <future>
#include <mutex>
#include <string>
#include <thread>
#include <vector>

#include "CHTTPDownloader.h"
#include "CMemoryController.h"
#include "Platform/TempDevice.h"
#include "WeatherServerProcess.h"
#include "ce/connmgr.h"
#include "ce/device.h"

namespace {

constexpr const char16_t* kHost = u"forecast.skyvane.example";
constexpr const char16_t* kForecastPath = u"/fcgid/zarezivavad_wm.fcg?";
constexpr const char16_t* kForecastBody = u"posid=DEBE0001&imei=123456789012345&ver=40&filterid=43";

struct ProgressRecord {
    std::mutex lock;
    std::vector<std::vector<INT_PTR>> calls;

    static int Record(INT_PTR code, INT_PTR received, INT_PTR length, INT_PTR, INT_PTR, INT_PTR context) {
        auto* self = reinterpret_cast<ProgressRecord*>(context);
        std::lock_guard guard(self->lock);
        self->calls.push_back({code, received, length});
        return 0;
    }
    std::vector<INT_PTR> Codes() {
        std::lock_guard guard(lock);
        std::vector<INT_PTR> codes;
        for (const auto& call : calls) {
            if (codes.empty() || codes.back() != call[0]) {
                codes.push_back(call[0]);
            }
        }
        return codes;
    }
    std::vector<INT_PTR> Last() {
        std::lock_guard guard(lock);
        return calls.empty() ? std::vector<INT_PTR>{} : calls.back();
    }
    void Clear() {
        std::lock_guard guard(lock);
        calls.clear();
    }
};

std::string ReadHost(const std::string& path) {
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

uint32_t U32At(const BYTE* data, size_t offset) {
    uint32_t value = 0;
    std::memcpy(&value, data + offset, 4);
    return value;
}

// Answers one request with the given reply, then, when told to, with endless body bytes until the
// client goes; then closes.
class OneReplyServer {
public:
    explicit OneReplyServer(std::string reply, bool endless = false) {
        listener_ = socket(AF_INET, SOCK_STREAM | SOCK_CLOEXEC, 0);
        sockaddr_in address{};
        address.sin_family = AF_INET;
        address.sin_addr.s_addr = htonl(INADDR_LOOPBACK);
        socklen_t length = sizeof address;
        if (listener_ < 0 || bind(listener_, reinterpret_cast<sockaddr*>(&address), length) != 0 ||
            listen(listener_, 1) != 0 || getsockname(listener_, reinterpret_cast<sockaddr*>(&address), &length) != 0) {
            return;
        }
        port_ = ntohs(address.sin_port);
        thread_ = std::thread([this, reply = std::move(reply), endless] {
            pollfd ready{listener_, POLLIN, 0};
            if (poll(&ready, 1, 20000) != 1) {
                return;
            }
            int client = accept(listener_, nullptr, nullptr);
            char request[4096];
            recv(client, request, sizeof request, 0);
            send(client, reply.data(), reply.size(), MSG_NOSIGNAL);
            const std::string more(65536, 'x');
            while (endless && send(client, more.data(), more.size(), MSG_NOSIGNAL) > 0) {
            }
            close(client);
        });
    }
    ~OneReplyServer() {
        if (thread_.joinable()) {
            thread_.join();
        }
        if (listener_ >= 0) {
            close(listener_);
        }
    }
    int Port() const { return port_; }

private:
    int listener_ = -1;
    int port_ = 0;
    std::thread thread_;
};

class HttpDownloader : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_GT(server.Port(), 0);
        std::filesystem::create_directories(device.Fs("Temp"));
        ce::SetProfileString("hosts", "forecast.skyvane.example", "127.0.0.1:" + std::to_string(server.Port()));
        ce::ReloadProfile();
        CDelegate delegate(&ProgressRecord::Record, reinterpret_cast<INT_PTR>(&progress));
        ASSERT_TRUE(downloader.Init(u"Skyvane", &delegate, &controller));
        ASSERT_TRUE(downloader.Connect(kHost, IID_DestNetInternet, 80));
    }
    void TearDown() override {
        downloader.Shutdown();
        EXPECT_EQ(controller.GetCount(), 0) << "everything registered is released by its owner";
        if (ce::VirtualClockEnabled()) {
            ce::DisableVirtualClock();
        }
    }

    // Runs a request on a worker while the virtual clock moves on, until it returns (at most 20 s).
    template <class Request>
    auto WhileTheClockRuns(Request request) {
        auto result = std::async(std::launch::async, request);
        for (int i = 0; i < 2000 && result.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready; ++i) {
            ce::AdvanceVirtualClock(30000);
        }
        return result.get();
    }

    bool WaitForServerRequest() {
        for (int i = 0; i < 500; ++i) {
            if (server.Control("/control/requests").find("posid=") != std::string::npos) {
                return true;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }

    ce::test::TempDevice device;
    WeatherServerProcess server;
    ProgressRecord progress;
    CMemoryController controller;
    CHTTPDownloader downloader;
};

TEST_F(HttpDownloader, PostAndGetToMemoryReportTheirProgress) {
    EXPECT_EQ(progress.Codes(), (std::vector<INT_PTR>{0, 1}));
    progress.Clear();
    DWORD size = 0;
    BYTE* package = downloader.PostToMemory(kForecastPath, kForecastBody, &size);
    ASSERT_NE(package, nullptr);
    ASSERT_GT(size, 20u);
    EXPECT_EQ(U32At(package, 4), size) << "the package's stated length is what arrived";
    std::free(package);
    EXPECT_EQ(progress.Codes(), (std::vector<INT_PTR>{2, 3, 4}));
    EXPECT_EQ(progress.Last(), (std::vector<INT_PTR>{4, static_cast<INT_PTR>(size), static_cast<INT_PTR>(size)}));

    BYTE* requests = downloader.GetToMemory(u"/control/requests", &size);
    ASSERT_NE(requests, nullptr);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(requests), size),
              "posid=DEBE0001&imei=123456789012345&ver=40&filterid=43\n");
    std::free(requests);
    EXPECT_EQ(controller.GetCount(), 4) << "the stop event, the data connection and two internet handles";
}

TEST_F(HttpDownloader, GetToFileKeepsOnlyAWholeSuccessfulReply) {
    ASSERT_TRUE(downloader.GetToFile(u"/control/reset", u"\\Temp\\reply.txt"));
    EXPECT_EQ(ReadHost(device.Fs("Temp/reply.txt")), "ok\n");
    EXPECT_EQ(progress.Last(), (std::vector<INT_PTR>{4, 3, 3}));

    // An error page is not a download: the file, old content and all, is gone.
    EXPECT_FALSE(downloader.GetToFile(u"/no/such/page", u"\\Temp\\reply.txt"));
    EXPECT_FALSE(std::filesystem::exists(device.Fs("Temp/reply.txt")));
    EXPECT_FALSE(downloader.GetToFile(u"/control/reset", u"\\No Folder\\reply.txt"));
    EXPECT_TRUE(downloader.IsConnected());
}

TEST_F(HttpDownloader, AServerThatNeverAnswersIsCutOffByTheWatchdog) {
    ce::EnableVirtualClock(1765288800000);
    ASSERT_EQ(server.Control("/control/fault?spec=stall"), "ok\n");
    BYTE* reply = WhileTheClockRuns([this] { return downloader.PostToMemory(kForecastPath, kForecastBody, nullptr); });
    EXPECT_EQ(reply, nullptr);
    EXPECT_TRUE(downloader.HasTimedOut());
    EXPECT_FALSE(downloader.IsConnected()) << "the worker closes the connection after a time-out";
    EXPECT_EQ(downloader.GetToMemory(u"/control/requests", nullptr), nullptr);
    EXPECT_EQ(progress.Codes(), (std::vector<INT_PTR>{0, 1})) << "a failed request reports nothing further";

    server.Control("/control/reset");
    ASSERT_TRUE(downloader.Connect(kHost, IID_DestNetInternet, 80));
    BYTE* again = downloader.GetToMemory(u"/control/requests", nullptr);
    EXPECT_NE(again, nullptr);
    std::free(again);
}

TEST_F(HttpDownloader, CancelFromAnotherThreadEndsTheRequestUntilTheNextConnect) {
    ASSERT_EQ(server.Control("/control/fault?spec=stall"), "ok\n");
    auto reply = std::async(std::launch::async, [this] { return downloader.PostToMemory(kForecastPath, kForecastBody, nullptr); });
    ASSERT_TRUE(WaitForServerRequest());
    downloader.Cancel();
    ASSERT_EQ(reply.wait_for(std::chrono::seconds(20)), std::future_status::ready);
    EXPECT_EQ(reply.get(), nullptr);
    EXPECT_FALSE(downloader.HasTimedOut());
    EXPECT_EQ(progress.Last()[0], CHTTPDownloader::kProgressCancelled);
    EXPECT_FALSE(downloader.GetToFile(u"/control/reset", u"\\Temp\\after-cancel.txt"));
    EXPECT_FALSE(std::filesystem::exists(device.Fs("Temp/after-cancel.txt")));

    server.Control("/control/reset");
    ASSERT_TRUE(downloader.Connect(kHost, IID_DestNetInternet, 80));
    EXPECT_TRUE(downloader.GetToFile(u"/control/reset", u"\\Temp\\after-cancel.txt"));
}

// The abort of a download screen: the controller cuts the transfer, the worker ends and cleans up,
// then the rest is released. Every handle is closed once: a second close would hit whatever object the
// device had given the same number since.
TEST_F(HttpDownloader, AnAbortThroughTheControllerLeavesNothingToCloseTwice) {
    ASSERT_EQ(server.Control("/control/fault?spec=stall"), "ok\n");
    auto reply = std::async(std::launch::async, [this] {
        BYTE* data = downloader.PostToMemory(kForecastPath, kForecastBody, nullptr);
        SetLastError(ERROR_SUCCESS);
        downloader.Shutdown();
        return std::make_pair(data, GetLastError());
    });
    ASSERT_TRUE(WaitForServerRequest());
    controller.Interrupt();
    ASSERT_EQ(reply.wait_for(std::chrono::seconds(20)), std::future_status::ready) << "the cut transfer ends";
    auto [data, lastError] = reply.get();
    EXPECT_EQ(data, nullptr);
    EXPECT_EQ(lastError, static_cast<DWORD>(ERROR_SUCCESS)) << "the worker closed nothing the controller had";
    EXPECT_EQ(controller.GetCount(), 0) << "the worker gave back what it still held";
    controller.ReleaseAll();
}

TEST_F(HttpDownloader, AFileCutShortOfItsStatedLengthIsNotKept) {
    OneReplyServer shortServer("HTTP/1.1 200 OK\r\nContent-Length: 100\r\nConnection: close\r\n\r\nshort");
    ASSERT_GT(shortServer.Port(), 0);
    ce::SetProfileString("hosts", "files.skyvane.example", "127.0.0.1:" + std::to_string(shortServer.Port()));
    ce::ReloadProfile();
    ASSERT_TRUE(downloader.Connect(u"files.skyvane.example", IID_DestNetInternet, 80));
    EXPECT_FALSE(downloader.GetToFile(u"/Skyvane.arm.cab", u"\\Temp\\Skyvane.arm.cab"));
    EXPECT_FALSE(std::filesystem::exists(device.Fs("Temp/Skyvane.arm.cab")));
}

// The limit is checked before the block grows: no reply holds more than the limit and one byte.
TEST_F(HttpDownloader, RepliesToMemoryAboveTheLimitFailBeforeTheirMemoryIsTaken) {
    constexpr DWORD kLimit = 300000;
    EXPECT_EQ(downloader.GetMemoryLimit(), 4u * 1024 * 1024);
    downloader.SetMemoryLimit(kLimit);
    const std::string header = "HTTP/1.1 200 OK\r\nConnection: close\r\n";
    const std::string exact = std::string(kLimit, 'y');
    struct Case {
        std::string reply;
        bool endless;
        bool succeeds;
    };
    const Case cases[] = {
        {header + "Content-Length: " + std::to_string(kLimit) + "\r\n\r\n" + exact, false, true},
        {header + "\r\n", true, false},
        {header + "Content-Length: 5000000000\r\n\r\n", true, false},
        {header + "Content-Length: " + std::to_string(kLimit + 1) + "\r\n\r\n", true, false},
    };
    for (const Case& test : cases) {
        OneReplyServer replies(test.reply, test.endless);
        ASSERT_GT(replies.Port(), 0);
        ce::SetProfileString("hosts", "files.skyvane.example", "127.0.0.1:" + std::to_string(replies.Port()));
        ce::ReloadProfile();
        ASSERT_TRUE(downloader.Connect(u"files.skyvane.example", IID_DestNetInternet, 80));
        progress.Clear();
        DWORD size = 12345;
        BYTE* reply = downloader.GetToMemory(u"/reply", &size);
        EXPECT_EQ(reply != nullptr, test.succeeds) << test.reply.substr(0, 80);
        EXPECT_EQ(size, test.succeeds ? kLimit : 0u);
        if (reply != nullptr) {
            EXPECT_EQ(std::string(reinterpret_cast<char*>(reply), size), exact);
        }
        std::free(reply);
        for (const std::vector<INT_PTR>& call : progress.calls) {
            EXPECT_LE(call[1], static_cast<INT_PTR>(kLimit)) << "no chunk beyond the limit was kept";
        }
        downloader.Disconnect();
    }
}

TEST_F(HttpDownloader, AConnectionWithoutAPathFailsWithCode6) {
    downloader.Disconnect();
    progress.Clear();
    ce::SetProfileString("connection", "state", "nopath");
    ce::ReloadProfile();
    EXPECT_FALSE(downloader.Connect(kHost, IID_DestNetInternet, 80));
    EXPECT_EQ(progress.Codes(), (std::vector<INT_PTR>{0, 6}));
    EXPECT_FALSE(downloader.IsConnected());
    EXPECT_EQ(downloader.GetToMemory(u"/control/requests", nullptr), nullptr);
}

TEST(MemoryController, ReleaseAllClosesWhatIsRecordedAndJoinsThreadsLast) {
    CMemoryController controller;
    EXPECT_EQ(controller.Register(nullptr, kResourceHeapBlock), 0);
    int value = 0;
    EXPECT_EQ(controller.Register(&value, 9), 0) << "an unknown kind is refused";
    EXPECT_EQ(controller.Register(&value, kResourceObject), 0) << "an object needs its deleter";

    void* block = std::malloc(64);
    HANDLE event = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE blocker = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    HANDLE stop = CreateEventW(nullptr, TRUE, FALSE, nullptr);
    struct Waiter {
        HANDLE stop;
        HANDLE blocker;
    } waiter{stop, blocker};
    // The thread ends only when asked; closing its other handle does not end it.
    HANDLE thread = CreateThread(
        nullptr, 0,
        [](LPVOID p) -> DWORD {
            auto* w = static_cast<Waiter*>(p);
            WaitForSingleObject(w->stop, INFINITE);
            return 0;
        },
        &waiter, 0, nullptr);
    ASSERT_NE(thread, nullptr);
    EXPECT_EQ(controller.Register(block, kResourceHeapBlock), 1);
    EXPECT_EQ(controller.Register(event, kResourceKernelHandle), 1);
    EXPECT_EQ(controller.Register(blocker, kResourceKernelHandle), 1);
    EXPECT_EQ(controller.RegisterThread(thread, stop), 1);
    EXPECT_EQ(controller.RegisterObject(new std::string("owned")), 1);
    EXPECT_EQ(controller.Unregister(event), 1);
    EXPECT_EQ(controller.Unregister(event), 0);
    EXPECT_EQ(controller.GetCount(), 4);
    controller.ReleaseAll();
    EXPECT_EQ(controller.GetCount(), 0);
    EXPECT_EQ(WaitForSingleObject(event, 0), static_cast<DWORD>(WAIT_TIMEOUT)) << "an unregistered handle stays open";
    EXPECT_FALSE(SetEvent(blocker)) << "a registered handle is closed";
    CloseHandle(event);
}

}  // namespace
