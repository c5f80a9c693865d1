#include <gtest/gtest.h>

#include <string>

#include "DeviceUtilities.h"
#include "Platform/TempDevice.h"
#include "ce/device.h"

namespace {

std::u16string DeviceId() {
    WCHAR id[17] = {};
    return GetDeviceId(id, 17) ? std::u16string(id) : u"<none>";
}

TEST(DeviceId, FifteenDigitsThatFollowTheDevice) {
    ce::test::TempDevice device;
    ce::SetProfileString("device", "device_id", "SKYVANE-TEST-0001");
    ce::ReloadProfile();
    std::u16string first = DeviceId();
    ASSERT_EQ(first.size(), 15u);
    EXPECT_EQ(first.find_first_not_of(u"0123456789"), std::u16string::npos);
    EXPECT_EQ(DeviceId(), first);

    ce::SetProfileString("device", "device_id", "SKYVANE-TEST-0002");
    ce::ReloadProfile();
    EXPECT_NE(DeviceId(), first);
    WCHAR tooSmall[16];
    EXPECT_FALSE(GetDeviceId(tooSmall, 16));
}

}  // namespace
