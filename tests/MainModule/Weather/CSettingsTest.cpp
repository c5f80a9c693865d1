// The settings record against a real registry in a throw-away device.
#include <gtest/gtest.h>

#include <cstring>

#include "CRegistryStore.h"
#include "Platform/TempDevice.h"
#include "Weather/CSettings.h"

namespace {

constexpr const char16_t* kProgramKey = u"Software\\Quillon Software\\Skyvane";

class Settings : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(store.Open(HKEY_LOCAL_MACHINE, kProgramKey)); }

    ce::test::TempDevice device;
    CRegistryStore store;
};

TEST_F(Settings, AnEmptyKeyGivesTheDefaults) {
    CSettings settings;
    ASSERT_TRUE(settings.Load(&store));
    EXPECT_FALSE(settings.IsLanguageStored(&store));
    EXPECT_EQ(settings.language, GetUserDefaultLangID());
    EXPECT_TRUE(IsEqualGUID(settings.connection, GUID_NULL));
    EXPECT_EQ(settings.gpsPort, static_cast<DWORD>(-1));
    EXPECT_EQ(settings.updateType, 0u);
    EXPECT_EQ(settings.updateInterval, 12u);
    EXPECT_EQ(settings.updateTime[0], 0);
    EXPECT_EQ(settings.updateTime[1], 0);
    EXPECT_EQ(settings.updateInRoaming, 1u);
    EXPECT_EQ(settings.onlineUpdateInterval, 30u);
    EXPECT_EQ(settings.degreeType, 0u);
    EXPECT_EQ(settings.windSpeedUnit, 2u);
    EXPECT_EQ(settings.pressureUnit, 1u);
    EXPECT_EQ(settings.todayPluginMode, 0u);
    EXPECT_EQ(settings.homePluginMode, 0u);
    EXPECT_FALSE(settings.Load(nullptr));
    EXPECT_FALSE(settings.Save(nullptr));
    EXPECT_FALSE(settings.IsLanguageStored(nullptr));
}

TEST_F(Settings, EveryFieldRoundTripsThroughTheRegistry) {
    CSettings saved;
    saved.language = 0x0407;
    saved.connection = {0x12345678, 0x9ABC, 0xDEF0, {1, 2, 3, 4, 5, 6, 7, 8}};
    saved.gpsPort = 104;
    saved.updateType = 2;
    saved.updateInterval = 6;
    saved.updateTime[0] = 7;
    saved.updateTime[1] = 30;
    saved.updateInRoaming = 0;
    saved.onlineUpdateInterval = 15;
    saved.degreeType = 1;
    saved.windSpeedUnit = 0;
    saved.pressureUnit = 2;
    saved.todayPluginMode = 3;
    saved.homePluginMode = 1;
    ASSERT_TRUE(saved.Save(&store));

    CSettings loaded;
    ASSERT_TRUE(loaded.Load(&store));
    EXPECT_TRUE(loaded.IsLanguageStored(&store));
    EXPECT_EQ(loaded.language, 0x0407u);
    EXPECT_TRUE(IsEqualGUID(loaded.connection, saved.connection));
    EXPECT_EQ(loaded.gpsPort, 104u);
    EXPECT_EQ(loaded.updateType, 2u);
    EXPECT_EQ(loaded.updateInterval, 6u);
    EXPECT_EQ(loaded.updateTime[0], 7);
    EXPECT_EQ(loaded.updateTime[1], 30);
    EXPECT_EQ(loaded.updateInRoaming, 0u);
    EXPECT_EQ(loaded.onlineUpdateInterval, 15u);
    EXPECT_EQ(loaded.degreeType, 1u);
    EXPECT_EQ(loaded.windSpeedUnit, 0u);
    EXPECT_EQ(loaded.pressureUnit, 2u);
    EXPECT_EQ(loaded.todayPluginMode, 3u);
    EXPECT_EQ(loaded.homePluginMode, 1u);

    BYTE time[8] = {};
    DWORD size = sizeof(time);
    ASSERT_TRUE(store.QueryBinary(u"FUpdateTime", time, &size));
    EXPECT_EQ(size, 2u) << "hour and minute, two bytes";
    BYTE connection[32] = {};
    size = sizeof(connection);
    ASSERT_TRUE(store.QueryBinary(u"Connection", connection, &size));
    EXPECT_EQ(size, 16u);
}

TEST_F(Settings, AConnectionLongerThanAGuidIsNotTaken) {
    BYTE tooLong[20];
    std::memset(tooLong, 0xAB, sizeof(tooLong));
    ASSERT_TRUE(store.SetBinary(u"Connection", tooLong, sizeof(tooLong)));
    CSettings settings;
    ASSERT_TRUE(settings.Load(&store));
    EXPECT_TRUE(IsEqualGUID(settings.connection, GUID_NULL));
}

TEST_F(Settings, AnUpdateTimeThatIsNotTwoBytesIsNotTaken) {
    for (DWORD length : {1u, 3u}) {
        const BYTE bytes[3] = {7, 30, 1};
        ASSERT_TRUE(store.SetBinary(u"FUpdateTime", bytes, length));
        CSettings settings;
        settings.updateTime[0] = 9;
        settings.updateTime[1] = 45;
        ASSERT_TRUE(settings.Load(&store));
        EXPECT_EQ(settings.updateTime[0], 9) << length << " bytes";
        EXPECT_EQ(settings.updateTime[1], 45) << length << " bytes";
    }
}

TEST_F(Settings, SavingKeepsTheTodayItemsOwnMode) {
    CSettings settings;
    ASSERT_TRUE(settings.Load(&store));
    // The Today item changes its view while the program runs.
    ASSERT_TRUE(store.SetDWORD(u"TodayPluginMode", 2));
    settings.degreeType = 1;
    ASSERT_TRUE(settings.Save(&store));
    DWORD mode = 0;
    ASSERT_TRUE(store.GetDWORD(u"TodayPluginMode", &mode));
    EXPECT_EQ(mode, 2u);
    EXPECT_EQ(settings.todayPluginMode, 2u);
    DWORD degrees = 0;
    ASSERT_TRUE(store.GetDWORD(u"DegreeType", &degrees));
    EXPECT_EQ(degrees, 1u);
}

TEST_F(Settings, FahrenheitExactlyWhenTheDegreeTypeIsOne) {
    CSettings settings;
    for (DWORD type : {0u, 2u, 7u}) {
        settings.degreeType = type;
        EXPECT_FALSE(settings.IsFahrenheit()) << type;
        EXPECT_STREQ(settings.GetTemperatureUnitKey(), "IDS_CELSIUS_SHORT");
    }
    settings.degreeType = 1;
    EXPECT_TRUE(settings.IsFahrenheit());
    EXPECT_STREQ(settings.GetTemperatureUnitKey(), "IDS_FAHRENHEIT_SHORT");
}

}  // namespace
