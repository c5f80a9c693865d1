// The values of the day, current-conditions and part-of-day screens with the unit texts of the built
// language files: one degree sign before the unit in English and German, in Celsius and Fahrenheit;
// inches of mercury with two decimals and the other pressure units whole; a wind unit setting out of
// range labelled as the speed it gives.
#include <gtest/gtest.h>

#include <algorithm>
#include <filesystem>
#include <string>

#include "CLocalization.h"
#include "Controls/CDayPartsForecastControl.h"
#include "Controls/CDetailForecastControl.h"
#include "Controls/DetailForecastRecord.h"
#include "ScreenTest.h"
#include "Weather/CSettings.h"
#include "Weather/CUnitConversion.h"
#include "Weather/GlobalServices.h"

namespace {

using Data = DetailForecastData;

class UnitTextsTest : public skin_test::ScreenTest {
protected:
    void TearDown() override {
        GetSettings() = CSettings();
        ScreenTest::TearDown();
    }
    void UseGerman() {
        std::filesystem::copy_file(std::string(CE_LOC_DIR) + "/loc.0407.txt", device_.InstallFolder("Loc/loc.0407.txt"),
                                   std::filesystem::copy_options::overwrite_existing);
        ASSERT_TRUE(CLocalization::Global().Load(0x0407));
    }
    // A record as the screens fill it: the settings' unit texts and the given values.
    static Data Record(DWORD flags, int first, int second) {
        Data data{};
        DetailForecastRecord::SetUnitTexts(&data);
        data.flags = flags;
        data.firstTemperature = first;
        data.secondTemperature = second;
        return data;
    }
    static void ExpectOneDegreeSignBefore(const std::u16string& text, const std::u16string& unit) {
        EXPECT_EQ(std::count(text.begin(), text.end(), u'\u00B0'), 1) << ce::ToUtf8(text);
        EXPECT_TRUE(text.size() > unit.size() + 1 && text.compare(text.size() - unit.size() - 1, std::u16string::npos,
                                                                  u"\u00B0" + unit) == 0)
            << ce::ToUtf8(text);
    }
    static void ExpectTemperaturesInBothUnits() {
        for (DWORD degreeType : {0u, 1u}) {
            GetSettings().degreeType = degreeType;
            const std::u16string unit = degreeType == 1 ? u"F" : u"C";
            ExpectOneDegreeSignBefore(
                CDetailForecastControl::TemperatureText(Record(Data::kFirstTemperature | Data::kSecondTemperature, -13, -6)),
                unit);
            EXPECT_EQ(CDetailForecastControl::TemperatureText(Record(Data::kFirstTemperature | Data::kSecondTemperature, -13, -6)),
                      u"-6/-13\u00B0" + unit);
            EXPECT_EQ(CDetailForecastControl::TemperatureText(Record(Data::kFirstTemperature, -6, 0)), u"-6\u00B0" + unit);
            ExpectOneDegreeSignBefore(CDayPartsForecastControl::TemperatureText(20), unit);
        }
    }
};

TEST_F(UnitTextsTest, EveryTemperatureHasOneDegreeSignInEnglishAndGerman) {
    ExpectTemperaturesInBothUnits();
    ASSERT_NO_FATAL_FAILURE(UseGerman());
    ExpectTemperaturesInBothUnits();
}

TEST_F(UnitTextsTest, InchesOfMercuryHaveTwoDecimalsAndTheOtherUnitsNone) {
    Data data{};
    GetSettings().pressureUnit = 0;
    DetailForecastRecord::SetUnitTexts(&data);
    data.pressure = 30.46f;
    EXPECT_EQ(CDetailForecastControl::PressureValueText(data), u"30.46");
    data.pressure = 29.9f;
    EXPECT_EQ(CDetailForecastControl::PressureValueText(data), u"29.90");
    for (DWORD unit : {1u, 2u}) {
        GetSettings().pressureUnit = unit;
        DetailForecastRecord::SetUnitTexts(&data);
        data.pressure = 1013.9f;
        EXPECT_EQ(CDetailForecastControl::PressureValueText(data), u"1013") << "unit " << unit;
    }
}

TEST_F(UnitTextsTest, AWindUnitOutOfRangeIsLabelledAsTheMilesPerHourItGives) {
    GetSettings().windSpeedUnit = 7;
    Data data{};
    DetailForecastRecord::SetUnitTexts(&data);
    EXPECT_EQ(std::u16string(data.windUnit), u"mph");
    EXPECT_EQ(CUnitConversion::WindSpeed(10, 7), 10);
    GetSettings().windSpeedUnit = 0;
    DetailForecastRecord::SetUnitTexts(&data);
    EXPECT_EQ(std::u16string(data.windUnit), u"km/h");
}

}  // namespace
