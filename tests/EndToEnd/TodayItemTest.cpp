// The Today item as the user meets it: the program installed and its item registered, the start screen
// running headless. A silent update by the program signals the item, which reloads and shows the city's
// weather; a tap on it starts the program.
#include <gtest/gtest.h>

#include <thread>

#include "CBitmapDC.h"
#include "CGdiFactory.h"
#include "CSysInfo.h"
#include "CTodayItem.h"
#include "Screens/MainWindowMenu.h"
#include "Shell/CMainWindow.h"
#include "Skin/CApplicationSkin.h"
#include "Skin/SpriteLibraryLoader.h"
#include "SkyvaneDevice.h"
#include "Weather/CCityList.h"
#include "Weather/DeviceUtilities.h"
#include "Weather/GlobalServices.h"
#include "ce/com.h"
#include "ce/toolhelp.h"
#include "support/DeviceScreenshot.h"

namespace endtoend {
namespace {

using Screenshot = ce::test::DeviceScreenshot;

Screenshot TakeScreenshot(const std::string& path) { return Screenshot::Take(path); }

bool Near(COLORREF a, COLORREF b) { return Screenshot::ColorsNear(a, b, 12); }

void SetDword(HKEY key, const char16_t* name, DWORD value) {
    RegSetValueExW(key, name, 0, REG_DWORD, reinterpret_cast<const BYTE*>(&value), sizeof(value));
}

// As the program registers its item after installation.
void RegisterTodayItem() {
    HKEY key = nullptr;
    ASSERT_EQ(RegCreateKeyExW(HKEY_LOCAL_MACHINE, u"Software\\Microsoft\\Today\\Items\\Skyvane", 0, nullptr, 0,
                              KEY_ALL_ACCESS, nullptr, &key, nullptr),
              ERROR_SUCCESS);
    const std::u16string dll = u"\\Windows\\Dawnlet.dll";
    RegSetValueExW(key, u"Dll", 0, REG_SZ, reinterpret_cast<const BYTE*>(dll.c_str()),
                   static_cast<DWORD>((dll.size() + 1) * sizeof(char16_t)));
    SetDword(key, u"Enabled", 1);
    SetDword(key, u"Options", 1);
    SetDword(key, u"Type", 4);
    SetDword(key, u"Selectability", 2);
    RegCloseKey(key);
}

// The picture that the item's second column must show, drawn by the skin on the screen's background
// at the spot where the item draws it.
class ExpectedPicture {
public:
    ExpectedPicture() {
        g_pSysInfo = new CSysInfo(nullptr);
        g_pSysInfo->UpdateScreenSize();
        g_pGdiFactory = new CGdiFactory(*g_pSysInfo);
        if (LoadSpriteLibrary()) {
            skin_ = new CApplicationSkin();
            if (skin_->Load()) {
                g_pApplicationSkin = skin_;
            }
        }
    }
    ~ExpectedPicture() {
        g_pApplicationSkin = nullptr;
        delete skin_;
        FreeSpriteLibrary();
        delete g_pGdiFactory;
        g_pGdiFactory = nullptr;
        delete g_pSysInfo;
        g_pSysInfo = nullptr;
    }

    // Where the second column's picture lies on the screen and what it looks like.
    bool Render(int picture, const RECT& area) {
        if (g_pApplicationSkin == nullptr) {
            return false;
        }
        const TodayLayoutMetrics metrics = CTodayItem::MetricsFor(CTodayItem::kDaysLarge);
        const int column = (area.right - area.left) / CTodayRows::kColumnCount;
        size_.cy = metrics.pictureHeight;
        size_.cx = CTodayLayout::PictureWidth(picture, size_.cy);
        origin_.x = area.left + column + column / 2 - size_.cx / 2;
        origin_.y = area.top + CTodayLayout::BandHeight(metrics);
        // The device draws in 5-6-5; so does the expectation.
        if (!bitmap_.Create(size_.cx, size_.cy, 16)) {
            return false;
        }
        RECT all{0, 0, size_.cx, size_.cy};
        HBRUSH background = CreateSolidBrush(GetSysColor(COLOR_WINDOW));
        FillRect(bitmap_.DC(), &all, background);
        DeleteObject(background);
        return g_pApplicationSkin->DrawSprite(picture, size_.cx, size_.cy, bitmap_.DC(), 0, 0, 0, 0, 0, 0);
    }

    // The share of the picture's pixels that the screenshot shows alike.
    double MatchIn(const Screenshot& shot) const {
        int alike = 0;
        for (int y = 0; y < size_.cy; ++y) {
            for (int x = 0; x < size_.cx; ++x) {
                const int sx = origin_.x + x;
                const int sy = origin_.y + y;
                if (sx < shot.width && sy < shot.height && Near(shot.At(sx, sy), GetPixel(bitmap_.DC(), x, y))) {
                    ++alike;
                }
            }
        }
        return size_.cx * size_.cy > 0 ? static_cast<double>(alike) / (size_.cx * size_.cy) : 0;
    }
    // The share of the picture's pixels that differ from the background: a picture, not an empty spot.
    double Coverage() const {
        int drawn = 0;
        for (int y = 0; y < size_.cy; ++y) {
            for (int x = 0; x < size_.cx; ++x) {
                drawn += Near(GetPixel(bitmap_.DC(), x, y), GetSysColor(COLOR_WINDOW)) ? 0 : 1;
            }
        }
        return size_.cx * size_.cy > 0 ? static_cast<double>(drawn) / (size_.cx * size_.cy) : 0;
    }

private:
    CApplicationSkin* skin_ = nullptr;
    CBitmapDC bitmap_;
    SIZE size_{};
    POINT origin_{};
};

class TodayItem : public SkyvaneDevice {
protected:
    // The forecast cache is read through the XML DOM.
    void SetUp() override {
        SkyvaneDevice::SetUp();
        CoInitializeEx(nullptr, COINIT_MULTITHREADED);
    }
    void TearDown() override {
        EndStartedPrograms();
        CoUninitialize();
        SkyvaneDevice::TearDown();
    }
    // A program that the item started is the device's, not the test's child: its window takes the Exit
    // command. A page of its first start holds the command back until it is answered, so a program that
    // shows one, or that does not end by then, is ended before the device goes.
    static void EndStartedPrograms() {
        auto pageShown = [] { return FindWindowW(u"Dialog", nullptr) != nullptr; };
        for (int i = 0; i < 500 && CountRunningProcesses(u"Skyvane.exe") > 0 && !pageShown(); ++i) {
            if (HWND window = FindWindowW(CMainWindow::kClassName, nullptr)) {
                PostMessageW(window, WM_COMMAND, MainWindowMenu::kExit, 0);
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        HANDLE snapshot = CreateToolhelp32Snapshot(TH32CS_SNAPPROCESS, 0);
        PROCESSENTRY32W entry{};
        entry.dwSize = sizeof(entry);
        for (BOOL more = Process32FirstW(snapshot, &entry); more; more = Process32NextW(snapshot, &entry)) {
            if (_wcsicmp(entry.szExeFile, u"Skyvane.exe") == 0) {
                HANDLE process = OpenProcess(0, FALSE, entry.th32ProcessID);
                TerminateProcess(process, 1);
                CloseHandle(process);
            }
        }
        CloseToolhelp32Snapshot(snapshot);
    }
    // The window's city once the program started by the item opened it.
    bool WaitForWindowOnCity(const std::string& city) const {
        for (int i = 0; i < 2000; ++i) {
            for (const std::string& line : ce::ReadDeviceLog("Skyvane")) {
                if (HasField(line, "event", "window") && HasField(line, "city", city)) {
                    return true;
                }
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }
    void StartScreen() {
        RegisterTodayItem();
        host = std::make_unique<DeviceProgram>(CE_START_HOST, "");
        ASSERT_TRUE(host->Started());
        ASSERT_TRUE(WaitForLog("startscreen", "\"name\":\"Skyvane\",\"result\":\"ok\"")) << "the item was made";
    }
    bool WaitForLog(const std::string& log, const std::string& text) const {
        for (int i = 0; i < 2000; ++i) {
            for (const std::string& line : ce::ReadDeviceLog(log)) {
                if (line.find(text) != std::string::npos) {
                    return true;
                }
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return false;
    }
    // Tomorrow's picture of the first city, as the item's second column must show it after an update.
    static void RenderTomorrow(ExpectedPicture& expected, const RECT& area) {
        CCityList cities;
        ASSERT_TRUE(cities.Load());
        cities.LoadCachedForecasts();
        CCity city;
        ASSERT_TRUE(cities.GetCity(0, &city));
        SYSTEMTIME now{};
        GetLocalTime(&now);
        std::vector<TodayColumn> columns = CTodayRows::FiveDays(city, now, 0);
        ASSERT_GE(columns.size(), 2u) << "the update brought the days";
        ASSERT_TRUE(expected.Render(columns[1].picture, area));
        ASSERT_GT(expected.Coverage(), 0.1);
    }
    // The item draws asynchronously after the program's signal: take screenshots until one matches.
    double WaitForPicture(const ExpectedPicture& expected) const {
        double match = 0;
        for (int i = 0; i < 200 && match < 0.9; ++i) {
            match = expected.MatchIn(TakeScreenshot(device.Root() + "/screen.png"));
            if (match < 0.9) {
                std::this_thread::sleep_for(std::chrono::milliseconds(50));
            }
        }
        return match;
    }

    std::unique_ptr<DeviceProgram> host;
};

TEST_F(TodayItem, ASilentUpdateShowsTheCitysWeatherAndATapStartsTheProgram) {
    WriteCities({u"DEBE0001"});
    StartScreen();

    ASSERT_EQ(device.Run("cmd_silent_update"), 0);
    ASSERT_TRUE(HasField(LastProgramLine(), "result", "0")) << LastProgramLine();
    RECT area{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    ExpectedPicture expected;
    ASSERT_NO_FATAL_FAILURE(RenderTomorrow(expected, area));
    EXPECT_GE(WaitForPicture(expected), 0.9) << "tomorrow's weather picture in the second column";

    // A tap under the title bar starts the program on the city.
    const int column = (area.right - area.left) / CTodayRows::kColumnCount;
    ASSERT_EQ(ce::RemoteTap(area.left + column * 3 / 2, area.top + 60), 0u);
    EXPECT_TRUE(WaitForWindowOnCity("0")) << "the program opened on the item's city";
}

// The reload event keeps only the last signal's data: a language signal followed at once by a settings
// signal still brings the new city list (here a city without a forecast, so the picture goes).
TEST_F(TodayItem, TwoQuickSignalsReloadEverything) {
    WriteCities({u"DEBE0001"});
    StartScreen();
    ASSERT_EQ(device.Run("cmd_silent_update"), 0);
    RECT area{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    ExpectedPicture expected;
    ASSERT_NO_FATAL_FAILURE(RenderTomorrow(expected, area));
    ASSERT_GE(WaitForPicture(expected), 0.9);

    WriteCities({u"FRXX0002"});
    HANDLE reload = CreateEventW(nullptr, FALSE, FALSE, CTodayItem::kReloadEventName);
    ASSERT_NE(reload, nullptr);
    SetEventData(reload, CTodayItem::kReloadLanguage);
    SetEvent(reload);
    SetEventData(reload, CTodayItem::kReloadSettings);
    SetEvent(reload);
    double match = 1;
    for (int i = 0; i < 200 && match >= 0.9; ++i) {
        match = expected.MatchIn(TakeScreenshot(device.Root() + "/screen.png"));
        if (match >= 0.9) {
            std::this_thread::sleep_for(std::chrono::milliseconds(50));
        }
    }
    EXPECT_LT(match, 0.9) << "the new list's city has no forecast to show";
    CloseHandle(reload);
}

// The title bar's arrow spots: with two cities the right arrow shows on the first, the left one on the
// second, and stepping beyond either end changes nothing.
struct TitleArrows {
    RECT left;
    RECT right;
};

// As the title bar places them: a skin's width of the arrow picture, two pixels in from the edges.
TitleArrows ArrowSpots(const RECT& area, int titleHeight) {
    const int column = (area.right - area.left) / CTodayRows::kColumnCount;
    const int height = titleHeight - 4;
    const int top = area.top + 2;
    const int leftWidth = CTodayLayout::PictureWidth(CTodayLayout::kLeftArrowPicture, height);
    const int rightWidth = CTodayLayout::PictureWidth(CTodayLayout::kRightArrowPicture, height);
    return {{area.left + 3 * column + 2, top, area.left + 3 * column + 2 + leftWidth, top + height},
            {area.right - 2 - rightWidth, top, area.right - 2, top + height}};
}

bool SameIn(const Screenshot& a, const Screenshot& b, const RECT& spot) {
    for (int y = spot.top; y < spot.bottom; ++y) {
        for (int x = spot.left; x < spot.right; ++x) {
            if (a.At(x, y) != b.At(x, y)) {
                return false;
            }
        }
    }
    return true;
}

// Screenshots until the item's strip looks like (or unlike) the one given; the last one taken.
Screenshot WaitForItem(const std::string& path, const Screenshot& reference, const RECT& item, bool same) {
    Screenshot shot = TakeScreenshot(path);
    for (int i = 0; i < 200 && SameIn(reference, shot, item) != same; ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        shot = TakeScreenshot(path);
    }
    return shot;
}

TEST_F(TodayItem, KeysAndTapsOnTheArrowsStepThroughTheCitiesWithoutWrapping) {
    WriteCities({u"DEBE0001", u"FRXX0002", u"GBXX0003"});
    StartScreen();
    RECT area{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    ExpectedPicture metrics;  // the fonts, sizes and skin of this device
    const TitleArrows arrows = ArrowSpots(area, CTodayItem::MetricsFor(CTodayItem::kDaysLarge).titleHeight);
    const RECT item{area.left, area.top, area.right, area.top + CTodayItem::ComputeHeight()};
    const std::string path = device.Root() + "/screen.png";

    ASSERT_EQ(ce::RemoteKey("Down"), 0u) << "the screen gives the item the selection";
    Screenshot first = TakeScreenshot(path);
    for (int i = 0; i < 200 && !first.Near(area.left + 1, area.top + 1, GetSysColor(COLOR_HIGHLIGHT)); ++i) {
        std::this_thread::sleep_for(std::chrono::milliseconds(20));
        first = TakeScreenshot(path);
    }
    ASSERT_TRUE(first.Near(area.left + 1, area.top + 1, GetSysColor(COLOR_HIGHLIGHT)));

    ASSERT_EQ(ce::RemoteKey("Right"), 0u);
    const Screenshot second = WaitForItem(path, first, item, false);
    EXPECT_FALSE(SameIn(first, second, arrows.left)) << "the left arrow came with the second city";
    EXPECT_TRUE(SameIn(first, second, arrows.right)) << "the right arrow stays: a third city follows";

    ASSERT_EQ(ce::RemoteKey("Right"), 0u);
    const Screenshot last = WaitForItem(path, second, item, false);
    EXPECT_FALSE(SameIn(second, last, arrows.right)) << "no right arrow on the last city";
    // A step beyond the last city keeps it: one step back then shows the second city, not the first.
    ASSERT_EQ(ce::RemoteKey("Right"), 0u);
    ASSERT_EQ(ce::RemoteKey("Left"), 0u);
    EXPECT_TRUE(SameIn(second, WaitForItem(path, second, item, true), item));

    // The left half of the arrow zone steps back.
    ASSERT_EQ(ce::RemoteTap(arrows.left.left + 1, arrows.left.top + 1), 0u);
    EXPECT_TRUE(SameIn(first, WaitForItem(path, first, item, true), item)) << "the first city again";
}

TEST_F(TodayItem, WithoutCitiesTheItemShowsNoPictureAndATapStillStartsTheProgram) {
    StartScreen();
    RECT area{};
    SystemParametersInfoW(SPI_GETWORKAREA, 0, &area, 0);
    ExpectedPicture expected;
    ASSERT_TRUE(expected.Render(0, area));
    Screenshot shot = TakeScreenshot(device.Root() + "/screen.png");
    ASSERT_GT(shot.width, 0);
    EXPECT_LT(expected.MatchIn(shot), 0.9);
    ASSERT_EQ(ce::RemoteTap(area.left + 10, area.top + 60), 0u);
    EXPECT_TRUE(WaitForLog("Skyvane", "\"mode\":\"cmd_normal_mode"));
}

}  // namespace
}  // namespace endtoend
