#include "DeviceUtilities.h"

#include "ce/com.h"
#include "ce/kernel.h"

namespace {

// The application data that makes the identifier the program's own: its 16 characters, no terminator.
constexpr char16_t kApplicationData[] = u"Quillon Software";
constexpr int kDigits = 15;

}  // namespace

bool GetDeviceId(LPWSTR id, int size) {
    if (id == nullptr || size < kDigits + 2) {
        return false;
    }
    id[0] = 0;
    BYTE output[GETDEVICEUNIQUEID_V1_OUTPUT] = {};
    DWORD outputSize = sizeof output;
    BYTE data[16];
    for (int i = 0; i < 16; ++i) {
        data[i] = static_cast<BYTE>(kApplicationData[i]);
    }
    if (FAILED(GetDeviceUniqueID(data, sizeof data, GETDEVICEUNIQUEID_V1, output, &outputSize)) || outputSize < 16) {
        return false;
    }
    WCHAR digits[17] = {};
    for (int i = 0; i < 8; ++i) {
        int pair = (output[i] + output[i + 8]) % 100;
        digits[2 * i] = static_cast<WCHAR>(u'0' + pair / 10);
        digits[2 * i + 1] = static_cast<WCHAR>(u'0' + pair % 10);
    }
    digits[kDigits] = 0;
    lstrcpynW(id, digits, size);
    return true;
}
