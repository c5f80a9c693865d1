// Sending a forecast: the text, the messaging accounts of the device profile, and the real messaging
// program stand-in started in a throw-away device, which records what it was handed.
#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <string>
#include <thread>
#include <vector>

#include "CLocalization.h"
#include "CRegistryStore.h"
#include "InstalledDevice.h"
#include "ScreenAnswers.h"
#include "Weather/CCity.h"
#include "Weather/CSettings.h"
#include "Weather/ForecastSending.h"
#include "Weather/GlobalServices.h"
#include "ce/device.h"

namespace {

constexpr uint64_t kOctober15 = 1792065600000;  // 2026-10-15 12:00 UTC

int Fahrenheit(int celsius) { return celsius * 9 / 5 + 32 + (celsius >= 0 ? 1 : -1); }

CDayForecast Day(const CDate& date, int low, int high) {
    CDayForecast day;
    day.SetDate(date);
    day.SetLowTemperature(low);
    day.SetHighTemperature(high);
    return day;
}

// A city with a forecast for `days` days from `first` days after today; lows of 8 C, highs of 14 C.
CCity CityWithDays(LPCWSTR name, int first, int days) {
    CCity city;
    city.SetLocationId(u"DEBE0001");
    city.SetName(name);
    CDate date;
    date.SetToday();
    date.AddDays(first);
    for (int i = 0; i < days; ++i, date.AddDays(1)) {
        city.AddDayForecast(Day(date, Fahrenheit(8), Fahrenheit(14)));
    }
    return city;
}

class ForecastSending : public ::testing::Test {
protected:
    void SetUp() override {
        ce::SetClockUnixMs(kOctober15);
        std::filesystem::create_directories(device.Fs("Windows"));
        std::filesystem::create_symlink(CE_TMAIL_PROGRAM, device.Fs("Windows/tmail.exe"));
        GetSettings().degreeType = 0;
    }
    void TearDown() override { GetSettings() = CSettings(); }

    // The messaging program's record of the one message it was handed (waits at most 10 s).
    std::string WaitForMessage() {
        for (int i = 0; i < 1000; ++i) {
            std::vector<std::string> log = ce::ReadDeviceLog("messages");
            if (!log.empty()) {
                EXPECT_EQ(log.size(), 1u);
                return log.front();
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        return {};
    }
    static std::string Field(const std::string& name, const std::u16string& value) {
        return "\"" + name + "\":\"" + ce::JsonEscape(ce::ToUtf8(value)) + "\"";
    }

    ce::test::InstalledDevice device;
};

TEST_F(ForecastSending, TheTextHasTheNameAndAtMostFiveDaysFromToday) {
    std::u16string text;
    CCity week = CityWithDays(u"Berlin", 0, 8);
    ASSERT_TRUE(ComposeForecastText(&week, &text));
    EXPECT_EQ(text, u"Berlin\r\n15.10:8..14C\r\n16.10:8..14C\r\n17.10:8..14C\r\n18.10:8..14C\r\n19.10:8..14C");
    CCity fromTomorrow = CityWithDays(u"Berlin", 1, 8);
    ASSERT_TRUE(ComposeForecastText(&fromTomorrow, &text));
    EXPECT_EQ(text, u"Berlin");
    EXPECT_FALSE(ComposeForecastText(nullptr, &text));
}

TEST_F(ForecastSending, MissingTemperaturesAndUnitsShowInTheLine) {
    CDate today;
    today.SetToday();
    CDate tomorrow = today;
    tomorrow.AddDays(1);
    CDate third = tomorrow;
    third.AddDays(1);
    CCity city;
    city.SetName(u"Paris");
    city.AddDayForecast(Day(today, -10000, Fahrenheit(14)));
    city.AddDayForecast(Day(tomorrow, -10000, -10000));
    city.AddDayForecast(Day(third, Fahrenheit(-3), -10000));
    std::u16string text;
    ASSERT_TRUE(ComposeForecastText(&city, &text));
    EXPECT_EQ(text, u"Paris\r\n15.10:14C\r\n16.10:-C\r\n17.10:-3C");
    GetSettings().degreeType = 1;
    ASSERT_TRUE(ComposeForecastText(&city, &text));
    EXPECT_EQ(text, u"Paris\r\n15.10:58F\r\n16.10:-F\r\n17.10:26F");
    // Only type 1 is Fahrenheit; the letter says the unit the numbers are in.
    GetSettings().degreeType = 2;
    ASSERT_TRUE(ComposeForecastText(&city, &text));
    EXPECT_EQ(text, u"Paris\r\n15.10:14C\r\n16.10:-C\r\n17.10:-3C");
}

TEST_F(ForecastSending, AnSmsHandsTheTextToTheMessagingProgram) {
    CCity city = CityWithDays(u"Berlin", 0, 2);
    ASSERT_TRUE(SendForecastBySms(&city));
    std::string message = WaitForMessage();
    EXPECT_NE(message.find(Field("service", u"SMS")), std::string::npos) << message;
    EXPECT_NE(message.find(Field("body", u"Berlin\r\n15.10:8..14C\r\n16.10:8..14C")), std::string::npos) << message;
}

// Quotes and backslashes in a name would otherwise end the body early or change it.
TEST_F(ForecastSending, ANameWithQuotesArrivesAsItIs) {
    const std::u16string name = u"Say \"Hi\" \\ Town\\";
    CCity city = CityWithDays(name.c_str(), 1, 1);
    EXPECT_EQ(MessagingCommandLine(u"SMS", name), u"-service \"SMS\" -body \"Say \\\"Hi\\\" \\ Town\\\\\"")
        << "only the backslashes before a quote are doubled";
    EXPECT_EQ(MessagingCommandLine(u"SMS", u"a\\\"b"), u"-service \"SMS\" -body \"a\\\\\\\"b\"");
    ASSERT_TRUE(SendForecastBySms(&city));
    std::string message = WaitForMessage();
    EXPECT_NE(message.find(Field("body", name)), std::string::npos) << message;
    EXPECT_EQ(message.find("\"error\""), std::string::npos) << message;
}

TEST_F(ForecastSending, WithoutTheMessagingProgramNothingIsSent) {
    std::filesystem::remove(device.Fs("Windows/tmail.exe"));
    CCity city = CityWithDays(u"Berlin", 0, 1);
    EXPECT_FALSE(SendForecastBySms(&city));
    EXPECT_FALSE(SendForecastBySms(nullptr));
}

TEST_F(ForecastSending, AccountsAreTheStoresButMmsInTheirOrder) {
    ASSERT_TRUE(ce::SetProfileString("mail", "accounts", "mms; Work Mail ;Outlook E-mail;MMS"));
    ce::ReloadProfile();
    std::vector<std::u16string> names;
    ASSERT_TRUE(ListMessagingAccounts(&names));
    EXPECT_EQ(names, (std::vector<std::u16string>{u"Work Mail", u"Outlook E-mail"}));
    EXPECT_EQ(FindLastUsedAccount(names, u"outlook e-mail"), 1);
    EXPECT_EQ(FindLastUsedAccount(names, u"Gone Mail"), -1);
    EXPECT_EQ(FindLastUsedAccount(names, u""), -1);
    ASSERT_TRUE(ce::SetProfileString("mail", "accounts", ""));
    ce::ReloadProfile();
    ASSERT_TRUE(ListMessagingAccounts(&names));
    EXPECT_TRUE(names.empty());
    EXPECT_FALSE(ListMessagingAccounts(nullptr));
}

TEST_F(ForecastSending, AnAccountIsRememberedAndUsedAsTheService) {
    CRegistryStore store;
    ASSERT_TRUE(store.Open(HKEY_LOCAL_MACHINE, u"Software\\Quillon Software\\Skyvane"));
    g_pRegistry = &store;
    CCity city = CityWithDays(u"Berlin", 0, 1);
    EXPECT_TRUE(SendForecastThroughAccount(&city, u"Work Mail"));
    g_pRegistry = nullptr;
    WCHAR stored[64] = {};
    EXPECT_TRUE(store.GetString(u"LastUsedAccount", stored, 64));
    EXPECT_EQ(std::u16string(stored), u"Work Mail");
    std::string message = WaitForMessage();
    EXPECT_NE(message.find(Field("service", u"Work Mail")), std::string::npos) << message;
}

// The e-mail half, from the screen the user is on.
class SendingByEmail : public ForecastSending {
protected:
    void SetUp() override {
        ForecastSending::SetUp();
        std::filesystem::create_directories(device.InstallFolder("Loc"));
        std::filesystem::copy_file(std::string(CE_LOC_DIR) + "/loc.0409.txt", device.InstallFolder("Loc/loc.0409.txt"));
        ASSERT_TRUE(CLocalization::Global().Load(CLocalization::kEnglish));
        ASSERT_TRUE(store.Open(HKEY_LOCAL_MACHINE, u"Software\\Quillon Software\\Skyvane"));
        g_pRegistry = &store;
    }
    void TearDown() override {
        g_pRegistry = nullptr;
        ForecastSending::TearDown();
    }
    static void SetAccounts(const std::string& accounts) {
        ASSERT_TRUE(ce::SetProfileString("mail", "accounts", accounts));
        ce::ReloadProfile();
    }
    std::u16string LastUsed() {
        WCHAR stored[64] = {};
        store.GetString(u"LastUsedAccount", stored, 64);
        return stored;
    }

    CRegistryStore store;
};

TEST_F(SendingByEmail, TheOnlyAccountBesideMmsSendsWithoutAsking) {
    SetAccounts("MMS;Work Mail");
    CCity city = CityWithDays(u"Berlin", 0, 1);
    ASSERT_TRUE(SendForecastByEmail(nullptr, &city));
    std::string message = WaitForMessage();
    EXPECT_NE(message.find(Field("service", u"Work Mail")), std::string::npos) << message;
    EXPECT_NE(message.find(Field("body", u"Berlin\r\n15.10:8..14C")), std::string::npos) << message;
    EXPECT_EQ(LastUsed(), u"Work Mail");
    EXPECT_FALSE(SendForecastByEmail(nullptr, nullptr));
}

TEST_F(SendingByEmail, WithoutAnAccountABoxSaysSoAndNothingIsSent) {
    SetAccounts("MMS");
    CCity city = CityWithDays(u"Berlin", 0, 1);
    screen_test::ScreenAnswers done(nullptr, {{VK_TSOFT1}});
    EXPECT_FALSE(SendForecastByEmail(nullptr, &city));
    done.Join();
    EXPECT_EQ(done.Captions(), (std::vector<std::u16string>{u"Done"})) << "the box came up";
    EXPECT_TRUE(ce::ReadDeviceLog("messages").empty());
    EXPECT_EQ(LastUsed(), u"");
}

TEST_F(SendingByEmail, OfSeveralAccountsTheUserPicksOneWithTheLastUsedOfferedFirst) {
    SetAccounts("Work Mail;Home Mail;MMS");
    ASSERT_TRUE(store.SetString(u"LastUsedAccount", u"work mail"));
    CCity city = CityWithDays(u"Berlin", 0, 1);
    {
        screen_test::ScreenAnswers select(nullptr, {{VK_TSOFT1}});
        EXPECT_TRUE(SendForecastByEmail(nullptr, &city));
        select.Join();
        EXPECT_EQ(select.Captions(), (std::vector<std::u16string>{u"Select"}));
    }
    EXPECT_NE(WaitForMessage().find(Field("service", u"Work Mail")), std::string::npos);
    EXPECT_EQ(LastUsed(), u"Work Mail");

    ASSERT_TRUE(store.SetString(u"LastUsedAccount", u"Gone Mail"));
    screen_test::ScreenAnswers cancel(nullptr, {{VK_TSOFT2}});
    EXPECT_FALSE(SendForecastByEmail(nullptr, &city)) << "cancelled";
    EXPECT_EQ(cancel.Join(), 1);
    EXPECT_EQ(ce::ReadDeviceLog("messages").size(), 1u) << "nothing more was sent";
    EXPECT_EQ(LastUsed(), u"Gone Mail");
}

}  // namespace
