// The forecast XML reader against documents written from the server's format.
#include <gtest/gtest.h>

#include <string>

#include "Weather/CCity.h"
#include "ce/com.h"

namespace {

const char* const kForecast = R"(<?xml version="1.0" encoding="ISO-8859-1"?>
<WEATHER>
 <FORECAST LOCATIONID="USNY0996"
   DAY1FCST_VALID_DAY="20071015" DAY1SUNRISE="7:05 AM" DAY1SUNSET="6:12 pm" DAY1HITMPF="68" DAY1LOTMPF="50"
   DAY1WSPDM="10" DAY1UVIDX="6" DAY1RH="55" DAY1WDIR="NNE" DAY1SKY24="65"
   DAY2FCST_VALID_DAY="20071016" DAY2SUNRISE="12:10 am" DAY2SUNSET="12:45 PM" DAY2HITMPF="50"
   DAY2SKY24=""
   DAY4FCST_VALID_DAY="20071018" DAY4SUNRISE="7:08 AM" DAY4SUNSET="6:07 PM"/>
 <WXWSOBS TEMPERATURE="31" HEATINDEX="" WINDCHILL="23" WINDSPEED="10" WINDDIRECTION="225" GUST="20"
   RELATIVEHUMIDITY="81" PRESSURE="30.00" SKY="mostly CLOUDY"/>
 <hc>
  <data LocalDate="2007-10-15 00:00:00" LocalTime="190000" TemperatureFahrenHeit="212" HeatIndexFahrenheit="215"
        WindChillFahrenheit="" WindSpeedMph="12.5" WindDirectionCardinal="SSW" RelativeHumidity="40" UVIndex="0"
        SkyCode="85"/>
  <DATA LocalDate="2007-10-15 00:00:00" LocalTime="70000" TemperatureFahrenHeit="41"/>
  <data LocalDate="2007-10-15 00:00:00" LocalTime="190000" TemperatureFahrenHeit="99"/>
  <other LocalDate="broken"/>
  <data LocalDate="2007-10-16 00:00:00" LocalTime="130000"/>
 </hc>
</WEATHER>)";

class ForecastXml : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(SUCCEEDED(CoInitializeEx(nullptr, COINIT_MULTITHREADED))); }
    void TearDown() override { CoUninitialize(); }

    static std::string Document(const std::string& forecastAttributes, const std::string& rest = {}) {
        return "<W><FORECAST " + forecastAttributes + "/>" + rest + "</W>";
    }
    static std::string Day(int number, const std::string& date, const std::string& extra = {}) {
        std::string day = "DAY" + std::to_string(number);
        return day + "FCST_VALID_DAY=\"" + date + "\" " + day + "SUNRISE=\"6:00 am\" " + day + "SUNSET=\"8:00 pm\" " +
               extra + " ";
    }
};

TEST_F(ForecastXml, FillsTheCityAndItsDisplayValues) {
    CCity city;
    ASSERT_TRUE(city.ParseForecastXml(kForecast));
    EXPECT_EQ(std::u16string(city.GetLocationId()), u"USNY0996");

    ASSERT_EQ(city.GetDayForecasts().size(), 2u) << "day 3 is missing, so day 4 is not taken";
    CDayForecast first;
    ASSERT_TRUE(city.GetDayForecast(CDate(2007, 10, 15), &first));
    EXPECT_EQ(first.GetHighTemperature(1), 68);
    EXPECT_EQ(first.GetHighTemperature(0), 20);
    EXPECT_EQ(first.GetLowTemperature(0), 10);
    EXPECT_EQ(first.GetWindSpeed(0), 16);
    EXPECT_EQ(first.GetWindSpeed(2), 4);
    EXPECT_EQ(first.GetUvIndex(), 6);
    EXPECT_EQ(first.GetHumidity(), 55);
    EXPECT_EQ(first.GetSkyCode(), 1);
    WCHAR text[64];
    ASSERT_TRUE(first.GetWeatherText(text, 64));
    EXPECT_EQ(std::u16string(text), u"Mostly Sunny");
    ASSERT_TRUE(first.GetWindDirectionText(text, 64));
    EXPECT_EQ(std::u16string(text), u"NE");
    EXPECT_EQ(first.GetSunrise().hour, 7);
    EXPECT_EQ(first.GetSunrise().minute, 5);
    EXPECT_EQ(first.GetSunset().hour, 18);
    EXPECT_EQ(first.GetSunset().minute, 12);

    CDayForecast second;
    ASSERT_TRUE(city.GetDayForecast(CDate(2007, 10, 16), &second));
    EXPECT_EQ(second.GetLowTemperature(1), 50) << "the high stands in for a missing low";
    EXPECT_EQ(second.GetSkyCode(), 0) << "empty sky counts as missing";
    EXPECT_EQ(second.GetWindSpeed(1), -1);
    EXPECT_EQ(second.GetSunrise().hour, 0);
    EXPECT_EQ(second.GetSunrise().minute, 10);
    EXPECT_EQ(second.GetSunset().hour, 12);

    CCurrentCondition now;
    ASSERT_TRUE(city.GetCurrentCondition(&now));
    EXPECT_EQ(now.GetTemperature(0), 0);
    EXPECT_EQ(now.GetTemperature(1), 31);
    EXPECT_EQ(now.GetHeatIndex(0), -10000);
    EXPECT_EQ(now.GetWindChill(0), -5);
    EXPECT_EQ(now.GetGust(0), 32);
    EXPECT_EQ(now.GetHumidity(), 81);
    EXPECT_FLOAT_EQ(now.GetPressure(1), 762.0f);
    EXPECT_FLOAT_EQ(now.GetPressure(2), 1013.46f);
    EXPECT_EQ(now.GetSkyCode(), 5);
    ASSERT_TRUE(now.GetWindDirectionText(text, 64));
    EXPECT_EQ(std::u16string(text), u"SW");

    CHourForecastSet hours;
    ASSERT_TRUE(city.GetHourForecasts(CDate(2007, 10, 15), &hours));
    ASSERT_EQ(hours.size(), 2u) << "the second 19:00 is dropped; DATA in capitals counts";
    const CHourForecast& evening = *hours.rbegin();
    SYSTEMTIME time;
    ASSERT_TRUE(evening.GetSystemTime(&time));
    EXPECT_EQ(time.wHour, 19);
    EXPECT_EQ(time.wMinute, 0);
    EXPECT_EQ(evening.GetTemperature(0), 100);
    EXPECT_EQ(evening.GetTemperature(1), 212);
    EXPECT_EQ(evening.GetWindChill(1), -10000);
    EXPECT_EQ(evening.GetWindSpeed(1), 12) << "12.5 reads as 12";
    EXPECT_EQ(evening.GetSkyCode(), 21);
    EXPECT_EQ(hours.begin()->GetTemperature(1), 41);

    CDayPartsForecast parts;
    ASSERT_TRUE(city.GetDayPartsForecast(CDate(2007, 10, 15), &parts));
    EXPECT_EQ(parts.FindFirstPart(), 0);
    EXPECT_EQ(parts.FindNextPart(0), 2);
    ASSERT_TRUE(city.GetHourForecasts(CDate(2007, 10, 16), &hours));
    EXPECT_EQ(hours.size(), 1u);
}

TEST_F(ForecastXml, AForecastWithoutDaysObservationOrHoursIsStillAForecast) {
    CCity city;
    ASSERT_TRUE(city.ParseForecastXml(Document("LOCATIONID=\"DEXX0001\"").c_str()));
    EXPECT_TRUE(city.GetDayForecasts().empty());
    CCurrentCondition now;
    EXPECT_FALSE(city.GetCurrentCondition(&now));
}

TEST_F(ForecastXml, ADayThatIsNoCalendarDateEndsTheDays) {
    for (const char* bad : {"20090015", "20090231", "2009021", "2009-2-01", "200902011", "20000101", "        "}) {
        CCity city;
        ASSERT_TRUE(city.ParseForecastXml(
            Document("LOCATIONID=\"DEXX0001\" " + Day(1, "20080229") + Day(2, bad) + Day(3, "20090302")).c_str()))
            << bad;
        EXPECT_EQ(city.GetDayForecasts().size(), 1u) << bad;
    }
}

TEST_F(ForecastXml, AnUnreadableSunTimeIsMidnightAndTheDayIsKept) {
    for (const char* time : {"noon", "7:15", "7:99 pm", "-3:10 am", ""}) {
        std::string day = std::string("DAY1FCST_VALID_DAY=\"20090301\" DAY1SUNRISE=\"") + time +
                          "\" DAY1SUNSET=\"8:30 PM\"";
        CCity city;
        ASSERT_TRUE(city.ParseForecastXml(Document("LOCATIONID=\"DEXX0001\" " + day).c_str())) << time;
        CDayForecast first;
        ASSERT_TRUE(city.GetDayForecast(CDate(2009, 3, 1), &first)) << time;
        EXPECT_EQ(first.GetSunrise().hour, 0) << time;
        EXPECT_EQ(first.GetSunrise().minute, 0) << time;
        EXPECT_EQ(first.GetSunset().hour, 20);
        EXPECT_EQ(first.GetSunset().minute, 30);
    }
}

TEST_F(ForecastXml, EmptyPressureIsMissing) {
    CCity city;
    ASSERT_TRUE(city.ParseForecastXml(Document("LOCATIONID=\"DEXX0001\"", "<WXWSOBS PRESSURE=\"\" SKY=\"\"/>").c_str()));
    CCurrentCondition now;
    ASSERT_TRUE(city.GetCurrentCondition(&now));
    EXPECT_FLOAT_EQ(now.GetPressure(1), -1.0f);
    EXPECT_EQ(now.GetSkyCode(), 0);
    EXPECT_EQ(now.GetTemperature(0), -10000);
}

// Values no server sends in earnest are missing, so the unit conversions cannot overflow on them.
TEST_F(ForecastXml, Temperature2026120925Wind3point4e9AndSkyCodeMinInt32AreMissing) {
    CCity city;
    const std::string day = Day(1, "20090301",
                                "DAY1HITMPF=\"2026120925\" DAY1LOTMPF=\"-2147483648\" DAY1WSPDM=\"3400000000\" "
                                "DAY1UVIDX=\"99999\" DAY1RH=\"-5\" DAY1SKY24=\"-2147483648\"");
    const std::string rest =
        "<WXWSOBS TEMPERATURE=\"2026120925\" WINDCHILL=\"-2147483648\" WINDSPEED=\"3.4e9\" GUST=\"3400000000\" "
        "WINDDIRECTION=\"9999\" RELATIVEHUMIDITY=\"2147483647\" PRESSURE=\"1e38\"/>"
        "<hc><data LocalDate=\"2009-03-01 00:00:00\" LocalTime=\"100000\" TemperatureFahrenHeit=\"2026120925\" "
        "WindSpeedMph=\"3400000000\" SkyCode=\"-2147483648\"/></hc>";
    ASSERT_TRUE(city.ParseForecastXml(Document("LOCATIONID=\"DEXX0001\" " + day, rest).c_str()));

    CDayForecast first;
    ASSERT_TRUE(city.GetDayForecast(CDate(2009, 3, 1), &first));
    EXPECT_EQ(first.GetHighTemperature(0), -10000);
    EXPECT_EQ(first.GetLowTemperature(0), -10000);
    EXPECT_EQ(first.GetWindSpeed(0), -1);
    EXPECT_EQ(first.GetUvIndex(), -1);
    EXPECT_EQ(first.GetHumidity(), -1);
    EXPECT_EQ(first.GetSkyCode(), 0);

    CCurrentCondition now;
    ASSERT_TRUE(city.GetCurrentCondition(&now));
    EXPECT_EQ(now.GetTemperature(0), -10000);
    EXPECT_EQ(now.GetWindChill(0), -10000);
    EXPECT_EQ(now.GetGust(0), -1);
    EXPECT_EQ(now.GetHumidity(), -1);
    EXPECT_FLOAT_EQ(now.GetPressure(1), -1.0f);
    now.GetWindSpeed(0);

    CHourForecastSet hours;
    ASSERT_TRUE(city.GetHourForecasts(CDate(2009, 3, 1), &hours));
    ASSERT_EQ(hours.size(), 1u);
    EXPECT_EQ(hours.begin()->GetTemperature(0), -10000);
    EXPECT_EQ(hours.begin()->GetWindSpeed(0), -1);
    EXPECT_EQ(hours.begin()->GetSkyCode(), 0);
}

TEST_F(ForecastXml, RefusesLocationIdsThatCouldNotNameACacheFile) {
    for (const char* id : {"", "DEXX001", "DEXX00011", "..\\..\\x", "DE/X0001", "DEXX 001"}) {
        CCity city;
        city.SetLocationId(u"KEPT0001");
        EXPECT_FALSE(city.ParseForecastXml(Document(std::string("LOCATIONID=\"") + id + "\"").c_str())) << id;
        EXPECT_EQ(std::u16string(city.GetLocationId()), u"KEPT0001");
    }
    CCity city;
    EXPECT_FALSE(city.ParseForecastXml(Document("OTHER=\"1\"").c_str()));
    EXPECT_TRUE(city.ParseForecastXml(Document("LOCATIONID=\"abcd1234\"").c_str()));
}

TEST_F(ForecastXml, FailuresKeepWhatWasReadBeforeThem) {
    CCity city;
    std::string noSunset = "DAY2FCST_VALID_DAY=\"20090302\" DAY2SUNRISE=\"6:00 am\"";
    EXPECT_FALSE(city.ParseForecastXml(Document("LOCATIONID=\"DEXX0001\" " + Day(1, "20090301") + noSunset).c_str()));
    EXPECT_EQ(city.GetDayForecasts().size(), 1u);

    std::string badHour = "<hc><data LocalDate=\"2007-10-15 0\" LocalTime=\"70000\"/>"
                          "<data LocalDate=\"2007-10-15\" LocalTime=\"130000\"/></hc>";
    EXPECT_FALSE(city.ParseForecastXml(Document("LOCATIONID=\"DEXX0001\"", badHour).c_str()));
    CHourForecastSet hours;
    EXPECT_FALSE(city.GetHourForecasts(CDate(2007, 10, 15), &hours)) << "a bad hour leaves no hours at all";

    for (const char* hour : {"LocalDate=\"2007-10-15 0\"", "LocalDate=\"2007-02-30 0\" LocalTime=\"10000\"",
                             "LocalDate=\"2007-10-15 0\" LocalTime=\"250000\""}) {
        std::string hc = std::string("<hc><data ") + hour + "/></hc>";
        EXPECT_FALSE(city.ParseForecastXml(Document("LOCATIONID=\"DEXX0001\"", hc).c_str())) << hour;
    }
}

TEST_F(ForecastXml, MalformedOrHostileTextFails) {
    CCity city;
    EXPECT_FALSE(city.ParseForecastXml(nullptr));
    EXPECT_FALSE(city.ParseForecastXml(""));
    EXPECT_FALSE(city.ParseForecastXml("<W><FORECAST LOCATIONID=\"DEXX0001\"></W>"));
    std::string truncated(kForecast, 300);
    EXPECT_FALSE(city.ParseForecastXml(truncated.c_str()));
    std::string longValue(100000, '9');
    EXPECT_TRUE(city.ParseForecastXml(
        Document("LOCATIONID=\"DEXX0001\" " + Day(1, "20090301", "DAY1HITMPF=\"" + longValue + "\"")).c_str()));
}

// Plain 7-bit text goes to the DOM as bytes, other text through the ANSI code page: the two read alike,
// a declared encoding changes neither, and 8-bit characters are those of the device's code page.
TEST_F(ForecastXml, SevenBitAndEightBitTextReadAlikeWhateverTheDeclarationSays) {
    const std::string days = "LOCATIONID=\"DEXX0001\" " + Day(1, "20090301", "DAY1WDIR=\"NNE\"");
    for (const char* declaration : {"", "<?xml version=\"1.0\" encoding=\"ISO-8859-1\"?>",
                                    "<?xml version=\"1.0\" encoding=\"UTF-8\"?>",
                                    "<?xml version=\"1.0\" encoding=\"x-unknown\"?>"}) {
        for (const char* wind : {"NNE", "N\x80" "E", "N\xE9" "E"}) {
            std::string text = declaration + Document(days + "DAY2FCST_VALID_DAY=\"20090302\" DAY2SUNRISE=\"6:00 am\" "
                                                               "DAY2SUNSET=\"8:00 pm\" DAY2WDIR=\"" + wind + "\"");
            CCity city;
            ASSERT_TRUE(city.ParseForecastXml(text.c_str())) << declaration << wind;
            CDayForecast second;
            ASSERT_TRUE(city.GetDayForecast(CDate(2009, 3, 2), &second));
            const std::u16string expected = std::string(wind) == "NNE"        ? u"NNE"
                                            : std::string(wind) == "N\x80" "E" ? u"N\u20acE"
                                                                             : u"N\u00e9E";
            EXPECT_EQ(std::u16string(second.GetWindDirection()), expected) << declaration << wind;
            EXPECT_EQ(std::u16string(city.GetLocationId()), u"DEXX0001");
        }
    }
}

}  // namespace
