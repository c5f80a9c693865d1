// HTTP through the device's internet functions against a real server on loopback, reached by a host
// name of the device's [hosts] map.
#include <gtest/gtest.h>
#include <httplib.h>

#include <chrono>
#include <condition_variable>
#include <fstream>
#include <mutex>
#include <string>
#include <thread>

#include <unistd.h>

#include "ChildProcess.h"
#include "TempDevice.h"
#include "ce/device.h"
#include "ce/inet.h"

namespace {

class LoopbackServer {
public:
    LoopbackServer() {
        server_.Get("/text", [](const httplib::Request&, httplib::Response& r) { r.set_content("hello", "text/plain"); });
        server_.Get("/big", [this](const httplib::Request&, httplib::Response& r) { r.set_content(Big(), "application/x"); });
        server_.Post("/echo", [](const httplib::Request& q, httplib::Response& r) {
            r.set_content(q.body + "|" + q.get_header_value("User-Agent"), "text/plain");
        });
        server_.Get("/unsized", [](const httplib::Request&, httplib::Response& r) {
            r.set_chunked_content_provider("text/plain", [](size_t offset, httplib::DataSink& sink) {
                if (offset < 3000) {
                    std::string piece(1000, 'u');
                    sink.write(piece.data(), piece.size());
                } else {
                    sink.done();
                }
                return true;
            });
        });
        server_.Get("/stall", [this](const httplib::Request&, httplib::Response& r) {
            r.set_content_provider(100, "text/plain", [this](size_t offset, size_t, httplib::DataSink& sink) {
                if (offset == 0) {
                    sink.write("first", 5);
                    return true;
                }
                std::unique_lock guard(lock_);
                released_.wait_for(guard, std::chrono::seconds(20), [this] { return release_; });
                return false;
            });
        });
        server_.Get("/missing", [](const httplib::Request&, httplib::Response& r) { r.status = 404; });
        port_ = server_.bind_to_any_port("127.0.0.1");
        thread_ = std::thread([this] { server_.listen_after_bind(); });
        // A stop before the accept loop runs would be lost.
        for (int i = 0; i < 5000 && !server_.is_running(); ++i) {
            std::this_thread::sleep_for(std::chrono::milliseconds(1));
        }
    }
    ~LoopbackServer() {
        {
            std::lock_guard guard(lock_);
            release_ = true;
            released_.notify_all();
        }
        server_.stop();
        thread_.join();
    }
    int Port() const { return port_; }
    static std::string Big() {
        std::string data(2 * 1024 * 1024 + 17, '\0');
        for (size_t i = 0; i < data.size(); ++i) {
            data[i] = static_cast<char>(i * 7 + i / 1000);
        }
        return data;
    }

private:
    httplib::Server server_;
    int port_ = 0;
    std::thread thread_;
    std::mutex lock_;
    std::condition_variable released_;
    bool release_ = false;
};

class Inet : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_GT(server_.Port(), 0);
        ce::SetProfileString("hosts", "forecast.example", "127.0.0.1:" + std::to_string(server_.Port()));
        ce::ReloadProfile();
        internet_ = InternetOpenW(u"Skyvane", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
        ASSERT_NE(internet_, nullptr);
        connection_ = InternetConnectW(internet_, u"Forecast.Example", 80, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 1);
        ASSERT_NE(connection_, nullptr);
    }
    void TearDown() override { InternetCloseHandle(internet_); }

    HINTERNET Open(const char16_t* verb, const char16_t* path) {
        return HttpOpenRequestW(connection_, verb, path, nullptr, nullptr, nullptr, INTERNET_FLAG_NO_CACHE_WRITE, 1);
    }

    static std::string ReadAll(HINTERNET request, DWORD chunk = 51200) {
        std::string body;
        std::string buffer(chunk, '\0');
        DWORD read = 0;
        while (InternetReadFile(request, buffer.data(), chunk, &read) && read > 0) {
            body.append(buffer.data(), read);
        }
        return body;
    }

    static DWORD NumberInfo(HINTERNET request, DWORD level) {
        DWORD value = 0;
        DWORD size = sizeof value;
        return HttpQueryInfoW(request, level | HTTP_QUERY_FLAG_NUMBER, &value, &size, nullptr) ? value : 0xFFFFFFFF;
    }

    ce::test::TempDevice device_;
    LoopbackServer server_;
    HINTERNET internet_ = nullptr;
    HINTERNET connection_ = nullptr;
};

TEST_F(Inet, AMappedHostNameReachesTheServerAndTheReplyIsReadWhole) {
    HINTERNET request = Open(u"GET", u"/big");
    ASSERT_TRUE(HttpSendRequestW(request, nullptr, 0, nullptr, 0));
    EXPECT_EQ(NumberInfo(request, HTTP_QUERY_STATUS_CODE), 200u);
    EXPECT_EQ(NumberInfo(request, HTTP_QUERY_CONTENT_LENGTH), LoopbackServer::Big().size());
    EXPECT_EQ(ReadAll(request), LoopbackServer::Big());
    DWORD read = 99;
    char byte;
    EXPECT_TRUE(InternetReadFile(request, &byte, 1, &read));
    EXPECT_EQ(read, 0u) << "the end of the reply reads as 0 bytes";
    EXPECT_TRUE(InternetCloseHandle(request));
}

TEST_F(Inet, APostSendsItsBodyWithTheAgentName) {
    HINTERNET request = Open(u"POST", u"/echo");
    char body[] = "posid=DEBE0001&imei=123456789012345&ver=40&filterid=43";
    ASSERT_TRUE(HttpSendRequestW(request, nullptr, 0, body, sizeof body - 1));
    EXPECT_EQ(ReadAll(request), std::string(body) + "|Skyvane");
}

TEST_F(Inet, AReplyWithoutLengthHasNoLengthAndStillEnds) {
    HINTERNET request = Open(u"GET", u"/unsized");
    ASSERT_TRUE(HttpSendRequestW(request, nullptr, 0, nullptr, 0));
    EXPECT_EQ(NumberInfo(request, HTTP_QUERY_CONTENT_LENGTH), 0xFFFFFFFFu);
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_HTTP_HEADER_NOT_FOUND));
    EXPECT_EQ(ReadAll(request, 700), std::string(3000, 'u'));
}

TEST_F(Inet, TheStatusOfAnErrorReplyCanBeRead) {
    HINTERNET request = Open(nullptr, u"/missing");
    ASSERT_TRUE(HttpSendRequestW(request, nullptr, 0, nullptr, 0));
    EXPECT_EQ(NumberInfo(request, HTTP_QUERY_STATUS_CODE), 404u);
}

TEST_F(Inet, AHostOutsideTheDevicesNetworkDoesNotResolve) {
    HINTERNET other = InternetConnectW(internet_, u"elsewhere.example", 80, nullptr, nullptr, INTERNET_SERVICE_HTTP, 0, 1);
    HINTERNET request = HttpOpenRequestW(other, nullptr, u"/text", nullptr, nullptr, nullptr, 0, 1);
    ASSERT_NE(request, nullptr);
    EXPECT_FALSE(HttpSendRequestW(request, nullptr, 0, nullptr, 0));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INTERNET_NAME_NOT_RESOLVED));
}

// Waits until a thread of this process sleeps in the kernel (state S), for up to 10 s.
void WaitUntilAsleep(pid_t thread) {
    const std::string path = "/proc/self/task/" + std::to_string(thread) + "/stat";
    for (auto giveUp = std::chrono::steady_clock::now() + std::chrono::seconds(10);
         std::chrono::steady_clock::now() < giveUp; std::this_thread::sleep_for(std::chrono::milliseconds(1))) {
        std::ifstream stat(path);
        std::string line;
        std::getline(stat, line);
        // The state follows the command name, which is in parentheses and may hold blanks.
        const size_t nameEnd = line.rfind(')');
        if (nameEnd != std::string::npos && nameEnd + 2 < line.size() && line[nameEnd + 2] == 'S') {
            return;
        }
    }
}

TEST_F(Inet, ClosingTheRequestFromAnotherThreadEndsABlockedRead) {
    HINTERNET request = Open(u"GET", u"/stall");
    ASSERT_TRUE(HttpSendRequestW(request, nullptr, 0, nullptr, 0));
    char buffer[100];
    DWORD read = 0;
    ASSERT_TRUE(InternetReadFile(request, buffer, sizeof buffer, &read));
    ASSERT_EQ(std::string(buffer, read), "first");

    std::thread closer([request, reader = gettid()] {
        WaitUntilAsleep(reader);  // the reader blocks in the transfer first
        InternetCloseHandle(request);
    });
    auto started = std::chrono::steady_clock::now();
    EXPECT_FALSE(InternetReadFile(request, buffer, sizeof buffer, &read));
    closer.join();
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
    EXPECT_FALSE(InternetCloseHandle(request)) << "a closed handle is gone";
}

TEST_F(Inet, ClosingTheSessionClosesItsConnectionsAndRequests) {
    HINTERNET request = Open(u"GET", u"/text");
    ASSERT_NE(request, nullptr);
    EXPECT_TRUE(InternetCloseHandle(internet_));
    EXPECT_FALSE(HttpSendRequestW(request, nullptr, 0, nullptr, 0));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_HANDLE));
    internet_ = nullptr;
}

// An update starts loading the HTTP library at once and goes on with its start beside it: a session
// opened meanwhile waits for the load, and so does an exit (the child's must end cleanly, its leak check
// included).
TEST(InetPreparedLoad, ASessionAndAnExitDuringTheLoadWaitForIt) {
    if (ce::test::ChildRole() != nullptr) {
        ce::PrepareInternet();
        std::exit(0);
    }
    ce::test::ChildProcess child("InetPreparedLoad.ASessionAndAnExitDuringTheLoadWaitForIt", "exit at once");
    EXPECT_EQ(child.Wait(), 0);

    ce::PrepareInternet();
    ce::PrepareInternet();
    HINTERNET internet = InternetOpenW(u"Skyvane", INTERNET_OPEN_TYPE_DIRECT, nullptr, nullptr, 0);
    ASSERT_NE(internet, nullptr);
    EXPECT_TRUE(InternetCloseHandle(internet));
}

}  // namespace
