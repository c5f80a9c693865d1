// The GPS receiver's stand-in: NMEA sentences with their checksums, sent into a pseudo-terminal that
// the device profile names as a serial port.
#pragma once

#include <fcntl.h>
#include <gtest/gtest.h>
#include <poll.h>
#include <stdlib.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <string>
#include <thread>

#include "NmeaSentence.h"
#include "ce/device.h"

namespace gps_test {

// The master side of a pseudo-terminal whose other side the profile names for the ports given.
class PseudoTerminal {
public:
    PseudoTerminal() {
        master_ = posix_openpt(O_RDWR | O_NOCTTY | O_NONBLOCK);
        EXPECT_GE(master_, 0);
        EXPECT_EQ(grantpt(master_), 0);
        EXPECT_EQ(unlockpt(master_), 0);
    }
    ~PseudoTerminal() {
        if (master_ >= 0) {
            close(master_);
        }
    }
    PseudoTerminal(const PseudoTerminal&) = delete;
    PseudoTerminal& operator=(const PseudoTerminal&) = delete;

    // Names the terminal as the device's port ("COM3", "GPD4").
    void MapPort(const std::string& port) {
        ASSERT_TRUE(ce::SetProfileString("serial", port, ptsname(master_)));
        ce::ReloadProfile();
    }
    int Master() const { return master_; }

private:
    int master_ = -1;
};

// A receiver that keeps sending its text, as a real one sends a burst every second, while it lives.
class Receiver {
public:
    Receiver(int master, std::string text) : master_(master), text_(std::move(text)) {
        thread_ = std::thread([this] { Send(); });
    }
    ~Receiver() {
        stop_ = true;
        thread_.join();
    }
    Receiver(const Receiver&) = delete;
    Receiver& operator=(const Receiver&) = delete;

private:
    void Send() {
        size_t at = 0;
        while (!stop_) {
            pollfd room{master_, POLLOUT, 0};
            if (poll(&room, 1, 20) != 1) {
                continue;
            }
            ssize_t written = write(master_, text_.data() + at, text_.size() - at);
            if (written > 0) {
                at = (at + static_cast<size_t>(written)) % text_.size();
            }
        }
    }

    int master_;
    std::string text_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

}  // namespace gps_test
