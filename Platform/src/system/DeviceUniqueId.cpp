// The device identifier: a keyed hash (HMAC-SHA1) of the application's data under the profile's device
// id, so that it is stable for one device and application and tells nothing of the device id itself.
#include <string>

#include "ce/com.h"
#include "ce/device.h"
#include "ce/kernel.h"
#include "system/Sha1.h"

namespace {

constexpr DWORD kMinimumApplicationData = 8;

}  // namespace

extern "C" {

CE_API HRESULT GetDeviceUniqueID(LPBYTE applicationData, DWORD applicationDataSize, DWORD version,
                                 LPBYTE output, DWORD* outputSize) {
    if (version != GETDEVICEUNIQUEID_V1 || applicationData == nullptr ||
        applicationDataSize < kMinimumApplicationData || outputSize == nullptr) {
        return E_INVALIDARG;
    }
    if (output == nullptr || *outputSize < GETDEVICEUNIQUEID_V1_OUTPUT) {
        *outputSize = GETDEVICEUNIQUEID_V1_OUTPUT;
        return HRESULT_FROM_WIN32(ERROR_INSUFFICIENT_BUFFER);
    }
    std::string deviceId = ce::ProfileString("device", "device_id");
    static_assert(ce::detail::Sha1::kDigestSize == GETDEVICEUNIQUEID_V1_OUTPUT);
    ce::detail::Sha1::Digest digest =
        ce::detail::HmacSha1(deviceId.data(), deviceId.size(), applicationData, applicationDataSize);
    std::copy(digest.begin(), digest.end(), output);
    *outputSize = GETDEVICEUNIQUEID_V1_OUTPUT;
    return S_OK;
}

}  // extern "C"
