// The GPS receiver reading NMEA text that a pseudo-terminal delivers as the device's serial port.
#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <atomic>
#include <chrono>
#include <cstdio>
#include <future>
#include <string>
#include <thread>

#include "NmeaSender.h"
#include "Platform/TempDevice.h"
#include "Weather/CGPSReceiver.h"
#include "ce/device.h"
#include "ce/kernel.h"

namespace {

using gps_test::Nmea;
using gps_test::Receiver;

constexpr uint64_t kFixDay = 764380800000;  // 1994-03-23 00:00 UTC, the date of the RMC sentences
constexpr uint64_t kDayMs = 86400000;
constexpr uint64_t kMay2007 = 1179000000000;  // 2007-05-12 UTC
constexpr uint64_t kDecember9 = 1796774400000;  // 2026-12-09 00:00 UTC

const std::string kRmc = Nmea("GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W");
const std::string kVoidRmc = Nmea("GPRMC,123519,V,4807.038,N,01131.000,E,022.4,084.4,230394,003.1,W");
const std::string kGga = Nmea("GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,");
const std::string kNoFixGga = Nmea("GPGGA,123519,,,,,0,00,,,M,,M,,");
const std::string kGll = Nmea("GPGLL,3352.100,S,15112.600,W,225444,A");

class GPSReceiver : public ::testing::Test {
protected:
    void SetUp() override {
        master = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        ASSERT_GE(master, 0);
        ASSERT_EQ(grantpt(master), 0);
        ASSERT_EQ(unlockpt(master), 0);
        ASSERT_TRUE(ce::SetProfileString("serial", "COM3", ptsname(master)));
        ASSERT_TRUE(ce::SetProfileString("serial", "GPD4", ptsname(master)));
        ce::ReloadProfile();
        ce::SetClockUnixMs(kFixDay + 2 * kDayMs + kDayMs / 2);
        receiver.SetPort(u"COM3:");
    }
    void TearDown() override {
        if (master >= 0) {
            close(master);
        }
    }

    int ReadWhileSending(const std::string& text) {
        Receiver sending(master, text);
        return receiver.ReadPosition(&latitude, &longitude);
    }

    ce::test::TempDevice device;
    int master = -1;
    CGPSReceiver receiver;
    double latitude = 0;
    double longitude = 0;
};

TEST_F(GPSReceiver, AnRmcFixGivesDecimalDegrees) {
    ASSERT_EQ(ReadWhileSending(kGga + kRmc), CGPSReceiver::kReadOk);
    EXPECT_NEAR(latitude, 48 + 7.038 / 60, 1e-9);
    EXPECT_NEAR(longitude, 11 + 31.0 / 60, 1e-9);
}

TEST_F(GPSReceiver, SouthAndWestAreNegativeAndTheIntermediateDriverPortReads) {
    receiver.SetPort(u"GPD4:");
    ASSERT_EQ(ReadWhileSending(kVoidRmc + kNoFixGga + kGll), CGPSReceiver::kReadOk);
    EXPECT_NEAR(latitude, -(33 + 52.1 / 60), 1e-9);
    EXPECT_NEAR(longitude, -(151 + 12.6 / 60), 1e-9);
}

TEST_F(GPSReceiver, AVoidRmcGivesWayToAGgaWithAFix) {
    ASSERT_EQ(ReadWhileSending(kVoidRmc + kGga), CGPSReceiver::kReadOk);
    EXPECT_NEAR(latitude, 48 + 7.038 / 60, 1e-9);
}

// The fix date is 20YY: 230394 is 23 March 2094, ahead of the device, and taken. A receiver that sends
// RMC sentences alone is read as well.
TEST_F(GPSReceiver, OnlyAnRmcFixOfTheLastWeekOrAheadIsTaken) {
    ce::SetClockUnixMs(kMay2007);
    EXPECT_EQ(ReadWhileSending(kRmc), CGPSReceiver::kReadOk);
    const std::string december9 = Nmea("GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,091226,003.1,W");
    ce::SetClockUnixMs(kDecember9 + 8 * kDayMs - 60000);
    EXPECT_EQ(ReadWhileSending(december9), CGPSReceiver::kReadOk) << "seven whole days old";
    ce::SetClockUnixMs(kDecember9 + 8 * kDayMs);
    EXPECT_EQ(ReadWhileSending(december9), CGPSReceiver::kReadNoPosition) << "eight days old";
    EXPECT_EQ(ReadWhileSending(Nmea("GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,321326,003.1,W")),
              CGPSReceiver::kReadNoPosition)
        << "no such date";
}

TEST_F(GPSReceiver, AReceiverWithoutAFixGivesNoPosition) {
    EXPECT_EQ(ReadWhileSending(kVoidRmc + kNoFixGga + Nmea("GPGLL,4807.038,N,01131.000,E,225444,V")),
              CGPSReceiver::kReadNoPosition);
}

// Line noise must not turn into a position: a sentence that fails its checksum, is cut off, or holds
// numbers that are no coordinates is passed over.
TEST_F(GPSReceiver, DamagedSentencesAreNotTaken) {
    std::string flipped = kRmc;
    flipped[20] = '9';
    std::string cut = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,$GPVTG,054.7,T\r\n";
    std::string binary("\x01\xff\xfe$GPG\x80\x00", 9);
    EXPECT_EQ(ReadWhileSending(flipped + cut + binary), CGPSReceiver::kReadNoPosition);
    EXPECT_EQ(ReadWhileSending(Nmea("GPGGA,123519,9960.000,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,") +
                               Nmea("GPGGA,123519,4807.038,X,01131.000,E,1,08,0.9,545.4,M,46.9,M,,") +
                               Nmea("GPGGA,1,2") + Nmea("GPRMC," + std::string(900, '9'))),
              CGPSReceiver::kReadNoPosition);
    ASSERT_EQ(ReadWhileSending(flipped + binary + kGga), CGPSReceiver::kReadOk) << "a good sentence later is";
    EXPECT_NEAR(longitude, 11 + 31.0 / 60, 1e-9);
}

// The checksum is optional in a sentence: one that ends at its line without it is read.
TEST_F(GPSReceiver, ASentenceWithoutChecksumIsReadAndOneWithAWrongChecksumIsNot) {
    const std::string plainGga = "$GPGGA,123519,4807.038,N,01131.000,E,1,08,0.9,545.4,M,46.9,M,,\r\n";
    ASSERT_EQ(ReadWhileSending(plainGga), CGPSReceiver::kReadOk);
    EXPECT_NEAR(latitude, 48 + 7.038 / 60, 1e-9);
    const std::string plainRmc = "$GPRMC,123519,A,3352.100,S,01131.000,E,022.4,084.4,230394,003.1,W\n";
    ASSERT_EQ(ReadWhileSending(plainRmc), CGPSReceiver::kReadOk);
    EXPECT_NEAR(latitude, -(33 + 52.1 / 60), 1e-9);
    std::string wrong = kGga;
    wrong[wrong.find('*') + 2] = wrong[wrong.find('*') + 2] == '0' ? '1' : '0';
    EXPECT_EQ(ReadWhileSending(wrong), CGPSReceiver::kReadNoPosition);
}

// The date type's years start at 2001; a fix dated 2000 is still a date of this century.
TEST_F(GPSReceiver, AnRmcFixDatedInTheYear2000IsTaken) {
    constexpr uint64_t kMarch2000 = 953769600000;  // 2000-03-23 00:00 UTC
    ce::SetClockUnixMs(kMarch2000 + kDayMs / 2);
    EXPECT_EQ(ReadWhileSending(Nmea("GPRMC,123519,A,4807.038,N,01131.000,E,022.4,084.4,230300,003.1,W")),
              CGPSReceiver::kReadOk);
}

TEST_F(GPSReceiver, OtherSentencesOnlyAreAPortFailure) {
    EXPECT_EQ(ReadWhileSending(Nmea("GPVTG,054.7,T,034.4,M,005.5,N,010.2,K")), CGPSReceiver::kReadPortFailed);
}

TEST_F(GPSReceiver, PortsThatCannotBeReadFailAtOnce) {
    receiver.SetPort(u"COM1:");
    EXPECT_EQ(receiver.ReadPosition(&latitude, &longitude), CGPSReceiver::kReadPortFailed) << "not configured";
    receiver.SetPort(nullptr);
    EXPECT_EQ(receiver.ReadPosition(&latitude, &longitude), CGPSReceiver::kReadPortFailed);
    receiver.SetPort(u"COM3:");
    HANDLE taken = CreateFileW(u"COM3:", GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(taken, INVALID_HANDLE_VALUE);
    EXPECT_EQ(receiver.ReadPosition(&latitude, &longitude), CGPSReceiver::kReadPortFailed) << "in use";
    CloseHandle(taken);
}

// Thirty empty reads of half a second each, on the virtual clock that the test moves on.
TEST_F(GPSReceiver, ASilentReceiverIsAPortFailureAfterThirtyEmptyReads) {
    ce::EnableVirtualClock(kFixDay);
    auto reading = std::async(std::launch::async, [this] { return receiver.ReadPosition(&latitude, &longitude); });
    auto deadline = std::chrono::steady_clock::now() + std::chrono::seconds(30);
    while (reading.wait_for(std::chrono::milliseconds(10)) != std::future_status::ready &&
           std::chrono::steady_clock::now() < deadline) {
        ce::AdvanceVirtualClock(250);
    }
    ASSERT_EQ(reading.wait_for(std::chrono::seconds(0)), std::future_status::ready);
    EXPECT_EQ(reading.get(), CGPSReceiver::kReadPortFailed);
    ce::DisableVirtualClock();
}

TEST_F(GPSReceiver, AReceiverThatHangsUpIsAPortFailure) {
    std::string half = kRmc.substr(0, 20);
    ASSERT_EQ(write(master, half.data(), half.size()), static_cast<ssize_t>(half.size()));
    close(master);
    master = -1;
    EXPECT_EQ(receiver.ReadPosition(&latitude, &longitude), CGPSReceiver::kReadPortFailed);
}

TEST(GPSCoordinates, DegreesAndMinutesBecomeDecimalDegrees) {
    double degrees = 0;
    ASSERT_TRUE(CGPSReceiver::ParseCoordinate("4807.038", 90, &degrees));
    EXPECT_NEAR(degrees, 48.1173, 1e-9);
    ASSERT_TRUE(CGPSReceiver::ParseCoordinate("17959.999", 180, &degrees));
    EXPECT_NEAR(degrees, 179 + 59.999 / 60, 1e-9);
    EXPECT_FALSE(CGPSReceiver::ParseCoordinate("9030.000", 90, &degrees)) << "beyond the pole";
    EXPECT_FALSE(CGPSReceiver::ParseCoordinate("4861.000", 90, &degrees)) << "61 minutes";
    EXPECT_FALSE(CGPSReceiver::ParseCoordinate("0", 90, &degrees));
    EXPECT_FALSE(CGPSReceiver::ParseCoordinate("", 90, &degrees));
    EXPECT_FALSE(CGPSReceiver::ParseCoordinate("48o7.038", 90, &degrees));
    EXPECT_FALSE(CGPSReceiver::ParseCoordinate("nan", 90, &degrees));
}

}  // namespace
