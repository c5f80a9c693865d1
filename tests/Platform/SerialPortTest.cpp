#include <fcntl.h>
#include <gtest/gtest.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <string>

#include "Platform/TempDevice.h"
#include "ce/device.h"
#include "ce/kernel.h"

namespace {

using ce::test::TempDevice;

// A pseudo-terminal stands in for the receiver: the test writes to its master side.
class SerialPortTest : public ::testing::Test {
protected:
    void SetUp() override {
        master = posix_openpt(O_RDWR | O_NOCTTY);
        ASSERT_GE(master, 0);
        ASSERT_EQ(grantpt(master), 0);
        ASSERT_EQ(unlockpt(master), 0);
        ASSERT_TRUE(ce::SetProfileString("serial", "COM3", ptsname(master)));
    }
    void TearDown() override { close(master); }

    HANDLE OpenPort(DWORD share = 0) {
        return CreateFileW(u"com3:", GENERIC_READ, share, nullptr, OPEN_EXISTING, 0, nullptr);
    }
    std::string ReadSome(HANDLE port, DWORD count) {
        std::string text(count, '\0');
        DWORD read = 0;
        EXPECT_TRUE(ReadFile(port, text.data(), count, &read, nullptr));
        text.resize(read);
        return text;
    }

    TempDevice device;
    int master = -1;
};

TEST_F(SerialPortTest, ReadsWhatTheReceiverSends) {
    HANDLE port = OpenPort();
    ASSERT_NE(port, INVALID_HANDLE_VALUE);
    COMMTIMEOUTS timeouts{500, 500, 0, 0, 0};
    ASSERT_TRUE(SetCommTimeouts(port, &timeouts));
    ASSERT_TRUE(PurgeComm(port, PURGE_RXCLEAR));
    ASSERT_TRUE(SetCommMask(port, EV_RXCHAR));
    std::string sentence = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,*47\r\n";
    ASSERT_EQ(write(master, sentence.data(), sentence.size()), static_cast<ssize_t>(sentence.size()));
    std::string received;
    while (received.size() < sentence.size()) {
        std::string part = ReadSome(port, 1);
        ASSERT_EQ(part.size(), 1u) << "after " << received;
        received += part;
    }
    EXPECT_EQ(received, sentence);
    CloseHandle(port);
}

TEST_F(SerialPortTest, ReadWithoutDataEndsAfterItsTimeout) {
    HANDLE port = OpenPort();
    ASSERT_NE(port, INVALID_HANDLE_VALUE);
    COMMTIMEOUTS timeouts{0, 0, 100, 0, 0};
    SetCommTimeouts(port, &timeouts);
    auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(ReadSome(port, 1), "");
    auto took = std::chrono::steady_clock::now() - started;
    EXPECT_GE(took, std::chrono::milliseconds(90));
    EXPECT_LT(took, std::chrono::seconds(5));

    // Under the virtual clock the 60 s time-out costs no real minute.
    ce::EnableVirtualClock(1700000000000ULL);
    timeouts = {0, 0, 60000, 0, 0};
    SetCommTimeouts(port, &timeouts);
    started = std::chrono::steady_clock::now();
    EXPECT_EQ(ReadSome(port, 1), "");
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(5));
    ce::DisableVirtualClock();
    CloseHandle(port);
}

TEST_F(SerialPortTest, PortsAreOpenedOnceAndMustBeConfigured) {
    HANDLE port = OpenPort();
    ASSERT_NE(port, INVALID_HANDLE_VALUE);
    EXPECT_EQ(OpenPort(), INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_SHARING_VIOLATION);
    CloseHandle(port);
    EXPECT_EQ(CreateFileW(u"COM1:", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr),
              INVALID_HANDLE_VALUE);
    EXPECT_EQ(GetLastError(), ERROR_FILE_NOT_FOUND);
    COMMTIMEOUTS timeouts{};
    EXPECT_FALSE(SetCommTimeouts(reinterpret_cast<HANDLE>(0x4444), &timeouts));
    EXPECT_EQ(GetLastError(), ERROR_INVALID_HANDLE);
}

}  // namespace
