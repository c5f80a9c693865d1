// NMEA text as the GPS receiver reads it from its serial port: byte by byte through the port's reads,
// the port's own filter and buffers, to a position. The port is a file that the device profile names
// as "COM3:"; at its end the port reads as a receiver that has hung up. A receiver repeats its sentences
// every second, and the receiver parses only whole buffers: the input is sent over and over until the
// receiver has had as many buffers as it reads.
//
// The receiver lets the port settle for a moment before it reads; the device runs on the virtual clock,
// which a helper thread moves on whenever a thread waits on it, so that no run waits in real time.
#include <cmath>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>
#include <thread>

#include "FuzzDevice.h"
#include "Weather/CGPSReceiver.h"
#include "ce/device.h"

namespace {

constexpr uint64_t kDecember9 = 1796774400000;  // 2026-12-09 00:00 UTC, the date of the seeds' fixes

void MoveClockWhileWaited() {
    for (;;) {
        if (ce::TimedWaitsInProgress() > 0) {
            ce::AdvanceVirtualClock(250);
        }
        std::this_thread::sleep_for(std::chrono::microseconds(50));
    }
}

const char* PreparePort() {
    fuzz::FuzzDevice& device = fuzz::FuzzDevice::Get();
    device.Write("gps-port", nullptr, 0);
    ce::SetProfileString("serial", "COM3", device.HostPath("gps-port"));
    ce::ReloadProfile();
    ce::EnableVirtualClock(kDecember9 + 12 * 3600 * 1000);
    std::thread(MoveClockWhileWaited).detach();
    return "gps-port";
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static const char* const port = PreparePort();
    if (size == 0) {
        return 0;
    }
    std::string sent;
    while (sent.size() < CGPSReceiver::kBufferSize * CGPSReceiver::kMaxBuffers) {
        sent.append(reinterpret_cast<const char*>(data), size);
    }
    fuzz::FuzzDevice::Get().Write(port, reinterpret_cast<const uint8_t*>(sent.data()), sent.size());
    CGPSReceiver receiver;
    receiver.SetPort(u"COM3:");
    double latitude = 0;
    double longitude = 0;
    if (receiver.ReadPosition(&latitude, &longitude) == CGPSReceiver::kReadOk &&
        (!std::isfinite(latitude) || !std::isfinite(longitude) || std::fabs(latitude) > 90 ||
         std::fabs(longitude) > 180)) {
        std::abort();  // the city search would take this for a place on the earth
    }
    return 0;
}
