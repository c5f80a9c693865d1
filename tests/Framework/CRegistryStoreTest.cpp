#include <gtest/gtest.h>

#include "CRegistryStore.h"
#include "Platform/TempDevice.h"

namespace {

using ce::test::TempDevice;

constexpr char16_t kKey[] = u"Software\\Quillon Software\\Skyvane";

class CRegistryStoreTest : public ::testing::Test {
protected:
    TempDevice device;
    CRegistryStore store;
    void SetUp() override { ASSERT_EQ(store.Open(HKEY_LOCAL_MACHINE, kKey), 1); }
};

TEST_F(CRegistryStoreTest, OpenCreatesTheMissingKeyAndValuesRoundTrip) {
    HKEY key = nullptr;
    ASSERT_EQ(RegOpenKeyExW(HKEY_LOCAL_MACHINE, kKey, 0, KEY_READ, &key), ERROR_SUCCESS);
    RegCloseKey(key);

    EXPECT_EQ(store.SetDWORD(u"DegreeType", 1), 1);
    EXPECT_EQ(store.SetString(u"GPSPort", u"COM4:"), 1);
    const BYTE time[4] = {30, 7, 0, 0};
    EXPECT_EQ(store.SetBinary(u"FUpdateTime", time, sizeof time), 1);

    DWORD value = 0;
    EXPECT_EQ(store.GetDWORD(u"DegreeType", &value), 1);
    EXPECT_EQ(value, 1u);
    WCHAR text[16];
    EXPECT_EQ(store.GetString(u"GPSPort", text, 16), 1);
    EXPECT_EQ(std::u16string(text), u"COM4:");
    BYTE read[8] = {};
    DWORD size = sizeof read;
    EXPECT_EQ(store.QueryBinary(u"FUpdateTime", read, &size), 1);
    EXPECT_EQ(size, 4u);
    EXPECT_EQ(read[1], 7);
}

TEST_F(CRegistryStoreTest, ReadsFailWithoutTouchingTheCallersValueOnWrongSizes) {
    ASSERT_EQ(store.SetString(u"Name", u"Skyvane"), 1);
    WCHAR small[4] = {u'x', u'x', u'x', 0};
    EXPECT_EQ(store.GetString(u"Name", small, 4), 0);

    const BYTE two[2] = {1, 2};
    ASSERT_EQ(store.SetBinary(u"Short", two, sizeof two), 1);
    DWORD value = 0xAAAAAAAA;
    EXPECT_EQ(store.GetDWORD(u"Short", &value), 0) << "two bytes are no 32-bit word";
    EXPECT_EQ(value, 0xAAAAAAAAu);
    EXPECT_EQ(store.GetDWORD(u"Missing", &value), 0);
    EXPECT_EQ(value, 0xAAAAAAAAu);
}

TEST_F(CRegistryStoreTest, AStringStoredWithoutTerminatorComesBackTerminated) {
    const char16_t raw[] = {u'C', u'O', u'M', u'1'};
    ASSERT_EQ(store.SetBinary(u"Port", raw, sizeof raw), 1);
    WCHAR text[8];
    std::fill(std::begin(text), std::end(text), u'#');
    EXPECT_EQ(store.GetString(u"Port", text, 8), 1);
    EXPECT_EQ(std::u16string(text), u"COM1");
    WCHAR exact[4];
    EXPECT_EQ(store.GetString(u"Port", exact, 4), 0) << "no room for the terminator";
    EXPECT_EQ(exact[3], u'\0');
}

TEST_F(CRegistryStoreTest, DeleteValueSucceedsForMissingValuesButNotWithoutKey) {
    EXPECT_EQ(store.DeleteValue(u"NeverWritten"), 1);
    ASSERT_EQ(store.SetDWORD(u"Gone", 5), 1);
    EXPECT_EQ(store.DeleteValue(u"Gone"), 1);
    DWORD value = 0;
    EXPECT_EQ(store.GetDWORD(u"Gone", &value), 0);

    CRegistryStore unopened;
    EXPECT_EQ(unopened.DeleteValue(u"Gone"), 0);
    EXPECT_EQ(unopened.SetDWORD(u"Gone", 1), 0);
}

}  // namespace
