// The program as a user starts it: the window opens on the current city, a second start hands its city
// to it, and the exit command ends it.
#include <gtest/gtest.h>

#include <png.h>

#include <chrono>
#include <thread>
#include <string>
#include <vector>

#include "Shell/CMainWindow.h"
#include "SkyvaneDevice.h"
#include "ce/user.h"

namespace endtoend {
namespace {

struct Screenshot {
    int width = 0;
    int height = 0;
    std::vector<uint8_t> rgba;
    bool Read(const std::string& path) {
        png_image image{};
        image.version = PNG_IMAGE_VERSION;
        if (!png_image_begin_read_from_file(&image, path.c_str())) {
            return false;
        }
        image.format = PNG_FORMAT_RGBA;
        width = static_cast<int>(image.width);
        height = static_cast<int>(image.height);
        rgba.resize(PNG_IMAGE_SIZE(image));
        return png_image_finish_read(&image, nullptr, rgba.data(), 0, nullptr) != 0;
    }
    const uint8_t* At(int x, int y) const { return &rgba[(static_cast<size_t>(y) * width + x) * 4]; }
    // The rows of the city switch: the top of the work area, below the task bar.
    std::vector<uint8_t> SwitchBand() const {
        const size_t row = static_cast<size_t>(width) * 4;
        return rgba.size() < 70 * row ? std::vector<uint8_t>() : std::vector<uint8_t>(rgba.begin() + 30 * row, rgba.begin() + 70 * row);
    }
};

class MainWindow : public SkyvaneDevice {
protected:
    // Waits (bounded) for the log line of the nth window made on the device (from 1); its city.
    std::string WaitForWindow(size_t nth = 1) {
        for (size_t count = 1; count < 40; ++count) {
            size_t seen = 0;
            for (const std::string& line : ProgramLog(count)) {
                if (HasField(line, "event", "window") && ++seen == nth) {
                    size_t at = line.find("\"city\":\"");
                    return at == std::string::npos ? std::string() : line.substr(at + 8, line.find('"', at + 8) - at - 8);
                }
            }
        }
        return {};
    }
    // The running program's window, once it shows.
    static HWND WaitForMainWindow() {
        for (int i = 0; i < 1000; ++i) {
            if (HWND window = FindWindowW(CMainWindow::kClassName, nullptr)) {
                return window;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return nullptr;
    }
    Screenshot Capture(const std::string& name) {
        Screenshot shot;
        const std::string path = device.Root() + "/" + name;
        EXPECT_EQ(ce::RemoteScreenshot(path), 0u);
        EXPECT_TRUE(shot.Read(path)) << path;
        return shot;
    }
};

TEST_F(MainWindow, OpensOnTheHomeCityTakesASecondStartsCityAndEndsWithExit) {
    WriteCities({u"DEBE0001", u"FRXX0002"});
    WriteSettings(0, 12, 1);  // a language chosen before: no language page
    DeviceProgram first = device.Start("");
    EXPECT_EQ(WaitForWindow(), "0");
    HWND window = WaitForMainWindow();
    ASSERT_NE(window, nullptr);

    // The skin's gradient, dark at the top and lighter below, fills the work area between the task bar
    // and the soft keys once the start-up steps let the window paint (before, it is the class's white).
    Screenshot shot;
    auto painted = [&] {
        shot = Capture("first.png");
        if (shot.width != 240 || shot.height != 320) {
            return false;
        }
        const uint8_t* upper = shot.At(120, 100);
        const uint8_t* lower = shot.At(120, 270);
        return upper[1] < 200 && lower[1] < 200 && upper[1] + 20 < lower[1];
    };
    bool shown = painted();
    for (int i = 0; i < 200 && !shown; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        shown = painted();
    }
    EXPECT_TRUE(shown) << "the skin's background";

    const std::vector<uint8_t> firstCity = shot.SwitchBand();
    EXPECT_EQ(device.Run("cmd_normal_mode:1"), 0) << "the second start hands off and ends";
    EXPECT_TRUE(first.StillRunningAfter(std::chrono::milliseconds(100)));
    std::vector<uint8_t> handedOff = Capture("handed-off.png").SwitchBand();
    for (int i = 0; i < 200 && handedOff == firstCity; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        handedOff = Capture("handed-off.png").SwitchBand();
    }
    EXPECT_NE(handedOff, firstCity) << "the switch shows another city";

    ASSERT_TRUE(PostMessageW(window, WM_COMMAND, 3005, 0));
    EXPECT_EQ(first.Wait(std::chrono::seconds(20)), 0);
    EXPECT_EQ(ReadInstalled("Cities.dat"), oldList) << "an exit without changes leaves the list";

    // A start on city 1 shows what the hand-off showed.
    DeviceProgram second = device.Start("cmd_normal_mode:1");
    EXPECT_EQ(WaitForWindow(2), "1");
    window = WaitForMainWindow();
    ASSERT_NE(window, nullptr);
    std::vector<uint8_t> direct = Capture("direct.png").SwitchBand();
    for (int i = 0; i < 200 && direct != handedOff; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(10));
        direct = Capture("direct.png").SwitchBand();
    }
    EXPECT_EQ(direct, handedOff);
    PostMessageW(window, WM_COMMAND, 3005, 0);
    EXPECT_EQ(second.Wait(std::chrono::seconds(20)), 0);
}

// A view or a dialog runs its own loop: the update requests of a second start reach the window there,
// and each still runs one update and re-arms the schedule.
TEST_F(MainWindow, UpdateRequestsWhileAScreenIsOpenRunOneUpdateAndRearm) {
    WriteCities({u"DEBE0001", u"FRXX0002"});
    WriteSettings(1, 3, 1);
    ASSERT_EQ(device.Run("cmd_silent_update"), 0) << "today's forecasts: the day view opens straight away";
    DeviceProgram program = device.Start("");
    ASSERT_EQ(WaitForWindow(), "0");
    HWND window = WaitForMainWindow();
    ASSERT_NE(window, nullptr);
    size_t logged = ProgramLog().size();
    // The nth line of the program's log (from 1), once it is there: an in-place update tells its end.
    // The device's time goes on meanwhile: the screen's opening slide plays in it.
    auto updateEnd = [&](size_t nth) {
        for (int i = 0; i < 2000; ++i) {
            std::vector<std::string> lines = ProgramLog();
            if (lines.size() >= nth) {
                return lines[nth - 1];
            }
            ce::AdvanceVirtualClock(20);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return std::string("(no line)");
    };
    // Views and settings dialogs are dialog windows over the main window.
    auto screenOpen = [&](bool wanted) {
        for (int i = 0; i < 1000; ++i) {
            if ((FindWindowW(u"Dialog", nullptr) != nullptr) == wanted) {
                return true;
            }
            ce::AdvanceVirtualClock(20);
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    };
    for (WPARAM command : {WPARAM{3009}, WPARAM{3023}}) {  // Details, the scheduled-update settings
        SCOPED_TRACE(command);
        ASSERT_TRUE(PostMessageW(window, WM_COMMAND, command, 0));
        ASSERT_TRUE(screenOpen(true));
        ClearNotifications();
        size_t before = ServerRequests();

        EXPECT_EQ(device.Run("cmd_auto_update"), 0) << "handed off";
        std::string ended = updateEnd(++logged);
        EXPECT_TRUE(HasField(ended, "mode", "cmd_auto_update")) << ended;
        EXPECT_TRUE(HasField(ended, "result", "0")) << ended;
        EXPECT_EQ(ServerRequests(), before + 2) << "both cities fetched once";
        std::vector<Notification> pending = PendingNotifications();
        ASSERT_EQ(pending.size(), 1u) << "re-armed";
        EXPECT_EQ(pending[0].arguments, u"cmd_auto_update");

        EXPECT_EQ(device.Run("cmd_silent_update"), 0);
        ended = updateEnd(++logged);
        EXPECT_TRUE(HasField(ended, "mode", "cmd_silent_update")) << ended;
        EXPECT_EQ(ServerRequests(), before + 4);
        EXPECT_EQ(ce::RemoteKey("Back"), 0u);
        ASSERT_TRUE(screenOpen(false));
    }
    ASSERT_TRUE(PostMessageW(window, WM_COMMAND, 3005, 0));
    EXPECT_EQ(program.Wait(std::chrono::seconds(20)), 0);
}

}  // namespace
}  // namespace endtoend
