// cedevice screenshot, tap, hold, drag, key and text: the screen of the program that runs on the device now.
#include <charconv>
#include <chrono>
#include <filesystem>
#include <thread>
#include <vector>

#include "Commands.h"
#include "ce/device.h"
#include "ce/types.h"

namespace cedevice {
namespace {

int Answer(DWORD status, const std::string& what) {
    if (status == 0) {
        return kExitDone;
    }
    if (status == ERROR_NOT_FOUND) {
        return Fail(kExitFailed, "no program with a window runs on the device");
    }
    return Fail(status == ERROR_INVALID_PARAMETER ? kExitUsage : kExitFailed, what);
}

bool ParseInt(const std::string& text, int* value) {
    auto [end, error] = std::from_chars(text.data(), text.data() + text.size(), *value);
    return error == std::errc() && end == text.data() + text.size();
}

// Longer than the platform's long tap-and-hold (1000 ms), so that every hold is recognized.
constexpr int kHoldMs = 1100;
constexpr int kDefaultDragMs = 200;
constexpr int kDragSteps = 8;
// Real time for a stylus event to reach the program before the device's virtual clock moves on.
constexpr auto kDeliveryPause = std::chrono::milliseconds(100);

// Time passes for the program on the device's clock: the virtual clock is moved on, the real one waited.
void PassTime(int milliseconds) {
    if (ce::VirtualClockEnabled()) {
        std::this_thread::sleep_for(kDeliveryPause);
        ce::AdvanceVirtualClock(static_cast<uint64_t>(milliseconds));
    } else {
        std::this_thread::sleep_for(std::chrono::milliseconds(milliseconds));
    }
}

bool ParsePoints(const Arguments& arguments, size_t count, std::vector<int>* values) {
    values->assign(count, 0);
    for (size_t i = 0; i < count; ++i) {
        if (!ParseInt(arguments[i], &(*values)[i])) {
            return false;
        }
    }
    return true;
}

DWORD Stylus(ce::RemoteStylusAction action, int x, int y) { return ce::RemoteStylus(action, x, y); }

}  // namespace

int TakeScreenshot(const std::string&, const Arguments& arguments) {
    if (arguments.size() != 1 || arguments[0].empty()) {
        return Fail(kExitUsage, "screenshot wants one FILE");
    }
    std::error_code error;
    std::string file = std::filesystem::absolute(arguments[0], error).string();
    return Answer(ce::RemoteScreenshot(file), "cannot write " + file);
}

int TapScreen(const std::string&, const Arguments& arguments) {
    int x = 0, y = 0;
    if (arguments.size() != 2 || !ParseInt(arguments[0], &x) || !ParseInt(arguments[1], &y)) {
        return Fail(kExitUsage, "tap wants X and Y in screen pixels");
    }
    return Answer(ce::RemoteTap(x, y), "the tap did not arrive");
}

int PressKey(const std::string&, const Arguments& arguments) {
    if (arguments.size() != 1) {
        return Fail(kExitUsage, "key wants one NAME");
    }
    return Answer(ce::RemoteKey(arguments[0]), "unknown key '" + arguments[0] + "'");
}

int TypeText(const std::string&, const Arguments& arguments) {
    if (arguments.size() != 1) {
        return Fail(kExitUsage, "text wants one TEXT");
    }
    return Answer(ce::RemoteText(ce::FromUtf8(arguments[0])), "the text did not arrive");
}

}  // namespace cedevice

namespace cedevice {

int HoldStylus(const std::string&, const Arguments& arguments) {
    std::vector<int> at;
    if (arguments.size() != 2 || !ParsePoints(arguments, 2, &at)) {
        return Fail(kExitUsage, "hold wants X and Y in screen pixels");
    }
    if (DWORD status = Stylus(ce::RemoteStylusAction::Down, at[0], at[1])) {
        return Answer(status, "the stylus did not arrive");
    }
    PassTime(kHoldMs);
    return Answer(Stylus(ce::RemoteStylusAction::Up, at[0], at[1]), "the stylus did not arrive");
}

int DragStylus(const std::string&, const Arguments& arguments) {
    std::vector<int> line;
    int milliseconds = kDefaultDragMs;
    bool parsed = (arguments.size() == 4 || arguments.size() == 5) && ParsePoints(arguments, 4, &line) &&
                  (arguments.size() == 4 || (ParseInt(arguments[4], &milliseconds) && milliseconds >= 0));
    if (!parsed) {
        return Fail(kExitUsage, "drag wants X1 Y1 X2 Y2 in screen pixels and optionally MS (milliseconds, >= 0)");
    }
    if (DWORD status = Stylus(ce::RemoteStylusAction::Down, line[0], line[1])) {
        return Answer(status, "the stylus did not arrive");
    }
    for (int step = 1; step <= kDragSteps; ++step) {
        PassTime(milliseconds / kDragSteps);
        int x = line[0] + (line[2] - line[0]) * step / kDragSteps;
        int y = line[1] + (line[3] - line[1]) * step / kDragSteps;
        if (DWORD status = Stylus(ce::RemoteStylusAction::Move, x, y)) {
            return Answer(status, "the stylus did not arrive");
        }
    }
    return Answer(Stylus(ce::RemoteStylusAction::Up, line[2], line[3]), "the stylus did not arrive");
}

}  // namespace cedevice
