// The Today item's settings record, its short time picture and the layouts its menu and options
// dialog choose.
#include <gtest/gtest.h>

#include "CPluginSettings.h"
#include "CRegistryStore.h"
#include "CTodayItem.h"
#include "Platform/TempDevice.h"
#include "ShortTimeFormat.h"
#include "TodayOptionsDialog.h"

namespace {

TEST(ShortTimeFormat, DropsTheSecondsAndTheSeparatorBeforeThem) {
    EXPECT_EQ(ShortTimeFormat::WithoutSeconds(u"h:mm:ss tt"), u"h:mm tt");
    EXPECT_EQ(ShortTimeFormat::WithoutSeconds(u"HH:mm:ss"), u"HH:mm");
    EXPECT_EQ(ShortTimeFormat::WithoutSeconds(u"H.mm"), u"H.mm");
    EXPECT_EQ(ShortTimeFormat::WithoutSeconds(u"tt h:mm:s"), u"tt h:mm");
}

TEST(CTodayItem, MenuChoicesKeepTheOtherHalfOfTheLayout) {
    using Item = CTodayItem;
    EXPECT_EQ(Item::LayoutAfterCommand(Item::kDaysLarge, Item::kCommandLargeIcons), Item::kDaysSmall);
    EXPECT_EQ(Item::LayoutAfterCommand(Item::kPartsSmall, Item::kCommandLargeIcons), Item::kPartsLarge);
    EXPECT_EQ(Item::LayoutAfterCommand(Item::kDaysSmall, Item::kCommandDetailed), Item::kPartsSmall);
    EXPECT_EQ(Item::LayoutAfterCommand(Item::kPartsLarge, Item::kCommandFiveDays), Item::kDaysLarge);
    EXPECT_EQ(Item::LayoutAfterCommand(Item::kDaysLarge, Item::kCommandUpdate), Item::kDaysLarge);
    EXPECT_EQ(TodayOptionsDialog::LayoutFor(0, true), Item::kPartsLarge);
    EXPECT_EQ(TodayOptionsDialog::LayoutFor(0, false), Item::kPartsSmall);
    EXPECT_EQ(TodayOptionsDialog::LayoutFor(1, true), Item::kDaysLarge);
    EXPECT_EQ(TodayOptionsDialog::LayoutFor(1, false), Item::kDaysSmall);
}

TEST(CPluginSettings, EachPlugInKeepsItsOwnLayoutSavesOnlyThatAndMissingValuesKeepTheirDefaults) {
    ce::test::TempDevice device;
    CRegistryStore store;
    ASSERT_TRUE(store.Open(HKEY_LOCAL_MACHINE, u"Software\\Quillon Software\\Skyvane"));
    ASSERT_TRUE(store.SetDWORD(u"DegreeType", 1));

    CPluginSettings today(CPluginSettings::kTodayModeValue);
    ASSERT_TRUE(today.Load(&store));
    EXPECT_EQ(today.degreeType, 1u);
    EXPECT_EQ(today.mode, 0u);
    EXPECT_EQ(today.language, GetSystemDefaultLangID());
    today.mode = 4;
    today.degreeType = 0;
    ASSERT_TRUE(today.Save(&store));
    DWORD degreeType = 0;
    ASSERT_TRUE(store.GetDWORD(u"DegreeType", &degreeType));
    EXPECT_EQ(degreeType, 1u) << "the program's value stays";
    DWORD language = 0;
    EXPECT_FALSE(store.GetDWORD(u"Language", &language)) << "no language is chosen for the user";

    CPluginSettings home(CPluginSettings::kHomeModeValue);
    ASSERT_TRUE(home.Load(&store));
    EXPECT_EQ(home.mode, 0u) << "the Today layout is not the Home one";
    DWORD stored = 0;
    ASSERT_TRUE(store.GetDWORD(u"TodayPluginMode", &stored));
    EXPECT_EQ(stored, 4u);
    EXPECT_FALSE(today.Load(nullptr));
}

}  // namespace
