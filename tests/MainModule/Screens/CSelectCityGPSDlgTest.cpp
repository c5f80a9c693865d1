// Adding a city by position, run for real: a receiver on a pseudo-terminal as the configured port, the
// built city database in the install folder, the screen's list and keys, and the failures that end it
// after their message.
#include <gtest/gtest.h>

#include <atomic>
#include <chrono>
#include <filesystem>
#include <memory>
#include <string>
#include <thread>

#include "NmeaSender.h"
#include "ScreenAnswers.h"
#include "ScreenTest.h"
#include "Screens/CSelectCityGPSDlg.h"
#include "UserInterface/CDlgListBox.h"
#include "UserInterface/CListElementCollection.h"
#include "Weather/CCity.h"
#include "Weather/CCityDB.h"
#include "Weather/CSettings.h"
#include "Weather/GlobalServices.h"

namespace {

using namespace skin_test;
using framework::test::UserInterfaceDevice;
using gps_test::Nmea;
using gps_test::Receiver;
using screen_test::ScreenAnswers;
using UserInterface::CDlgListBox;
using ScriptedCity = ScriptedScreen<CSelectCityGPSDlg>;

const std::string kBuiltDatabase = std::string(CE_TEST_BINARY_DIR) + "/data/CityDB.dat";
// Fairbanks, Alaska: three cities lie within the first 100 km.
const std::string kFairbanks = Nmea("GPGGA,123519,6448.000,N,14742.000,W,1,08,0.9,545.4,M,46.9,M,,");
const std::string kNoFix = Nmea("GPGGA,123519,,,,,0,00,,,M,,M,,");

class SelectCityGpsTest : public ScreenTest {
protected:
    void SetUp() override {
        ScreenTest::SetUp();
        terminal_.MapPort("COM3");
        terminal_.MapPort("GPD4");
        std::filesystem::copy_file(kBuiltDatabase, device_.InstallFolder("CityDB.dat"));
        GetSettings().gpsPort = 3;
        // The receiver's reads wait on the clock.
        clock_ = std::make_unique<ClockTicker>();
    }
    void TearDown() override {
        clock_.reset();
        GetSettings() = CSettings();
        ScreenTest::TearDown();
    }
    // The search as the screen's timer runs it, from the script's first step.
    static void Search(ScriptedCity& d) { SendMessageW(d.GetHandle(), WM_TIMER, CSelectCityGPSDlg::kSearchTimer, 0); }
    static CDlgListBox& List(ScriptedCity& d) {
        return *static_cast<CDlgListBox*>(d.GetLayout()->FindControl(CSelectCityGPSDlg::kListId));
    }
    static std::u16string RowText(ScriptedCity& d, int row) {
        return List(d).GetRows()->GetText(row) != nullptr ? List(d).GetRows()->GetText(row) : u"";
    }
    // Runs a search that fails while the receiver sends the text: the message came and the screen ended.
    const char* FailedSearch(const std::string& text) {
        Receiver sending(terminal_.Master(), text);
        CCity city;
        city.SetName(u"Untouched");
        ScriptedCity dialog;
        bool boxShown = false;
        dialog.Then([&](ScriptedCity& d) {
            ScreenAnswers answer(d.GetHandle(), {{VK_TSOFT1}});
            Search(d);
            boxShown = answer.Join() == 1;
        });
        EXPECT_EQ(dialog.ShowModal(nullptr, &city, nullptr), IDCANCEL);
        EXPECT_TRUE(boxShown) << "the error came in a box";
        EXPECT_EQ(std::u16string(city.GetName()), u"Untouched");
        return dialog.GetErrorKey();
    }

    gps_test::PseudoTerminal terminal_;
    std::unique_ptr<ClockTicker> clock_;
};

TEST_F(SelectCityGpsTest, TheCitiesAroundTheFixAreListedNearestFirstAndTheFirstChosenBySelect) {
    Receiver sending(terminal_.Master(), kFairbanks);
    CCity city;
    FILETIME updated{1234, 5678};
    city.SetUpdateFileTime(&updated);
    ScriptedCity dialog;
    dialog.Then([](ScriptedCity& d) {
        EXPECT_EQ(TextOf(d.GetLayout()->FindControl(CSelectCityGPSDlg::kTitleId)), u"Searching for cities nearby...");
        EXPECT_FALSE(UserInterfaceDevice::ButtonOf(d.GetMenuBar(), 0).enabled);
        EXPECT_FALSE(UserInterfaceDevice::ButtonOf(d.GetMenuBar(), 1).enabled);
        Search(d);
    });
    dialog.Then([](ScriptedCity& d) {
        ASSERT_TRUE(d.IsFound());
        EXPECT_EQ(TextOf(d.GetLayout()->FindControl(CSelectCityGPSDlg::kTitleId)), u"Select a city");
        const auto& found = d.GetFoundCities();
        ASSERT_EQ(found.size(), 3u);
        ASSERT_EQ(List(d).GetItemCount(), 3);
        const char16_t* names[] = {u"Fairbanks", u"College", u"Badger"};
        for (int row = 0; row < 3; ++row) {
            EXPECT_EQ(std::u16string(found[row].city.name), names[row]);
            const int km = CCityDB::GetDistanceKm(64.8, -147.7, found[row].city.first, found[row].city.second);
            EXPECT_EQ(RowText(d, row), std::u16string(names[row]) + u" (~" + ce::FromUtf8(std::to_string(km)) + u" km)");
        }
        EXPECT_EQ(List(d).GetSelection(), 0);
        EXPECT_TRUE(List(d).IsVisible());
        RECT list;
        List(d).GetRect(&list);
        UpdateWindow(d.GetHandle());
        const COLORREF behindText = PixelOf(d, list.right - 10, list.top + 4);
        EXPECT_FALSE(GetRValue(behindText) > 230 && GetGValue(behindText) > 230 && GetBValue(behindText) > 230)
            << "the selected row's white text is on no white bar";
        EXPECT_TRUE(UserInterfaceDevice::ButtonOf(d.GetMenuBar(), 0).enabled);
        EXPECT_TRUE(UserInterfaceDevice::ButtonOf(d.GetMenuBar(), 1).enabled);
        ce::InjectKey(VK_TSOFT1);
    });
    EXPECT_EQ(dialog.ShowModal(nullptr, &city, nullptr), IDOK);
    EXPECT_EQ(std::u16string(city.GetName()), u"Fairbanks");
    EXPECT_EQ(std::u16string(city.GetLocationId()).substr(0, 4), u"USAK");
    EXPECT_EQ(std::u16string(city.GetState()), u"Alaska");
    EXPECT_EQ(std::u16string(city.GetCountry()), u"United States");
    FILETIME kept{};
    city.GetUpdateFileTime(&kept);
    EXPECT_EQ(kept.dwLowDateTime, 1234u) << "the forecast fields stay";
}

TEST_F(SelectCityGpsTest, ATappedRowIsChosenAtOnce) {
    Receiver sending(terminal_.Master(), kFairbanks);
    GetSettings().gpsPort = 104;
    CCity city;
    ScriptedCity dialog;
    dialog.Then([](ScriptedCity& d) { Search(d); });
    dialog.Then([](ScriptedCity& d) {
        ASSERT_EQ(List(d).GetItemCount(), 3);
        RECT list{};
        List(d).GetRect(&list);
        // The second row's middle, below the first one.
        const int rowHeight = List(d).GetContentHeight() / 3;
        d.Tap((list.left + list.right) / 2, list.top + rowHeight + rowHeight / 2);
    });
    EXPECT_EQ(dialog.ShowModal(nullptr, &city, nullptr), IDOK) << "read from GPD4:";
    EXPECT_EQ(std::u16string(city.GetName()), u"College");
}

TEST_F(SelectCityGpsTest, CancelEndsWithoutACityAndANullCityIsRefusedAtOnce) {
    Receiver sending(terminal_.Master(), kFairbanks);
    CCity city;
    ScriptedCity dialog;
    dialog.Then([](ScriptedCity& d) { Search(d); });
    dialog.Then([](ScriptedCity&) { ce::InjectKey(VK_TSOFT2); });
    EXPECT_EQ(dialog.ShowModal(nullptr, &city, nullptr), IDCANCEL);
    EXPECT_EQ(std::u16string(city.GetLocationId()), u"");

    ScriptedCity refused;
    EXPECT_EQ(refused.ShowModal(nullptr, nullptr, nullptr), IDCANCEL);
    EXPECT_EQ(refused.GetHandle(), nullptr) << "nothing was shown";
}

TEST_F(SelectCityGpsTest, TheSettingNamesTheSerialOrIntermediateDriverPort) {
    WCHAR name[32];
    CSelectCityGPSDlg::PortName(3, name);
    EXPECT_EQ(std::u16string(name), u"COM3:");
    CSelectCityGPSDlg::PortName(104, name);
    EXPECT_EQ(std::u16string(name), u"GPD4:");
    CSelectCityGPSDlg::PortName(static_cast<DWORD>(-1), name);
    EXPECT_EQ(std::u16string(name), u"COM-1:");
}

TEST_F(SelectCityGpsTest, AReceiverWithoutAFixShowsTheDataErrorAndEnds) {
    EXPECT_STREQ(FailedSearch(kNoFix), "IDS_ERR_GPS_DATA");
}

TEST_F(SelectCityGpsTest, APortThatIsNotSetShowsThePortErrorAndEnds) {
    GetSettings().gpsPort = static_cast<DWORD>(-1);
    EXPECT_STREQ(FailedSearch(kFairbanks), "IDS_ERR_GPS_PORT");
}

TEST_F(SelectCityGpsTest, AMissingCityDatabaseShowsTheUnknownErrorAndEnds) {
    std::filesystem::remove(device_.InstallFolder("CityDB.dat"));
    EXPECT_STREQ(FailedSearch(kFairbanks), "IDS_UNKNOWN_ERROR");
}

}  // namespace
