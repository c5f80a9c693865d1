// Power requests, the device identifier, storage cards and the store's sizes.
#include <gtest/gtest.h>
#include <openssl/evp.h>
#include <openssl/hmac.h>

#include <array>
#include <filesystem>
#include <string>
#include <vector>

#include "Platform/TempDevice.h"
#include "ce/com.h"
#include "ce/device.h"
#include "ce/kernel.h"
#include "ce/storage.h"

namespace {

using ce::test::TempDevice;
using DeviceId = std::array<BYTE, GETDEVICEUNIQUEID_V1_OUTPUT>;

DeviceId UniqueId(const std::string& applicationData) {
    DeviceId id{};
    DWORD size = static_cast<DWORD>(id.size());
    std::vector<BYTE> data(applicationData.begin(), applicationData.end());
    EXPECT_EQ(GetDeviceUniqueID(data.data(), static_cast<DWORD>(data.size()), GETDEVICEUNIQUEID_V1, id.data(),
                                &size),
              S_OK);
    EXPECT_EQ(size, id.size());
    return id;
}

TEST(DeviceServicesTest, DeviceIdIsStablePerApplicationAndDevice) {
    TempDevice device;
    DeviceId first = UniqueId("Quillon Software");
    EXPECT_EQ(UniqueId("Quillon Software"), first);
    EXPECT_NE(UniqueId("Another Vendor"), first) << "applications cannot match up their ids";
    ASSERT_TRUE(ce::SetProfileString("device", "device_id", "OTHER-DEVICE-0002"));
    EXPECT_NE(UniqueId("Quillon Software"), first) << "another device";
}

// The layer computes the keyed hash itself; libcrypto's HMAC-SHA1 is the reference, over keys and data
// of every length around the hash's block boundaries.
TEST(DeviceServicesTest, DeviceIdIsTheHmacSha1OfTheDataUnderTheProfilesDeviceId) {
    TempDevice device;
    for (size_t keyLength : {1, 15, 63, 64, 65, 100}) {
        std::string key;
        for (size_t i = 0; i < keyLength; ++i) {
            key += static_cast<char>('A' + i % 26);
        }
        ASSERT_TRUE(ce::SetProfileString("device", "device_id", key));
        for (size_t dataLength : {8, 16, 55, 56, 63, 64, 65, 119, 120, 200}) {
            std::string data;
            for (size_t i = 0; i < dataLength; ++i) {
                data += static_cast<char>(i * 37 + keyLength);
            }
            DeviceId expected{};
            unsigned int length = 0;
            HMAC(EVP_sha1(), key.data(), static_cast<int>(key.size()), reinterpret_cast<const unsigned char*>(data.data()),
                 data.size(), expected.data(), &length);
            ASSERT_EQ(length, expected.size());
            EXPECT_EQ(UniqueId(data), expected) << "key of " << keyLength << " bytes, data of " << dataLength;
        }
    }
}

TEST(DeviceServicesTest, DeviceIdRefusesBadArgumentsAndTellsTheSizeItNeeds) {
    TempDevice device;
    BYTE data[16] = {1, 2, 3, 4, 5, 6, 7, 8, 9, 10, 11, 12, 13, 14, 15, 16};
    BYTE out[GETDEVICEUNIQUEID_V1_OUTPUT] = {};
    DWORD size = 10;
    EXPECT_EQ(GetDeviceUniqueID(data, sizeof data, GETDEVICEUNIQUEID_V1, out, &size),
              HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER));
    EXPECT_EQ(size, static_cast<DWORD>(GETDEVICEUNIQUEID_V1_OUTPUT));
    EXPECT_EQ(GetDeviceUniqueID(data, 7, GETDEVICEUNIQUEID_V1, out, &size), E_INVALIDARG)
        << "too little data";
    EXPECT_EQ(GetDeviceUniqueID(data, sizeof data, 2, out, &size), E_INVALIDARG) << "unknown version";
    EXPECT_EQ(GetDeviceUniqueID(nullptr, sizeof data, GETDEVICEUNIQUEID_V1, out, &size), E_INVALIDARG);
    EXPECT_EQ(GetDeviceUniqueID(data, sizeof data, GETDEVICEUNIQUEID_V1, out, nullptr), E_INVALIDARG);
}

std::vector<std::u16string> FlashCards() {
    std::vector<std::u16string> names;
    WIN32_FIND_DATAW data{};
    HANDLE find = FindFirstFlashCard(&data);
    if (find == INVALID_HANDLE_VALUE) {
        EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_MORE_FILES));
        return names;
    }
    do {
        EXPECT_EQ(data.dwFileAttributes & (FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_TEMPORARY),
                  static_cast<DWORD>(FILE_ATTRIBUTE_DIRECTORY | FILE_ATTRIBUTE_TEMPORARY));
        names.push_back(data.cFileName);
    } while (FindNextFlashCard(find, &data));
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_NO_MORE_FILES));
    EXPECT_TRUE(FindClose(find));
    return names;
}

TEST(DeviceServicesTest, StorageCardsAreTheProfilesCardsThatArePresent) {
    TempDevice device;
    EXPECT_TRUE(FlashCards().empty());
    std::filesystem::create_directories(device.Fs("Storage Card"));
    std::filesystem::create_directories(device.Fs("SD Card"));
    std::filesystem::create_directories(device.Fs("Windows"));
    device.WriteHostFile(device.Fs("Card File"), "not a folder");
    ASSERT_TRUE(ce::SetProfileString("storage", "cards", "storage card; Card File ;Missing Card;SD Card"));
    EXPECT_EQ(FlashCards(), (std::vector<std::u16string>{u"SD Card", u"Storage Card"}));

    ULARGE_INTEGER free{};
    EXPECT_TRUE(GetDiskFreeSpaceExW(u"\\Storage Card", &free, nullptr, nullptr));
    EXPECT_EQ(free.QuadPart, 64ull << 20);
}

std::u16string StoreName(LPCWSTR path) {
    CE_VOLUME_INFO info{};
    info.cbSize = sizeof info;
    return CeGetVolumeInfoW(path, CeVolumeInfoLevelStandard, &info) ? std::u16string(info.szStoreName) : u"<none>";
}

TEST(DeviceServicesTest, ACardsVolumeIsNamedByItsStore) {
    TempDevice device;
    std::filesystem::create_directories(device.Fs("Storage Card/Maps"));
    std::filesystem::create_directories(device.Fs("SD Card"));
    ASSERT_TRUE(ce::SetProfileString("storage", "cards", "Storage Card: SD Memory ;SD Card;Missing Card:Gone"));
    EXPECT_EQ(StoreName(u"\\Storage Card"), u"SD Memory");
    EXPECT_EQ(StoreName(u"\\STORAGE CARD\\Maps"), u"SD Memory") << "any path on the card";
    EXPECT_EQ(StoreName(u"\\SD Card\\"), u"SD Card") << "no store name: the folder's";
    EXPECT_EQ(StoreName(u"\\Missing Card"), u"<none>") << "not inserted";
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_PATH_NOT_FOUND));
    EXPECT_EQ(StoreName(u"\\Windows"), u"<none>") << "not a card";
    EXPECT_EQ(StoreName(u"\\"), u"<none>");
    EXPECT_EQ(FlashCards(), (std::vector<std::u16string>{u"SD Card", u"Storage Card"})) << "the folders are the cards";

    CE_VOLUME_INFO info{};
    EXPECT_FALSE(CeGetVolumeInfoW(u"\\SD Card", CeVolumeInfoLevelStandard, &info)) << "no size set";
    EXPECT_EQ(GetLastError(), static_cast<DWORD>(ERROR_INVALID_PARAMETER));
    info.cbSize = sizeof info;
    EXPECT_FALSE(CeGetVolumeInfoW(nullptr, CeVolumeInfoLevelStandard, &info));
    EXPECT_FALSE(CeGetVolumeInfoW(u"\\SD Card", CeVolumeInfoLevelStandard, nullptr));
}

TEST(DeviceServicesTest, StoreInformationIsTheRootsSizes) {
    TempDevice device;
    ASSERT_TRUE(ce::SetProfileString("device", "free_space_mb", "12"));
    STORE_INFORMATION info{};
    ASSERT_TRUE(GetStoreInformation(&info));
    EXPECT_EQ(info.dwFreeSize, 12u << 20);
    EXPECT_GE(info.dwStoreSize, info.dwFreeSize);
    EXPECT_FALSE(GetStoreInformation(nullptr));
}

TEST(DeviceServicesTest, PowerRequestsAreRecorded) {
    TempDevice device;
    ce::EnableVirtualClock(1772445600000ull);
    EXPECT_EQ(SetSystemPowerState(nullptr, POWER_STATE_ON, 0), static_cast<DWORD>(ERROR_SUCCESS));
    ce::AdvanceVirtualClock(59000);
    SystemIdleTimerReset();
    auto log = ce::ReadDeviceLog("power");
    ASSERT_EQ(log.size(), 2u);
    EXPECT_EQ(log[0],
              R"({"call":"SetSystemPowerState","state":"","flags":"0x00010000","options":"0x00000000",)"
              R"("at":"1772445600000"})");
    EXPECT_EQ(log[1], R"({"call":"SystemIdleTimerReset","at":"1772445659000"})");
}

}  // namespace
